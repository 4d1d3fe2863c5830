# Outlier tests and precision estimates of the public example studies,
# computed from first principles in base R (no packages):
#   Rscript scripts/preliminary/outlier_precision_reference.R
# writes tests/data/preliminary/outlier_reference.csv (per laboratory: the
# verdict of the tests) and tests/data/quality/precision_reference.csv (per
# level: Cochran's C and Grubbs' G of the first pass, the analysis of
# variance and s(r), s(L), s(R), with and without the outlier tests).
#
# The tests follow ISO 5725-2: Cochran's C = max s_i^2 / sum s_i^2 on the
# cell variances, repeated while the largest is an outlier (1 %); then
# Grubbs' single test on the laboratory means (G = (max - mean)/s and
# (mean - min)/s, s with divisor p - 1), repeated while an outlier is found,
# alternating the side; the double test (ratio of the sums of squares
# without the two largest or the two smallest) on the side(s) without a
# single outlier. Critical values: ISO 5725-2 Tables 4 and 5 as committed
# in scripts/numerics. The analysis of variance is R's own anova(lm()):
# one-way (laboratory) for uniform levels, two-way without replication
# (laboratory + sample) for split levels; s(L)^2 = (MS_lab - MS_within)/n,
# n = 2 for pairs, 0 when negative.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
root <- file.path(here, "..", "..")
raw <- file.path(root, "tests", "data", "validation", "raw")
tables <- file.path(root, "scripts", "numerics")

coch <- read.csv(file.path(tables, "iso5725_2_table4_cochran.csv"), comment.char = "#")
grub <- read.csv(file.path(tables, "iso5725_2_table5_grubbs.csv"), comment.char = "#")
coch_crit <- function(n, p, alpha) {
  if (n == 2 && p == 2) return(Inf)  # no statistic can exceed the largest share
  coch[coch$p == p, sprintf("n%d_%d", n, alpha)]
}
grub_crit <- function(kind, p, alpha) grub[grub$p == p, sprintf("%s_%d", kind, alpha)]

# One level: x is a data frame lab, rep, value. Returns marks per lab and
# the first-pass statistics.
evaluate <- function(x, n) {
  labs <- sort(unique(x$lab))
  mark <- setNames(rep(" ", length(labs)), labs)
  v <- tapply(x$value, x$lab, var)
  m <- tapply(x$value, x$lab, mean)
  # Cochran, iterative.
  first <- TRUE; cstat <- NA; cp <- NA
  repeat {
    valid <- names(mark)[mark %in% c(" ", "c")]
    p <- length(valid)
    if (p < 2 || (n == 2 && p < 3)) break
    vv <- v[valid]
    C <- if (sum(vv) > 1e-20) max(vv) / sum(vv) else NA
    if (first) { cstat <- C; cp <- p; first <- FALSE }
    if (is.na(C)) break
    top <- valid[which(vv == max(vv))[1]]
    if (C > coch_crit(n, p, 1)) { mark[top] <- "C"; next }
    if (C > coch_crit(n, p, 5)) mark[top] <- "c"
    break
  }
  # Grubbs single, alternating sides while outliers are found.
  gstat <- NA; gp <- NA; first <- TRUE; found <- c(high = FALSE, low = FALSE)
  side <- NA
  repeat {
    valid <- names(mark)[mark %in% c(" ", "c", "g")]
    p <- length(valid)
    mm <- m[valid]
    s <- if (p >= 2) sd(mm) else 0
    gh <- if (s > 0) (max(mm) - mean(mm)) / s else NA
    gl <- if (s > 0) (mean(mm) - min(mm)) / s else NA
    if (first) {
      side <- if (!is.na(gl) && !is.na(gh) && gl > gh) "low" else "high"
      gstat <- if (is.na(gh)) NA else max(gh, gl); gp <- p; first <- FALSE
    }
    if (p <= 2 || is.na(gh)) break
    c1 <- grub_crit("single", p, 1)
    hit <- NA
    for (sd_ in c(side, setdiff(c("high", "low"), side))) {
      g <- if (sd_ == "high") gh else gl
      if (g > c1) { hit <- sd_; break }
    }
    if (!is.na(hit)) {
      lab <- if (hit == "high") valid[which(mm == max(mm))[1]] else valid[which(mm == min(mm))[1]]
      mark[lab] <- "G"; found[hit] <- TRUE
      side <- setdiff(c("high", "low"), hit)
      next
    }
    c5 <- grub_crit("single", p, 5)
    if (gl > c5) mark[valid[which(mm == min(mm))[1]]] <- "g"
    if (gh > c5) mark[valid[which(mm == max(mm))[1]]] <- "g"
    break
  }
  # Grubbs double on the sides without a single outlier.
  pair_stat <- function(valid, high) {
    mm <- m[valid]
    # The last of equal extremes first.
    idx <- if (high) rev(order(mm, seq_along(mm)))[1:2] else order(mm, -seq_along(mm))[1:2]
    rest <- mm[-idx]
    ss <- sum((mm - mean(mm))^2)
    list(g = if (ss > 0) sum((rest - mean(rest))^2) / ss else NA, labs = valid[idx])
  }
  sides <- c("high", "low")[!found[c("high", "low")]]
  if (length(sides) > 0 && !all(found)) {
    repeat {
      valid <- names(mark)[mark %in% c(" ", "c", "g")]
      p <- length(valid)
      if (p <= 3) break
      st <- lapply(setNames(sides, sides), function(sd_) pair_stat(valid, sd_ == "high"))
      c1 <- grub_crit("double", p, 1); c5 <- grub_crit("double", p, 5)
      hit <- NA
      for (sd_ in sides) if (!is.na(st[[sd_]]$g) && st[[sd_]]$g < c1) { hit <- sd_; break }
      if (!is.na(hit)) { mark[st[[hit]]$labs] <- "G"; next }
      for (sd_ in sides) if (!is.na(st[[sd_]]$g) && st[[sd_]]$g < c5) mark[st[[sd_]]$labs] <- "g"
      break
    }
  }
  list(mark = mark, cstat = cstat, cp = cp, gstat = gstat, gp = gp)
}

