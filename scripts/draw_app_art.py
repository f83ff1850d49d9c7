"""The program's own icons and logo, drawn from a few vector shapes.

Shapes are tested per sub-pixel (4 by 4 samples a pixel) so edges come out
smooth at 16 and 32 pixels. The picture: a page of text under a magnifying
glass, with a green arrow that stands for "replace".
"""

import math

SAMPLES = 4


def inside_rounded_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_ring(x, y, cx, cy, outer, inner):
    d = (x - cx) ** 2 + (y - cy) ** 2
    return inner ** 2 <= d <= outer ** 2


def inside_capsule(x, y, x1, y1, x2, y2, half_width):
    dx, dy = x2 - x1, y2 - y1
    t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
    px, py = x1 + t * dx, y1 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= half_width ** 2


def inside_polygon(x, y, points):
    result = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def inside_arc(x, y, cx, cy, radius, half_width, start, end):
    """A band along a circle from angle start to end (degrees, counter-clockwise, y up)."""
    d = math.hypot(x - cx, y - cy)
    if abs(d - radius) > half_width:
        return False
    angle = math.degrees(math.atan2(cy - y, x - cx)) % 360
    return (angle - start) % 360 <= (end - start) % 360


def logo_shapes():
    """(colour RGBA, test) pairs in painting order, in a 32 by 32 frame."""
    outline = (70, 70, 80, 255)
    shapes = [
        (outline, lambda x, y: inside_rounded_rect(x, y, 3, 1.5, 22, 29, 2)),
        ((255, 255, 255, 255), lambda x, y: inside_rounded_rect(x, y, 4, 2.5, 21, 28, 1.5)),
    ]
    for row in (7, 11, 15, 19, 23):
        shapes.append(((150, 156, 170, 255), lambda x, y, r=row: 7 <= x <= 18 and r <= y <= r + 1.2))
    shapes += [
        ((190, 225, 255, 170), lambda x, y: (x - 19) ** 2 + (y - 18) ** 2 <= 36),
        ((30, 90, 200, 255), lambda x, y: inside_ring(x, y, 19, 18, 7.5, 5.6)),
        ((110, 70, 30, 255), lambda x, y: inside_capsule(x, y, 24.5, 23.5, 29.5, 28.5, 1.9)),
        ((20, 150, 50, 255), lambda x, y: inside_arc(x, y, 25, 8, 5, 1.3, 150, 360)),
        ((20, 150, 50, 255), lambda x, y: inside_polygon(x, y, [(27.2, 8), (32, 8), (29.6, 12.5)])),
    ]
    return shapes


def render(size, shapes=None, frame=32):
    """RGBA rows (top first) of the logo at size by size pixels."""
    shapes = shapes or logo_shapes()
    scale = frame / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    cr = cg = cb = ca = 0.0
                    for (sr, sg, sb, sa), test in shapes:
                        if test(x, y):
                            alpha = sa / 255.0
                            cr = sr * alpha + cr * (1 - alpha)
                            cg = sg * alpha + cg * (1 - alpha)
                            cb = sb * alpha + cb * (1 - alpha)
                            ca = alpha + ca * (1 - alpha)
                    r, g, b, a = r + cr, g + cg, b + cb, a + ca
            n = SAMPLES * SAMPLES
            if a == 0:
                row.append((0, 0, 0, 0))
            else:
                # Colours were summed premultiplied; divide by coverage.
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
        rows.append(row)
    return rows


# The sixteen colours of the classic display, for the design-time icon.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: sum((c - p) ** 2 for c, p in zip(colour, palette[i])))
