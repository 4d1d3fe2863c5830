#!/usr/bin/env Rscript
# Makes the critical-value tables of the Cochran and Grubbs tests,
# src/core/numerics/CriticalValueTables.inc, and the computed parts beside
# this script. Run from this folder:  Rscript make_tables.R
#
# Typed inputs:
#   iso5725_2_table4_cochran.csv    ISO 5725-2:1994 Table 4 (n = 2 ... 6)
#   cochran_7_to_10_replicates.csv  the program's values for n = 7 ... 10
#   iso5725_2_table5_grubbs.csv     ISO 5725-2:1994 Table 5 (p = 3 ... 40)
#   grubbs_anchor_rows.csv          the program's values at some p > 40
# Simulated input:
#   grubbs_double_sim.csv           output of grubbs_double_sim.cpp
# Outputs:
#   cochran_11_to_20_replicates.csv, grubbs_single_41_to_147.csv,
#   grubbs_double_41_to_149.csv and the .inc file.
# The script stops when a check fails; it writes nothing in that case.

read_table <- function(f) read.csv(f, comment.char = "#")
check <- function(ok, what) if (!all(ok, na.rm = TRUE)) stop("check failed: ", what)

iso4 <- read_table("iso5725_2_table4_cochran.csv")
coch710 <- read_table("cochran_7_to_10_replicates.csv")
iso5 <- read_table("iso5725_2_table5_grubbs.csv")
anchor <- read_table("grubbs_anchor_rows.csv")
sim <- read_table("grubbs_double_sim.csv")
check(all(iso4$p == 2:40) && all(coch710$p == 2:40) && all(iso5$p == 3:40), "table rows")
check(all(sim$p == 4:149), "simulation rows")

levels <- c(0.01, 0.05)

# --- Cochran -----------------------------------------------------------------
# Upper critical value of C = max s_i^2 / sum s_i^2 for p variances with n - 1
# degrees of freedom each, from the F distribution (Bonferroni bound, which is
# practically exact at these levels).
cochran_f <- function(alpha, n, p) {
  f <- qf(alpha / p, n - 1, (n - 1) * (p - 1), lower.tail = FALSE)
  1 / (1 + (p - 1) / f)
}
for (n in 2:6) for (i in 1:2) {
  col <- iso4[[sprintf("n%d_%d", n, c(1, 5)[i])]]
  check(abs(col - cochran_f(levels[i], n, iso4$p)) <= 0.001,
        sprintf("ISO Table 4, n = %d, against the F formula", n))
}
many_n <- 11:20
many_p <- 2:150
many <- expand.grid(p = many_p, n = many_n)[, c("n", "p")]
many$c1 <- round(cochran_f(0.01, many$n, many$p), 4)
many$c5 <- round(cochran_f(0.05, many$n, many$p), 4)
check(many$c1 > many$c5 & many$c5 > 1 / many$p, "Cochran values for n > 10 ordered")

# --- Grubbs, single ------------------------------------------------------------
# ((p - 1)/sqrt(p)) * sqrt(t^2/(p - 2 + t^2)), t the upper alpha/(2p) point of
# Student's t with p - 2 degrees of freedom.
grubbs_single <- function(alpha, p) {
  t <- qt(alpha / (2 * p), p - 2, lower.tail = FALSE)
  (p - 1) / sqrt(p) * sqrt(t^2 / (p - 2 + t^2))
}
check(abs(iso5$single_1 - grubbs_single(0.01, iso5$p)) <= 0.001, "ISO Table 5 single 1 %")
check(abs(iso5$single_5 - grubbs_single(0.05, iso5$p)) <= 0.001, "ISO Table 5 single 5 %")
# The rows the program already holds (anchors) sit up to 0.002 from the
# formula, drifting slowly with p; the rows between follow the formula plus the
# drift interpolated linearly between anchors, so that they run smoothly
# through the anchors instead of stepping at each one.
through_anchors <- function(base, p, anchor_p, anchor_v) {
  drift <- approx(anchor_p, anchor_v - base(anchor_p), xout = p, rule = 2)$y
  base(p) + drift
}
a <- anchor[!is.na(anchor$single_1), ]
single <- data.frame(p = 41:147)
single$s1 <- round(through_anchors(function(p) grubbs_single(0.01, p), single$p, a$p, a$single_1), 3)
single$s5 <- round(through_anchors(function(p) grubbs_single(0.05, p), single$p, a$p, a$single_5), 3)
check(single$s1[match(a$p, single$p)] == a$single_1 & single$s5[match(a$p, single$p)] == a$single_5,
      "single rows keep the anchors")
