# Centre, spread and residual classes of the fast feedback forms, recomputed
# from the study files of tests/data/tools with base R, as the independent
# reference of the forms' tests.
#
#   Rscript scripts/tools/fast_feedback_reference.R
#
# writes tests/data/tools/fast_feedback_figures.csv (per file, level and
# sample column: usable count, median and robust s.d. from quantile(type = 2)
# and IQR / 1.349, mean and sd, all on the scale of the stored values: the
# spike taken off, then the file's transformation) and
# tests/data/tools/fast_feedback_residuals.csv (per file, laboratory code,
# level and replicate: the class of |x - centre| / spread from cut() with the
# breaks 0, 1, 2, 3, Inf, and the sign, for both kinds of residual; NA where
# no residual is formed), and the centre as the forms show it (the spike
# added back on the study's own scale).
args <- commandArgs(trailingOnly = FALSE)
here <- dirname(normalizePath(sub("--file=", "", args[grep("--file=", args)])))
dir <- file.path(here, "..", "..", "tests", "data", "tools")

files <- c("ROUND_1.PAR", "ROUND_2.PAR", "ROUND_3.PAR", "ROUND_1_U_LT.PAR", "ROUND_2_LN.PAR",
           "ROUND_2_PERMUTED.PAR", "SPLIT_1.PAR", "SPLIT_1_LN.PAR", "SPLIT_2.PAR")

transforms <- list(none = identity, ln = log)
backs <- list(none = identity, ln = exp)

# One row per laboratory line: level, column (sample), code, excluded, flag,
# stored value, spiked.
read_par <- function(path) {
  lines <- trimws(readLines(path))
  split <- any(lines == "SPLITLEVEL")
  tr <- "none"
  t <- grep("^TRANSFORM", lines, value = TRUE)
  if (length(t)) tr <- tolower(sub('.*"(.*)".*', "\\1", t[1]))
  rows <- list(); level <- 0; ids <- NULL; spike <- NA; spiked <- NA; indata <- FALSE
  for (l in lines) {
    if (l == "LEVELHEADER") { level <- level + 1; spike <- NA; spiked <- NA; next }
    if (grepl("^LEVELID", l)) ids <- regmatches(l, gregexpr('"[^"]*"', l))[[1]]
    if (grepl("^SPIKING", l)) spike <- as.numeric(sub(".*=\\s*", "", l))
    if (grepl("^SPIKED", l)) spiked <- regmatches(l, gregexpr('"[^"]*"', l))[[1]][1]
    if (l == "LEVELDATA") { indata <- TRUE; next }
    if (l == "END") { indata <- FALSE; next }
    if (!indata) next
    tok <- strsplit(l, "\\s+")[[1]]
    reps <- tok[3:(length(tok) - 1)]
    for (r in seq_along(reps)) {
      lt <- startsWith(reps[r], "<")
      v <- as.numeric(sub("<", "", reps[r]))
      sp <- split && !is.na(spike) && !is.na(spiked) && ids[r] == spiked
      if (v != -99 && !lt && sp) v <- v - spike
      if (v != -99 && !lt) v <- transforms[[tr]](v)
      rows[[length(rows) + 1]] <- data.frame(
        level = level, rep = r, column = if (split) r else 1, code = tok[2],
        excluded = startsWith(tok[1], "U"), lt = lt, value = v,
        spike = if (sp) spike else 0, tr = tr)
    }
  }
  do.call(rbind, rows)
}

figures <- NULL
residuals <- NULL
for (f in files) {
  d <- read_par(file.path(dir, f))
  for (lv in unique(d$level)) for (col in unique(d$column)) {
    x <- d[d$level == lv & d$column == col, ]
    use <- x$value[!x$excluded & !x$lt & x$value != -99]
    q <- quantile(use, c(0.25, 0.5, 0.75), type = 2, names = FALSE)
    centre <- c(resistant = q[2], gaussian = mean(use))
    spread <- c(resistant = (q[3] - q[1]) / 1.349, gaussian = sd(use))
    figures <- rbind(figures, data.frame(file = f, level = lv, column = col, n = length(use),
                                         median = q[2], robust_sd = spread[["resistant"]],
                                         mean = centre[["gaussian"]], sd = spread[["gaussian"]]))
    for (i in seq_len(nrow(x))) {
      row <- x[i, ]
      for (kind in c("resistant", "gaussian")) {
        c0 <- centre[[kind]]; w <- spread[[kind]]
        ok <- !row$excluded && !row$lt && row$value != -99 && w > 0
        cls <- NA; sign <- NA
        if (ok) {
          dd <- abs(row$value - c0) / w
          cls <- as.integer(cut(dd, c(0, 1, 2, 3, Inf), right = FALSE))
          sign <- if (row$value > c0) "+" else if (row$value < c0) "-" else "0"
        }
        shown <- if (row$spike != 0) transforms[[row$tr]](backs[[row$tr]](c0) + row$spike) else c0
        residuals <- rbind(residuals, data.frame(file = f, code = row$code, level = lv,
                                                 rep = row$rep, kind = kind, class = cls,
                                                 sign = sign, shown_centre = shown))
      }
    }
  }
}
write.csv(format(figures, digits = 15), file.path(dir, "fast_feedback_figures.csv"),
          row.names = FALSE, quote = FALSE)
write.csv(format(residuals, digits = 15), file.path(dir, "fast_feedback_residuals.csv"),
          row.names = FALSE, quote = FALSE, na = "NA")
