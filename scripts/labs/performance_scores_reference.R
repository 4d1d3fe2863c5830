# Performance scores of ISO 13528:2022 (z and z') with the robust consensus
# of Algorithm A (ISO 13528:2022, Annex C.3), computed in base R (no
# packages) from the study files themselves:
#   Rscript scripts/labs/performance_scores_reference.R
# writes tests/data/labs/performance_scores_reference.csv: per study, level
# (or sample of a split level) and laboratory the laboratory mean, x*, s*,
# the rounds of Algorithm A, u(X), X, sigma_pt, z and z' (NA where not
# formed), with the default choices: X from the file where it gives one and
# x* otherwise, sigma_pt = s*.
#
# The study files are read by the small reader below, written for this
# script from the file format (laboratory lines "NN CODE v1 ... vn METHOD";
# a first field starting with U marks an excluded laboratory; "<" before a
# value marks a result below a limit; -99 a missing value; ASSIGNED or
# NOMINAL in a level header gives the assigned value). In a split level
# the spiked sample (SPIKED, with SPIKING added) is scored on the values as
# reported; its assigned value from the file is the level's plus the spike.
#
# Algorithm A: x* = median, s* = 1.483 * median(|x - x*|) (the sample
# standard deviation when that is 0); repeat: winsorise at x* +- 1.5 s*,
# x* = mean, s* = 1.134 * sd of the winsorised values, until both change by
# no more than 1e-10 relatively (the mean relative to max(|x*|, s*)), at
# most 1000 rounds. u(X) = 1.25 s* / sqrt(p) when X = x*; unknown (NA) when
# X comes from the file.
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
root <- normalizePath(file.path(here, "..", ".."))

read_par <- function(path) {
  lines <- trimws(readLines(path, warn = FALSE))
  split <- any(lines == "SPLITLEVEL")
  levels <- list()
  i <- 1
  while (i <= length(lines)) {
    if (lines[i] == "LEVELHEADER") {
      lv <- list(assigned = NA, rows = list(), spiking = NA, spiked = NA)
      i <- i + 1
      while (lines[i] != "END") {
        if (grepl("^(ASSIGNED|NOMINAL) *=", lines[i])) {
          lv$assigned <- as.numeric(sub("^[A-Z]+ *= *", "", lines[i]))
        }
        if (grepl("^SPIKING *=", lines[i])) {
          lv$spiking <- as.numeric(sub("^SPIKING *= *", "", lines[i]))
        }
        if (grepl("^SPIKED *=", lines[i])) {
          lv$spiked <- gsub("\"", "", sub("^SPIKED *= *", "", lines[i]))
        }
        if (grepl("^LEVELID *=", lines[i])) {
          lv$ids <- gsub("\"", "", trimws(strsplit(sub("^LEVELID *= *", "", lines[i]), ",")[[1]]))
        }
        i <- i + 1
      }
    } else if (lines[i] == "LEVELDATA") {
      i <- i + 1
      while (lines[i] != "END") {
        f <- strsplit(lines[i], "[[:space:]]+")[[1]]
        lv$rows[[length(lv$rows) + 1]] <- f
        i <- i + 1
      }
      levels[[length(levels) + 1]] <- lv
    }
    i <- i + 1
  }
  list(split = split, levels = levels)
}

# Usable values of a laboratory line: columns 3 .. (n - 1), without "<"
# results and -99.
usable <- function(f) {
  v <- f[3:(length(f) - 1)]
  ok <- !grepl("^<", v) & as.numeric(sub("^<", "", v)) != -99
  ifelse(ok, as.numeric(sub("^<", "", v)), NA)
}

alg_a <- function(x) {
  p <- length(x)
  if (p < 3) return(list(mean = NA, sd = NA, rounds = 0))
  xs <- median(x)
  ss <- 1.483 * median(abs(x - xs))
  if (ss == 0) ss <- sd(x)
  rounds <- 0
  if (ss > 0) {
    repeat {
      w <- pmin(pmax(x, xs - 1.5 * ss), xs + 1.5 * ss)
      xn <- mean(w)
      sn <- 1.134 * sd(w)
      rounds <- rounds + 1
      done <- abs(xn - xs) <= 1e-10 * max(abs(xn), sn) && abs(sn - ss) <= 1e-10 * sn
      xs <- xn
      ss <- sn
      if (done || rounds >= 1000) break
    }
  }
  list(mean = xs, sd = ss, rounds = rounds)
}

studies <- c(file.path(root, "tests", "data", "validation",
                       c("CREOSOTE.PAR", "GLUC_ABC.PAR", "GLUC_DE.PAR", "PENT_ABC.PAR",
                         "PENT_DEF.PAR", "PENT_GHI.PAR")),
             file.path(root, "tests", "data", "labs", "SCORES.PAR"),
             file.path(root, "tests", "data", "preliminary", "SPIKE.PAR"))

out <- "study,level,sample,lab,mean,xstar,sstar,rounds,u,X,sigma,z,zprime"
fmt <- function(v) ifelse(is.na(v), "NA", sprintf("%.15g", v))
for (path in studies) {
  st <- read_par(path)
  for (l in seq_along(st$levels)) {
    lv <- st$levels[[l]]
    codes <- sapply(lv$rows, function(f) f[2])
    excluded <- sapply(lv$rows, function(f) grepl("^U", f[1]))
    values <- t(sapply(lv$rows, usable))
    samples <- if (st$split) seq_len(ncol(values)) else 0
    for (s in samples) {
      m <- if (s == 0) rowMeans(values, na.rm = TRUE) else values[, s]
      m[is.nan(m) | excluded] <- NA
      a <- alg_a(m[!is.na(m)])
      fromfile <- !is.na(lv$assigned)
      spiked <- s > 0 && !is.na(lv$spiking) && !is.na(lv$spiked) && lv$ids[s] == lv$spiked
      X <- if (fromfile) lv$assigned + (if (spiked) lv$spiking else 0) else a$mean
      u <- if (fromfile || is.na(a$mean)) NA else 1.25 * a$sd / sqrt(sum(!is.na(m)))
      sigma <- a$sd
      z <- if (!is.na(sigma) && sigma > 0) (m - X) / sigma else rep(NA, length(m))
      zp <- if (!is.na(u) && sigma > 0) (m - X) / sqrt(sigma^2 + u^2) else rep(NA, length(m))
      for (k in seq_along(codes)) {
        out <- c(out, paste(basename(path), l, s, codes[k], fmt(m[k]), fmt(a$mean), fmt(a$sd),
                            a$rounds, fmt(u), fmt(X), fmt(sigma), fmt(z[k]), fmt(zp[k]),
                            sep = ","))
      }
    }
  }
}
writeLines(out, file.path(root, "tests", "data", "labs", "performance_scores_reference.csv"))
