#!/bin/sh
# End-to-end check of marcot on a picture larger than the screen (3000 x 2000 on a
# 1600 x 1000 Xvfb screen): e2e_marcot_large.sh PATH-TO-marcot
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${OSTREL_E2E_DISPLAY:-}" ]; then
  OSTREL_E2E_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" "$0" "$@"
fi
exec timeout 120 python3 "$here/e2e_driver.py" marcot-large "$1"
