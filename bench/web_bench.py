#!/usr/bin/python3
"""Measures the browser build in dist/web: the bytes it downloads, raw and gzipped, the time
from navigation to the first menu frame in headless Chromium, and the frame rate the page
holds on the menu and on an 8x8 board. Prints the figures; asserts nothing.
"""
import gzip
import os
import statistics
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'support'))
from webpage import PLAY, SIZE8, WEB_DIR, Board, WebPage, centre  # noqa: E402

LOADS = 5
RATE_SECONDS = 3


def sizes():
    rows, totals = [], [0, 0]
    for name in sorted(os.listdir(WEB_DIR)):
        with open(os.path.join(WEB_DIR, name), 'rb') as file:
            data = file.read()
        packed = len(gzip.compress(data, 9))
        rows.append((name, len(data), packed))
        totals[0] += len(data)
        totals[1] += packed
    return rows, totals


def frame_rate(page):
    before, started = page.frames(), time.monotonic()
    time.sleep(RATE_SECONDS)
    return (page.frames() - before) / (time.monotonic() - started)


def main():
    rows, totals = sizes()
    print('%-16s %10s %10s' % ('file', 'bytes', 'gzipped'))
    for name, raw, packed in rows:
        print('%-16s %10d %10d' % (name, raw, packed))
    code = [r for r in rows if r[0] in ('lumenvale.js', 'lumenvale.wasm')]
    print('%-16s %10d %10d' % ('script + wasm', sum(r[1] for r in code), sum(r[2] for r in code)))
    print('%-16s %10d %10d' % ('everything', totals[0], totals[1]))

    firsts = []
    for _ in range(LOADS):
        page = WebPage()
        try:
            page.wait_for_frames(1)
            firsts.append(page.script('return Probe.firstFrameAt'))
            if len(firsts) == LOADS:
                print('frames per second, menu: %.1f' % frame_rate(page))
                page.press(centre(PLAY), lambda s: not s.button_fill(SIZE8),
                           lambda s: s.button_fill(SIZE8), 'the size buttons')
                page.press(centre(SIZE8), lambda s: s.button_fill(SIZE8),
                           lambda s: Board(s, 8).clear(), 'a board')
                print('frames per second, 8x8 board: %.1f' % frame_rate(page))
        finally:
            page.close()
    print('first menu frame after navigation, ms: median %.0f, min %.0f, max %.0f (%d loads)'
          % (statistics.median(firsts), min(firsts), max(firsts), LOADS))


if __name__ == '__main__':
    main()
