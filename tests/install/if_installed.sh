#!/bin/sh
# Runs a checking tool when it is installed; ctest counts exit code 77 as
# skipped. Usage: if_installed.sh TOOL ARGUMENTS...
command -v "$1" >/dev/null || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
