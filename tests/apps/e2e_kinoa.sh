#!/bin/sh
# End-to-end check of kinoa under Xvfb: e2e_kinoa.sh PATH-TO-kinoa
# (runs itself under xvfb-run when no display is given).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${OSTREL_E2E_DISPLAY:-}" ]; then
  OSTREL_E2E_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
exec timeout 120 python3 "$here/e2e_driver.py" kinoa "$1"
