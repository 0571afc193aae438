#!/usr/bin/env python3
"""The frames a real GDI paints equal tarvel-sim's, outside the places two GDIs may differ.

Runs each script through the desktop build's tarvel-sim and through the Windows build's
windows_gdi_frames (under Wine: one start for all scripts), with a 'dump' after every 'frame' so
both print the match state each frame was painted from. The printed states must be identical;
then every frame is compared pixel for pixel. Pixels are left out of the comparison only:
  - in the text cells of the score digits (another font): from the text's corner at (20, H/4)
    and (20, 3H/4), each digit's cell the font's size, ball wide and two balls high, or the text's
    extent as the GDI measures it where that is larger (its fonts need not keep to the width
    asked for);
  - in a band around the ellipse outlines drawn with the 3-pixel pen (the centre circle, its
    inner edge and the centre spot), whose rasterisation differs between GDIs;
  - in a band around the 1-pixel outlines of the ball, the discs and the rings (Wine's differ
    from the stand-in's at a few points of the 62-pixel discs of the 317-pixel screen).
Any other differing pixel fails. Per frame it prints how many pixels each kind leaves out and how
many of those differ, so a change in either drawing interface shows in the log. Each frame's picture
of the differences is written to OUT/diff/ (red: differs where it must not; yellow: differs where
it may; blue: left out, equal).

  compare_frames.py --native-sim PATH --windows-frames EXE [--emulator WINE_RUN] --out DIR
                    SCRIPT...
"""

import argparse
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

PNG_SIGNATURE = b'\x89PNG\r\n\x1a\n'
# Half the width of the band left out on each side of an outline's ideal curve, in pixels: the
# pen's half width, and the pixel beyond it either rasteriser may round to (Wine's 3-pixel
# outlines differ from the stand-in's up to there, its 1-pixel ones only on the curve).
WIDE_PEN_BAND = 2.5
THIN_PEN_BAND = 1.0


class Failure(Exception):
    pass


