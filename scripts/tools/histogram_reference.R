# Reference figures of the histograms and their G tests of goodness of fit,
# computed independently with base R: class counts with cut() (classes
# (lower, upper], 0.4 standard deviations rounded by signif() to one digit,
# centred on the mean), class probabilities with pnorm() and plnorm(),
# G = 2 * sum(O * log(O / E)) over the classes with O > 0 and the upper-tail
# probability with pchisq() on 14 degrees of freedom (17 classes, less one,
# less the two estimated parameters).
#
# Run from the repository root:
#   Rscript scripts/tools/histogram_reference.R
# writes tests/data/tools/histogram_reference.csv.
source("scripts/tools/par_reader.R")

files <- c("ISO16269.PAR", "CCQMK30.PAR", "TINY.PAR", "METHODS.PAR", "CREOSOTE_M.PAR")
out <- NULL
for (f in files) {
  levels <- read_par(file.path("tests/data/tools", f))
  for (lv in seq_along(levels)) {
    x <- as.vector(t(levels[[lv]]$values))
    x <- x[!is.na(x)]
    n <- length(x); m <- mean(x); s <- sd(x)
    w <- signif(0.4 * s, 1)
    breaks <- m + w * (seq(-7.5, 7.5, by = 1))   # bounds of classes 2..16
    counts <- c(0, as.vector(table(cut(x, breaks, right = TRUE))), 0)
    cdf_n <- c(0, pnorm(breaks, m, s), 1)
    pn <- diff(cdf_n)
    E <- n * pn
    G <- 2 * sum(ifelse(counts > 0, counts * log(counts / E), 0))
    p <- pchisq(G, 14, lower.tail = FALSE)
    lognormal <- all(x > 0) && breaks[1] > 0
    if (lognormal) {
      ml <- mean(log(x)); sl <- sd(log(x))
      pl <- diff(c(0, plnorm(breaks, ml, sl), 1))
      Gl <- 2 * sum(ifelse(counts > 0, counts * log(counts / (n * pl)), 0))
      pL <- pchisq(Gl, 14, lower.tail = FALSE)
    } else {
      pl <- rep(NA, 17); Gl <- NA; pL <- NA
    }
    outside <- sum(x <= breaks[1] | x > breaks[16])
    row <- data.frame(file = f, level = lv, n = n, mean = m, sd = s, width = w,
                      outside = outside, G = G, p = p, Gl = Gl, pl = pL)
    for (i in 1:17) row[[paste0("count", i)]] <- counts[i]
    for (i in 1:17) row[[paste0("pn", i)]] <- pn[i]
    for (i in 1:17) row[[paste0("plg", i)]] <- pl[i]
    out <- rbind(out, row)
  }
}
con <- file("tests/data/tools/histogram_reference.csv", "w")
for (k in seq_along(out)) {
  if (is.numeric(out[[k]])) out[[k]] <- ifelse(is.na(out[[k]]), "NA", sprintf("%.17g", out[[k]]))
}
write.csv(out, con, row.names = FALSE, quote = FALSE)
close(con)

# The standard normal distribution function at points on both sides of the
# switch between the power series and the continued fraction (|z| = 2.5):
# tests/data/tools/normal_cdf_reference.csv.
z <- c(-8, -6, -4.5, -3.2, -2.5, -2.4999, -1.96, -1, -0.3, 1e-6, 0.5, 1.2816, 2.2,
       2.4999, 2.5, 2.75, 3.5, 5, 7)
con <- file("tests/data/tools/normal_cdf_reference.csv", "w")
write.csv(data.frame(z = z, lower = sprintf("%.17g", pnorm(z)),
                     upper = sprintf("%.17g", pnorm(z, lower.tail = FALSE))),
          con, row.names = FALSE, quote = FALSE)
close(con)
