#!/bin/sh
# Runs an end-to-end check only when the outside tools it drives are installed:
#   e2e_need.sh "TOOL..." COMMAND [ARG...]
# A missing tool is reported by name with exit status 77, which the CTest entries
# declare as their SKIP_RETURN_CODE: the check shows up as skipped, never as passed,
# and never disappears from the list.
set -u
tools=$1; shift
missing=""
for t in $tools; do
  command -v "$t" >/dev/null 2>&1 || missing="$missing $t"
done
if [ -n "$missing" ]; then
  echo "skipped: missing tool(s):$missing"
  exit 77
fi
exec "$@"
