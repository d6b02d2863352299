#!/bin/sh
# Runs every benchmark program in the given folder (the regular, executable
# bench_* files; build folders such as bench_inet_autogen/ are passed over),
# each to its end. Fails when a benchmark could not run, after all of them
# have had their turn; a figure that misses its goal is printed, not a failure.
dir=${1:?usage: run-benchmarks.sh BUILD/bench}
ran=0
failed=
for program in "$dir"/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=$(basename "$program")
  echo "== $name"
  ran=$((ran + 1))
  "$program" || failed="$failed $name"
done
if [ "$ran" = 0 ]; then
  echo "No benchmark programs in $dir." >&2
  exit 1
fi
if [ -n "$failed" ]; then
  echo "Benchmarks that failed to run:$failed" >&2
  exit 1
fi