def read_png(path):
    """Width, height and the rows of an 8-bit RGB or RGBA PNG as RGB bytes."""
    with open(path, 'rb') as file:
        data = file.read()
    if not data.startswith(PNG_SIGNATURE):
        raise Failure(f'{path} is not a PNG file')
    at = len(PNG_SIGNATURE)
    width = height = channels = 0
    compressed = []
    while at + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            channels = {2: 3, 6: 4}.get(colour, 0)
            if depth != 8 or channels == 0 or interlace != 0:
                raise Failure(f'{path}: only 8-bit RGB or RGBA without interlacing is read here')
        elif kind == b'IDAT':
            compressed.append(body)
        elif kind == b'IEND':
            break
        at += 12 + length
    raw = zlib.decompress(b''.join(compressed))
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise Failure(f'{path}: {len(raw)} bytes of pixels for {width} x {height}')
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(channels, stride):
                row[i] = (row[i] + row[i - channels]) & 0xFF
        elif kind == 2:
            row = bytearray((a + b) & 0xFF for a, b in zip(row, previous))
        elif kind == 3:
            for i in range(stride):
                left = row[i - channels] if i >= channels else 0
                row[i] = (row[i] + ((left + previous[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = row[i - channels] if i >= channels else 0
                b = previous[i]
                c = previous[i - channels] if i >= channels else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        elif kind != 0:
            raise Failure(f'{path}: row {y} has unknown filter {kind}')
        previous = row
        if channels == 4:
            row = bytearray(b for i, b in enumerate(row) if i % 4 != 3)
        rows.append(bytes(row))
    return width, height, rows


def read_ppm(path):
    """Width, height and the rows of an 8-bit binary PPM as RGB bytes."""
    with open(path, 'rb') as file:
        data = file.read()
    header = re.match(rb'P6\s(\d+)\s(\d+)\s255\s', data)
    if header is None:
        raise Failure(f'{path} is not an 8-bit binary PPM file')
    width, height = int(header.group(1)), int(header.group(2))
    pixels = data[header.end():]
    if len(pixels) != 3 * width * height:
        raise Failure(f'{path}: {len(pixels)} bytes of pixels for {width} x {height}')
    return width, height, [pixels[3 * width * y:3 * width * (y + 1)] for y in range(height)]


def write_png(path, width, height, rows):
    raw = b''.join(b'\x00' + bytes(row) for row in rows)

    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, 'wb') as file:
        file.write(PNG_SIGNATURE + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0,
                                                              0, 0)) +
                   chunk(b'IDAT', zlib.compress(raw, 6)) + chunk(b'IEND', b''))


class Mask:
    """The pixels of one frame left out of the comparison, each with the reason."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.reason = bytearray(width * height)  # 0: compared; else an index into REASONS

    REASONS = ['', 'digit cells', 'wide-pen outlines', 'thin-pen outlines']

    def add_box(self, left, top, right, bottom, reason):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.reason[y * self.width + x] = reason

    def add_ellipse_band(self, left, top, right, bottom, band, reason):
        """The pixels within `band` of the ellipse inscribed in the box (GDI's corners, the right
        and bottom edges excluded), measured along the ellipse's normal approximately."""
        cx = (left + right - 1) / 2
        cy = (top + bottom - 1) / 2
        rx = (right - left - 1) / 2
        ry = (bottom - top - 1) / 2
        if rx <= 0 or ry <= 0:
            self.add_box(int(left - band), int(top - band), int(right + band) + 1,
                         int(bottom + band) + 1, reason)
            return
        reach = int(band) + 2
        for y in range(max(top - reach, 0), min(bottom + reach, self.height)):
            for x in range(max(left - reach, 0), min(right + reach, self.width)):
                dx = (x - cx) / rx
                dy = (y - cy) / ry
                distance = (dx * dx + dy * dy) ** 0.5
                # Distance to the curve: the radial offset scaled back to pixels.
                scale = (((dx * rx) ** 2 + (dy * ry) ** 2) ** 0.5 / distance
                         if distance > 0 else min(rx, ry))
                if abs(distance - 1) * scale <= band:
                    self.reason[y * self.width + x] = reason

    def count(self, reason):
        return self.reason.count(reason)


def frame_mask(state, gdi_text_cells):
    width = state['geometry']['width']
    height = state['geometry']['height']
    ball = state['ball']['size']
    disc = state['players'][0]['size']
    mask = Mask(width, height)
    digits, wide_outlines, thin_outlines = 1, 2, 3

    # The score text: one cell per character, as wide as the ball and two balls high, or as the
    # GDI measured it.
    for (player, top), measured in zip(((1, height // 4), (0, 3 * height // 4)), gdi_text_cells):
        characters = len(str(state['players'][player]['score']))
        left, measured_top, measured_width, measured_height = measured
        if (left, measured_top) != (20, top):
            raise Failure(f'the GDI measured a score text at ({left}, {measured_top}), '
                          f'not at (20, {top})')
        mask.add_box(20, top, 20 + max(characters * ball, measured_width),
                     top + max(2 * ball, measured_height), digits)

    # The centre circle, its green inside and the spot, all drawn with the 3-pixel pen.
    cx, cy = width // 2, height // 2
    mask.add_ellipse_band(cx - disc, cy - disc, cx + disc, cy + disc, WIDE_PEN_BAND,
                          wide_outlines)
    mask.add_ellipse_band(cx - disc + 1, cy - disc + 1, cx + disc - 1, cy + disc - 1,
                          WIDE_PEN_BAND, wide_outlines)
    mask.add_ellipse_band(cx - ball // 2, cy - ball // 2, cx + ball // 2, cy + ball // 2,
                          WIDE_PEN_BAND, wide_outlines)

    # The ball, the discs and their rings, drawn over the pitch (positions truncated as the
    # painter truncates them).
    boxes = []
    if state['ball']['active']:
        bx, by = int(state['ball']['x']), int(state['ball']['y'])
        boxes.append((bx, by, bx + ball, by + ball))
    for player in state['players']:
        px, py, size = int(player['x']), int(player['y']), player['size']
        boxes.append((px, py, px + size, py + size))
        boxes.append((px + size // 4, py + size // 4, px + 3 * size // 4, py + 3 * size // 4))
    for box in boxes:
        mask.add_ellipse_band(*box, THIN_PEN_BAND, thin_outlines)
    return mask


def compare(name, native, gdi, state, gdi_text_cells, diff_path):
    width, height = state['geometry']['width'], state['geometry']['height']
    for side, (w, h, _) in (('tarvel-sim', native), ('GDI', gdi)):
        if (w, h) != (width, height):
            raise Failure(f'{name}: the {side} frame is {w} x {h}, the pitch {width} x {height}')
    mask = frame_mask(state, gdi_text_cells)
    differing = [0] * len(Mask.REASONS)  # by reason, the first the pixels compared
    diff_rows = []
    for y in range(height):
        a, b = native[2][y], gdi[2][y]
        picture = bytearray(x // 3 for x in a)
        for x in range(width):
            reason = mask.reason[y * width + x]
            if a[3 * x:3 * x + 3] != b[3 * x:3 * x + 3]:
                differing[reason] += 1
                picture[3 * x:3 * x + 3] = b'\xff\x00\x00' if reason == 0 else b'\xff\xff\x00'
            elif reason != 0:
                picture[3 * x:3 * x + 3] = b'\x00\x00\xa0'
        diff_rows.append(picture)
    write_png(diff_path, width, height, diff_rows)
    left_out = [mask.count(index) for index in range(len(Mask.REASONS))]
    return left_out, differing


def run(command, cwd, what):
    try:
        result = subprocess.run(command, cwd=cwd, capture_output=True, timeout=300)
    except OSError as error:
        raise Failure(f'{what}: {error}')
    if result.returncode != 0:
        raise Failure(f'{what} exited with status {result.returncode}:\n'
                      f'{result.stderr.decode(errors="replace")}')
    return result.stdout


def prepare_scripts(scripts, folder):
    """Each script with a 'dump' after every 'frame FILE' line, and the frames' names in order."""
    prepared = []
    frames = []
    for script in scripts:
        with open(script, encoding='utf-8') as file:
            lines = file.read().splitlines()
        out = []
        for number, line in enumerate(lines, 1):
            out.append(line)
            words = line.split()
            if words[:1] == ['frame'] and len(words) > 1:
                name = line.strip()[len('frame'):].strip()
                if os.path.basename(name) != name or name in (f for _, f in frames):
                    raise Failure(f'{script}: line {number}: a frame needs a file name of its '
                                  f'own, without folders, not {name!r}')
                frames.append((script, name))
                out.append('dump')
        path = os.path.join(folder, os.path.basename(script))
        if path in prepared:
            raise Failure(f'{script}: two scripts of this name')
        with open(path, 'w', encoding='utf-8') as file:
            file.write('\n'.join(out) + '\n')
        prepared.append(path)
    return prepared, frames


def read_text_cells(path):
    """Frame name -> the two score texts' (left, top, width, height) as the GDI measured them."""
    cells = {}
    with open(path, encoding='utf-8') as file:
        for number, line in enumerate(file, 1):
            words = line.split()
            try:
                numbers = [int(word) for word in words[1:]]
            except ValueError:
                numbers = []
            if len(numbers) != 8:
                raise Failure(f'{path}: line {number}: a frame name and 8 whole numbers expected')
            cells[words[0]] = [numbers[0:4], numbers[4:8]]
    return cells


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--native-sim', required=True)
    parser.add_argument('--windows-frames', required=True)
    parser.add_argument('--emulator', default='')
    parser.add_argument('--out', required=True)
    parser.add_argument('scripts', nargs='+')
    options = parser.parse_args()

    if not (os.path.isfile(options.native_sim) and os.access(options.native_sim, os.X_OK)):
        raise Failure(f'the desktop build\'s tarvel-sim is missing: {options.native_sim}\n'
                      'Build it first (cmake --preset release && cmake --build --preset release),'
                      ' or point TARVEL_NATIVE_SIM at one.')

    out = os.path.abspath(options.out)
    shutil.rmtree(out, ignore_errors=True)
    folders = {name: os.path.join(out, name)
               for name in ('checked', 'scripts', 'native', 'gdi', 'diff')}
    for folder in folders.values():
        os.makedirs(folder)
    # The scripts as written first, so a bad line is reported with its own number.
    for script in options.scripts:
        run([os.path.abspath(options.native_sim), os.path.abspath(script)], folders['checked'],
            f'tarvel-sim {script}')
    scripts, frames = prepare_scripts(options.scripts, folders['scripts'])
    if not frames:
        raise Failure('the scripts paint no frame to compare')

    native_states = b''
    for script in scripts:
        native_states += run([os.path.abspath(options.native_sim), script], folders['native'],
                             f'tarvel-sim {script}')
    emulator = [options.emulator] if options.emulator else []
    text_cells_path = os.path.join(out, 'gdi-text-cells.txt')
    gdi_states = run(emulator + [os.path.abspath(options.windows_frames), '--text-cells',
                                 text_cells_path] + scripts, folders['gdi'], 'windows_gdi_frames')
    text_cells = read_text_cells(text_cells_path)
    native_lines = native_states.decode().splitlines()
    gdi_lines = gdi_states.decode().splitlines()
    if native_lines != gdi_lines:
        first = next((i for i, (a, b) in enumerate(zip(native_lines, gdi_lines)) if a != b),
                     min(len(native_lines), len(gdi_lines)))
        raise Failure('the match states differ from dump '
                      f'{first + 1}:\n  tarvel-sim: {native_lines[first:first + 1]}\n'
                      f'  GDI:        {gdi_lines[first:first + 1]}')
    if len(native_lines) != len(frames):
        raise Failure(f'{len(frames)} frames but {len(native_lines)} states printed')

    failed = 0
    for (_, name), line in zip(frames, native_lines):
        state = json.loads(line)
        native = read_png(os.path.join(folders['native'], name))
        gdi = read_ppm(os.path.join(folders['gdi'], name + '.ppm'))
        if name not in text_cells:
            raise Failure(f'windows_gdi_frames measured no score text for {name}')
        left_out, differing = compare(name, native, gdi, state, text_cells[name],
                                      os.path.join(folders['diff'], name))
        verdict = 'ok  ' if differing[0] == 0 else 'FAIL'
        failed += differing[0] != 0
        kinds = ', '.join(f'{kind} {left_out[index]} ({differing[index]} differ)'
                          for index, kind in enumerate(Mask.REASONS) if index)
        print(f'{verdict} {name} ({state["geometry"]["width"]} x {state["geometry"]["height"]}): '
              f'{differing[0]} of {left_out[0]} px compared differ; left out: {kinds}')
    print(f'{len(frames) - failed} of {len(frames)} frames agree; pictures of the differences '
          f'in {folders["diff"]}')
    return 1 if failed else 0


if __name__ == '__main__':
    try:
        sys.exit(main())
    except Failure as failure:
        print(f'compare_frames: {failure}', file=sys.stderr)
        sys.exit(1)
