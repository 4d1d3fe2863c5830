# Reference figures of the confidence ellipses of the creosote study with
# method codes (tests/data/tools/CREOSOTE_M.PAR), one group per method code
# (codes compared without regard to case), computed with base R: the mean
# pair with colMeans(), the covariance matrix with cov(), its eigenvalues
# with eigen(), and the 95 % point of chi-square with 2 degrees of freedom
# (the program rounds it to 5.991). A point p of the outline satisfies
# (p - mean)' solve(cov) (p - mean) = 5.991.
#
# Run from the repository root:
#   Rscript scripts/tools/ellipse_reference.R
# writes tests/data/tools/ellipse_reference.csv.
source("scripts/tools/par_reader.R")

L <- read_par("tests/data/tools/CREOSOTE_M.PAR")[[1]]
key <- toupper(L$method)
num <- function(x) sprintf("%.17g", x)
out <- NULL
for (g in sort(unique(key))) {
  xy <- L$values[key == g, , drop = FALSE]
  xy <- xy[complete.cases(xy), , drop = FALSE]
  if (nrow(xy) < 2) {
    out <- rbind(out, data.frame(group = g, n = nrow(xy), MeanX = "NA", MeanY = "NA",
                                 VarX = "NA", VarY = "NA", Cov = "NA", Lambda1 = "NA",
                                 Lambda2 = "NA", Chi95 = num(qchisq(0.95, 2))))
    next
  }
  m <- colMeans(xy)
  S <- cov(xy)
  e <- eigen(S, symmetric = TRUE)$values
  out <- rbind(out, data.frame(group = g, n = nrow(xy), MeanX = num(m[1]), MeanY = num(m[2]),
                               VarX = num(S[1, 1]), VarY = num(S[2, 2]), Cov = num(S[1, 2]),
                               Lambda1 = num(e[1]), Lambda2 = num(e[2]),
                               Chi95 = num(qchisq(0.95, 2))))
}
write.csv(out, "tests/data/tools/ellipse_reference.csv", row.names = FALSE, quote = FALSE)
