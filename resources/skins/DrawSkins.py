#!/usr/bin/env python3
"""Draws the frame skins that ship with Kivo Browser: every bitmap of each skin folder and its
skin.ini. Standard library only; run from any folder: python3 resources/skins/DrawSkins.py

Each skin is a folder under resources/skins/ holding skin.ini (section "general") and 24-bit
BMP files. Magenta (255, 0, 255) marks pixels that are not part of the window (corner shapes)
and the transparent pixels of the caption buttons. A button strip holds four images side by
side: normal, hot, pressed, disabled.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b), y = 0 at the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - width * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + data)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def inside_round_corner(x, y, radius):
    """Whether (x, y) lies inside a top-left rounded corner of the given radius."""
    if x >= radius or y >= radius:
        return True
    dx = radius - x - 0.5
    dy = radius - y - 0.5
    return dx * dx + dy * dy <= radius * radius


GLYPHS = {
    # 7 x 7 masks of the caption button symbols.
    "min": ["       ", "       ", "       ", "       ", "       ", "#######", "#######"],
    "max": ["#######", "#######", "#     #", "#     #", "#     #", "#     #", "#######"],
    "close": ["##   ##", " ## ## ", "  ###  ", "   #   ", "  ###  ", " ## ## ", "##   ##"],
    "sys": ["   #   ", "  ###  ", " ##### ", "#######", " ##### ", "  ###  ", "   #   "],
}
GLYPHS["close"][3] = "  ###  "


def write_buttons(folder, name, width, height, faces, glyph_colour, round_face):
    """Four states; faces = (normal, hot, pressed, disabled) fill colours."""
    mask = GLYPHS[name]
    gx = (width - 7) // 2
    gy = (height - 7) // 2

    def pixel(x, y):
        state, lx = divmod(x, width)
        face = faces[state]
        if round_face:
            cx, cy = lx - (width - 1) / 2, y - (height - 1) / 2
            if cx * cx / ((width / 2) ** 2) + cy * cy / ((height / 2) ** 2) > 1.0:
                return MAGENTA
        elif lx in (0, width - 1) or y in (0, height - 1):
            if (lx in (0, width - 1)) and (y in (0, height - 1)):
                return MAGENTA
            return mix(face, (0, 0, 0), 0.35)
        shift = 1 if state == 2 else 0
        mx, my = lx - gx - shift, y - gy - shift
        if 0 <= mx < 7 and 0 <= my < 7 and mask[my][mx] == "#":
            return (150, 150, 150) if state == 3 else glyph_colour
        shade = 1.0 - 0.25 * y / height
        return tuple(int(c * shade) for c in face)

    write_bmp(os.path.join(folder, name + ".bmp"), width * 4, height, pixel)


def write_ini(folder, lines):
    with open(os.path.join(folder, "skin.ini"), "w", newline="\r\n") as out:
        out.write("[general]\n")
        for key, value in lines:
            out.write(f"{key}={value}\n")


def slate():
    """Twelve-part frame: a slate-blue caption with rounded top corners."""
    folder = os.path.join(HERE, "Slate")
    os.makedirs(folder, exist_ok=True)
    caption, edge = 26, 4
    top_colour, bottom_colour = (88, 112, 150), (38, 52, 78)

    def caption_pixel(y):
        if y == 0:
            return (150, 170, 205)
        return mix(top_colour, bottom_colour, y / (caption - 1))

    write_bmp(os.path.join(folder, "top.bmp"), 4, caption, lambda x, y: caption_pixel(y))
    for name, flip in (("topleft", False), ("topright", True)):
        def corner(x, y, flip=flip):
            lx = 7 - x if flip else x
            if not inside_round_corner(lx, y, 7):
                return MAGENTA
            if lx == 0:
                return (28, 38, 58)
            return caption_pixel(y)
        write_bmp(os.path.join(folder, name + ".bmp"), 8, caption, corner)

    def side(x, y, flip=False):
        lx = edge - 1 - x if flip else x
        return [(28, 38, 58), (64, 82, 114), (52, 68, 98), (40, 54, 80)][lx]

    write_bmp(os.path.join(folder, "left.bmp"), edge, 4, lambda x, y: side(x, y))
    write_bmp(os.path.join(folder, "right.bmp"), edge, 4, lambda x, y: side(x, y, True))
    write_bmp(os.path.join(folder, "bottom.bmp"), 4, edge,
              lambda x, y: [(40, 54, 80), (52, 68, 98), (64, 82, 114), (28, 38, 58)][y])
    for name, flip in (("bottomleft", False), ("bottomright", True)):
        def bottom_corner(x, y, flip=flip):
            lx = 7 - x if flip else x
            if lx == 0 or y == edge - 1:
                return (28, 38, 58)
            if lx < edge:
                return side(lx, y)
            return [(40, 54, 80), (52, 68, 98), (64, 82, 114), (28, 38, 58)][y]
        write_bmp(os.path.join(folder, name + ".bmp"), 8, edge, bottom_corner)

    faces = ((70, 92, 130), (110, 140, 190), (40, 56, 86), (70, 80, 96))
    for name in ("min", "max"):
        write_buttons(folder, name, 18, 16, faces, (235, 240, 250), False)
    write_buttons(folder, "close", 18, 16, ((170, 60, 55), (215, 80, 70), (120, 40, 36), (110, 90, 90)),
                  (255, 255, 255), False)
    write_bmp(os.path.join(folder, "barback.bmp"), 8, 32,
              lambda x, y: mix((226, 231, 240), (196, 205, 222), y / 31))
    write_ini(folder, [
        ("author", "Kivo Browser"),
        ("website", "https://kivo.example/skins"),
        ("email", "skins@kivo.example"),
        ("captextcolor", "240,244,252"),
        ("caprect", "30,0,-72,26"),
        ("systemicon", "1"),
        ("syspos", "9,5"),
        ("minpos", "-66,5"),
        ("maxpos", "-46,5"),
        ("closepos", "-26,5"),
    ])


def ember():
    """Fill mode: one tiled copper bitmap around the window, round corners, round buttons."""
    folder = os.path.join(HERE, "Ember")
    os.makedirs(folder, exist_ok=True)

    def fill(x, y):
        base = mix((196, 112, 52), (150, 70, 30), ((x + y) % 8) / 7)
        if (x * 3 + y * 5) % 11 == 0:
            base = mix(base, (230, 160, 90), 0.5)
        return base

    write_bmp(os.path.join(folder, "framefill.bmp"), 8, 8, fill)
    faces = ((232, 180, 120), (250, 210, 150), (170, 110, 60), (180, 170, 160))
    for name in ("min", "max"):
        write_buttons(folder, name, 17, 17, faces, (90, 40, 10), True)
    write_buttons(folder, "close", 17, 17, ((200, 50, 30), (240, 80, 50), (140, 30, 20), (170, 150, 140)),
                  (255, 240, 220), True)
    write_buttons(folder, "sys", 17, 17, faces, (120, 50, 10), True)
    write_bmp(os.path.join(folder, "barback.bmp"), 8, 32,
              lambda x, y: mix((250, 232, 210), (232, 200, 165), y / 31))
    write_ini(folder, [
        ("author", "Kivo Browser"),
        ("website", "https://kivo.example/skins"),
        ("email", "skins@kivo.example"),
        ("captextcolor", "255,246,232"),
        ("caprect", "30,0,-70,28"),
        ("systemicon", "1"),
        ("syspos", "7,5"),
        ("minpos", "-64,5"),
        ("maxpos", "-44,5"),
        ("closepos", "-24,5"),
        ("framerect", "6,28,6,6"),
        ("framecorner", "14"),
    ])


if __name__ == "__main__":
    slate()
    ember()