precision <- function(x, split) {
  x$lab <- factor(x$lab)
  if (split) {
    x$sample <- factor(x$rep)
    a <- anova(lm(value ~ lab + sample, data = x))
    msl <- a["lab", "Mean Sq"]; msw <- a["Residuals", "Mean Sq"]
    res <- list(F0 = a["lab", "F value"], P0 = a["lab", "Pr(>F)"],
                F1 = a["sample", "F value"], P1 = a["sample", "Pr(>F)"])
    ss <- tapply(x$value, x$sample, function(v) sum((v - mean(v))^2))
    k <- round((nlevels(x$lab) - 1) / 2 + 1e-4)
    ratio <- max(ss) / min(ss)
    res$ratio <- ratio; res$ratioP <- 2 * pf(ratio, k, k, lower.tail = FALSE)
    n <- 2
  } else {
    a <- anova(lm(value ~ lab, data = x))
    msl <- a["lab", "Mean Sq"]; msw <- a["Residuals", "Mean Sq"]
    res <- list(F0 = a["lab", "F value"], P0 = a["lab", "Pr(>F)"], F1 = NA, P1 = NA,
                ratio = NA, ratioP = NA)
    n <- max(x$rep)
  }
  sr <- sqrt(msw); sL <- if (msl > msw) sqrt((msl - msw) / n) else 0
  c(res, list(MSlab = msl, MSwithin = msw, sr = sr, sL = sL, sR = sqrt(sr^2 + sL^2)))
}

fmt <- function(v) ifelse(is.na(v), "NA", trimws(formatC(v, digits = 15, format = "g")))

studies <- list(
  list(name = "GLUC_ABC", csv = "astm_e691_glucose.csv", levels = c("A", "B", "C"), split = FALSE),
  list(name = "GLUC_DE", csv = "astm_e691_glucose.csv", levels = c("D", "E"), split = FALSE),
  list(name = "PENT_ABC", csv = "astm_e691_pentosan.csv", levels = c("A", "B", "C"), split = FALSE),
  list(name = "PENT_DEF", csv = "astm_e691_pentosan.csv", levels = c("D", "E", "F"), split = FALSE),
  list(name = "PENT_GHI", csv = "astm_e691_pentosan.csv", levels = c("G", "H", "I"), split = FALSE),
  list(name = "CREOSOTE", csv = "iso5725_creosote_one_level.csv", levels = c("1"), split = FALSE),
  # Glucose replicates 1 and 2 taken as the two samples of a split level
  # (tests/data/quality/GLUC_PAIRS.PAR; its level B carries a spike of 2.0
  # on the second sample, which the reader takes off again).
  list(name = "GLUC_PAIRS", csv = "astm_e691_glucose.csv", levels = c("A", "B", "C"), split = TRUE))

marks <- c("study,level,lab,mark")
prec <- c(paste("study,level,discard,cochranC,cochranP,grubbsG,grubbsP,MSlab,MSwithin,F0,P0,F1,P1,",
                "sampleRatio,sampleP,sr,sL,sR", sep = ""))
for (st in studies) {
  d <- read.csv(file.path(raw, st$csv), colClasses = c("character", "integer", "integer", "numeric"))
  if (st$split) d <- d[d$replicate <= 2, ]
  for (i in seq_along(st$levels)) {
    x <- d[d$level == st$levels[i], c("lab", "replicate", "value")]
    names(x) <- c("lab", "rep", "value")
    n <- max(x$rep)
    e <- evaluate(x, n)
    for (lab in names(e$mark)) marks <- c(marks, sprintf("%s,%d,%s,%s", st$name, i, lab, e$mark[lab]))
    kept <- names(e$mark)[e$mark %in% c(" ", "c", "g")]
    for (discard in c(0, 1)) {
      y <- if (discard == 1) x else x[as.character(x$lab) %in% kept, ]
      p <- precision(y, st$split)
      prec <- c(prec, paste(st$name, i, discard, fmt(e$cstat), e$cp, fmt(e$gstat), e$gp,
                            fmt(p$MSlab), fmt(p$MSwithin), fmt(p$F0), fmt(p$P0), fmt(p$F1),
                            fmt(p$P1), fmt(p$ratio), fmt(p$ratioP), fmt(p$sr), fmt(p$sL),
                            fmt(p$sR), sep = ","))
    }
  }
}
writeLines(marks, file.path(root, "tests", "data", "preliminary", "outlier_reference.csv"))
writeLines(prec, file.path(root, "tests", "data", "quality", "precision_reference.csv"))
