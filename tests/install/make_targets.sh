#!/bin/sh
# The make targets a newcomer meets first: `make run` builds the program
# alone and, without a display, stops before building anything; the bench
# runner runs every benchmark program to its end.
# Usage: make_targets.sh SOURCE_DIR
src=${1:?usage: make_targets.sh SOURCE_DIR}
command -v make >/dev/null || exit 77
unset MAKEFLAGS MFLAGS MAKELEVEL  # when run from `make test`
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

# `make run` compiles the program target and nothing else.
make -n -s -C "$src" run BUILD="$work/b" DISPLAY=:0 >"$work/plan" 2>&1 || fail "make -n run: $(cat "$work/plan")"
grep -q 'cmake --build .* --target quillon ' "$work/plan" || fail "make run does not build the program: $(cat "$work/plan")"
if grep 'cmake --build' "$work/plan" | grep -v -q -- '--target quillon '; then
  fail "make run builds more than the program: $(grep 'cmake --build' "$work/plan")"
fi

# Without a display it says so and leaves the build folder alone.
env -u DISPLAY -u WAYLAND_DISPLAY make -s -C "$src" run BUILD="$work/nodisplay" >"$work/out" 2>&1 \
  && fail "make run without a display succeeded"
grep -qi 'no display' "$work/out" || fail "make run without a display does not say so: $(cat "$work/out")"
[ -e "$work/nodisplay" ] && fail "make run without a display configured or built"

# The bench runner: folders and plain files are passed over, a failing
# benchmark does not stop the others, and fails the whole run.
benches="$work/bench"
mkdir -p "$benches/bench_inet_autogen"
printf '#!/bin/sh\necho "bench a: 1.00 (goal >= 1)"\n' >"$benches/bench_a"
printf '#!/bin/sh\necho "bench b: broke" >&2\nexit 3\n' >"$benches/bench_b"
printf '#!/bin/sh\necho "bench c: 2.00 (goal >= 1)"\n' >"$benches/bench_c"
printf 'notes\n' >"$benches/bench_notes.txt"
chmod +x "$benches/bench_a" "$benches/bench_b" "$benches/bench_c"
QUILLON_BENCH_VSFTPD=no "$src/bench/run-benchmarks.sh" "$benches" >"$work/out" 2>&1 && fail "a failing benchmark passed the run"
grep -q '^bench a: ' "$work/out" && grep -q '^bench c: ' "$work/out" || fail "not every benchmark ran: $(cat "$work/out")"
grep -q 'failed to run: bench_b$' "$work/out" || fail "the failing benchmark is not named: $(cat "$work/out")"
rm "$benches/bench_b"
QUILLON_BENCH_VSFTPD=no "$src/bench/run-benchmarks.sh" "$benches" >"$work/out" 2>&1 || fail "benchmarks that ran failed the run: $(cat "$work/out")"
exit $status
