#!/usr/bin/python3
"""Makes Rigtune's bitmaps from rigtune.svg and a few drawing steps.

Needs Debian's librsvg2-bin (rsvg-convert), python3-pil and fonts-liberation. The outputs are
committed; the build never runs this. Run it from this folder after changing the artwork.
"""
import subprocess
from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
YELLOW = (255, 255, 192)
ORANGE = (242, 165, 22)


def render_svg(size):
    out = f"icon-{size}.png"
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "rigtune.svg", "-o", out],
                   check=True)
    return out


def sixteen_colours(path):
    # The window icon keeps to 16 colours; transparency is one of them.
    image = Image.open(path).convert("RGBA")
    alpha = image.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    rgb = Image.new("RGB", image.size, (0, 0, 0))
    rgb.paste(image, mask=alpha)
    quantised = rgb.quantize(colors=15, method=Image.Quantize.MEDIANCUT)
    palette = quantised.getpalette()[: 15 * 3] + [255, 0, 255]
    quantised.putpalette(palette)
    pixels = quantised.load()
    mask = alpha.load()
    for y in range(image.height):
        for x in range(image.width):
            if mask[x, y] == 0:
                pixels[x, y] = 15
    quantised.save(path, transparency=15)


def wheel(draw, cx, cy, r):
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=(12, 13, 15), outline=(58, 63, 71), width=3)
    rim = int(r * 0.62)
    draw.ellipse((cx - rim, cy - rim, cx + rim, cy + rim), fill=(201, 204, 209))
    hub = int(r * 0.24)
    draw.ellipse((cx - hub, cy - hub, cx + hub, cy + hub), fill=ORANGE)


def banner():
    image = Image.new("RGB", (314, 109), (16, 18, 22))
    draw = ImageDraw.Draw(image)
    for x in range(0, 314, 2):  # a faint gravel track along the bottom
        draw.point((x, 96 + (x * 7) % 5), fill=(60, 56, 48))
    draw.line((0, 100, 314, 92), fill=(90, 80, 60), width=2)
    wheel(draw, 62, 54, 38)
    draw.text((116, 22), "Rigtune", font=ImageFont.truetype(FONT, 40), fill=YELLOW)
    draw.text((118, 70), "Gravlund set-up editor", font=ImageFont.truetype(FONT, 14), fill=ORANGE)
    image.save("banner.png")


def logo():
    image = Image.new("RGB", (82, 29), (192, 192, 192))
    draw = ImageDraw.Draw(image)
    wheel(draw, 14, 14, 12)
    draw.text((30, 6), "Rigtune", font=ImageFont.truetype(FONT, 13), fill=(16, 18, 22))
    image.save("logo.png")


def main():
    for size in (16, 32, 48, 128):
        render_svg(size)
    for size in (16, 32):
        sixteen_colours(f"icon-{size}.png")
    Image.open("icon-32.png").save("rigtune.ico", sizes=[(16, 16), (32, 32)],
                                   append_images=[Image.open("icon-16.png")])
    banner()
    logo()


if __name__ == "__main__":
    main()