# Within 0.002 of the formula, both taken to the table's 3 decimals.
check(abs(single$s1 - round(grubbs_single(0.01, single$p), 3)) <= 0.002 + 1e-9, "single 1 % near the formula")
check(abs(single$s5 - round(grubbs_single(0.05, single$p), 3)) <= 0.002 + 1e-9, "single 5 % near the formula")

# --- Grubbs, double ------------------------------------------------------------
# The simulated points scatter by a few units in the fifth decimal; a smooth
# curve through them (a polynomial in log p on the logit scale, fitted over
# p = 20 ... 149) is far steadier than any single point.
# Every typed double value of the standard lies within the simulation's
# scatter (at most 0.0005 at p = 14; 0.0002 for p >= 20), a check of the typing.
sim_iso <- sim[match(iso5$p[-1], sim$p), ]
check(abs(sim_iso$q1 - iso5$double_1[-1]) <= 0.0006 & abs(sim_iso$q5 - iso5$double_5[-1]) <= 0.0006,
      "simulation against ISO Table 5 double values")
fit_from <- 20
fit_double <- function(q) {
  use <- sim$p >= fit_from
  x <- log(sim$p[use])
  y <- qlogis(q[use])
  m <- lm(y ~ poly(x, 5, raw = TRUE))
  list(model = m, sigma = summary(m)$sigma,
       at = function(p) plogis(predict(m, data.frame(x = log(p)))))
}
fits <- list(fit_double(sim$q1), fit_double(sim$q5))
iso_cols <- c("double_1", "double_5")
anchor_cols <- c("double_1", "double_5")
for (i in 1:2) {
  f <- fits[[i]]
  # The curve must reproduce the standard where the two overlap ...
  ip <- iso5$p[iso5$p >= fit_from]
  dev_iso <- f$at(ip) - iso5[[iso_cols[i]]][match(ip, iso5$p)]
  # ... and the program's own rows beyond it.
  dev_anchor <- f$at(anchor$p) - anchor[[anchor_cols[i]]]
  cat(sprintf("double %s: residual sd %.2e (logit), max |curve - ISO| %.5f, max |curve - anchor| %.5f\n",
              c("1 %", "5 %")[i], f$sigma, max(abs(dev_iso)), max(abs(dev_anchor))))
  check(abs(dev_iso) <= 0.0004, "double curve against ISO Table 5")
  check(abs(dev_anchor) <= 0.0004, "double curve against the anchor rows")
}
double <- data.frame(p = 41:149)
double$d1 <- round(through_anchors(fits[[1]]$at, double$p, anchor$p, anchor$double_1), 4)
double$d5 <- round(through_anchors(fits[[2]]$at, double$p, anchor$p, anchor$double_5), 4)
check(double$d1[match(anchor$p, double$p)] == anchor$double_1 &
      double$d5[match(anchor$p, double$p)] == anchor$double_5, "double rows keep the anchors")
check(diff(double$d1) >= 0 & diff(double$d5) >= 0, "double values rise with p")
check(double$d1 < double$d5, "double 1 % below 5 %")
check(diff(single$s1) >= 0 & diff(single$s5) >= 0, "single values rise with p")

