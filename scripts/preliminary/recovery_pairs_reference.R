# Control of recovery rates and differences within sample pairs of the
# split-level study tests/data/preliminary/SPIKE.PAR (the second sample of
# level 1 was spiked with 2.0 mg/l, but the laboratories found about 2.7),
# recomputed in base R:
#   Rscript scripts/preliminary/recovery_pairs_reference.R
# writes tests/data/preliminary/recovery_pairs_reference.csv, one row per
# level:
#   recovery: t.test(labmeans, mu = assigned value), the means of the
#     laboratories with both results of the pair (in a split-level study a
#     laboratory takes part only with both; a '<' result is never usable);
#   pairs: t.test(d, mu = 0) with d = sample 1 - (sample 2 - spike), the
#     laboratories with both results;
#   cochran_raw = max d^2 / sum d^2 (the Cochran statistic of the pairs,
#     whose cell variance is d^2 / 2), cochran_corrected the same on the
#     pairs with the mean difference taken off: max (d - mean d)^2 /
#     sum (d - mean d)^2.
# No laboratory of this study is an outlier of the uncorrected tests, so
# every laboratory stays in both computations.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
root <- file.path(here, "..", "..")
data <- file.path(root, "tests", "data", "preliminary")

lines <- readLines(file.path(data, "SPIKE.PAR"))
starts <- grep("^LEVELDATA", lines)
ends <- grep("^END", lines)
assigned <- as.numeric(sub(".*=", "", grep("ASSIGNED", lines, value = TRUE)))
spike <- c(2.0, 0)

rows <- list()
for (lv in seq_along(starts)) {
  stop_at <- min(ends[ends > starts[lv]])
  body <- lines[(starts[lv] + 1):(stop_at - 1)]
  fields <- strsplit(trimws(body), "[[:space:]]+")
  value <- function(s) if (startsWith(s, "<")) NA else as.numeric(s)
  a <- sapply(fields, function(f) value(f[3]))
  b <- sapply(fields, function(f) value(f[4])) - spike[lv]
  both <- !is.na(a) & !is.na(b)
  labmeans <- (a[both] + b[both]) / 2
  rec <- t.test(labmeans, mu = assigned[lv])
  d <- (a - b)[!is.na(a - b)]
  pairs <- t.test(d, mu = 0)
  dc <- d - mean(d)
  rows[[lv]] <- data.frame(
    level = lv,
    rec_p = length(labmeans), rec_mean = mean(labmeans), rec_var = var(labmeans),
    rec_sd = sd(labmeans), rec_t = unname(rec$statistic), rec_P = rec$p.value,
    pairs_p = length(d), pairs_mean = mean(d), pairs_var = var(d), pairs_sd = sd(d),
    pairs_t = unname(pairs$statistic), pairs_P = pairs$p.value,
    cochran_raw = max(d^2) / sum(d^2), cochran_corrected = max(dc^2) / sum(dc^2))
}
out <- do.call(rbind, rows)
write.csv(format(out, digits = 17), file.path(data, "recovery_pairs_reference.csv"),
          row.names = FALSE, quote = FALSE)
