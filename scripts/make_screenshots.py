#!/usr/bin/env python3
"""Screenshots of the two programs on the bundled samples, for the README.

    xvfb-run -a -s "-screen 0 1100x720x24 -noreset" python3 scripts/make_screenshots.py BUILD_DIR
writes docs/img/kinoa.png (frame 6 of samples/stick/walk.txt) and
docs/img/marcot.png (samples/images/targets.bmp, four discs measured, one
stray point taken back).
"""
import os, shutil, subprocess, sys, tempfile, time
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
HERE = os.path.join(ROOT, 'tests', 'apps')   # the end-to-end driver's helpers
sys.path.insert(0, HERE)
import e2e_driver as d
B = os.path.join(os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, 'build')), 'bin') + '/'
W = tempfile.mkdtemp(prefix='ostrel-shots-')
IMG = os.path.join(ROOT, 'docs', 'img')
# Kinoa on the sample walk, a dozen frames in.
os.makedirs(os.path.join(W, 'k'), exist_ok=True)
p = d.start(B + 'kinoa', [os.path.join(ROOT, 'samples/stick/walk.txt')], os.path.join(W, 'k'))
con = d.wait_window('Console 1.11'); page = d.wait_window('Kinoascope'); time.sleep(1)
d.type_in_console(con, 'nnnnnn')
time.sleep(1)
subprocess.run(['import', '-window', 'root', os.path.join(IMG, 'kinoa.png')])
d.type_in_console(con, 'e'); d.answer('Kinoascope', 'Return', exclude=[page]); d.wait_exit(p)
# Marcot on the sample targets, three discs measured.
os.makedirs(os.path.join(W, 'm'), exist_ok=True)
shutil.copy(os.path.join(ROOT, 'samples/images/targets.bmp'), os.path.join(W, 'm', 'targets.bmp'))
with open(os.path.join(W, 'm', 'Marcot.ini'), 'w') as f: f.write('WINDOW_X 420\nWINDOW_Y 180\nBULLET_COLOR -1\nMEASURE_POINT 5\n')
p = d.start(B + 'marcot', [os.path.join(W, 'm', 'targets.bmp')], os.path.join(W, 'm'))
con = d.wait_window('Console 1.11'); page = d.wait_window(os.path.join(W, 'm', 'targets.bmp')); time.sleep(1)
shot = d.screenshot(os.path.join(W, 's.ppm'))
# the image's pale background colour at its top-left corner is (246,244,236) at (1,1); find grid colour origin via disc
o = d.find_colour(shot, (220, 40, 40))   # leftmost pixel of the top row of the red disc
run = 0
while d.pixel(shot, o[0] + run, o[1]) == (220, 40, 40): run += 1
ox, oy = o[0] + run // 2 - 60, o[1] + 14 - 60
def click(b, x, y):
    d.xdo('mousemove', ox + x, oy + y); time.sleep(0.2); d.xdo('click', b); time.sleep(0.7)
click(1, 60, 60); click(1, 260, 60); click(1, 200, 140); click(3, 10, 10); click(1, 260, 180); click(1, 60, 180)
time.sleep(0.5)
subprocess.run(['import', '-window', 'root', os.path.join(IMG, 'marcot.png')])
p.kill()
shutil.rmtree(W, ignore_errors=True)
