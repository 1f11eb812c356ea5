#!/usr/bin/python3
"""Draws and synthesises the project's pictures and sounds.

The launcher's own go into src/resources/, the sample suite's slide show and
test pictures into standins/sample_suite/media/.  The outputs are committed;
the build only compiles them in.  Run again after changing a picture or a sound:

    /usr/bin/python3 scripts/make_resources.py                # both sets
    /usr/bin/python3 scripts/make_resources.py --sample-media # the sample set only

The launcher's set needs PIL (Debian's python3-pil) and the DejaVu fonts;
everything in it is drawn at four times its size and scaled down, which gives
smooth edges and type.  The sample set is plain uncompressed files made with
the standard library, except slide.jpg, a baseline JPEG made once and kept as
it is (the script leaves it alone).
"""

import math
import os
import struct
import sys
import wave
import zlib

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:  # the sample set needs none of it
    Image = None

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "src", "resources")
SAMPLE_OUT = os.path.join(ROOT, "standins", "sample_suite", "media")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SS = 4  # supersampling factor

BUTTON_FACE = (240, 240, 240)


# --- drawing helpers -------------------------------------------------------

def font(name, px):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), int(round(px)))


def bold(px):
    return font("DejaVuSans-Bold.ttf", px)


def condensed_bold(px):
    return font("DejaVuSansCondensed-Bold.ttf", px)


def regular(px):
    return font("DejaVuSans.ttf", px)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def hex_rgb(text):
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) for i in (0, 2, 4))


def vgradient(size, stops):
    """Vertical gradient through (position 0..1, colour) stops."""
    w, h = size
    column = Image.new("RGB", (1, h))
    px = column.load()
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                px[0, y] = mix(c0, c1, (t - p0) / max(1e-9, p1 - p0))
                break
    return column.resize((w, h), Image.NEAREST)


def radial_glow(size, centre, radius, colour, strength):
    """A soft round light: an RGBA layer to composite over a picture."""
    w, h = size
    mask = Image.new("L", size, 0)
    d = ImageDraw.Draw(mask)
    cx, cy = centre
    d.ellipse((cx - radius, cy - radius, cx + radius, cy + radius), fill=int(255 * strength))
    mask = mask.filter(ImageFilter.GaussianBlur(radius / 2.2))
    layer = Image.new("RGBA", size, colour + (0,))
    layer.putalpha(mask)
    return layer


def shadow_of(mask, blur, opacity, offset=(0, 0)):
    """A blurred dark copy of a mask, as an RGBA layer."""
    shifted = ImageChops.offset(mask, offset[0], offset[1])
    alpha = shifted.filter(ImageFilter.GaussianBlur(blur)).point(lambda v: int(v * opacity))
    layer = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    layer.putalpha(alpha)
    return layer


def paste_colour(base, mask, colour):
    """Paints colour (RGB or RGBA image) through mask onto base (RGBA)."""
    if isinstance(colour, tuple):
        colour = Image.new("RGBA", base.size, colour + (255,))
    base.paste(colour, (0, 0), mask)


def text_size(draw, text, fnt):
    box = draw.textbbox((0, 0), text, font=fnt)
    return box[2] - box[0], box[3] - box[1], box


def centred_text(draw, cx, y, text, fnt, fill):
    w, _, box = text_size(draw, text, fnt)
    draw.text((cx - w / 2 - box[0], y - box[1]), text, font=fnt, fill=fill)


def fitted_font(draw, lines, maker, px, max_width):
    """Largest font (from px down) in which every line fits max_width."""
    while px > 8:
        fnt = maker(px)
        if all(text_size(draw, line, fnt)[0] <= max_width for line in lines):
            return fnt
        px -= 1
    return maker(px)


def downsample(img, size):
    return img.resize(size, Image.LANCZOS)


def save_bmp(img, name):
    path = os.path.join(OUT, name)
    img.convert("RGB").save(path, "BMP")
    return path


# --- module glyphs (drawn white on the module's colour, at SS scale) ----------
# Each takes a draw object of an "L" mask, the glyph's centre and its unit
# (about a twelfth of the glyph's width), and paints the glyph as 255.

def glyph_documents(d, cx, cy, u):
    # Two stacked pages with a folded corner and lines of text.
    back = (cx - 3.2 * u, cy - 4.6 * u, cx + 2.2 * u, cy + 3.4 * u)
    d.rounded_rectangle(back, radius=0.7 * u, fill=110)
    x0, y0, x1, y1 = cx - 2.2 * u, cy - 3.6 * u, cx + 3.4 * u, cy + 4.6 * u
    fold = 1.6 * u
    d.polygon([(x0 + 0.6 * u, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1 - 0.6 * u),
               (x1 - 0.6 * u, y1), (x0 + 0.6 * u, y1), (x0, y1 - 0.6 * u), (x0, y0 + 0.6 * u)],
              fill=255)
    d.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], fill=150)
    for i, width in enumerate((3.4, 4.0, 3.0, 4.0, 2.4)):
        ly = y0 + 2.6 * u + i * 1.15 * u
        d.rounded_rectangle((x0 + 0.9 * u, ly, x0 + (0.9 + width) * u, ly + 0.45 * u),
                            radius=0.22 * u, fill=0)


