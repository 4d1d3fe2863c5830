# Expected figures of `veltrio-cli stats examples/LEAD.PAR --json --evaluate`
# (with and without `--exclude L07`), computed in base R (no packages):
#   Rscript scripts/cli/lead_evaluate_reference.R
# writes tests/data/cli/LEAD.evaluate.marks.csv (the mark of every
# laboratory per level) and tests/data/cli/LEAD.evaluate.precision.csv (per
# level: Cochran's C and Grubbs' G of the first pass, s(r), s(L), s(R) and
# the limits r = 2.8 s(r), R = 2.8 s(R)).
#
# The study file is read here with a parser of its own; the outlier tests
# and the analysis of variance are the first-principles functions of
# scripts/preliminary/outlier_precision_reference.R (ISO 5725-2 Cochran and
# Grubbs tests, R's anova(lm())), taken from that script without running its
# main part. An excluded laboratory is left out of every level before the
# tests, and the precision uses the laboratories that the tests keep.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
root <- normalizePath(file.path(here, "..", ".."))
tables <- file.path(root, "scripts", "numerics")

wanted <- c("coch", "grub", "coch_crit", "grub_crit", "evaluate", "precision", "fmt")
for (e in parse(file.path(root, "scripts", "preliminary", "outlier_precision_reference.R"))) {
  if (is.call(e) && identical(e[[1]], as.name("<-")) && as.character(e[[2]]) %in% wanted) {
    eval(e)
  }
}
stopifnot(all(sapply(wanted, exists)))

# A uniform-level study file: per level the LEVELDATA lines
# "RegLabNo RandCode value ... MethodCode".
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
marks <- "exclude,level,lab,mark"
prec <- "exclude,level,cochranC,cochranP,grubbsG,grubbsP,sr,sL,sR,r,R"
for (excluded in c("", "L07")) {
  for (i in seq_along(study)) {
    x <- study[[i]]
    n <- max(x$rep)
    y <- x[x$lab != excluded, ]
    e <- evaluate(y, n)
    for (lab in unique(x$lab)) {
      m <- if (lab == excluded) "L" else e$mark[[lab]]
      marks <- c(marks, sprintf("%s,%d,%s,%s", excluded, i, lab, m))
    }
    kept <- names(e$mark)[e$mark %in% c(" ", "c", "g")]
    p <- precision(y[y$lab %in% kept, ], FALSE)
    prec <- c(prec, paste(excluded, i, fmt(e$cstat), e$cp, fmt(e$gstat), e$gp, fmt(p$sr),
                          fmt(p$sL), fmt(p$sR), fmt(2.8 * p$sr), fmt(2.8 * p$sR), sep = ","))
  }
}
out <- file.path(root, "tests", "data", "cli")
writeLines(marks, file.path(out, "LEAD.evaluate.marks.csv"))
writeLines(prec, file.path(out, "LEAD.evaluate.precision.csv"))
