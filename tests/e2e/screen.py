"""Pictures for the real-window test: screenshots and skin pictures as RGB
pixel arrays, the few pixel measures the test reads scenes by, and PNG output
for the screenshot a failure keeps."""

import struct
import subprocess
import zlib


class Picture:
    """An RGB picture: rows top to bottom, three bytes a pixel."""

    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError(f"{width}x{height} picture with {len(rgb)} bytes")
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.rgb[i], self.rgb[i + 1], self.rgb[i + 2]

    def crop(self, left, top, right, bottom):
        """The bytes of a rectangle (right and bottom outside), row by row."""
        rows = []
        for y in range(top, bottom):
            start = (y * self.width + left) * 3
            rows.append(self.rgb[start:start + (right - left) * 3])
        return b"".join(rows)


def parse_ppm(data):
    """A binary PPM (P6, 8 bits a channel), as ImageMagick writes it."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while pos < len(data) and data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while end < len(data) and not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"not an 8-bit P6 picture: {fields[0]!r} maxval {fields[3]!r}")
    width, height = int(fields[1]), int(fields[2])
    pos += 1  # the single white space after the maximum value
    return Picture(width, height, data[pos:pos + width * height * 3])


def read_bmp(path):
    """An uncompressed 24-bit BMP (every picture of the bundled skin is one)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bpp, compression = struct.unpack_from("<iiHHI", data, 18)
    if bpp != 24 or compression != 0:
        raise ValueError(f"{path}: {bpp}-bit BMP, compression {compression}")
    top_down = height < 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        src = y if top_down else height - 1 - y
        row = data[offset + src * stride:offset + src * stride + width * 3]
        rgb = bytearray(row)
        rgb[0::3], rgb[2::3] = row[2::3], row[0::3]
        rows.append(bytes(rgb))
    return Picture(width, height, b"".join(rows))


def read_picture(path):
    """A skin picture: BMP read here, anything else decoded by ImageMagick."""
    if path.lower().endswith(".bmp"):
        return read_bmp(path)
    out = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    return parse_ppm(out)


def write_png(path, picture):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + picture.crop(0, y, picture.width, y + 1) for y in range(picture.height))
    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6))
                + chunk(b"IEND", b""))


def close(a, b, tolerance):
    return abs(a[0] - b[0]) <= tolerance and abs(a[1] - b[1]) <= tolerance and abs(a[2] - b[2]) <= tolerance


def share_like(shot, picture, points, tolerance=12, at=(0, 0)):
    """Share of the points (in the picture's own coordinates) where the shot,
    with the picture placed at `at`, shows the picture's colour. Two JPEG
    decoders may differ by a few levels; sprites over a background only lower
    the share."""
    ox, oy = at
    hits = sum(1 for x, y in points if close(shot.pixel(x + ox, y + oy), picture.pixel(x, y), tolerance))
    return hits / len(points) if points else 0.0


def grid_points(left, top, right, bottom, step):
    return [(x, y) for y in range(top, bottom, step) for x in range(left, right, step)]


def opaque_points(picture, step=2):
    """Points of a sprite picture that are not its transparent colour (the
    colour of its top-left pixel)."""
    key = picture.pixel(0, 0)
    return [p for p in grid_points(0, 0, picture.width, picture.height, step) if picture.pixel(*p) != key]


def colour_columns(shot, rect, colour, tolerance=16):
    """The x of every column of the rectangle holding a pixel of the colour:
    where text of that colour is drawn."""
    left, top, right, bottom = rect
    columns = []
    for x in range(left, right):
        if any(close(shot.pixel(x, y), colour, tolerance) for y in range(top, bottom)):
            columns.append(x)
    return columns
