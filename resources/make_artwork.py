#!/usr/bin/python3
"""Makes Rigtune's bitmaps from rigtune.svg and a few drawing steps.

Every picture comes at its size and, named with "@2x", at twice that for screens of twice the
density; the window icon also at the sizes a 150 % screen asks for (24 and 48). The banner is
drawn from its box's top-left corner and clipped by the box, which is narrower and taller: what
must be seen stays within the box's width.

Needs Debian's librsvg2-bin (rsvg-convert), python3-pil and fonts-liberation. The outputs are
committed; the build never runs this. Run it from this folder after changing the artwork.
"""
import io
import subprocess
from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
YELLOW = (255, 255, 192)
ORANGE = (242, 165, 22)
BANNER = (314, 109)  # the banner picture, in pixels at 96 dpi
BANNER_BOX_WIDTH = 289  # the main window's banner box is 289 x 113 pixels
LOGO = (82, 29)  # the About box's picture, inside its frame
SUPERSAMPLE = 4  # shapes PIL draws without anti-aliasing are drawn larger, then reduced


def render_svg(size, out):
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "rigtune.svg", "-o", out],
                   check=True)


def svg(size):
    png = subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "rigtune.svg"],
                         check=True, capture_output=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


def sixteen_colours(image):
    # The 1x window icons keep to 16 colours; transparency is one of them.
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
    return quantised


def name(base, scale):
    return f"{base}.png" if scale == 1 else f"{base}@{scale}x.png"


def text(draw, xy, words, size, fill, scale, right_limit):
    font = ImageFont.truetype(FONT, size * scale)
    position = (xy[0] * scale, xy[1] * scale)
    right = draw.textbbox(position, words, font=font)[2]
    assert right <= right_limit * scale, f"{words!r} passes the visible right edge"
    draw.text(position, words, font=font, fill=fill)


def banner(scale):
    width, height = BANNER
    big = SUPERSAMPLE * scale
    track = Image.new("RGB", (width * big, height * big), (16, 18, 22))
    draw = ImageDraw.Draw(track)
    for x in range(0, width, 2):  # a faint gravel track along the bottom
        y = 100 + (x * 7) % 5
        draw.rectangle((x * big, y * big, (x + 1) * big - 1, (y + 1) * big - 1), fill=(60, 56, 48))
    draw.line((0, 104 * big, width * big, 96 * big), fill=(90, 80, 60), width=2 * big)
    image = track.resize((width * scale, height * scale), Image.Resampling.LANCZOS)
    wheel = svg(84 * scale)
    image.paste(wheel, (10 * scale, 14 * scale), wheel)
    draw = ImageDraw.Draw(image)
    text(draw, (106, 22), "Rigtune", 40, YELLOW, scale, BANNER_BOX_WIDTH - 6)
    text(draw, (108, 70), "Gravlund set-up editor", 14, ORANGE, scale, BANNER_BOX_WIDTH - 6)
    image.save(name("banner", scale))


def logo(scale):
    width, height = LOGO
    image = Image.new("RGB", (width * scale, height * scale), (192, 192, 192))
    wheel = svg(25 * scale)
    image.paste(wheel, (2 * scale, 2 * scale), wheel)
    text(ImageDraw.Draw(image), (30, 6), "Rigtune", 13, (16, 18, 22), scale, width - 2)
    image.save(name("logo", scale))


def main():
    for size in (16, 32):
        sixteen_colours(svg(size)).save(f"icon-{size}.png", transparency=15)
        render_svg(2 * size, f"icon-{size}@2x.png")
    for size in (24, 48, 128):
        render_svg(size, f"icon-{size}.png")
    Image.open("icon-32.png").save("rigtune.ico", sizes=[(16, 16), (32, 32)],
                                   append_images=[Image.open("icon-16.png")])
    for scale in (1, 2):
        banner(scale)
        logo(scale)


if __name__ == "__main__":
    main()
