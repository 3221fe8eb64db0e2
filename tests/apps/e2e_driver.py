#!/usr/bin/env python3
"""End-to-end checks of Marcot and Kinoa: the real programs in real windows
(under Xvfb, started by e2e_marcot.sh [large] / e2e_kinoa.sh), driven with xdotool,
checked through the files they write and screenshots.

    e2e_driver.py marcot|marcot-large|kinoa PROGRAM
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

TIMEOUT = 45.0  # generous: a loaded CI machine starts Qt programs slowly


def fail(message):
    print("FAIL:", message, flush=True)
    raise SystemExit(1)


def xdo(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True).stdout


def windows(name):
    out = xdo("search", "--onlyvisible", "--name", "^%s$" % name)
    return [w for w in out.split() if w]


def wait_for(what, test, timeout=TIMEOUT):
    end = time.time() + timeout
    while time.time() < end:
        value = test()
        if value:
            return value
        time.sleep(0.1)
    fail("timed out waiting for " + what)


def wait_window(name, exclude=()):
    """The newest visible window of that title that is not in exclude."""
    def find():
        fresh = [w for w in windows(name) if w not in exclude]
        return fresh[-1] if fresh else None
    return wait_for("window '%s'" % name, find)


def answer(name, key, exclude=()):
    """Waits for a message box titled name, answers it with a real key press."""
    box = wait_window(name, exclude)
    time.sleep(0.3)
    xdo("windowfocus", "--sync", box)
    time.sleep(0.2)
    xdo("key", key)
    wait_for("box '%s' to close" % name, lambda: box not in windows(name))
    return box


def type_in_console(console, text):
    xdo("windowfocus", "--sync", console)
    time.sleep(0.2)
    for ch in text:
        xdo("type", "--delay", "60", ch)
        time.sleep(0.25)


def wait_exit(proc, timeout=TIMEOUT):
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        fail("the program did not end")


def screenshot(path):
    subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:" + path], check=True)
    with open(path, "rb") as f:
        data = f.read()
    # P6 header: magic, width, height, maxval, each followed by white space
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        parts.append(data[start:pos])
    pos += 1
    w, h = int(parts[1]), int(parts[2])
    return w, h, data[pos:]


def pixel(shot, x, y):
    w, h, px = shot
    i = (y * w + x) * 3
    return tuple(px[i:i + 3])


def find_colour(shot, rgb):
    w, h, px = shot
    needle = bytes(rgb) * 3
    i = px.find(needle)
    while i >= 0 and i % 3:
        i = px.find(needle, i + 1)
    if i < 0:
        return None
    return (i // 3) % w, (i // 3) // w


def write_bmp(path, width, height, row_rgb):
    """A bottom-up 24-bit BMP; row_rgb(y) gives row y (top first) as RGB bytes."""
    pad = b"\0" * (-width * 3 % 4)
    rows = []
    for y in range(height - 1, -1, -1):
        rgb, bgr = row_rgb(y), bytearray(width * 3)
        bgr[0::3], bgr[1::3], bgr[2::3] = rgb[2::3], rgb[1::3], rgb[0::3]
        rows.append(bytes(bgr) + pad)
    pixels = b"".join(rows)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0))
        f.write(pixels)


def read_bmp(path):
    """(width, height, bits, pixel(x, y) -> (r, g, b)) of a BMP file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        fail("%s is not a BMP file" % path)
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    stride = ((width * bits + 31) // 32) * 4
    top_down = height < 0
    height = abs(height)

    def at(x, y):
        row = y if top_down else height - 1 - y
        i = offset + row * stride + x * 3
        b, g, r = data[i:i + 3]
        return (r, g, b)
    return width, height, bits, at


def start(program, args, cwd):
    env = dict(os.environ)
    env.pop("QT_QPA_PLATFORM", None)  # real windows on the Xvfb display
    env["OSTREL_QUIET_BOXES"] = "0"
    return subprocess.Popen([program] + args, cwd=cwd, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


# ---------------------------------------------------------------- Marcot

WHITE, BLACK, GREY, MAGENTA = (255, 255, 255), (0, 0, 0), (128, 128, 128), (255, 0, 255)


def marcot_image(x, y):
    if x < 3 and y < 3:
        return MAGENTA            # finds the image's origin on the screen
    if x >= 100:
        return GREY
    return WHITE if y < 75 else BLACK


def marcot_start(program, work, image, points, rule):
    """Marcot on `image` of `work` with its settings; returns the process and its windows."""
    with open(os.path.join(work, "Marcot.ini"), "w") as f:
        f.write("WINDOW_X 40\nWINDOW_Y 60\nMEASURE_POINT %d\nBULLET_COLOR %d\n" % (points, rule))
    proc = start(program, [os.path.join(work, image)], work)
    console = wait_window("Console 1.11")
    page = wait_window(os.path.join(work, image))
    time.sleep(0.8)
    return proc, console, page


def marcot_run(program, work, rule, points, clicks, expect_markers, expect_data):
    for name in os.listdir(work):
        os.remove(os.path.join(work, name))
    write_bmp(os.path.join(work, "shot.bmp"), 200, 150,
              lambda y: b"".join(bytes(marcot_image(x, y)) for x in range(200)))
    proc, console, page = marcot_start(program, work, "shot.bmp", points, rule)
    origin = wait_for("the image on the screen", lambda: find_colour(screenshot(os.path.join(work, "s.ppm")), MAGENTA))
    for button, x, y in clicks:
        xdo("mousemove", origin[0] + x, origin[1] + y)
        time.sleep(0.15)
        xdo("click", button)
        time.sleep(0.6)
    data_path = os.path.join(work, "shot.TXT")
    wait_for("the data file", lambda: os.path.exists(data_path))
    time.sleep(0.5)
    shot = screenshot(os.path.join(work, "s.ppm"))
    if os.environ.get("OSTREL_E2E_SHOTS"):
        shutil.copy(os.path.join(work, "s.ppm"), os.environ["OSTREL_E2E_SHOTS"] + "/marcot_rule%d.ppm" % rule)
    for (x, y), rgb in expect_markers:
        for dx, dy in ((0, -8), (-8, 0), (0, 8), (8, 0)):
            got = pixel(shot, origin[0] + x + dx, origin[1] + y + dy)
            if got != rgb:
                fail("rule %d: marker at (%d, %d) has %s at offset (%d, %d), expected %s" % (rule, x, y, got, dx, dy, rgb))
    with open(data_path, "rb") as f:
        data = f.read()
    if data != expect_data:
        fail("data file %r, expected %r" % (data, expect_data))
    type_in_console(console, "x")
    wait_exit(proc)
    with open(os.path.join(work, "Marcot.ini"), "rb") as f:
        ini = f.read().decode()
    expected_ini = ("WINDOW_X\t40\nWINDOW_Y\t60\nMEASURE_POINT\t%d\nEXT_NAME\tTXT\nDATA_FORMAT\t%%lf\n"
                    "BULLET\t1\nBULLET_COLOR\t%d\nOVERWRITE_CHECK\t0\n" % (points, rule))
    if ini != expected_ini:
        fail("Marcot.ini is %r" % ini)
    if page in windows(os.path.join(work, "shot.bmp")):
        fail("the page is still open")


def marcot(program):
    work = tempfile.mkdtemp(prefix="ostrel-e2e-marcot-")
    try:
        # Rule -1: white spot gives blue (0x00FF0000), black spot yellow (0x0000FFFF).
        # The point on grey is taken back by the right click; its marker must go.
        marcot_run(program, work, -1, 3,
                   [(1, 20, 30), (1, 150, 40), (3, 0, 0), (1, 60, 100), (1, 170, 120)],
                   [((20, 30), (0, 0, 255)), ((60, 100), (255, 255, 0)), ((150, 40), GREY)],
                   b"20.000000\t30.000000\t60.000000\t100.000000\t170.000000\t120.000000\t\n")
        marcot_run(program, work, 0, 1, [(1, 20, 30)], [((20, 30), BLACK)], b"20.000000\t30.000000\t\n")
        marcot_run(program, work, 1, 1, [(1, 60, 100)], [((60, 100), WHITE)], b"60.000000\t100.000000\t\n")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("marcot end-to-end: ok")


def marcot_large(program):
    """A 3000 x 2000 picture on a 1600 x 1000 screen: the page scrolls, and a click at
    image pixel (2900, 1900) reaches the data file as that."""
    work = tempfile.mkdtemp(prefix="ostrel-e2e-marcot-large-")
    try:
        grey = bytes(GREY) * 3000
        # a green 5 x 5 spot centred on (2900, 1900) shows where that pixel is on screen
        spot = grey[:2898 * 3] + bytes((0, 255, 0)) * 5 + grey[2903 * 3:]
        write_bmp(os.path.join(work, "big.bmp"), 3000, 2000, lambda y: spot if 1898 <= y <= 1902 else grey)
        proc, console, page = marcot_start(program, work, "big.bmp", 1, 0)
        geometry = xdo("getwindowgeometry", "--shell", page)
        g = dict(line.split("=") for line in geometry.split() if "=" in line)
        if int(g["WIDTH"]) > 1600 or int(g["HEIGHT"]) > 1000:
            fail("the page window is %sx%s on a 1600x1000 screen" % (g["WIDTH"], g["HEIGHT"]))
        # scroll to the bottom-right corner with the wheel (down, then right)
        xdo("mousemove", int(g["X"]) + int(g["WIDTH"]) // 2, int(g["Y"]) + int(g["HEIGHT"]) // 2)
        time.sleep(0.2)
        xdo("click", "--repeat", "40", "--delay", "20", "5")
        xdo("click", "--repeat", "60", "--delay", "20", "7")
        spot_at = wait_for("the green spot on the screen",
                           lambda: find_colour(screenshot(os.path.join(work, "s.ppm")), (0, 255, 0)))
        xdo("mousemove", spot_at[0] + 2, spot_at[1] + 2)
        time.sleep(0.15)
        xdo("click", 1)
        data_path = os.path.join(work, "big.TXT")
        wait_for("the data file", lambda: os.path.exists(data_path))
        time.sleep(0.5)
        with open(data_path, "rb") as f:
            data = f.read()
        if data != b"2900.000000\t1900.000000\t\n":
            fail("data file %r, expected the point (2900, 1900)" % data)
        type_in_console(console, "x")
        wait_exit(proc)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("marcot on a large picture end-to-end: ok")


# ---------------------------------------------------------------- Kinoa

KINOA_INI = ("WINDOW_X\t30\nWINDOW_Y\t40\nWINDOW_W\t400\nWINDOW_H\t320\nPIXEL_RATIO_X\t1.500000\n"
             "PIXEL_RATIO_Y\t1.000000\nCOORDINATE_X0\t0.000000\nCOORDINATE_Y0\t300.000000\n"
             "BLOCK_LINE\t1\nOVERWRITE_CHECK\t%d\nJOINT_MARK\t5\n")
# Data y is drawn as 300 - y, data x as 1.5 x; joint marks stay on the data values.
FRAMES = "100,100 200,100\n100,200 200,200\n40,250 40,60\n"


def check_frame(path, n):
    width, height, bits, at = read_bmp(path)
    if (width, height, bits) != (399, 319, 24):
        fail("%s is %dx%d, %d bits" % (path, width, height, bits))
    if n == 0:
        line = [(x, 200) for x in range(160, 290, 10)]                 # (150, 200) to (300, 200)
        marks = [(104, 100), (95, 100), (204, 100), (200, 95)]          # circles at the data values
    elif n == 1:
        line = [(x, 100) for x in range(160, 290, 10)]
        marks = [(104, 200), (100, 204), (204, 200), (200, 195)]
    else:
        line = [(60, y) for y in range(60, 240, 10)]                   # (60, 50) to (60, 240)
        marks = [(44, 250), (35, 250), (40, 64), (40, 55)]
    for x, y in line:
        if at(x, y) != (0, 0, 0):
            fail("%s: expected black at (%d, %d), found %s" % (path, x, y, at(x, y)))
    # Outline pixels of a circle depend on rounding: one pixel of slack.
    for x, y in marks:
        if not any(at(x + dx, y + dy) == (0, 0, 0) for dx in (-1, 0, 1) for dy in (-1, 0, 1)):
            fail("%s: expected a joint mark near (%d, %d)" % (path, x, y))
    centres = [[(100, 100), (200, 100)], [(100, 200), (200, 200)], [(40, 250), (40, 60)]][n]
    for x, y in [(250, 150), (380, 300), (5, 5)] + centres:
        if at(x, y) == (0, 0, 0):
            fail("%s: expected background at (%d, %d)" % (path, x, y))


def kinoa_start(program, work, overwrite):
    with open(os.path.join(work, "Kinoa.ini"), "w") as f:
        f.write(KINOA_INI % overwrite)
    with open(os.path.join(work, "walk.txt"), "w") as f:
        f.write(FRAMES)
    proc = start(program, [os.path.join(work, "walk.txt")], work)
    console = wait_window("Console 1.11")
    page = wait_window("Kinoascope")
    time.sleep(0.8)
    return proc, console, page


def kinoa(program):
    work = tempfile.mkdtemp(prefix="ostrel-e2e-kinoa-")
    bmp = lambda name: os.path.join(work, name)
    try:
        # N, P, B, E (answered No), then Q (Yes): every frame saved, then the end.
        proc, console, page = kinoa_start(program, work, 0)
        type_in_console(console, "npNb")
        wait_for("walk.BMP", lambda: os.path.exists(bmp("walk.BMP")))
        time.sleep(0.3)
        check_frame(bmp("walk.BMP"), 1)
        type_in_console(console, "P")
        type_in_console(console, "e")
        answer("Kinoascope", "Escape", exclude=[page])
        type_in_console(console, "q")
        answer("Kinoascope", "Return", exclude=[page])
        answer("Kinoascope", "Return", exclude=[page])      # 終了します．
        wait_exit(proc)
        for n in range(3):
            check_frame(bmp("walk%04d.BMP" % n), n)
        with open(bmp("Kinoa.ini")) as f:
            if f.read() != KINOA_INI % 0:
                fail("Kinoa.ini was not rewritten as read")
        if os.environ.get("OSTREL_E2E_SHOTS"):
            shutil.copy(bmp("walk0000.BMP"), os.environ["OSTREL_E2E_SHOTS"] + "/kinoa_frame0.bmp")

        # OVERWRITE_CHECK on, two files present: one question, Yes overwrites all (No: the
        # viewer's unit tests).
        for name in os.listdir(work):
            os.remove(bmp(name))
        for n in (0, 1):
            with open(bmp("walk%04d.BMP" % n), "w") as f:
                f.write("old")
        proc, console, page = kinoa_start(program, work, 1)
        type_in_console(console, "q")
        answer("Kinoascope", "Return", exclude=[page])
        answer("Overwrite_check", "Return")
        answer("Kinoascope", "Return", exclude=[page])      # 終了します．
        if windows("Overwrite_check"):
            fail("a second overwrite question")
        wait_exit(proc)
        for n in range(3):
            check_frame(bmp("walk%04d.BMP" % n), n)

    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("kinoa end-to-end: ok")


if __name__ == "__main__":
    modes = {"marcot": marcot, "marcot-large": marcot_large, "kinoa": kinoa}
    if len(sys.argv) != 3 or sys.argv[1] not in modes:
        print(__doc__)
        raise SystemExit(2)
    modes[sys.argv[1]](sys.argv[2])
