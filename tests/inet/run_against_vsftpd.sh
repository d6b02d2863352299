#!/bin/sh
# Runs the Internet library's integration tests against vsftpd on this
# machine (see tests/support/with_vsftpd.sh). Needs root (or sudo). Not part
# of `make test`.
#
#   tests/inet/run_against_vsftpd.sh [build folder] [extra ctest arguments]
set -eu

repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$repo/build}
[ $# -gt 0 ] && shift
SUDO=""
[ "$(id -u)" = 0 ] || SUDO=sudo

if ! [ -x /usr/sbin/vsftpd ]; then
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q vsftpd
fi
[ -d "$build/tests" ] || { echo "build first: cmake -S . -B build && cmake --build build" >&2; exit 1; }

cd "$build"
exec "$repo/tests/support/with_vsftpd.sh" ctest -L integration --output-on-failure "$@"
