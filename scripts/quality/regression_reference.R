# Weight function, weighted regression and ISO Guide 35 figures of the study
# files tests/data/quality/*_ASSIGNED.PAR (the public ASTM E691 glucose and
# pentosan data of tests/data/validation with assigned values added) and of
# the small studies tests/data/quality/REG_*.PAR, recomputed in base R with
# every laboratory counted (as with "Discard outlier tests"):
#   Rscript scripts/quality/regression_reference.R
# writes tests/data/quality/regression_reference.csv, one row per study and
# figure (name, index, value).
#   s(R): anova(lm(y ~ factor(lab))) per level, s(L)^2 = (MSlab - MSwithin)/n
#     (0 when negative), n the study's replicate count.
#   Relations 0..4: lm(s ~ 0 + mu), lm(s ~ mu), lm(s^2 ~ 0 + mu),
#     lm(s^2 ~ mu), lm(log s ~ log mu); a line with intercept that is
#     negative at the first level is fitted again through that point
#     (lm(I(y - y1) ~ 0 + I(x - x1)) on the other points). R^2 = 1 - SSE/SST
#     (through the origin NA when SSE > SSR or SSR > SST).
#   Weighted regression: lm(y ~ x, weights = 1/w^2) of every usable result on
#     its level's assigned value; C = summary(fit)$cov.unscaled; SAK1 =
#     deviance(fit); SAK2 = deviance(lm(y ~ factor(level), weights)); SAKo
#     the weighted sum of squares about y = x; lack of fit and the joint
#     test a = 0, b = 1 from anova() of the nested fits; gamma =
#     sqrt(SAK1 / k) with k the replicate positions of the counted
#     laboratories; t = (b - 1)/(sqrt(C22) gamma) and
#     t = (xbar b + a - xbar)/(gamma sqrt(xbar^2 C22 + C11 + 2 xbar C12)),
#     p = 2 pt(-|t|, N - 2).
#   ISO Guide 35: per level the mean of the laboratory means, sd/sqrt(p) and
#     mean -/+ qt(0.975, p - 1) sd/sqrt(p).
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
data <- file.path(here, "..", "..", "tests", "data", "quality")

read_par <- function(path) {
  lines <- trimws(readLines(path))
  n <- as.integer(sub(".*=", "", grep("^NREPLICATES", lines, value = TRUE)))
  starts <- grep("^LEVELDATA", lines)
  ends <- grep("^END", lines)
  assigned <- as.numeric(sub(".*=", "", grep("^ASSIGNED", lines, value = TRUE)))
  rows <- list()
  for (lv in seq_along(starts)) {
    stop_at <- min(ends[ends > starts[lv]])
    body <- lines[(starts[lv] + 1):(stop_at - 1)]
    for (i in seq_along(body)) {
      f <- strsplit(body[i], "[[:space:]]+")[[1]]
      for (r in 1:n) {
        s <- f[2 + r]
        v <- if (startsWith(s, "<")) NA else as.numeric(s)
        if (!is.na(v) && v == -99) v <- NA
        rows[[length(rows) + 1]] <- data.frame(level = lv, lab = i, rep = r, y = v,
                                               x = assigned[lv])
      }
    }
  }
  d <- do.call(rbind, rows)
  list(n = n, assigned = assigned, d = d, levels = length(starts))
}

sR_of <- function(d, n) {
  first <- d[d$rep == 1 & !is.na(d$y), "lab"]
  d <- d[d$lab %in% first & !is.na(d$y), ]
  tab <- anova(lm(y ~ factor(lab), data = d))
  msl <- tab[1, "Mean Sq"]; msw <- tab[2, "Mean Sq"]
  sqrt(max(0, (msl - msw) / n) + msw)
}

fit_origin <- function(x, y) {
  if (length(x) == 0 || sum(x^2) == 0) return(c(0, NA, NA))
  b <- unname(coef(lm(y ~ 0 + x))[1])
  yh <- b * x; ym <- mean(y)
  sse <- sum((y - yh)^2); ssr <- sum((yh - ym)^2); sst <- sum((y - ym)^2)
  r2 <- if (sst == 0 || sse > ssr || ssr > sst) NA else 1 - sse / sst
  c(0, b, r2)
}

