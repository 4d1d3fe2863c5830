# Level statistics of the public validation studies, computed from first
# principles with base R (one-way analysis of variance per level), as the
# independent reference for the descriptive statistics tests.
#
#   Rscript scripts/study/descriptive_reference.R > tests/data/study/descriptive_reference.csv
#
# Input: the raw CSV files (level, lab, replicate, value) in tests/data/validation/raw.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
raw <- file.path(here, "..", "..", "tests", "data", "validation", "raw")

sets <- list(
  list(file = "astm_e691_glucose.csv", study = "GLUC_ABC", levels = c("A", "B", "C")),
  list(file = "astm_e691_glucose.csv", study = "GLUC_DE", levels = c("D", "E")),
  list(file = "astm_e691_pentosan.csv", study = "PENT_ABC", levels = c("A", "B", "C")),
  list(file = "astm_e691_pentosan.csv", study = "PENT_DEF", levels = c("D", "E", "F")),
  list(file = "astm_e691_pentosan.csv", study = "PENT_GHI", levels = c("G", "H", "I")),
  list(file = "iso5725_creosote_one_level.csv", study = "CREOSOTE", levels = c("1"))
)

cat("study,level,p,grand_mean,repeat_var,between_mean_square,between_lab_var,repeat_cv,between_lab_cv\n")
for (s in sets) {
  d <- read.csv(file.path(raw, s$file), colClasses = c("character", "integer", "integer", "numeric"))
  for (i in seq_along(s$levels)) {
    x <- d[d$level == s$levels[i], ]
    x$lab <- factor(x$lab)
    fit <- anova(lm(value ~ lab, data = x))
    p <- nlevels(x$lab)
    ni <- as.vector(table(x$lab))
    T1 <- sum(ni); T2 <- sum(ni^2)
    nbar <- (T1 - T2 / T1) / (p - 1)
    msb <- fit["lab", "Mean Sq"]
    msw <- fit["Residuals", "Mean Sq"]
    sL2 <- max(0, (msb - msw) / nbar)
    m <- mean(x$value)
    cvr <- 100 * sqrt(msw) / m
    cvl <- if (sL2 > 0) 100 * sqrt(sL2) / m else -99
    cat(sprintf("%s,%d,%d,%.15g,%.15g,%.15g,%.15g,%.15g,%.15g\n",
                s$study, i, p, m, msw, msb, sL2, cvr, cvl))
  }
}
