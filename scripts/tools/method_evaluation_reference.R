# Reference figures of the method evaluation, computed independently with
# base R from the fixture study files:
#   groups   count, mean and standard deviation of the usable results of each
#            method code (codes compared without regard to case unless the
#            variant is case-sensitive; the laboratories without a code form
#            a group of their own unless that group is switched off);
#   B        R's bartlett.test() statistic times its correction factor C
#            (the evaluation leaves C out), over the groups with a spread;
#            p from pchisq() on k - 1 degrees of freedom, k all groups;
#   L        by hand: the weighted sum of squared deviations of ln(s_i^2)
#            from their weighted mean, weights (n_i - 1)/2;
#   Z, PZ    F and p of oneway.test(var.equal = TRUE) (of anova(lm()) where a
#            group has one result), when p(L) > 0.05;
#   H, PH    kruskal.test() statistic times its tie correction
#            1 - sum(t^3 - t)/(N^3 - N) (the evaluation leaves it out), with
#            pchisq() on k - 1 degrees of freedom, when p(L) <= 0.05.
#
# Run from the repository root:
#   Rscript scripts/tools/method_evaluation_reference.R
# writes tests/data/tools/method_groups_reference.csv and
# tests/data/tools/method_tests_reference.csv.
source("scripts/tools/par_reader.R")

variants <- list(
  list(file = "METHODS.PAR", case = FALSE, missing = TRUE),
  list(file = "METHODS.PAR", case = TRUE, missing = TRUE),
  list(file = "METHODS.PAR", case = FALSE, missing = FALSE),
  list(file = "CCQMK30.PAR", case = FALSE, missing = TRUE))

num <- function(x) ifelse(is.na(x), "NA", sprintf("%.17g", x))
groups_out <- NULL
tests_out <- NULL
for (v in variants) {
  levels <- read_par(file.path("tests/data/tools", v$file))
  for (lv in seq_along(levels)) {
    L <- levels[[lv]]
    take <- if (v$missing) rep(TRUE, length(L$code)) else L$method != ""
    key <- if (v$case) L$method else toupper(L$method)
    x <- c(); g <- c(); shown <- c()
    for (lab in which(take)) {
      for (r in seq_len(ncol(L$values))) {
        val <- L$values[lab, r]
        if (!is.na(val)) {
          x <- c(x, val); g <- c(g, key[lab])
        }
      }
    }
    keys <- unique(g)
    # Shown as the first laboratory in file order wrote the code.
    shown <- sapply(keys, function(q) L$method[which(take & key == q)[1]])
    k <- length(keys)
    # Positional (the empty code cannot be a name).
    n_i <- unname(sapply(keys, function(q) sum(g == q)))
    m_i <- unname(sapply(keys, function(q) mean(x[g == q])))
    s_i <- unname(sapply(keys, function(q) if (sum(g == q) > 1) sd(x[g == q]) else NA))
    gi <- match(g, keys)
    variant <- paste0(v$file, ":", if (v$case) "case" else "nocase", ":",
                      if (v$missing) "missing" else "nomissing")
    for (q in seq_along(keys)) {
      groups_out <- rbind(groups_out, data.frame(
        variant = variant, level = lv, code = unname(shown[q]), n = n_i[q],
        mean = num(m_i[q]), sd = num(s_i[q])))
    }
    B <- NA; PB <- NA; Lv <- NA; PL <- NA; Z <- NA; PZ <- NA; H <- NA; PH <- NA
    if (k >= 2) {
      spread <- which(!is.na(s_i) & s_i > 0)
      if (length(spread) >= 2) {
        sel <- gi %in% spread
        bt <- bartlett.test(x[sel], factor(gi[sel]))
        ni <- n_i[spread]
        C <- 1 + (sum(1 / (ni - 1)) - 1 / (sum(ni) - length(ni))) / (3 * (length(ni) - 1))
        B <- unname(bt$statistic) * C
        PB <- pchisq(B, k - 1, lower.tail = FALSE)
      } else if (length(spread) == 1) {
        B <- 0   # one group with a spread: pooled and group variance agree
      }
      has_w <- !is.na(s_i) & s_i > 0 & n_i >= 2
      y <- log(s_i[has_w]^2); wt <- (n_i[has_w] - 1) / 2
      Lv <- sum(wt * y^2) - sum(wt * y)^2 / sum(wt)
      Lv <- max(Lv, 0)
      PL <- pchisq(Lv, k - 1, lower.tail = FALSE)
      if (PL > 0.05) {
        if (all(n_i >= 2)) {
          ow <- oneway.test(x ~ factor(gi), var.equal = TRUE)
          Z <- unname(ow$statistic); PZ <- ow$p.value
        } else {
          # oneway.test() refuses groups of one result; the same F from lm().
          av <- anova(lm(x ~ factor(gi)))
          Z <- av$`F value`[1]; PZ <- av$`Pr(>F)`[1]
        }
      } else {
        kt <- kruskal.test(x, factor(gi))
        ties <- table(x)
        N <- length(x)
        H <- unname(kt$statistic) * (1 - sum(ties^3 - ties) / (N^3 - N))
        PH <- pchisq(H, k - 1, lower.tail = FALSE)
      }
    }
    tests_out <- rbind(tests_out, data.frame(
      variant = variant, level = lv, k = k, TotalN = length(x), B = num(B), PB = num(PB),
      L = num(Lv), PL = num(PL), Z = num(Z), PZ = num(PZ), H = num(H), PH = num(PH)))
  }
}
write.csv(groups_out, "tests/data/tools/method_groups_reference.csv", row.names = FALSE,
          quote = FALSE)
write.csv(tests_out, "tests/data/tools/method_tests_reference.csv", row.names = FALSE,
          quote = FALSE)