fit_line <- function(x, y) {
  if (length(x) < 2 || var(x) == 0) return(c(NA, NA, NA))
  cf <- unname(coef(lm(y ~ x)))
  sst <- sum((y - mean(y))^2)
  r2 <- if (sst == 0) NA else 1 - sum((y - cf[1] - cf[2] * x)^2) / sst
  out <- c(cf, r2)
  if (cf[1] + cf[2] * x[1] < 0) {
    o <- fit_origin(x[-1] - x[1], y[-1] - y[1])
    out <- c(if (is.na(o[2])) NA else y[1] - o[2] * x[1], o[2], o[3])
  }
  out
}

relation_value <- function(k, a, b, mu) {
  if (is.na(a) || is.na(b)) return(NA)
  v <- switch(k + 1, b * mu, a + b * mu,
              if (b * mu > 0) sqrt(b * mu) else NA,
              if (a + b * mu > 0) sqrt(a + b * mu) else NA,
              if (mu > 0) exp(a + b * log(mu)) else NA)
  v
}

out <- list()
put <- function(study, name, index, value) {
  out[[length(out) + 1]] <<- data.frame(study = study, name = name, index = index,
                                        value = if (is.na(value)) "NA" else
                                          format(value, digits = 17))
}

for (file in c("GLUC_ASSIGNED", "PENT_ASSIGNED", "REG_TWO_LEVELS", "REG_NEGATIVE",
               "REG_TWENTY")) {
  st <- read_par(file.path(data, paste0(file, ".PAR")))
  mu <- st$assigned
  sR <- sapply(1:st$levels, function(lv) sR_of(st$d[st$d$level == lv, ], st$n))
  for (lv in seq_along(sR)) put(file, "SR", lv, sR[lv])
  A <- B <- R2 <- rep(NA, 5)
  for (k in 0:4) {
    x <- mu; y <- sR
    if (k %in% c(2, 3)) y <- sR^2
    if (k == 4) { ok <- x > 0 & y > 0; x <- log(x[ok]); y <- log(y[ok]) }
    f <- if (k %in% c(0, 2)) fit_origin(x, y) else fit_line(x, y)
    A[k + 1] <- f[1]; B[k + 1] <- f[2]; R2[k + 1] <- f[3]
  }
  valid <- sapply(0:4, function(k) {
    w <- sapply(mu, function(m) relation_value(k, A[k + 1], B[k + 1], m))
    ok <- !is.na(B[k + 1]) && !is.na(A[k + 1]) && all(!is.na(w) & w > 0)
    if (k %in% c(2, 4)) ok <- ok && all(mu >= 0)
    if (k == 3) ok <- ok && all(A[4] + B[4] * mu >= 0)
    ok
  })
  best <- NA
  for (k in 0:4) if (valid[k + 1]) {
    r <- ifelse(is.na(R2[k + 1]), -99, R2[k + 1])
    if (is.na(best) || r > ifelse(is.na(R2[best + 1]), -99, R2[best + 1])) best <- k
  }
  for (k in 0:4) {
    put(file, "Intercept", k, A[k + 1]); put(file, "Slope", k, B[k + 1])
    put(file, "RSquared", k, R2[k + 1]); put(file, "RelationValid", k, as.numeric(valid[k + 1]))
  }
  put(file, "BestRelation", 0, best)
  w <- sapply(mu, function(m) relation_value(best, A[best + 1], B[best + 1], m))
  for (lv in seq_along(w)) put(file, "WeightOfLevel", lv, w[lv])

  # The weighted regression of the counted laboratories' results.
  d <- st$d
  counted <- unique(d[d$rep == 1 & !is.na(d$y), c("level", "lab")])
  key <- paste(d$level, d$lab)
  d <- d[key %in% paste(counted$level, counted$lab), ]
  k <- nrow(d)
  d <- d[!is.na(d$y), ]
  d$w <- w[d$level]
  fit <- lm(y ~ x, data = d, weights = 1 / w^2)
  cf <- unname(coef(fit)); C <- summary(fit)$cov.unscaled
  N <- nrow(d); L <- length(unique(d$level))
  sak1 <- deviance(fit)
  sako <- sum(((d$y - d$x) / d$w)^2)
  means <- lm(y ~ factor(level), data = d, weights = 1 / w^2)
  sak2 <- deviance(means)
  gamma <- sqrt(sak1 / k)
  put(file, "Alpha", 0, cf[1]); put(file, "Beta", 0, cf[2]); put(file, "Gamma", 0, gamma)
  put(file, "C11", 0, C[1, 1]); put(file, "C22", 0, C[2, 2]); put(file, "C12", 0, C[1, 2])
  put(file, "SAK1", 0, sak1); put(file, "SAKo", 0, sako); put(file, "SAK2", 0, sak2)
  put(file, "N", 0, N)
  if (L > 2 && N > L && sak2 > 0 && sak1 > sak2) {
    lof <- anova(fit, means)
    put(file, "LackOfFitF", 0, lof$F[2]); put(file, "LackOfFitP", 0, lof[2, "Pr(>F)"])
  } else {
    put(file, "LackOfFitF", 0, NA); put(file, "LackOfFitP", 0, NA)
  }
  xbar <- sum(d$x) / N
  tb <- (cf[2] - 1) / (sqrt(C[2, 2]) * gamma)
  tm <- (xbar * cf[2] + cf[1] - xbar) / (gamma * sqrt(xbar^2 * C[2, 2] + C[1, 1] +
                                                      2 * xbar * C[1, 2]))
  put(file, "SlopeT", 0, tb); put(file, "SlopeP", 0, 2 * pt(-abs(tb), N - 2))
  put(file, "BiasT", 0, tm); put(file, "BiasP", 0, 2 * pt(-abs(tm), N - 2))
  identity <- lm(y ~ 0 + offset(x), data = d, weights = 1 / w^2)
  joint <- anova(identity, fit)
  put(file, "IdentityF", 0, joint$F[2]); put(file, "IdentityP", 0, joint[2, "Pr(>F)"])

  # The regression on laboratory 2 alone (lack of fit against its level
  # means, as above).
  e <- d[d$lab == 2, ]
  lk <- nrow(unique(e[, c("level", "lab")])) * st$n
  lf <- lm(y ~ x, data = e, weights = 1 / w^2)
  lc <- unname(coef(lf)); lC <- summary(lf)$cov.unscaled
  lN <- nrow(e); lL <- length(unique(e$level))
  l1 <- deviance(lf)
  lm2 <- lm(y ~ factor(level), data = e, weights = 1 / w^2)
  l2 <- deviance(lm2)
  lg <- sqrt(l1 / lk)
  put(file, "Lab.Alpha", 0, lc[1]); put(file, "Lab.Beta", 0, lc[2]); put(file, "Lab.Gamma", 0, lg)
  put(file, "Lab.SAK1", 0, l1); put(file, "Lab.SAK2", 0, l2)
  put(file, "Lab.SAKo", 0, sum(((e$y - e$x) / e$w)^2))
  if (lL > 2 && lN > lL && l2 > 0 && l1 > l2) {
    lof <- anova(lf, lm2)
    put(file, "Lab.LackOfFitF", 0, lof$F[2]); put(file, "Lab.LackOfFitP", 0, lof[2, "Pr(>F)"])
  }
  tb <- (lc[2] - 1) / (sqrt(lC[2, 2]) * lg)
  put(file, "Lab.SlopeT", 0, tb); put(file, "Lab.SlopeP", 0, 2 * pt(-abs(tb), lN - 2))
  lj <- anova(lm(y ~ 0 + offset(x), data = e, weights = 1 / w^2), lf)
  put(file, "Lab.IdentityF", 0, lj$F[2]); put(file, "Lab.IdentityP", 0, lj[2, "Pr(>F)"])

  # ISO Guide 35 from the laboratory means.
  for (lv in 1:st$levels) {
    e <- st$d[st$d$level == lv & !is.na(st$d$y), ]
    m <- tapply(e$y, e$lab, mean)
    p <- length(m); se <- sd(m) / sqrt(p)
    put(file, "LevelMean", lv, mean(m)); put(file, "LabCount", lv, p)
    put(file, "StdError", lv, se)
    put(file, "LowerLimit", lv, mean(m) - qt(0.975, p - 1) * se)
    put(file, "UpperLimit", lv, mean(m) + qt(0.975, p - 1) * se)
  }
}
res <- do.call(rbind, out)
write.csv(res, file.path(data, "regression_reference.csv"), row.names = FALSE, quote = FALSE)
