#!/usr/bin/python3
# Reference pixels of the decoder corpus test, decoded by Pillow.
# Usage: corpus_reference.py LIST OUTDIR. LIST holds lines "index<TAB>kind<TAB>path";
# for each line OUTDIR/index.raw receives b"W H\n" and the RGB bytes, or b"ERR\n".
# Transparency is put on the colour the runtime's decoders use: a PNG's own
# background (bKGD) or white; TIFF on white.
import struct
import sys

from PIL import Image

Image.MAX_IMAGE_PIXELS = 64 * 1024 * 1024


def png_header(path):
    with open(path, "rb") as f:
        head = f.read(33)
    if len(head) < 33 or head[:8] != b"\x89PNG\r\n\x1a\n":
        return None, None
    return head[24], head[25]  # bit depth, colour type


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


def png_pixels(path):
    depth, colour = png_header(path)
    im = Image.open(path)
    im.load()
    if im.mode in ("I", "I;16", "I;16B"):
        im = sixteen_to_eight(im)
    has_alpha = colour in (4, 6)
    trns = "transparency" in im.info and (colour == 3 or (colour == 0 and depth < 8))
    if not (has_alpha or trns):
        return im.width, im.height, im.convert("RGB").tobytes()
    bg = (255, 255, 255)
    if "background" in im.info:
        b = im.info["background"]
        if isinstance(b, int):
            if im.mode == "P":
                pal = im.getpalette()
                bg = tuple(pal[3 * b:3 * b + 3]) if pal and len(pal) >= 3 * b + 3 else (0, 0, 0)
            else:
                v = b >> 8 if depth == 16 else b * 255 // ((1 << depth) - 1) if depth < 8 else b
                bg = (v, v, v)
        else:
            bg = tuple((c >> 8) if depth == 16 else c for c in b[:3])
    rgba = im.convert("RGBA")
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


KINDS = {"png": png_pixels, "gif": gif_pixels, "tif": tiff_pixels}


def main():
    listing, outdir = sys.argv[1], sys.argv[2]
    with open(listing, encoding="utf-8") as f:
        for line in f:
            index, kind, path = line.rstrip("\n").split("\t", 2)
            try:
                w, h, data = KINDS.get(kind, plain_pixels)(path)
                blob = b"%d %d\n" % (w, h) + data
            except Exception:  # any refusal of the reference counts as "broken"
                blob = b"ERR\n"
            with open("%s/%s.raw" % (outdir, index), "wb") as out:
                out.write(blob)


if __name__ == "__main__":
    main()