# --- Output ----------------------------------------------------------------------
write_out <- function(d, f, header) {
  con <- file(f, "w")
  writeLines(header, con)
  write.csv(d, con, row.names = FALSE, quote = FALSE)
  close(con)
}
write_out(many, "cochran_11_to_20_replicates.csv",
          "# Cochran critical values for n = 11 ... 20 replicates from the F distribution (make_tables.R).")
write_out(single, "grubbs_single_41_to_147.csv",
          "# Single Grubbs critical values for p = 41 ... 147 (make_tables.R): formula, through the anchor rows.")
write_out(double, "grubbs_double_41_to_149.csv",
          "# Double Grubbs critical values for p = 41 ... 149 (make_tables.R): simulation curve, through the anchor rows.")

fmt <- function(x, digits) ifelse(is.na(x), "-99.0f", sprintf(paste0("%.", digits, "ff"), x))
pairs <- function(v1, v5, digits) sprintf("{%s, %s}", fmt(v1, digits), fmt(v5, digits))
# Rows of pairs, five to a line.
block <- function(cells, indent) {
  lines <- split(cells, ceiling(seq_along(cells) / 5))
  paste0(indent, sapply(lines, paste, collapse = ", "), ",")
}

out <- c(
  "// Generated by scripts/numerics/make_tables.R; do not edit. Rerun the script",
  "// after changing its inputs (see the script for what each table comes from).",
  "// clang-format off",
  "",
  "// Cochran: [n - 2][p - 2][1 %, 5 %] for n = 2 ... 10, p = 2 ... 40.",
  "// n = 2 ... 6: ISO 5725-2:1994 Table 4, with 1.1 (a value no statistic can",
  "// exceed) for n = 2, p = 2, which the standard leaves empty.",
  "constexpr float CochranTable[9][39][2] = {")
for (n in 2:10) {
  if (n <= 6) {
    v1 <- iso4[[sprintf("n%d_1", n)]]; v5 <- iso4[[sprintf("n%d_5", n)]]
    if (n == 2) { v1[1] <- 1.1; v5[1] <- 1.1 }
  } else {
    v1 <- coch710[[sprintf("n%d_1", n)]]; v5 <- coch710[[sprintf("n%d_5", n)]]
  }
  out <- c(out, sprintf("    // n = %d", n), "    {", block(pairs(v1, v5, 3), "        "), "    },")
}
out <- c(out, "};", "",
  "// Cochran for n = 11 ... 20: [n - 11][p - 2][1 %, 5 %], p = 2 ... 150, from the",
  "// F distribution (cochran_11_to_20_replicates.csv).",
  "constexpr float CochranManyReplicatesTable[10][149][2] = {")
for (n in many_n) {
  d <- many[many$n == n, ]
  out <- c(out, sprintf("    // n = %d", n), "    {", block(pairs(d$c1, d$c5, 4), "        "), "    },")
}
out <- c(out, "};", "",
  "// Single Grubbs: [p - 3][1 %, 5 %], p = 3 ... 147. p <= 40: ISO 5725-2:1994",
  "// Table 5; beyond: grubbs_single_41_to_147.csv.",
  "constexpr float GrubbsSingleTable[145][2] = {",
  block(c(pairs(iso5$single_1, iso5$single_5, 3), pairs(single$s1, single$s5, 3)), "    "),
  "};", "",
  "// Double Grubbs: [p - 3][1 %, 5 %], p = 3 ... 149; -99 at p = 3. p <= 40:",
  "// ISO 5725-2:1994 Table 5; beyond: grubbs_double_41_to_149.csv.",
  "constexpr float GrubbsDoubleTable[147][2] = {",
  block(c(pairs(iso5$double_1, iso5$double_5, 4), pairs(double$d1, double$d5, 4)), "    "),
  "};", "", "// clang-format on")
writeLines(out, "../../src/core/numerics/CriticalValueTables.inc")
cat("wrote ../../src/core/numerics/CriticalValueTables.inc\n")