def glyph_accounting(d, cx, cy, u):
    # A rising bar chart on a base line, with a trend arrow.
    base = cy + 3.8 * u
    for i, height in enumerate((2.6, 4.2, 3.4, 6.2)):
        x = cx - 4.4 * u + i * 2.35 * u
        d.rounded_rectangle((x, base - height * u, x + 1.6 * u, base), radius=0.35 * u, fill=255)
    d.rounded_rectangle((cx - 5.0 * u, base + 0.35 * u, cx + 5.0 * u, base + 0.95 * u),
                        radius=0.3 * u, fill=255)
    pts = [(cx - 4.6 * u, cy - 0.6 * u), (cx - 1.6 * u, cy - 3.0 * u), (cx + 0.6 * u, cy - 1.6 * u),
           (cx + 3.6 * u, cy - 4.6 * u)]
    d.line(pts, fill=255, width=int(0.55 * u), joint="curve")
    tip = (cx + 4.5 * u, cy - 5.5 * u)
    d.polygon([tip, (tip[0] - 2.2 * u, tip[1] + 0.35 * u), (tip[0] - 0.35 * u, tip[1] + 2.2 * u)],
              fill=255)


def glyph_messages(d, cx, cy, u):
    # Two overlapping speech bubbles.
    d.rounded_rectangle((cx - 1.0 * u, cy - 1.4 * u, cx + 5.0 * u, cy + 3.2 * u), radius=1.6 * u,
                        fill=140)
    d.polygon([(cx + 3.0 * u, cy + 2.6 * u), (cx + 4.6 * u, cy + 4.8 * u), (cx + 1.6 * u, cy + 2.8 * u)],
              fill=140)
    x0, y0, x1, y1 = cx - 5.0 * u, cy - 4.6 * u, cx + 2.6 * u, cy + 1.4 * u
    d.rounded_rectangle((x0 - 0.5 * u, y0 - 0.5 * u, x1 + 0.5 * u, y1 + 0.5 * u), radius=2.3 * u, fill=0)
    d.rounded_rectangle((x0, y0, x1, y1), radius=1.9 * u, fill=255)
    d.polygon([(x0 + 1.4 * u, y1 - 0.8 * u), (x0 + 0.6 * u, y1 + 2.4 * u), (x0 + 3.4 * u, y1 - 0.4 * u)],
              fill=255)
    for i in range(3):
        dx = x0 + 1.9 * u + i * 1.9 * u
        dy = (y0 + y1) / 2
        d.ellipse((dx - 0.55 * u, dy - 0.55 * u, dx + 0.55 * u, dy + 0.55 * u), fill=0)


def glyph_payroll(d, cx, cy, u):
    # A person beside a stack of coins.
    hx, hy = cx - 1.8 * u, cy - 2.2 * u
    d.ellipse((hx - 2.0 * u, hy - 2.0 * u, hx + 2.0 * u, hy + 2.0 * u), fill=255)
    d.chord((hx - 4.0 * u, cy + 0.6 * u, hx + 4.0 * u, cy + 8.6 * u), 180, 360, fill=255)
    x = cx + 3.2 * u
    for i in range(4):
        y = cy + 4.0 * u - i * 1.25 * u
        d.rounded_rectangle((x - 2.7 * u, y - 1.05 * u, x + 2.7 * u, y + 1.05 * u), radius=1.05 * u, fill=0)
        d.rounded_rectangle((x - 2.4 * u, y - 0.8 * u, x + 2.4 * u, y + 0.8 * u), radius=0.8 * u, fill=255)
    top = cy + 4.0 * u - 3 * 1.25 * u
    d.ellipse((x - 1.5 * u, top - 0.42 * u, x + 1.5 * u, top + 0.42 * u), fill=160)


def glyph_assets(d, cx, cy, u):
    # An office building with windows beside a smaller hall.
    base = cy + 4.6 * u
    d.rectangle((cx - 4.2 * u, cy - 4.8 * u, cx + 0.8 * u, base), fill=255)
    d.polygon([(cx - 4.6 * u, cy - 4.8 * u), (cx - 1.7 * u, cy - 6.2 * u), (cx + 1.2 * u, cy - 4.8 * u)],
              fill=255)
    for row in range(4):
        for col in range(2):
            x = cx - 3.3 * u + col * 2.0 * u
            y = cy - 3.6 * u + row * 1.8 * u
            d.rectangle((x, y, x + 1.2 * u, y + 1.0 * u), fill=0)
    d.rectangle((cx + 1.6 * u, cy - 0.4 * u, cx + 5.0 * u, base), fill=190)
    d.polygon([(cx + 1.6 * u, cy - 0.4 * u), (cx + 1.6 * u, cy - 2.0 * u), (cx + 3.3 * u, cy - 0.4 * u)],
              fill=190)
    d.polygon([(cx + 3.3 * u, cy - 0.4 * u), (cx + 3.3 * u, cy - 2.0 * u), (cx + 5.0 * u, cy - 0.4 * u)],
              fill=190)
    d.rectangle((cx + 2.6 * u, cy + 2.4 * u, cx + 4.0 * u, base), fill=0)
    d.rounded_rectangle((cx - 5.4 * u, base, cx + 5.6 * u, base + 0.7 * u), radius=0.3 * u, fill=255)


