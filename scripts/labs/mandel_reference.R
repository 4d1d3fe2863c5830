# Mandel's h and k statistics (ISO 5725-2, 7.3.1) of the public example
# studies and of examples/LEAD.PAR, computed in base R (no packages):
#   Rscript scripts/labs/mandel_reference.R
# writes tests/data/labs/mandel_reference.csv (GLUC_*, PENT_*: per level
# and laboratory, h and k with the marks of a freshly read study and with
# the marks of the outlier tests) and tests/data/cli/LEAD.evaluate.mandel.csv
# (LEAD after the outlier tests of `stats --evaluate`, with and without
# L07 excluded), and tests/data/labs/mandel_extrapolated.csv (the critical
# values beyond the ISO table, see the end).
#
# h_i = (mean_i - m) / s_m and k_i = s_i / s_r, where mean_i and s_i are
# the laboratory's mean and standard deviation (divisor n - 1). The
# reference is formed by the laboratories that stay in the level
# statistics (no mark, or a Cochran or Grubbs straggler): m is the mean of
# all their results, s_m the standard deviation of their means and
# s_r = sqrt(mean(s_i^2)) over them. Outliers (C, G) get h and k against
# that reference; excluded laboratories (L) get neither. The outlier tests
# are the first-principles functions of
# scripts/preliminary/outlier_precision_reference.R (ISO 5725-2 Cochran and
# Grubbs tests), taken from that script without running its main part.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
root <- normalizePath(file.path(here, "..", ".."))
raw <- file.path(root, "tests", "data", "validation", "raw")
tables <- file.path(root, "scripts", "numerics")

wanted <- c("coch", "grub", "coch_crit", "grub_crit", "evaluate", "fmt")
for (e in parse(file.path(root, "scripts", "preliminary", "outlier_precision_reference.R"))) {
  if (is.call(e) && identical(e[[1]], as.name("<-")) && as.character(e[[2]]) %in% wanted) {
    eval(e)
  }
}
stopifnot(all(sapply(wanted, exists)))

# x: data frame lab, rep, value; mark: marks named by laboratory. Returns
# a data frame lab, h, k (NA where there is no value).
mandel <- function(x, mark) {
  labs <- names(mark)
  inref <- labs[mark %in% c(" ", "c", "g")]
  scored <- labs[!(mark %in% c("U", "L"))]
  key <- as.character(x$lab)
  m <- tapply(x$value, key, mean)[labs]
  s <- tapply(x$value, key, sd)[labs]
  centre <- mean(x$value[key %in% inref])
  sm <- sd(m[inref])
  sr <- sqrt(mean(s[inref]^2))
  h <- ifelse(labs %in% scored, (m - centre) / sm, NA)
  k <- ifelse(labs %in% scored, s / sr, NA)
  data.frame(lab = labs, h = h, k = k, stringsAsFactors = FALSE)
}

studies <- list(
  list(name = "GLUC_ABC", csv = "astm_e691_glucose.csv", levels = c("A", "B", "C")),
  list(name = "GLUC_DE", csv = "astm_e691_glucose.csv", levels = c("D", "E")),
  list(name = "PENT_ABC", csv = "astm_e691_pentosan.csv", levels = c("A", "B", "C")),
  list(name = "PENT_DEF", csv = "astm_e691_pentosan.csv", levels = c("D", "E", "F")),
  list(name = "PENT_GHI", csv = "astm_e691_pentosan.csv", levels = c("G", "H", "I")))

out <- "study,level,marks,lab,mark,h,k"
for (st in studies) {
  d <- read.csv(file.path(raw, st$csv), colClasses = c("character", "integer", "integer", "numeric"))
  for (i in seq_along(st$levels)) {
    x <- d[d$level == st$levels[i], c("lab", "replicate", "value")]
    names(x) <- c("lab", "rep", "value")
    labs <- as.character(sort(unique(x$lab)))
    tested <- evaluate(x, max(x$rep))$mark
    for (variant in c("none", "tests")) {
      mark <- if (variant == "none") setNames(rep(" ", length(labs)), labs) else tested[labs]
      r <- mandel(x, mark)
      for (j in seq_len(nrow(r))) {
        out <- c(out, paste(st$name, i, variant, r$lab[j], trimws(mark[[j]], "right"),
                            fmt(r$h[j]), fmt(r$k[j]), sep = ","))
      }
    }
  }
}
dir.create(file.path(root, "tests", "data", "labs"), showWarnings = FALSE)
writeLines(out, file.path(root, "tests", "data", "labs", "mandel_reference.csv"))

