# Reads a uniform-level study file (*.PAR) of the test fixtures: per level the
# laboratory codes, the replicate values (NA for -99) and the method codes
# ("" for -99). Only what the fixtures under tests/data/tools use.
read_par <- function(path) {
  lines <- trimws(readLines(path))
  reps <- as.integer(sub(".*= *", "", grep("^NREPLICATES", lines, value = TRUE)))
  starts <- which(lines == "LEVELDATA")
  ends <- which(lines == "END")
  ids <- sub("^LEVELID = \"(.*)\"$", "\\1", grep("^LEVELID", lines, value = TRUE))
  levels <- list()
  for (k in seq_along(starts)) {
    stop_at <- min(ends[ends > starts[k]])
    rows <- lines[(starts[k] + 1):(stop_at - 1)]
    tok <- strsplit(rows, "[ \t]+")
    code <- sapply(tok, `[`, 2)
    vals <- t(sapply(tok, function(t) as.numeric(t[3:(2 + reps)])))
    if (reps == 1) vals <- matrix(vals, ncol = 1)
    vals[vals == -99] <- NA
    meth <- sapply(tok, function(t) if (length(t) >= 3 + reps) t[3 + reps] else "")
    meth[meth == "-99"] <- ""
    levels[[k]] <- list(id = ids[k], code = code, values = vals, method = meth)
  }
  levels
}
