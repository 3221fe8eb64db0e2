#!/usr/bin/python3
# Reference pixels of the decoder corpus test, decoded by Pillow.
# Usage: corpus_reference.py LIST OUTDIR. LIST holds lines "index<TAB>kind<TAB>path";
# for each line OUTDIR/index.raw receives b"W H\n" and the RGB bytes, or b"ERR\n".
# A BMP has further readings, as readers disagree on its odd corners: index.1.raw from
# ImageMagick (where installed) and index.2.raw from the BMP Suite's own rendering of
# the picture (its html/NAME.png, or NAME-0.png where undefined pixels show colour 0).
# Transparency is put on the colour the runtime's decoders use: a PNG's own
# background (bKGD) or white; TIFF on white.
import io
import os
import shutil
import struct
import subprocess
import sys

from PIL import Image

Image.MAX_IMAGE_PIXELS = 64 * 1024 * 1024


def png_chunks(path):
    """IHDR bit depth and colour type, and the raw bKGD and tRNS chunk data."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    pos, found = 8, {}
    while pos + 8 <= len(data):
        n = struct.unpack(">I", data[pos:pos + 4])[0]
        kind = data[pos + 4:pos + 8]
        found.setdefault(kind, data[pos + 8:pos + 8 + n])
        if kind == b"IDAT":
            break
        pos += 12 + n
    ihdr = found[b"IHDR"]
    return ihdr[8], ihdr[9], found.get(b"bKGD"), found.get(b"tRNS")


def composite(rgba, bg):
    out = bytearray(rgba.width * rgba.height * 3)
    data = rgba.tobytes()
    for i in range(rgba.width * rgba.height):
        r, g, b, a = data[4 * i:4 * i + 4]
        out[3 * i] = (r * a + bg[0] * (255 - a) + 127) // 255
        out[3 * i + 1] = (g * a + bg[1] * (255 - a) + 127) // 255
        out[3 * i + 2] = (b * a + bg[2] * (255 - a) + 127) // 255
    return bytes(out)


def sixteen_to_eight(im):
    # Pillow keeps 16-bit grey as 32-bit integers; the decoders keep the high byte
    return im.point(lambda v: v * (1 / 256)).convert("L")


def to_eight(v, depth):
    if depth == 16:
        return v >> 8
    if depth < 8:
        return v * 255 // ((1 << depth) - 1)
    return v


def png_pixels(path):
    depth, colour, bkgd, trns = png_chunks(path)
    im = Image.open(path)
    im.load()
    if im.mode in ("I", "I;16", "I;16B"):
        im = sixteen_to_eight(im)
    if not (colour in (4, 6) or trns):
        return im.width, im.height, im.convert("RGB").tobytes()
    # the colour that transparent parts are put on: the file's background or white
    bg = (255, 255, 255)
    if bkgd:
        if colour == 3:
            pal = im.getpalette() or []
            i = bkgd[0]
            bg = tuple(pal[3 * i:3 * i + 3]) if len(pal) >= 3 * i + 3 else (0, 0, 0)
        elif colour in (0, 4):
            v = to_eight(struct.unpack(">H", bkgd[:2])[0], depth)
            bg = (v, v, v)
        else:
            bg = tuple(to_eight(c, depth) for c in struct.unpack(">HHH", bkgd[:6]))
    if colour == 3 or colour in (4, 6):
        rgba = im.convert("RGBA")
    else:
        # a transparent grey level or colour: compare with the key in file units
        rgb = im.convert("RGB")
        if colour == 0:
            k = to_eight(struct.unpack(">H", trns[:2])[0], depth)
            key = (k, k, k)
        else:
            key = tuple(to_eight(c, depth) for c in struct.unpack(">HHH", trns[:6]))
        data = rgb.tobytes()
        out = bytearray()
        for i in range(rgb.width * rgb.height):
            px = tuple(data[3 * i:3 * i + 3])
            out += bytes(px) + (b"\x00" if px == key else b"\xff")
        rgba = Image.frombytes("RGBA", rgb.size, bytes(out))
    return im.width, im.height, composite(rgba, bg)


def gif_pixels(path):
    im = Image.open(path)
    box = im.tile[0][1] if im.tile else None
    im.load()
    rgb = im.convert("RGB")
    if box:
        rgb = rgb.crop(box)
    return rgb.width, rgb.height, rgb.tobytes()


def tiff_pixels(path):
    im = Image.open(path)
    im.load()
    if im.mode in ("I;16", "I;16B", "I"):
        im = sixteen_to_eight(im)
    if "A" in im.mode or "a" in im.mode or im.mode == "P" and "transparency" in im.info:
        return im.width, im.height, composite(im.convert("RGBA"), (255, 255, 255))
    return im.width, im.height, im.convert("RGB").tobytes()


def plain_pixels(path):
    im = Image.open(path)
    im.load()
    if im.mode in ("I;16", "I;16B", "I"):
        im = sixteen_to_eight(im)
    return im.width, im.height, im.convert("RGB").tobytes()


def magick_pixels(path):
    ppm = subprocess.run(["convert", path + "[0]", "-depth", "8", "-alpha", "off", "ppm:-"],
                         capture_output=True, check=True).stdout
    return plain_pixels(io.BytesIO(ppm))


def suite_rendering(path):
    html = os.path.join(os.path.dirname(os.path.dirname(path)), "html")
    stem = os.path.splitext(os.path.basename(path))[0]
    for name in (stem + ".png", stem + "-0.png"):
        if os.path.exists(os.path.join(html, name)):
            return plain_pixels(os.path.join(html, name))
    raise ValueError("no rendering")


KINDS = {"png": png_pixels, "gif": gif_pixels, "tif": tiff_pixels}


def main():
    listing, outdir = sys.argv[1], sys.argv[2]
    with open(listing, encoding="utf-8") as f:
        for line in f:
            index, kind, path = line.rstrip("\n").split("\t", 2)
            readers = [KINDS.get(kind, plain_pixels)]
            if kind == "bmp":
                readers += [magick_pixels if shutil.which("convert") else None, suite_rendering]
            for n, reader in enumerate(readers):
                try:
                    w, h, data = reader(path)
                    blob = b"%d %d\n" % (w, h) + data
                except Exception:  # any refusal of the reference counts as "broken"
                    blob = b"ERR\n"
                with open("%s/%s%s.raw" % (outdir, index, ".%d" % n if n else ""), "wb") as out:
                    out.write(blob)


if __name__ == "__main__":
    main()
