#!/bin/sh
# End-to-end check of marcot under Xvfb: e2e_marcot.sh PATH-TO-marcot [large]; with
# "large", on a picture larger than the screen (3000 x 2000 on a 1600 x 1000 screen)
# (runs itself under xvfb-run when no display is given).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
mode=marcot screen=1024x768
if [ "${2:-}" = large ]; then mode=marcot-large screen=1600x1000; fi
if [ -z "${OSTREL_E2E_DISPLAY:-}" ]; then
  OSTREL_E2E_DISPLAY=1 exec xvfb-run -a -s "-screen 0 ${screen}x24 -noreset" "$0" "$@"
fi
exec timeout 120 python3 "$here/e2e_driver.py" "$mode" "$1"