# LEAD: the study file read with a parser of its own (uniform level, one
# line "RegLabNo RandCode value ... MethodCode" per laboratory).
read_uniform_study <- function(path) {
  lines <- trimws(readLines(path))
  levels <- list(); inData <- FALSE; rows <- NULL
  for (ln in lines) {
    if (ln == "LEVELDATA") { inData <- TRUE; rows <- NULL; next }
    if (inData && ln == "END") {
      levels[[length(levels) + 1]] <- do.call(rbind, rows); inData <- FALSE; next
    }
    if (inData && nzchar(ln)) {
      f <- strsplit(ln, "[[:space:]]+")[[1]]
      v <- as.numeric(f[3:(length(f) - 1)])
      rows[[length(rows) + 1]] <- data.frame(lab = f[2], rep = seq_along(v), value = v)
    }
  }
  levels
}

study <- read_uniform_study(file.path(root, "examples", "LEAD.PAR"))
lead <- "exclude,level,lab,mark,h,k"
for (excluded in c("", "L07")) {
  for (i in seq_along(study)) {
    x <- study[[i]]
    labs <- unique(as.character(x$lab))
    e <- evaluate(x[x$lab != excluded, ], max(x$rep))
    mark <- setNames(sapply(labs, function(l) if (l == excluded) "L" else e$mark[[l]]), labs)
    r <- mandel(x, mark)
    for (j in seq_len(nrow(r))) {
      lead <- c(lead, paste(excluded, i, r$lab[j], trimws(mark[[j]], "right"), fmt(r$h[j]),
                            fmt(r$k[j]), sep = ","))
    }
  }
}
writeLines(lead, file.path(root, "tests", "data", "cli", "LEAD.evaluate.mandel.csv"))

# Critical values beyond the ISO table (p > 30, and n = 10 for every p):
# the value at p = 3 plus b (1 - exp(-a (p - 3))), raised to the next
# hundredth. h: a = 0.258, b = 1.258 (1 %) and a = 0.366, b = 0.736 (5 %)
# from h(3) = 1.15. k: a(n), b(n) and k(3, n) below (k(3, 10) = 1.39 at
# 1 % and 1.29 at 5 %, which the table does not hold).
up <- function(x) ceiling(x * 100) / 100
rise <- function(at3, a, b, p) up(at3 + b * (1 - exp(-a * (p - 3))))
k3 <- list("1" = c(1.71, 1.64, 1.58, 1.53, 1.49, 1.46, 1.43, 1.41, 1.39),
           "5" = c(1.65, 1.53, 1.45, 1.40, 1.37, 1.34, 1.32, 1.30, 1.29))
ka <- list("1" = c(0.249, 0.276, 0.262, 0.264, 0.265, 0.255, 0.263, 0.263, 0.269),
           "5" = c(0.377, 0.308, 0.3, 0.298, 0.267, 0.288, 0.263, 0.312, 0.277))
kb <- list("1" = c(0.757, 0.437, 0.316, 0.253, 0.215, 0.186, 0.168, 0.151, 0.138),
           "5" = c(0.285, 0.179, 0.146, 0.125, 0.105, 0.096, 0.087, 0.079, 0.07))
crit <- "statistic,p,n,level,value"
for (p in 31:60) {
  crit <- c(crit, sprintf("h,%d,,1,%.2f", p, rise(1.15, 0.258, 1.258, p)),
            sprintf("h,%d,,5,%.2f", p, rise(1.15, 0.366, 0.736, p)))
}
for (n in 2:10) {
  for (p in (if (n == 10) 3:60 else 31:60)) {
    for (lv in c("1", "5")) {
      crit <- c(crit, sprintf("k,%d,%d,%s,%.2f", p, n, lv,
                              rise(k3[[lv]][n - 1], ka[[lv]][n - 1], kb[[lv]][n - 1], p)))
    }
  }
}
writeLines(crit, file.path(root, "tests", "data", "labs", "mandel_extrapolated.csv"))
