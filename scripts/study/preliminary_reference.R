# Figures of "Descriptive statistics" computed independently in base R:
#   Rscript scripts/study/preliminary_reference.R > tests/data/study/preliminary_reference.csv
# Uniform levels pool every usable result; quartiles follow the rule of the
# program's percentile (a*n/100 a whole number: mean of that element and the
# next; else the element trunc(a*n/100)+1; fewer than six values: none).
# Split levels take each sample column; quartiles there follow the program's
# quantile rule for n mod 4 (see quartile_split below).
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
raw <- file.path(here, "..", "..", "tests", "data", "validation", "raw")

pct <- function(x, a) {
  x <- sort(x); n <- length(x)
  if (n < 6) return(NA)
  if (a == 50) return(median(x))
  k <- a * n / 100
  if (k == floor(k)) mean(x[k:(k + 1)]) else x[floor(k) + 1]
}
quartile_split <- function(x, which) {
  x <- sort(x); n <- length(x)
  if (n < 2) return(NA)
  if (which == 1) { if (n %% 4 == 0) mean(x[(n %/% 4):(n %/% 4 + 1)]) else x[n %/% 4 + 1] }
  else { if (n %% 4 == 0) mean(x[((3 * n) %/% 4):((3 * n) %/% 4 + 1)]) else x[(3 * n) %/% 4 + 1] }
}
out <- function(study, level, col, x, q25, q75, spike = 0, split = FALSE) {
  n <- length(x)
  iqr <- if (is.na(q25) || is.na(q75)) NA else abs(q75 - q25)
  rs <- if (is.na(iqr)) NA else iqr / 1.349
  # The split-level median comes from the same quantile rule: none below two values.
  m <- if (split && n < 2) NA else median(x) + spike
  s <- if (n >= 2) sd(x) else NA
  mean_ <- mean(x) + spike
  f <- function(v) if (is.na(v)) "-99" else sprintf("%.15g", v)
  cat(paste(study, level, col, n, f(min(x) + spike), f(if (is.na(q25)) NA else q25 + spike),
            f(m), f(if (is.na(q75)) NA else q75 + spike), f(max(x) + spike), f(mean_), f(s),
            f(max(x) - min(x)), f(iqr), f(rs),
            f(if (is.na(s)) NA else 100 * s / mean_), f(if (is.na(rs) || is.na(m)) NA else 100 * rs / m),
            sep = ","), "\n", sep = "")
}
cat("study,level,column,usable,min,q25,median,q75,max,mean,sd,range,iqr,robust_sd,cv,robust_cv\n")
d <- read.csv(file.path(raw, "astm_e691_glucose.csv"), colClasses = c("character", "integer", "integer", "numeric"))
for (i in 1:3) {
  x <- d$value[d$level == c("A", "B", "C")[i]]
  out("GLUC_ABC", i, 1, x, pct(x, 25), pct(x, 75))
}
# The split-level fixture tests/data/study/SPLIT.PAR: usable values per sample
# column as reported (lab 4 excluded, '<' and -99 left out); sample B of level 1
# carries a spike of 2.0 that the figures keep on the reported scale.
cols <- list(
  list(1, 1, c(10.1, 9.8, 10.4, 11.2, 10.6), 0),
  list(1, 2, c(12.3, 11.7, 12.4, 13.1, 12.6) - 2.0, 2.0),
  list(2, 1, c(20.5), 0),
  list(2, 2, c(20.1, 19.8, 20.6), 0))
for (c in cols) {
  x <- c[[3]]
  out("SPLIT", c[[1]], c[[2]], x, quartile_split(x, 1), quartile_split(x, 3), c[[4]], split = TRUE)
}
