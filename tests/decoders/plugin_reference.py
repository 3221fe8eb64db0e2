#!/usr/bin/python3
# Pictures for the plug-in format test, written by independent encoders (Pillow,
# ImageMagick's convert, cwebp), and their reference pixels decoded by Pillow.
# Usage: plugin_reference.py OUTDIR. Writes the files and list.txt with lines
# "file<TAB>W<TAB>H"; FILE.rgb holds the reference RGB bytes (transparent parts on
# white). A writer that is missing leaves its files out (list.txt says which ran).
import os
import shutil
import subprocess
import sys

from PIL import Image

out = sys.argv[1]
W, H = 37, 23


def picture(mode="RGB"):
    im = Image.new("RGBA", (W, H))
    px = im.load()
    for y in range(H):
        for x in range(W):
            px[x, y] = ((x * 7) % 256, (y * 11) % 256, (x * y) % 256, 255 if (x + y) % 5 else (x * 9) % 256)
    return im if mode == "RGBA" else im.convert(mode)


def on_white(im):
    if im.mode.startswith("I"):
        # 16-bit grey: Pillow clips when converting, the readers scale to 0..255
        grey = [(v * 255 + 32767) // 65535 for v in im.getdata()]
        return im.size, bytes(c for v in grey for c in (v, v, v))
    if im.mode in ("RGBA", "LA", "PA") or (im.mode == "P" and "transparency" in im.info):
        im = im.convert("RGBA")
        data = []
        for (r, g, b, a) in im.getdata():
            data += [(c * a + 255 * (255 - a) + 127) // 255 for c in (r, g, b)]
        return im.size, bytes(data)
    return im.size, im.convert("RGB").tobytes()


listed = []


def reference(name, decoded=None):
    path = os.path.join(out, name)
    im = decoded if decoded is not None else Image.open(path)
    im.load()
    size, rgb = on_white(im)
    with open(path + ".rgb", "wb") as f:
        f.write(rgb)
    listed.append(f"{name}\t{size[0]}\t{size[1]}")


def plain_pnm(name, magic, im, maxval=255):
    """Plain (ASCII) PNM: Pillow writes only the binary forms."""
    with open(os.path.join(out, name), "w") as f:
        f.write(f"{magic}\n# written by the test\n{im.width} {im.height}\n")
        if magic != "P1":
            f.write(f"{maxval}\n")
        values = []
        for p in im.getdata():
            if magic == "P1":
                values.append("0" if p else "1")
            elif magic == "P2":
                values.append(str(p * maxval // 255))
            else:
                values += [str(c * maxval // 255) for c in p]
        for i in range(0, len(values), 17):
            f.write(" ".join(values[i:i + 17]) + "\n")


# Targa through Pillow: true colour, run-length, grey, colour-mapped
picture().save(os.path.join(out, "raw.tga")); reference("raw.tga")
picture().save(os.path.join(out, "rle.TGA"), compression="tga_rle"); reference("rle.TGA")
picture("L").save(os.path.join(out, "grey.tga")); reference("grey.tga")
picture().quantize(16).save(os.path.join(out, "mapped.tga")); reference("mapped.tga")
# PNM through Pillow (binary) and by hand (plain)
picture().save(os.path.join(out, "colour.ppm")); reference("colour.ppm")
picture("L").save(os.path.join(out, "grey.pgm")); reference("grey.pgm")
picture("1").save(os.path.join(out, "bits.pbm")); reference("bits.pbm")
picture().save(os.path.join(out, "any.PNM"), format="PPM"); reference("any.PNM")
plain_pnm("plain.pbm", "P1", picture("1")); reference("plain.pbm", picture("1"))
plain_pnm("plain.pgm", "P2", picture("L")); reference("plain.pgm", picture("L"))
plain_pnm("plain.ppm", "P3", picture()); reference("plain.ppm", picture())
# WebP through Pillow: lossless with alpha, lossy
picture("RGBA").save(os.path.join(out, "alpha.webp"), lossless=True); reference("alpha.webp")
picture().save(os.path.join(out, "lossy.webp"), quality=80); reference("lossy.webp")
# ImageMagick and cwebp, when installed
png = os.path.join(out, "source.png")
picture("RGBA").save(png)
opaque = os.path.join(out, "opaque.png")
picture().save(opaque)
if shutil.which("convert"):
    for name, args in (("im.tga", []), ("im_rle.tga", ["-compress", "RLE"]), ("im16.pgm", ["-depth", "16", "-colorspace", "Gray"]),
                       ("im_plain.ppm", ["-compress", "none"])):
        if subprocess.run(["convert", opaque, *args, os.path.join(out, name)]).returncode == 0:
            reference(name)
if shutil.which("cwebp"):
    for name, args in (("cw_lossy.webp", ["-q", "75"]), ("cw_lossless.webp", ["-lossless"]),
                       ("cw_alpha.webp", ["-q", "90", "-alpha_q", "100"])):
        src = png if "alpha" in name else opaque
        if subprocess.run(["cwebp", "-quiet", *args, src, "-o", os.path.join(out, name)]).returncode == 0:
            reference(name)
with open(os.path.join(out, "list.txt"), "w") as f:
    f.write("\n".join(listed) + "\n")
