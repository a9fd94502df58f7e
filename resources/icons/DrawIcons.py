#!/usr/bin/env python3
"""Draws Kivo Browser's toolbar, menu and dialog images and writes them as resource files.

Every picture is described below as a few shapes on a 16 x 16 design grid and rendered with
4 x 4 supersampling at 16 and 24 pixels. Image strips are written as 24-bit BMP files whose
transparent pixels are magenta (0xFF00FF), the colour the image lists mask out; icons are
written as .ico files with an alpha channel at 16, 24 and 32 pixels. Standard library only:

    python3 resources/icons/DrawIcons.py        (rewrites the files next to this script)
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # supersampling per axis
MAGENTA = (255, 0, 255)
BACKDROP = (236, 233, 216)  # what half-covered edge pixels are blended against

# ---- colours -------------------------------------------------------------------------------
BLUE = (40, 110, 210)
DBLUE = (20, 60, 140)
LBLUE = (140, 190, 245)
GREEN = (40, 160, 60)
DGREEN = (20, 100, 30)
RED = (215, 45, 40)
DRED = (140, 20, 20)
ORANGE = (240, 150, 30)
DORANGE = (170, 90, 10)
YELLOW = (250, 210, 50)
DYELLOW = (180, 130, 10)
GRAY = (130, 130, 130)
DGRAY = (70, 70, 70)
LGRAY = (215, 215, 215)
WHITE = (255, 255, 255)
PAPER = (250, 250, 245)
BROWN = (150, 100, 50)
PURPLE = (130, 70, 180)
TEAL = (30, 150, 150)


# ---- shapes: each is a coverage test of a point in design units ----------------------------
class Shape:
    def __init__(self, test, colour, box):
        self.test, self.colour, self.box = test, colour, box


def _box(points, pad=0.0):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


def poly(points, colour):
    pts = list(points)

    def inside(x, y):
        c = False
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                c = not c
            j = i
        return c

    return Shape(inside, colour, _box(pts))


def rect(x0, y0, x1, y1, colour):
    return Shape(lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, colour, (x0, y0, x1, y1))


def rrect(x0, y0, x1, y1, r, colour):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return Shape(inside, colour, (x0, y0, x1, y1))


def circle(cx, cy, r, colour):
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r, w, colour):
    lo, hi = (r - w / 2) ** 2, (r + w / 2) ** 2
    return Shape(lambda x, y: lo <= (x - cx) ** 2 + (y - cy) ** 2 <= hi, colour,
                 (cx - r - w, cy - r - w, cx + r + w, cy + r + w))


def line(points, w, colour):
    segs = list(zip(points, points[1:]))
    hw2 = (w / 2) ** 2

    def inside(x, y):
        for (ax, ay), (bx, by) in segs:
            dx, dy = bx - ax, by - ay
            L = dx * dx + dy * dy
            t = 0 if L == 0 else max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / L))
            px, py = ax + t * dx - x, ay + t * dy - y
            if px * px + py * py <= hw2:
                return True
        return False

    return Shape(inside, colour, _box(points, w))


def arc(cx, cy, r, w, a0, a1, colour):
    """An arc from angle a0 to a1 (degrees, counter-clockwise, 0 = right, y grows down)."""
    steps = max(4, int(abs(a1 - a0) / 10))
    pts = [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
            cy - r * math.sin(math.radians(a0 + (a1 - a0) * i / steps))) for i in range(steps + 1)]
    return line(pts, w, colour)


def outlined_poly(points, fill, edge, w=1.0):
    pts = list(points)
    return [poly(pts, fill), line(pts + [pts[0]], w, edge)]


def outlined_rect(x0, y0, x1, y1, fill, edge, w=1.0):
    return [rect(x0, y0, x1, y1, edge), rect(x0 + w, y0 + w, x1 - w, y1 - w, fill)]


def outlined_circle(cx, cy, r, fill, edge, w=1.0):
    return [circle(cx, cy, r, edge), circle(cx, cy, r - w, fill)]


# ---- rendering -----------------------------------------------------------------------------
def render(shapes, size):
    """RGBA pixels (floats 0..1 alpha) of the shapes at size x size pixels."""
    scale = 16.0 / size
    img = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for s in shapes:
        bx0, by0, bx1, by1 = s.box
        px0 = max(0, int(bx0 / scale) - 1)
        py0 = max(0, int(by0 / scale) - 1)
        px1 = min(size, int(bx1 / scale) + 2)
        py1 = min(size, int(by1 / scale) + 2)
        for py in range(py0, py1):
            row = img[py]
            for px in range(px0, px1):
                hits = 0
                for sy in range(SS):
                    y = (py + (sy + 0.5) / SS) * scale
                    for sx in range(SS):
                        if s.test((px + (sx + 0.5) / SS) * scale, y):
                            hits += 1
                if not hits:
                    continue
                a = hits / (SS * SS)
                r0, g0, b0, a0 = row[px]
                r1, g1, b1 = s.colour
                na = a + a0 * (1 - a)
                mix = lambda c1, c0: (c1 * a + c0 * a0 * (1 - a)) / na
                row[px] = (mix(r1, r0), mix(g1, g0), mix(b1, b0), na)
    return img


def variant(img, kind):
    out = []
    for row in img:
        new = []
        for r, g, b, a in row:
            if kind == "disabled":
                v = 0.30 * r + 0.59 * g + 0.11 * b
                v = 110 + v * 0.5
                r = g = b = v
            elif kind == "hot":
                r, g, b = (min(255, c * 1.12 + 12) for c in (r, g, b))
            new.append((r, g, b, a))
        out.append(new)
    return out


# ---- file writers --------------------------------------------------------------------------
def write_bmp(path, images, size):
    """A strip of images side by side, 24 bits, transparent pixels magenta."""
    width, height = size * len(images), size
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for img in images:
            for r, g, b, a in img[y]:
                if a < 0.5:
                    row += bytes((MAGENTA[2], MAGENTA[1], MAGENTA[0]))
                else:
                    c = [round(v * a + k * (1 - a)) for v, k in zip((r, g, b), BACKDROP)]
                    c = [min(255, max(0, v)) for v in c]
                    if tuple(c) == MAGENTA:
                        c[1] = 1
                    row += bytes((c[2], c[1], c[0]))
        row += b"\0" * (stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def ico_image(img):
    size = len(img)
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in img[y]:
            xor += bytes((round(b), round(g), round(r), round(a * 255)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(img[y]):
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def write_ico(path, shapes, sizes=(16, 24, 32)):
    blobs = [ico_image(render(shapes, s)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, blob in zip(sizes, blobs):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


# ---- the pictures --------------------------------------------------------------------------
def arrow_left(c=GREEN, e=DGREEN):
    return outlined_poly([(1.5, 8), (8, 2), (8, 5.5), (14.5, 5.5), (14.5, 10.5), (8, 10.5), (8, 14)], c, e)


def arrow_right(c=GREEN, e=DGREEN):
    return outlined_poly([(14.5, 8), (8, 2), (8, 5.5), (1.5, 5.5), (1.5, 10.5), (8, 10.5), (8, 14)], c, e)


def arrow_up(c=BLUE, e=DBLUE):
    return outlined_poly([(8, 1.5), (14, 8), (10.5, 8), (10.5, 14.5), (5.5, 14.5), (5.5, 8), (2, 8)], c, e)


def arrow_down(c=BLUE, e=DBLUE):
    return outlined_poly([(8, 14.5), (14, 8), (10.5, 8), (10.5, 1.5), (5.5, 1.5), (5.5, 8), (2, 8)], c, e)


def stop():
    o = [(5, 1), (11, 1), (15, 5), (15, 11), (11, 15), (5, 15), (1, 11), (1, 5)]
    return outlined_poly(o, RED, DRED) + [line([(5.5, 5.5), (10.5, 10.5)], 2, WHITE),
                                         line([(10.5, 5.5), (5.5, 10.5)], 2, WHITE)]


def refresh(c=GREEN, e=DGREEN):
    return [arc(8, 8, 5.5, 2.2, 60, 340, e), arc(8, 8, 5.5, 1.2, 62, 338, c),
            poly([(10.5, 0.5), (15, 4.5), (9.5, 6.5)], e), poly([(10.9, 1.8), (13.6, 4.3), (10.3, 5.4)], c)]


def home():
    return (outlined_poly([(8, 1.5), (15, 8), (13, 8), (13, 14.5), (3, 14.5), (3, 8), (1, 8)], ORANGE, DORANGE)
            + outlined_rect(6.5, 9.5, 9.5, 14.5, BROWN, DORANGE) + [rect(10.5, 2.5, 12, 5, DRED)])


def magnifier(extra=None):
    s = [line([(10, 10), (14.5, 14.5)], 3, BROWN)] + outlined_circle(6.5, 6.5, 5, LBLUE, DBLUE, 1.5)
    s += [circle(5, 5, 1.3, WHITE)]
    if extra == "+":
        s += [line([(4, 6.5), (9, 6.5)], 1.5, DBLUE), line([(6.5, 4), (6.5, 9)], 1.5, DBLUE)]
    elif extra == "-":
        s += [line([(4, 6.5), (9, 6.5)], 1.5, DBLUE)]
    return s


def page(c=PAPER, e=DGRAY, lines=True):
    s = outlined_poly([(3, 1), (10, 1), (13.5, 4.5), (13.5, 15), (3, 15)], c, e)
    s += [poly([(10, 1), (10, 4.5), (13.5, 4.5)], LGRAY), line([(10, 1), (10, 4.5), (13.5, 4.5)], 1, e)]
    if lines:
        s += [line([(5, y), (11.5, y)], 0.9, GRAY) for y in (7, 9, 11, 13)]
    return s


def plus_badge(c=GREEN, e=DGREEN):
    return outlined_circle(11.5, 11.5, 4.2, c, e) + [line([(9.2, 11.5), (13.8, 11.5)], 1.6, WHITE),
                                                     line([(11.5, 9.2), (11.5, 13.8)], 1.6, WHITE)]


def cross_badge():
    return outlined_circle(11.5, 11.5, 4.2, RED, DRED) + [line([(9.8, 9.8), (13.2, 13.2)], 1.5, WHITE),
                                                          line([(13.2, 9.8), (9.8, 13.2)], 1.5, WHITE)]


def printer():
    return (outlined_rect(4, 1.5, 12, 7, PAPER, DGRAY) + outlined_rect(1, 6, 15, 12, LGRAY, DGRAY)
            + outlined_rect(4, 10, 12, 15, PAPER, DGRAY) + [circle(12.8, 8, 0.8, GREEN)])


def star(c=YELLOW, e=DYELLOW):
    pts = []
    for i in range(10):
        r = 7 if i % 2 == 0 else 3
        a = math.radians(90 + 36 * i)
        pts.append((8 + r * math.cos(a), 8.6 - r * math.sin(a)))
    return outlined_poly(pts, c, e)


def clock():
    return outlined_circle(8, 8, 7, PAPER, DBLUE, 1.5) + [line([(8, 8), (8, 3.5)], 1.5, DGRAY),
                                                          line([(8, 8), (11.5, 9.5)], 1.5, DGRAY),
                                                          circle(8, 8, 1, RED)]


def envelope(c=PAPER):
    return outlined_rect(1, 3.5, 15, 12.5, c, DGRAY) + [line([(1.5, 4), (8, 9), (14.5, 4)], 1, DGRAY)]


def window_frame(title=BLUE):
    return outlined_rect(1, 2, 15, 14, WHITE, DGRAY) + [rect(1.5, 2.5, 14.5, 5, title)]


def popup_blocked():
    return window_frame() + cross_badge()


def funnel(c=TEAL):
    return outlined_poly([(1, 2), (15, 2), (9.5, 8), (9.5, 14), (6.5, 12.5), (6.5, 8)], c, DGRAY)


def lock(body=YELLOW, open_=False):
    s = [arc(8, 6, 3.5, 1.8, 0, 180, DGRAY) if not open_ else arc(11, 5, 3.5, 1.8, 0, 180, DGRAY)]
    s += [line([(4.5, 6), (4.5, 8)], 1.8, DGRAY)] if not open_ else []
    s += [line([(11.5, 6), (11.5, 8)], 1.8, DGRAY)] if not open_ else [line([(14.5, 5), (14.5, 7)], 1.8, DGRAY)]
    s += outlined_rect(2.5, 7.5, 13.5, 15, body, DORANGE)
    s += [rect(7.3, 10, 8.7, 13, DORANGE)]
    return s


def eye():
    upper = [(1, 8)] + [(8 + 7 * math.cos(math.radians(a)), 8 - 4.5 * math.sin(math.radians(a))) for a in range(180, -1, -15)]
    lower = [(8 + 7 * math.cos(math.radians(a)), 8 + 4.5 * math.sin(math.radians(a))) for a in range(0, 181, 15)]
    return outlined_poly(upper + lower, WHITE, DBLUE) + [circle(8, 8, 3, BLUE), circle(8, 8, 1.3, DGRAY),
                                                         circle(7, 7, 0.7, WHITE)]


def fullscreen():
    s = outlined_rect(1, 2, 15, 14, LBLUE, DBLUE)
    for (x0, y0, x1, y1) in ((4, 5, 7, 5), (4, 5, 4, 8), (12, 5, 9, 5), (12, 5, 12, 8),
                             (4, 11, 7, 11), (4, 11, 4, 8.5), (12, 11, 9, 11), (12, 11, 12, 8.5)):
        s.append(line([(x0, y0), (x1, y1)], 1.4, WHITE))
    return s


def source():
    return page(lines=False) + [line([(7, 7), (5, 9.5), (7, 12)], 1.3, BLUE), line([(9.5, 7), (11.5, 9.5), (9.5, 12)], 1.3, BLUE)]


def floppy(c=BLUE):
    return (outlined_poly([(1.5, 1.5), (12.5, 1.5), (14.5, 3.5), (14.5, 14.5), (1.5, 14.5)], c, DBLUE)
            + [rect(4, 2, 11, 6, LGRAY), rect(8.5, 2.7, 10, 5.3, DGRAY), rect(3.5, 9, 12.5, 14, PAPER)])


def close_tab():
    return outlined_rect(1.5, 1.5, 14.5, 14.5, RED, DRED) + [line([(5, 5), (11, 11)], 2, WHITE), line([(11, 5), (5, 11)], 2, WHITE)]


def gear(c=GRAY, e=DGRAY):
    pts = []
    for i in range(32):
        a = math.radians(i * 360 / 32)
        r = 7 if (i // 2) % 2 == 0 else 5.2
        pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    return outlined_poly(pts, c, e) + [circle(8, 8, 2.3, WHITE), ring(8, 8, 2.3, 1, e)]


def pages():
    return (outlined_rect(5, 1, 15, 11, LBLUE, DBLUE) + outlined_rect(3, 3, 13, 13, PAPER, DBLUE)
            + outlined_rect(1, 5, 11, 15, WHITE, DBLUE))


def wrench():
    return [line([(3, 13), (10, 6)], 3, GRAY), line([(3, 13), (10, 6)], 1.6, LGRAY)] + \
        [arc(11, 5, 3.2, 2.4, -30, 230, DGRAY), circle(3, 13, 1.8, DGRAY)]


def globe():
    return outlined_circle(8, 8, 7, LBLUE, DBLUE) + [
        poly([(4, 4), (8, 3), (9, 6), (6, 8), (7, 11), (4, 10), (2.5, 7)], GREEN),
        poly([(10, 9), (13, 8), (13.5, 11), (11, 13)], GREEN),
        ring(8, 8, 7, 1, DBLUE)]


def folder(open_=False):
    back = outlined_poly([(1, 3), (6, 3), (7.5, 4.5), (14, 4.5), (14, 13.5), (1, 13.5)], DYELLOW, DORANGE)
    if open_:
        return back + outlined_poly([(3, 7), (15.5, 7), (13, 13.5), (1, 13.5)], YELLOW, DORANGE)
    return back + outlined_rect(1, 6, 14, 13.5, YELLOW, DORANGE)


def check(c=GREEN, e=DGREEN):
    return [line([(2, 8.5), (6, 12.5), (14, 3.5)], 3.6, e), line([(2, 8.5), (6, 12.5), (14, 3.5)], 1.8, c)]


def cross(c=RED, e=DRED):
    return [line([(3, 3), (13, 13)], 3.6, e), line([(13, 3), (3, 13)], 3.6, e),
            line([(3, 3), (13, 13)], 1.8, c), line([(13, 3), (3, 13)], 1.8, c)]


def plus(c=GREEN, e=DGREEN):
    return outlined_poly([(6, 1.5), (10, 1.5), (10, 6), (14.5, 6), (14.5, 10), (10, 10), (10, 14.5), (6, 14.5),
                          (6, 10), (1.5, 10), (1.5, 6), (6, 6)], c, e)


def chain():
    return [rrect(1, 5.5, 9, 10.5, 2.5, DBLUE), rrect(2.5, 7, 7.5, 9, 1, WHITE),
            rrect(7, 5.5, 15, 10.5, 2.5, BLUE), rrect(8.5, 7, 13.5, 9, 1, WHITE), rect(5, 7.5, 11, 8.5, DBLUE)]


def log_list():
    s = page(lines=False)
    for y in (6, 8.5, 11, 13.3):
        s += [rect(4.5, y - 0.6, 5.7, y + 0.6, RED), line([(7, y), (11.5, y)], 0.9, DGRAY)]
    return s


def pencil():
    return outlined_poly([(2, 14), (3, 10.5), (11.5, 2), (14, 4.5), (5.5, 13)], ORANGE, DORANGE) + [
        poly([(2, 14), (3, 10.5), (5.5, 13)], PAPER), poly([(2, 14), (2.6, 12.2), (3.8, 13.4)], DGRAY),
        poly([(11.5, 2), (14, 4.5), (12.8, 5.7), (10.3, 3.2)], RED)]


def text_cursor():
    return outlined_rect(1, 4, 15, 12, WHITE, DGRAY) + [line([(4, 6), (4, 10)], 1.2, DGRAY),
                                                        line([(6, 8), (12, 8)], 1, GRAY)]


def box_arrow(direction):
    s = outlined_rect(2, 7, 14, 15, BROWN, DORANGE)
    s += arrow_down(GREEN, DGREEN) if direction == "in" else arrow_up(BLUE, DBLUE)
    return s


def network():
    return (outlined_rect(5.5, 1, 10.5, 5, LBLUE, DBLUE) + outlined_rect(1, 11, 6, 15, LBLUE, DBLUE)
            + outlined_rect(10, 11, 15, 15, LBLUE, DBLUE)
            + [line([(8, 5), (8, 8), (3.5, 8), (3.5, 11)], 1, DGRAY), line([(8, 8), (12.5, 8), (12.5, 11)], 1, DGRAY)])


def palette():
    return outlined_poly([(8, 1), (13.5, 3), (15, 8), (12.5, 13.5), (9.5, 12), (7, 15), (2.5, 13), (1, 8), (3, 3)],
                         (240, 220, 180), BROWN) + [circle(5, 6, 1.5, RED), circle(8.5, 4.5, 1.5, BLUE),
                                                    circle(12, 7, 1.5, GREEN), circle(5, 10.5, 1.5, YELLOW)]


def balloon():
    return outlined_poly([(1.5, 2), (14.5, 2), (14.5, 10.5), (8, 10.5), (4, 14.5), (5, 10.5), (1.5, 10.5)],
                         WHITE, DBLUE) + [line([(4, 5), (12, 5)], 1, BLUE), line([(4, 7.5), (10, 7.5)], 1, BLUE)]


def mouse():
    return outlined_poly([(4, 5), (5, 2), (8, 1), (11, 2), (12, 5), (12, 11), (10.5, 14.5), (5.5, 14.5), (4, 11)],
                         LGRAY, DGRAY) + [line([(8, 1.5), (8, 6)], 1, DGRAY), line([(4.5, 6), (11.5, 6)], 1, DGRAY),
                                          rect(7.3, 2.5, 8.7, 4.5, BLUE)]


def keyboard():
    s = outlined_rect(0.5, 4, 15.5, 12.5, LGRAY, DGRAY)
    for y in (6, 8.2):
        for x in range(2, 14, 2):
            s.append(rect(x, y, x + 1.2, y + 1.2, DGRAY))
    s.append(rect(4, 10.4, 12, 11.4, DGRAY))
    return s


def puzzle():
    return [rect(2, 5, 12, 14, GREEN), circle(7, 4.5, 2.3, GREEN), circle(12.3, 9.5, 2.3, GREEN),
            circle(7, 14.2, 1.8, (0, 0, 0)) if False else rect(2, 5, 2, 5, GREEN),
            line([(2, 5), (12, 5), (12, 14), (2, 14), (2, 5)], 1, DGREEN)]


def cut():
    return [line([(5, 1.5), (10.5, 10)], 1.4, DGRAY), line([(11, 1.5), (5.5, 10)], 1.4, DGRAY)] + \
        [ring(4.5, 12, 2.5, 1.4, RED), ring(11.5, 12, 2.5, 1.4, RED)]


def copy_pages():
    return (outlined_rect(1.5, 1.5, 10, 11, PAPER, DGRAY) + outlined_rect(6, 5, 14.5, 14.5, PAPER, DBLUE)
            + [line([(8, y), (12.5, y)], 0.9, GRAY) for y in (8, 10, 12)])


def paste():
    return (outlined_rect(2, 2.5, 12, 15, BROWN, DORANGE) + outlined_rect(5, 1, 9, 4, LGRAY, DGRAY)
            + outlined_rect(7, 6, 15, 15, PAPER, DGRAY))


def question(c=BLUE):
    return outlined_circle(8, 8, 7, c, DBLUE) + [arc(8, 6, 2.4, 1.8, -60, 180, WHITE),
                                                 line([(9.2, 8), (8, 9.5), (8, 10.5)], 1.8, WHITE),
                                                 circle(8, 12.8, 1.1, WHITE)]


def info():
    return outlined_circle(8, 8, 7, BLUE, DBLUE) + [circle(8, 4.5, 1.2, WHITE), line([(8, 7.3), (8, 12.5)], 2, WHITE)]


def warning():
    return outlined_poly([(8, 1), (15.5, 14.5), (0.5, 14.5)], YELLOW, DORANGE) + [
        line([(8, 5.5), (8, 10)], 1.8, DGRAY), circle(8, 12.4, 1, DGRAY)]


def cookie():
    return outlined_circle(8, 8, 6.8, (220, 170, 100), BROWN) + [circle(x, y, 1, BROWN) for x, y in
                                                                  ((5.5, 6), (10, 5), (9, 10), (5.5, 10.5), (11.5, 8.5))]


def speaker():
    return (outlined_poly([(1.5, 6), (4.5, 6), (9, 2), (9, 14), (4.5, 10), (1.5, 10)], LGRAY, DGRAY)
            + [arc(9, 8, 3, 1.2, -50, 50, BLUE), arc(9, 8, 5.5, 1.2, -50, 50, BLUE)])


def picture():
    return outlined_rect(1, 2.5, 15, 13.5, LBLUE, DGRAY) + [
        poly([(2, 13), (6, 7), (9, 11), (11, 9), (14, 13)], GREEN), circle(11.5, 5.5, 1.5, YELLOW)]


def script():
    return outlined_poly([(3, 2), (14, 2), (13, 14), (2, 14)], (250, 240, 200), BROWN) + [
        line([(5, y), (11.5, y)], 0.9, BROWN) for y in (5, 7.5, 10)]


def bolt(c=YELLOW):
    return outlined_poly([(9.5, 1), (3, 9), (7.5, 9), (6, 15), (13, 6.5), (8.5, 6.5), (10.5, 1)], c, DORANGE)


def top_bottom(top):
    bar = rect(2, 1.5, 14, 3.5, DBLUE) if top else rect(2, 12.5, 14, 14.5, DBLUE)
    arr = arrow_up() if top else arrow_down()
    shift = [Shape(s.test, s.colour, s.box) for s in arr]
    return [bar] + shift


def windows_cycle():
    return window_frame() + [arc(8, 9.5, 3, 1.3, 30, 330, GREEN), poly([(10, 5.5), (12.5, 7.5), (9.5, 8.5)], GREEN)]


def duplicate_window():
    return outlined_rect(5, 1, 15, 10, WHITE, DGRAY) + [rect(5.5, 1.5, 14.5, 3.5, BLUE)] + \
        outlined_rect(1, 6, 11, 15, WHITE, DGRAY) + [rect(1.5, 6.5, 10.5, 8.5, BLUE)]


def close_others():
    return (outlined_rect(1, 1, 9, 9, WHITE, DGRAY) + outlined_rect(7, 7, 15, 15, WHITE, DGRAY)
            + [line([(9.5, 9.5), (12.5, 12.5)], 1.4, RED), line([(12.5, 9.5), (9.5, 12.5)], 1.4, RED)])


def number_badge(n):
    """The user actions: a lightning bolt with dots counting the action."""
    s = bolt(ORANGE)
    for i in range(n):
        s.append(circle(2 + (i % 3) * 2.2, 12 + (i // 3) * 2.2, 0.9, DBLUE))
    return s


def rocker(left):
    s = mouse()
    s.append(rect(4.6, 2.5, 7.6, 5.6, RED) if left else rect(8.4, 2.5, 11.4, 5.6, RED))
    return s


def wheel(up):
    s = mouse()
    s.append(poly([(8, 0.5), (10.5, 3.5), (5.5, 3.5)] if up else [(8, 15.5), (10.5, 12.5), (5.5, 12.5)], GREEN))
    return s


def go_button(second=False):
    return outlined_circle(8, 8, 7, DGREEN if second else GREEN, DGREEN) + [
        poly([(5.5, 4.5), (12, 8), (5.5, 11.5)], WHITE)]


def tree_root():
    return globe()


def css():
    return page(lines=False) + [rect(5, 6, 11.5, 7.5, PURPLE), rect(5, 9, 9, 10.5, BLUE), rect(5, 12, 11, 13.5, TEAL)]


def object_box():
    return outlined_poly([(8, 1.5), (14.5, 4.5), (14.5, 11.5), (8, 14.5), (1.5, 11.5), (1.5, 4.5)], LBLUE, DBLUE) + [
        line([(1.5, 4.5), (8, 7.5), (14.5, 4.5)], 1, DBLUE), line([(8, 7.5), (8, 14.5)], 1, DBLUE)]


def tabs_icon():
    return (outlined_rect(1, 5, 15, 14.5, WHITE, DGRAY) + outlined_rect(1, 2, 6, 5.5, BLUE, DBLUE)
            + outlined_rect(6.5, 3, 11, 5.5, LGRAY, DGRAY))


def address_bar():
    return outlined_rect(0.5, 4.5, 15.5, 11.5, WHITE, DGRAY) + [circle(3.5, 8, 1.8, BLUE),
                                                                line([(6.5, 8), (13.5, 8)], 1, GRAY)]


def selected_page():
    return page() + [poly([(0.5, 5), (6, 9), (0.5, 13)], GREEN)]


# The strips, in image-index order. Their lengths are the image counts the program relies on.
TOOLBAR = [  # bitmaps 152 (16 px), 128 (24 px), hot 140, disabled 513 and 141
    arrow_left(), arrow_right(), stop(), refresh(), home(),                         # 0-4
    magnifier(), page() + plus_badge(), printer(), star(), clock(),                 # 5-9
    envelope(), popup_blocked(), funnel(), lock(), eye(),                           # 10-14
    magnifier("+"), magnifier("-"), fullscreen(), source(), magnifier() + [],       # 15-19
    floppy(), close_tab(), gear(), pages(), wrench(),                               # 20-24
]
TOOLBAR[19] = page(lines=True) + [Shape(s.test, s.colour, s.box) for s in []] + \
    [line([(9, 9), (13.5, 13.5)], 2.2, BROWN)] + outlined_circle(7.5, 7.5, 3.3, LBLUE, DBLUE, 1.1)

GENERAL = [  # bitmaps 211 and 212 (disabled)
    globe(), arrow_left(BLUE, DBLUE), arrow_right(BLUE, DBLUE), folder(), folder(True),          # 0-4
    page(), chain(), plus(), cross(), log_list(),                                                # 5-9
    check(), cross(), arrow_up(), arrow_down(), pages(),                                         # 10-14
    pencil(), text_cursor(), box_arrow("in"), box_arrow("out"), popup_blocked(),                 # 15-19
    funnel(), network(), palette(), balloon(), mouse(),                                          # 20-24
    keyboard(), puzzle(), magnifier(), star(), clock(),                                          # 25-29
    home(), envelope(), balloon() + [circle(12, 12, 2.5, ORANGE)], printer(), floppy(),          # 30-34
    copy_pages(), paste(), cut(), question(), info(),                                            # 35-39
    warning(), gear(), wrench(), globe() + [circle(12, 12, 3.5, BLUE), line([(12, 11), (12, 14)], 1.4, WHITE),
                                            circle(12, 9.8, 0.7, WHITE)], refresh(),          # 40-44
    stop(), magnifier("+"), magnifier("-"), fullscreen(), source(),                              # 45-49
    TOOLBAR[19], lock(), cookie(), speaker(), picture(),                                          # 50-54
    script(),                                                                                    # 55
]

OPTIONS = [  # bitmap 145
    folder(), folder(True), selected_page(), gear(), page(),
    tabs_icon(), address_bar(), star(), clock(), popup_blocked(), funnel(), mouse(),
]

ACTIONS = [  # bitmap 139; image i belongs to the i-th action of the action table
    bolt(), arrow_left(), arrow_right(), window_frame() + plus_badge(), window_frame() + cross_badge(),
    top_bottom(True), windows_cycle(), close_others(), top_bottom(False), arrow_left(BLUE, DBLUE) + [],
    duplicate_window(), refresh(), refresh(BLUE, DBLUE), number_badge(1), number_badge(2),
    number_badge(4), number_badge(5), rocker(True), rocker(False), wheel(True),
]

ANALYZER = [  # bitmap 633
    folder(True), folder(), page(), tree_root(), picture(), css(), object_box(), chain(), script(),
]

STRIPS = {
    # resource id: (file, pictures, size, kind)
    128: ("toolbar24.bmp", TOOLBAR, 24, None),
    140: ("toolbar24hot.bmp", TOOLBAR, 24, "hot"),
    141: ("toolbar24disabled.bmp", TOOLBAR, 24, "disabled"),
    152: ("toolbar16.bmp", TOOLBAR, 16, None),
    513: ("toolbar16disabled.bmp", TOOLBAR, 16, "disabled"),
    211: ("general16.bmp", GENERAL, 16, None),
    212: ("general16disabled.bmp", GENERAL, 16, "disabled"),
    145: ("options16.bmp", OPTIONS, 16, None),
    139: ("actions16.bmp", ACTIONS, 16, None),
    600: ("go16.bmp", [go_button()], 16, None),
    601: ("go16second.bmp", [go_button(True)], 16, None),
    602: ("expand16.bmp", [plus(BLUE, DBLUE), [line([(2, 8), (14, 8)], 3, DBLUE)]], 16, None),
    603: ("checkstate16.bmp", [check(), cross()], 16, None),
    633: ("analyzer16.bmp", ANALYZER, 16, None),
}

ICONS = {
    380: ("site.ico", globe()),
    303: ("secure.ico", lock()),
    304: ("insecure.ico", lock(LGRAY, open_=True)),
}

COUNTS = {128: 25, 140: 25, 141: 25, 152: 25, 513: 25, 211: 56, 212: 56, 145: 12, 139: 20,
          600: 1, 601: 1, 602: 2, 603: 2, 633: 9}


def main():
    for rid, (name, pictures, size, kind) in STRIPS.items():
        assert len(pictures) == COUNTS[rid], (name, len(pictures))
        images = [render(p, size) for p in pictures]
        if kind:
            images = [variant(i, kind) for i in images]
        write_bmp(os.path.join(HERE, name), images, size)
    for rid, (name, shapes) in ICONS.items():
        write_ico(os.path.join(HERE, name), shapes)


if __name__ == "__main__":
    main()