def gear(d, cx, cy, r_out, r_in, teeth, hole, fill):
    pts = []
    steps = teeth * 4
    for i in range(steps):
        a = 2 * math.pi * i / steps
        r = r_out if i % 4 in (0, 1) else r_in
        a += math.pi / steps
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d.polygon(pts, fill=fill)
    d.ellipse((cx - r_in * 0.98, cy - r_in * 0.98, cx + r_in * 0.98, cy + r_in * 0.98), fill=fill)
    d.ellipse((cx - hole, cy - hole, cx + hole, cy + hole), fill=0)


def glyph_setup(d, cx, cy, u):
    # A large gear with a small one.
    gear(d, cx - 1.0 * u, cy + 0.6 * u, 4.6 * u, 3.5 * u, 9, 1.5 * u, 255)
    gear(d, cx + 3.6 * u, cy - 3.6 * u, 2.5 * u, 1.85 * u, 7, 0.8 * u, 190)


# --- the six module buttons ------------------------------------------------

MODULES = [
    # file, title lines, subtitle, colours (top, bottom), glyph
    ("vantor.bmp", ["Vantor"], "Documente si gestiune", ("#2F86EB", "#0D3F8F"), glyph_documents),
    ("kelbar.bmp", ["Kelbar"], "Contabilitate", ("#35B26B", "#145E35"), glyph_accounting),
    ("quillon.bmp", ["Quillon"], "Mesagerie Corvane", ("#8C63E6", "#44248F"), glyph_messages),
    ("salarii.bmp", ["Gestiunea", "Salariilor"], "Personal si salarizare", ("#1BB5B0", "#0A5E63"),
     glyph_payroll),
    ("mijloace_fixe.bmp", ["Gestiunea", "mijloacelor fixe"], "Inventar si amortizare",
     ("#F0A030", "#A8500E"), glyph_assets),
    ("erp_setup.bmp", ["Initializare si definere", "mediu ERP"], "Configurare suita",
     ("#63758E", "#26303F"), glyph_setup),
]


