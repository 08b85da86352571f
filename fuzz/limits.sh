# The limits every fuzz run and replay share: inputs up to 4 MiB, and an
# input that takes longer than FUZZ_TIMEOUT seconds (default 2: a reader
# needs milliseconds for 4 MiB) is a slow path.
FUZZ_OPTIONS=(-max_len=4194304 -timeout="${FUZZ_TIMEOUT:-2}" -rss_limit_mb=2048)
