# The statistics of a study's evaluation alone, in base R: cell means and
# variances, Cochran's test repeated while it finds an outlier, Grubbs'
# single and double tests, Mandel's h and k, and the precision estimates by
# one-way analysis of variance. The yardstick of bench/whole_evaluation.sh:
#   Rscript bench/whole_evaluation_stats.R FILE.PAR
# prints one line per level (p, s(r), s(L), s(R)).
args <- commandArgs(trailingOnly = TRUE)
script <- sub("--file=", "", grep("--file=", commandArgs(FALSE), value = TRUE))
tables <- file.path(dirname(normalizePath(script)), "..", "scripts", "numerics")
coch <- read.csv(file.path(tables, "iso5725_2_table4_cochran.csv"), comment.char = "#")
grub <- read.csv(file.path(tables, "iso5725_2_table5_grubbs.csv"), comment.char = "#")

lines <- trimws(readLines(args[1]))
nrep <- as.integer(sub(".*=", "", grep("^NREPLICATES", lines, value = TRUE)))
levels <- list()
inside <- FALSE
for (l in lines) {
  if (l == "LEVELDATA") { inside <- TRUE; rows <- list(); next }
  if (inside && l == "END") { inside <- FALSE; levels[[length(levels) + 1]] <- rows; next }
  if (inside) {
    f <- strsplit(l, "[[:space:]]+")[[1]]
    v <- suppressWarnings(as.numeric(f[3:(2 + nrep)]))
    rows[[length(rows) + 1]] <- data.frame(lab = f[1], value = v)
  }
}

cochran_crit <- function(n, p, a) {
  col <- sprintf("n%d_%d", n, a)
  if (!col %in% names(coch) || !p %in% coch$p) return(Inf)
  coch[coch$p == p, col]
}
grubbs_crit <- function(kind, p, a) {
  col <- sprintf("%s_%d", kind, a)
  if (!p %in% grub$p) return(NA)
  grub[grub$p == p, col]
}

for (rows in levels) {
  x <- do.call(rbind, rows)
  x <- x[!is.na(x$value), ]
  m <- tapply(x$value, x$lab, mean)
  v <- tapply(x$value, x$lab, var)
  keep <- names(m)
  # Cochran, while the largest variance is an outlier.
  repeat {
    p <- length(keep)
    if (p < 3) break
    C <- max(v[keep]) / sum(v[keep])
    if (C > cochran_crit(nrep, p, 1)) keep <- setdiff(keep, names(which.max(v[keep]))) else break
  }
  # Grubbs single, then double on the means that are left.
  repeat {
    p <- length(keep)
    if (p < 3) break
    mm <- m[keep]; s <- sd(mm)
    g <- max(abs(mm - mean(mm))) / s
    cr <- grubbs_crit("single", p, 1)
    if (!is.na(cr) && g > cr) keep <- setdiff(keep, names(which.max(abs(mm - mean(mm))))) else break
  }
  if (length(keep) > 3) {
    mm <- sort(m[keep]); p <- length(mm); ss <- sum((mm - mean(mm))^2)
    lo <- sum((mm[-(1:2)] - mean(mm[-(1:2)]))^2) / ss
    hi <- sum((mm[-((p - 1):p)] - mean(mm[-((p - 1):p)]))^2) / ss
    cr <- grubbs_crit("double", p, 1)
    if (!is.na(cr) && lo < cr) keep <- setdiff(keep, names(mm)[1:2])
    if (!is.na(cr) && hi < cr) keep <- setdiff(keep, names(mm)[(p - 1):p])
  }
  # Mandel's h and k over every laboratory.
  h <- (m - mean(m)) / sd(m)
  k <- sqrt(v) / sqrt(mean(v))
  # Precision from the laboratories kept.
  y <- x[x$lab %in% keep, ]
  y$lab <- factor(y$lab)
  a <- anova(lm(value ~ lab, data = y))
  msl <- a["lab", "Mean Sq"]; msw <- a["Residuals", "Mean Sq"]
  nbar <- nrow(y) / nlevels(y$lab)
  sL2 <- max(0, (msl - msw) / nbar)
  cat(sprintf("p = %d  s(r) = %.5g  s(L) = %.5g  s(R) = %.5g  max|h| = %.3f  max k = %.3f\n",
              length(keep), sqrt(msw), sqrt(sL2), sqrt(msw + sL2), max(abs(h)), max(k)))
}