def module_button(title_lines, subtitle, colours, glyph):
    w, h = 224, 230
    W, H = w * SS, h * SS
    top, bottom = hex_rgb(colours[0]), hex_rgb(colours[1])
    img = vgradient((W, H), [(0.0, mix(top, (255, 255, 255), 0.12)), (0.55, top), (1.0, bottom)])
    img = img.convert("RGBA")
    # A soft light behind the badge and a faint sheen across the top.
    img.alpha_composite(radial_glow((W, H), (W // 2, 84 * SS), 92 * SS, (255, 255, 255), 0.28))
    sheen = Image.new("L", (W, H), 0)
    ImageDraw.Draw(sheen).ellipse((-W * 0.5, -H * 0.75, W * 1.5, H * 0.34), fill=34)
    sheen = sheen.filter(ImageFilter.GaussianBlur(3 * SS))
    img.alpha_composite(Image.merge("RGBA", (*Image.new("RGB", (W, H), (255, 255, 255)).split(), sheen)))
    # Decorative rings in the corner.
    rings = Image.new("L", (W, H), 0)
    rd = ImageDraw.Draw(rings)
    for r, a in ((150, 22), (112, 16), (74, 12)):
        rd.ellipse((W - 40 * SS - r * SS, H - 30 * SS - r * SS, W - 40 * SS + r * SS, H - 30 * SS + r * SS),
                   outline=a, width=2 * SS)
    img.alpha_composite(Image.merge("RGBA", (*Image.new("RGB", (W, H), (255, 255, 255)).split(), rings)))

    # Round white badge with the module's glyph in the module's colour.
    cx, cy, r = W // 2, 76 * SS, 48 * SS
    badge = Image.new("L", (W, H), 0)
    ImageDraw.Draw(badge).ellipse((cx - r, cy - r, cx + r, cy + r), fill=255)
    img.alpha_composite(shadow_of(badge, 7 * SS, 0.38, (0, 4 * SS)))
    badge_fill = vgradient((W, H), [(0.0, (255, 255, 255)), (0.5, (255, 255, 255)), (1.0, (226, 232, 240))])
    img.paste(badge_fill, (0, 0), badge)
    ring = Image.new("L", (W, H), 0)
    ImageDraw.Draw(ring).ellipse((cx - r + 4 * SS, cy - r + 4 * SS, cx + r - 4 * SS, cy + r - 4 * SS),
                                 outline=255, width=int(1.5 * SS))
    paste_colour(img, ring.point(lambda v: v * 40 // 255), top)

    glyph_mask = Image.new("L", (W, H), 0)
    glyph(ImageDraw.Draw(glyph_mask), cx, cy, 5.6 * SS)
    glyph_colour = vgradient((W, H), [(0.0, top), (0.35, top), (0.6, bottom), (1.0, bottom)])
    img.paste(glyph_colour, (0, 0), glyph_mask)

    # Title and subtitle.
    d = ImageDraw.Draw(img)
    title_font = fitted_font(d, title_lines, bold, (27 if len(title_lines) == 1 else 19) * SS, 204 * SS)
    line_h = title_font.size * 1.18
    sub_font = regular(11.5 * SS)
    block = line_h * len(title_lines) + 20 * SS
    y = 176 * SS - block / 2 + (4 * SS if len(title_lines) == 1 else 0)
    text_layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    td = ImageDraw.Draw(text_layer)
    for line in title_lines:
        centred_text(td, W / 2, y, line, title_font, (255, 255, 255, 255))
        y += line_h
    y += 5 * SS
    centred_text(td, W / 2, y, subtitle, sub_font, (255, 255, 255, 205))
    img.alpha_composite(shadow_of(text_layer.getchannel("A"), 2 * SS, 0.45, (0, SS)))
    img.alpha_composite(text_layer)

    # A fine light edge just inside the border, for a finished look.
    edge = Image.new("L", (W, H), 0)
    ImageDraw.Draw(edge).rounded_rectangle((3 * SS, 3 * SS, W - 3 * SS, H - 3 * SS), radius=10 * SS,
                                           outline=60, width=SS)
    paste_colour(img, edge, (255, 255, 255))
    return downsample(img, (w, h))


# --- left panel, fallback picture, update icon, rate emblems -------------------

BRAND_DARK = hex_rgb("#0E2F5A")
BRAND = hex_rgb("#1D5FA8")
BRAND_LIGHT = hex_rgb("#4FA3E0")
ACCENT = hex_rgb("#F29A2E")


def brand_mark(d, cx, cy, r, colour, accent):
    """The vendor's mark: an open ring with a dot, drawn into an RGBA draw."""
    width = max(1, int(r * 0.28))
    d.arc((cx - r, cy - r, cx + r, cy + r), 40, 320, fill=colour, width=width)
    dot = r * 0.32
    d.ellipse((cx + r * 0.62 - dot, cy - dot, cx + r * 0.62 + dot, cy + dot), fill=accent)


def left_panel():
    w, h = 232, 800
    W, H = w * SS, h * SS
    img = vgradient((W, H), [(0.0, hex_rgb("#F7F9FC")), (0.6, hex_rgb("#E9EFF6")),
                             (1.0, hex_rgb("#D5E0EC"))]).convert("RGBA")
    # Soft waves in the lower part.
    waves = Image.new("L", (W, H), 0)
    wd = ImageDraw.Draw(waves)
    for k, alpha in ((0, 40), (1, 64), (2, 170)):
        pts = []
        for i in range(0, W + SS, SS):
            x = i
            y = (518 + 20 * k) * SS + math.sin(i / (W / 2.3) + k * 1.3) * 13 * SS
            pts.append((x, y))
        pts += [(W, H), (0, H)]
        wd.polygon(pts, fill=alpha)
    img.alpha_composite(Image.merge("RGBA", (*Image.new("RGB", (W, H), BRAND).split(), waves)))
    # Wordmark near the bottom of the visible part: the dialog's client area
    # ends some 625 pixels down, under the slide caption.
    d = ImageDraw.Draw(img)
    brand_mark(d, 64 * SS, 590 * SS, 10 * SS, (255, 255, 255, 255), ACCENT + (255,))
    d.text((81 * SS, 579 * SS), "Corvane", font=bold(19 * SS), fill=(255, 255, 255, 255))
    # Separator towards the buttons: a light line and a darker one.
    d.rectangle((W - 3 * SS, 0, W - 2 * SS, H), fill=(255, 255, 255, 255))
    d.rectangle((W - 2 * SS, 0, W, H), fill=hex_rgb("#B9C7D8") + (255,))
    return downsample(img, (w, h))


def no_slides_picture():
    w, h = 229, 622
    W, H = w * SS, h * SS
    img = vgradient((W, H), [(0.0, hex_rgb("#1B5FAE")), (0.55, BRAND_DARK), (1.0, hex_rgb("#0A1E3A"))])
    img = img.convert("RGBA")
    img.alpha_composite(radial_glow((W, H), (W // 2, 150 * SS), 130 * SS, (120, 190, 255), 0.35))
    # Faint circles for depth.
    circles = Image.new("L", (W, H), 0)
    cd = ImageDraw.Draw(circles)
    for (x, y, r, a) in ((200, 40, 90, 20), (20, 300, 120, 14), (210, 560, 140, 16), (60, 600, 60, 18)):
        cd.ellipse(((x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS), outline=a, width=2 * SS)
    img.alpha_composite(Image.merge("RGBA", (*Image.new("RGB", (W, H), (255, 255, 255)).split(), circles)))

    d = ImageDraw.Draw(img)
    white = (255, 255, 255, 255)
    soft = (214, 230, 248, 255)
    # Mark and names.
    brand_mark(d, W // 2, 128 * SS, 40 * SS, white, ACCENT + (255,))
    centred_text(d, W / 2, 190 * SS, "Corvane", bold(34 * SS), white)
    centred_text(d, W / 2, 234 * SS, "VELMORA", font("DejaVuSans.ttf", 14 * SS), soft)
    d.rounded_rectangle((W / 2 - 28 * SS, 262 * SS, W / 2 + 28 * SS, 265 * SS), radius=SS,
                        fill=ACCENT + (255,))
    centred_text(d, W / 2, 282 * SS, "Suita ERP pentru", regular(13 * SS), soft)
    centred_text(d, W / 2, 300 * SS, "afacerea dumneavoastra", regular(13 * SS), soft)

    # The modules, each on a rounded row with a coloured dot.
    rows = [("Documente", "#2F86EB"), ("Contabilitate", "#35B26B"), ("Salarii", "#1BB5B0"),
            ("Mijloace fixe", "#F0A030"), ("Mesagerie", "#8C63E6")]
    y = 344 * SS
    for name, colour in rows:
        plate = (22 * SS, y, W - 22 * SS, y + 34 * SS)
        layer = Image.new("RGBA", (W, H), (0, 0, 0, 0))
        ImageDraw.Draw(layer).rounded_rectangle(plate, radius=17 * SS, fill=(255, 255, 255, 30))
        img.alpha_composite(layer)
        d = ImageDraw.Draw(img)
        cy = y + 17 * SS
        d.ellipse((38 * SS, cy - 7 * SS, 52 * SS, cy + 7 * SS), fill=hex_rgb(colour) + (255,))
        _, th, box = text_size(d, name, regular(14 * SS))
        d.text((64 * SS, cy - th / 2 - box[1]), name, font=regular(14 * SS), fill=white)
        y += 44 * SS
    centred_text(d, W / 2, 590 * SS, "Bine ati venit!", bold(13 * SS), soft)
    return downsample(img, (w, h))


def update_icon():
    w = h = 32
    S = 8
    W, H = w * S, h * S
    img = Image.new("RGBA", (W, H), (255, 255, 255, 255))
    disc = Image.new("L", (W, H), 0)
    ImageDraw.Draw(disc).ellipse((S, S, W - S, H - S), fill=255)
    img.alpha_composite(shadow_of(disc, 1.2 * S, 0.35, (0, S // 2)))
    fill = vgradient((W, H), [(0.0, hex_rgb("#5CCB6E")), (1.0, hex_rgb("#1E8A3A"))])
    img.paste(fill, (0, 0), disc)
    d = ImageDraw.Draw(img)
    # Two circular arrows.
    cx, cy, r = W / 2, H / 2, 8.2 * S
    width = int(2.6 * S)
    d.arc((cx - r, cy - r, cx + r, cy + r), 200, 340, fill=(255, 255, 255, 255), width=width)
    d.arc((cx - r, cy - r, cx + r, cy + r), 20, 160, fill=(255, 255, 255, 255), width=width)
    for angle, direction in ((340, 1), (160, 1)):
        a = math.radians(angle)
        px, py = cx + (r - width / 2) * math.cos(a), cy + (r - width / 2) * math.sin(a)
        tangent = a + math.pi / 2 * direction
        size = 4.2 * S
        nx, ny = math.cos(a), math.sin(a)
        tx, ty = math.cos(tangent), math.sin(tangent)
        d.polygon([(px + tx * size, py + ty * size), (px + nx * size * 0.8, py + ny * size * 0.8),
                   (px - nx * size * 0.8, py - ny * size * 0.8)], fill=(255, 255, 255, 255))
    return downsample(img, (w, h))


def star_points(cx, cy, r):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        rr = r if i % 2 == 0 else r * 0.42
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
    return pts


def emblem_frame(img, S):
    W, H = img.size
    d = ImageDraw.Draw(img)
    shade = vgradient((W, H), [(0.0, (40, 40, 40)), (1.0, (0, 0, 0))]).convert("L")
    light = Image.new("RGBA", (W, H), (255, 255, 255, 0))
    light.putalpha(shade)
    img.alpha_composite(light)
    dark = Image.new("RGBA", (W, H), (0, 0, 0, 0))
    dark.putalpha(vgradient((W, H), [(0.0, (0, 0, 0)), (0.6, (0, 0, 0)), (1.0, (36, 36, 36))]).convert("L"))
    img.alpha_composite(dark)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, W - 1, H - 1), outline=(70, 78, 90, 255), width=S)


def euro_emblem():
    w, h = 30, 20
    S = 8
    W, H = w * S, h * S
    img = Image.new("RGBA", (W, H), (0, 51, 153, 255))
    d = ImageDraw.Draw(img)
    cx, cy, r = W / 2, H / 2, 6.3 * S
    for i in range(12):
        a = 2 * math.pi * i / 12
        d.polygon(star_points(cx + r * math.cos(a), cy + r * math.sin(a), 1.35 * S), fill=(255, 204, 0, 255))
    emblem_frame(img, S)
    return downsample(img, (w, h))


def dollar_emblem():
    w, h = 30, 20
    S = 8
    W, H = w * S, h * S
    img = Image.new("RGBA", (W, H), (255, 255, 255, 255))
    d = ImageDraw.Draw(img)
    stripe = H / 7
    for i in range(0, 7, 2):
        d.rectangle((0, i * stripe, W, (i + 1) * stripe), fill=(178, 34, 52, 255))
    d.rectangle((0, 0, 13 * S, 4 * stripe), fill=(60, 59, 110, 255))
    for row in range(3):
        for col in range(4):
            x = 1.8 * S + col * 3.1 * S + (1.5 * S if row % 2 else 0)
            if x > 12 * S:
                continue
            y = 1.9 * S + row * 3.3 * S
            d.ellipse((x - 0.6 * S, y - 0.6 * S, x + 0.6 * S, y + 0.6 * S), fill=(255, 255, 255, 255))
    emblem_frame(img, S)
    return downsample(img, (w, h))


# --- icon and cursor ---------------------------------------------------------

def app_icon(size):
    S = 8
    W = size * S
    img = Image.new("RGBA", (W, W), (0, 0, 0, 0))
    inset = max(S, W // 32)
    shape = Image.new("L", (W, W), 0)
    ImageDraw.Draw(shape).rounded_rectangle((inset, inset, W - inset, W - inset), radius=W * 0.22, fill=255)
    fill = vgradient((W, W), [(0.0, hex_rgb("#3C97F0")), (1.0, hex_rgb("#0E3C85"))]).convert("RGBA")
    sheen = Image.new("L", (W, W), 0)
    ImageDraw.Draw(sheen).ellipse((-W * 0.4, -W * 0.9, W * 1.4, W * 0.42), fill=46)
    fill.alpha_composite(Image.merge("RGBA", (*Image.new("RGB", (W, W), (255, 255, 255)).split(), sheen)))
    img.paste(fill, (0, 0), shape)
    # A bold white "V" with an orange dot: Velmora.
    d = ImageDraw.Draw(img)
    stroke = W * 0.15
    top = W * 0.25
    bottom = W * 0.76
    left, right, mid = W * 0.24, W * 0.76, W * 0.5
    d.line([(left, top), (mid, bottom)], fill=(255, 255, 255, 255), width=int(stroke))
    d.line([(right, top), (mid, bottom)], fill=(255, 255, 255, 255), width=int(stroke))
    d.ellipse((mid - stroke / 2, bottom - stroke / 2, mid + stroke / 2, bottom + stroke / 2),
              fill=(255, 255, 255, 255))
    for x in (left, right):
        d.ellipse((x - stroke / 2, top - stroke / 2, x + stroke / 2, top + stroke / 2),
                  fill=(255, 255, 255, 255))
    dot = W * 0.085
    d.ellipse((mid - dot, top - dot - W * 0.02, mid + dot, top + dot - W * 0.02), fill=ACCENT + (255,))
    # Keep the outside transparent.
    alpha = ImageChops.multiply(img.getchannel("A"), shape)
    img.putalpha(alpha)
    return downsample(img, (size, size))


def hand_cursor():
    """A crisp white pointing hand with a black outline; returns (image, hotspot).

    Cursors read best with hard pixel edges, so the shape is drawn large,
    reduced to a one-bit mask, and outlined one pixel wide."""
    size, S = 32, 8
    W = size * S
    m = Image.new("L", (W, W), 0)
    d = ImageDraw.Draw(m)

    def rr(x0, y0, x1, y1, r):
        d.rounded_rectangle((x0 * S, y0 * S, x1 * S, y1 * S), radius=r * S, fill=255)

    rr(7.0, 1.0, 11.0, 17.0, 2.0)     # index finger
    rr(11.0, 8.0, 14.6, 17.0, 1.8)    # middle finger
    rr(14.6, 9.0, 18.2, 17.5, 1.8)    # ring finger
    rr(18.2, 10.5, 21.6, 18.0, 1.7)   # little finger
    rr(7.0, 14.0, 21.6, 25.0, 3.2)    # palm
    d.polygon([(9.0 * S, 24.0 * S), (20.6 * S, 24.0 * S), (19.6 * S, 28.0 * S), (10.0 * S, 28.0 * S)],
              fill=255)                # wrist
    d.line([(3.0 * S, 15.0 * S), (8.6 * S, 21.6 * S)], fill=255, width=int(3.6 * S))  # thumb
    d.ellipse((1.2 * S, 13.2 * S, 4.8 * S, 16.8 * S), fill=255)

    hand = m.resize((size, size), Image.BOX).point(lambda v: 255 if v >= 128 else 0)
    outline = hand.filter(ImageFilter.MaxFilter(3))
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    img.paste((0, 0, 0, 255), (0, 0), outline)
    img.paste((255, 255, 255, 255), (0, 0), hand)
    # Creases between the fingers.
    px = img.load()
    for x, y0, y1 in ((11, 9, 13), (15, 10, 14), (18, 11, 15)):
        for y in range(y0, y1 + 1):
            px[x, y] = (0, 0, 0, 255)
    # Hot spot: the middle of the fingertip's topmost row.
    alpha = img.getchannel("A").load()
    for y in range(size):
        xs = [x for x in range(size) if alpha[x, y] >= 128]
        if xs:
            return img, ((min(xs) + max(xs)) // 2, y)
    raise RuntimeError("empty cursor")


def dib_entry(img):
    """32-bit BGRA DIB with its AND mask, as stored in .ico and .cur files."""
    w, h = img.size
    px = img.load()
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def write_icon_file(path, images, hotspot=None):
    """Writes an .ico (hotspot None) or .cur file from RGBA images."""
    kind = 2 if hotspot else 1
    entries = [dib_entry(img) for img in images]
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for img, data in zip(images, entries):
        w, h = img.size
        if hotspot:
            planes, bits = hotspot
        else:
            planes, bits = 1, 32
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, planes, bits, len(data), offset)
        offset += len(data)
    for data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# --- sounds ------------------------------------------------------------------

RATE = 22050


def bell(freq, length, partials, decay):
    """One struck note: partials are (ratio, level, decay factor)."""
    n = int(length * RATE)
    out = [0.0] * n
    attack = int(0.004 * RATE)
    for ratio, level, speed in partials:
        f = freq * ratio
        if f >= RATE / 2:
            continue
        k = 2 * math.pi * f / RATE
        rate = decay * speed
        for i in range(n):
            env = math.exp(-rate * i / RATE)
            if i < attack:
                env *= i / attack
            out[i] += level * env * math.sin(k * i)
    return out


def mixdown(length, notes):
    """notes: (start seconds, samples, gain)."""
    total = [0.0] * int(length * RATE)
    for start, samples, gain in notes:
        s = int(start * RATE)
        for i, v in enumerate(samples):
            if s + i < len(total):
                total[s + i] += v * gain
    return total


def room(samples, wet=0.22):
    """A small, soft room: four damped feedback combs and an all-pass."""
    n = len(samples)
    out = [0.0] * n
    for delay_ms, feedback in ((29.7, 0.62), (37.1, 0.58), (41.1, 0.55), (43.7, 0.52)):
        delay = int(delay_ms * RATE / 1000)
        buf = [0.0] * n
        low = 0.0
        for i in range(n):
            back = buf[i - delay] if i >= delay else 0.0
            low = 0.6 * back + 0.4 * low  # damping: highs fade faster
            buf[i] = samples[i] + feedback * low
            out[i] += buf[i] * 0.25
    delay = int(5.0 * RATE / 1000)
    diffused = [0.0] * n
    for i in range(n):
        back = diffused[i - delay] if i >= delay else 0.0
        x_back = out[i - delay] if i >= delay else 0.0
        diffused[i] = -0.5 * out[i] + x_back + 0.5 * back
    return [samples[i] * (1 - wet) + diffused[i] * wet for i in range(n)]


def finish(samples, peak=0.72):
    top = max(abs(v) for v in samples) or 1.0
    n = len(samples)
    fade = int(0.06 * RATE)
    out = []
    for i, v in enumerate(samples):
        g = peak / top
        if i >= n - fade:
            g *= (n - 1 - i) / fade
        out.append(max(-32767, min(32767, int(round(v * g * 32767)))))
    return out


def write_wave(name, samples):
    path = os.path.join(OUT, name)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))
    return path


def note(name):
    names = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}
    semis = names[name[0]] + (1 if "#" in name else 0) + (int(name[-1]) - 4) * 12
    return 440.0 * 2 ** (semis / 12)


GLASS = [(1.0, 1.0, 1.0), (2.0, 0.32, 1.6), (3.0, 0.12, 2.4), (4.16, 0.06, 3.2)]
MARIMBA = [(1.0, 1.0, 1.0), (3.93, 0.28, 3.5), (9.2, 0.06, 6.0)]


def greeting_a():
    # A rising major arpeggio on glass bells, ending on a held octave.
    seq = [("C5", 0.00), ("E5", 0.13), ("G5", 0.26), ("C6", 0.39)]
    notes = [(t, bell(note(n), 1.25, GLASS, 3.0), 1.0) for n, t in seq]
    notes.append((0.39, bell(note("G5"), 1.2, GLASS, 2.8), 0.35))
    return finish(room(mixdown(1.65, notes)))


def greeting_b():
    # A soft marimba motif that turns and settles on a two-note chord.
    seq = [("G5", 0.00, 1.0), ("D6", 0.15, 0.9), ("B5", 0.30, 0.9), ("G5", 0.52, 0.8), ("D6", 0.52, 0.6)]
    notes = [(t, bell(note(n), 0.95, MARIMBA, 4.2), g) for n, t, g in seq]
    return finish(room(mixdown(1.45, notes)))


def new_message():
    # Two bright bell strokes, high then low: "ding-dong".
    notes = [(0.00, bell(note("E6"), 0.55, GLASS, 5.0), 1.0),
             (0.22, bell(note("C6"), 0.75, GLASS, 4.0), 1.0)]
    return finish(room(mixdown(0.98, notes), wet=0.18), peak=0.7)


# --- the sample suite's media ---------------------------------------------------
# Flat pictures that show scaling and aspect at a glance: a diagonal blend from
# one colour to another inside a light frame; and a plain 8-bit tone.

SLIDE_W, SLIDE_H = 218, 368  # the launcher's slide area


def sample_pixel(x, y, w, h, start, end):
    frame = max(2, min(w, h) // 16)
    if x < frame or y < frame or x >= w - frame or y >= h - frame:
        return (240, 240, 240)
    span = max(1, w + h - 2)
    t = x + y
    return tuple((a * (span - t) + b * t) // span for a, b in zip(start, end))


def sample_bmp(w, h, start, end):
    """24-bit uncompressed BMP, bottom-up rows."""
    row_bytes = (w * 3 + 3) & ~3
    pixels = row_bytes * h
    out = bytearray(b"BM" + struct.pack("<IIIIiiHHIIiiII", 54 + pixels, 0, 54, 40, w, h, 1, 24, 0,
                                        pixels, 2835, 2835, 0, 0))
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = sample_pixel(x, y, w, h, start, end)
            row += bytes((b, g, r))
        out += row.ljust(row_bytes, b"\0")
    return bytes(out)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def sample_png(w, h, start, end):
    """8-bit RGB PNG whose zlib stream holds stored (uncompressed) blocks."""
    raw = bytearray()
    for y in range(h):
        raw += b"\0"  # filter: none
        for x in range(w):
            raw += bytes(sample_pixel(x, y, w, h, start, end))
    stream = bytearray(b"\x78\x01")
    offset = 0
    while True:
        n = min(65535, len(raw) - offset)
        last = offset + n == len(raw)
        stream += struct.pack("<BHH", 1 if last else 0, n, ~n & 0xFFFF) + raw[offset:offset + n]
        offset += n
        if last:
            break
    stream += struct.pack(">I", zlib.adler32(bytes(raw)))
    header = struct.pack(">II", w, h) + bytes((8, 2, 0, 0, 0))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", bytes(stream))
            + png_chunk(b"IEND", b""))


def sample_wav(hertz, milliseconds):
    """8-bit mono PCM at 8000 Hz."""
    rate = 8000
    n = rate * milliseconds // 1000
    data = bytes(int(128 + 60 * math.sin(2.0 * 3.14159265358979 * hertz * i / rate)) for i in range(n))
    return (b"RIFF" + struct.pack("<I", 36 + n) + b"WAVEfmt "
            + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate, 1, 8) + b"data" + struct.pack("<I", n) + data)


SAMPLE_MEDIA = [
    # The slide show of the sample suite and of the sample vendor's offer.
    ("offer.bmp", lambda: sample_bmp(SLIDE_W, SLIDE_H, (20, 60, 160), (250, 180, 40))),
    ("updates.png", lambda: sample_png(200, 150, (30, 130, 60), (230, 230, 120))),  # landscape
    ("offer.wav", lambda: sample_wav(660, 300)),
    ("waiting.bmp", lambda: sample_bmp(SLIDE_W, SLIDE_H, (90, 90, 90), (200, 200, 220))),
    ("kelbar.bmp", lambda: sample_bmp(SLIDE_W, SLIDE_H, (150, 30, 40), (250, 220, 90))),
    # Pictures for the slide library's tests: one colour each, a square and a wide one.
    ("red_square.bmp", lambda: sample_bmp(100, 100, (255, 0, 0), (255, 0, 0))),
    ("green_wide.png", lambda: sample_png(200, 50, (0, 160, 0), (0, 160, 0))),
    ("small.bmp", lambda: sample_bmp(30, 20, (1, 2, 3), (200, 100, 50))),
]


def write_sample_media():
    written = []
    for name, make in SAMPLE_MEDIA:
        path = os.path.join(SAMPLE_OUT, name)
        with open(path, "wb") as f:
            f.write(make())
        written.append(path)
    return written


# --- main ----------------------------------------------------------------------

def report(written):
    total = 0
    for path in written:
        size = os.path.getsize(path)
        total += size
        print("%-22s %8d bytes" % (os.path.basename(path), size))
    return total


def main():
    samples = write_sample_media()
    if sys.argv[1:] == ["--sample-media"]:
        print("%-22s %8d bytes" % ("total", report(samples)))
        return
    if Image is None:
        sys.exit("PIL not found (Debian's python3-pil); --sample-media makes the sample set alone")
    if not os.path.isdir(FONT_DIR):
        sys.exit("DejaVu fonts not found in " + FONT_DIR)
    written = []
    for name, lines, subtitle, colours, glyph in MODULES:
        written.append(save_bmp(module_button(lines, subtitle, colours, glyph), name))
    written.append(save_bmp(no_slides_picture(), "no_slides.bmp"))
    written.append(save_bmp(update_icon(), "update.bmp"))
    written.append(save_bmp(euro_emblem(), "euro.bmp"))
    written.append(save_bmp(dollar_emblem(), "dollar.bmp"))
    written.append(save_bmp(left_panel(), "left_panel.bmp"))

    icon_path = os.path.join(OUT, "velmora.ico")
    write_icon_file(icon_path, [app_icon(s) for s in (16, 32, 48)])
    written.append(icon_path)
    cursor, hotspot = hand_cursor()
    cursor_path = os.path.join(OUT, "point.cur")
    write_icon_file(cursor_path, [cursor], hotspot)
    written.append(cursor_path)

    written.append(write_wave("new_message.wav", new_message()))
    written.append(write_wave("greeting_a.wav", greeting_a()))
    written.append(write_wave("greeting_b.wav", greeting_b()))

    total = report(samples + written)
    print("%-22s %8d bytes (cursor hot spot %d,%d)" % ("total", total, *hotspot))


if __name__ == "__main__":
    main()
