# Says why a test does not run on Windows (-DREASON), in the form the skip report
# (tools/report_skips) reads: a line ending in ": Skipped", then the reason.
message("Linux only: Skipped\n${REASON}")
