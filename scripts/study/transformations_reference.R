# The transformations and their inverses computed in base R, as the
# independent reference for the transformation tests:
#   Rscript scripts/study/transformations_reference.R > tests/data/study/transformations_reference.csv
# index: 1 ln, 2 log10, 3 square root, 4 inverse. "f" is f(x) where x is in
# the domain (x > 0, x > 0, x >= 0, x != 0), else NA; "back" is the inverse
# function applied to x itself (exp, 10^x, x^2, 1/x), NA where not finite.
xs <- c(-250, -4, -0.5, 0, 1e-6, 0.001, 0.5, 1, 2, exp(1), 3, 10, 12.5, 100, 1000, 123456.789)
fs <- list(
  function(x) if (x > 0) log(x) else NA,
  function(x) if (x > 0) log10(x) else NA,
  function(x) if (x >= 0) sqrt(x) else NA,
  function(x) if (x != 0) 1 / x else NA
)
bs <- list(exp, function(x) 10^x, function(x) x^2, function(x) 1 / x)
fmt <- function(v) if (is.na(v) || !is.finite(v)) "NA" else sprintf("%.17g", v)
cat("index,x,f,back\n")
for (i in 1:4) {
  for (x in xs) {
    cat(sprintf("%d,%s,%s,%s\n", i, fmt(x), fmt(fs[[i]](x)), fmt(bs[[i]](x))))
  }
}
