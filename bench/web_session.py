#!/usr/bin/python3
"""A long session of the browser build (dist/web) in headless Chromium with scripted input,
sampling the game's wasm heap (bytes in use and bytes taken by the allocator) and the page's
JS heap (through the DevTools protocol, after a garbage collection) every 10 s. Prints the
samples and a summary; asserts nothing.

Usage: web_session.py [SECONDS] (600 by default).

Each round: "Играть", a board of the next size, eight block presses and random moves over it,
Escape to the menu and back, Escape again, "Назад", and the credits box shown and hidden.
"""
import base64
import io
import os
import random
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from PIL import Image  # noqa: E402
from webpage import (AUTHORS, BACK, NOWHERE, PLAY, SIZE4, SIZE6, SIZE8, WIDTH, Board,  # noqa: E402
                     Shot, WebPage, centre)

SAMPLE_SECONDS = 10


def sample(page, started):
    page.driver.execute_cdp_cmd('HeapProfiler.collectGarbage', {})
    js = page.driver.execute_cdp_cmd('Runtime.getHeapUsage', {})
    # An older page without the heap figures gives -1 for them.
    used, taken, frames = page.script(
        'const has = typeof Module._HeapBytesInUse === "function";'
        'return [has ? Module._HeapBytesInUse() : -1, has ? Module._HeapBytesTaken() : -1,'
        ' Module.win32.frames]')
    return (time.monotonic() - started, used, taken, js['usedSize'], js['totalSize'], frames)


class ScreenshotPage(WebPage):
    """The page, its canvas read back from the browser's own screenshots: a picture returned by
    a page script stays on the page's JS heap (about 8 MB for 20 pictures, with or without
    the game), and would swamp what is measured."""

    def canvas_box(self):
        # Asked once: the window keeps its size, and every script the driver runs stays on the
        # JS heap (about 70 bytes a call, the same on an empty page) and would be measured.
        if not hasattr(self, 'box'):
            self.box = super().canvas_box()
        return self.box

    # Input through Chromium's own input events: WebDriver's actions run scripts of the
    # driver's on the page too.
    def move(self, x, y):
        self.mouse_event('mouseMoved', *self.page_point(x, y))

    def press(self, x, y, hold=0.2):
        px, py = self.page_point(x, y)
        self.mouse_event('mouseMoved', px, py)
        time.sleep(0.05)
        self.mouse_event('mousePressed', px, py, 'left', 1)
        time.sleep(hold)
        self.mouse_event('mouseReleased', px, py, 'left', 0)

    def key(self, hold=0.2):
        escape = {'key': 'Escape', 'code': 'Escape', 'windowsVirtualKeyCode': 27}
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', dict(escape, type='rawKeyDown'))
        time.sleep(hold)
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', dict(escape, type='keyUp'))

    def shot(self):
        left, top, width, height = self.canvas_box()
        picture = self.driver.execute_cdp_cmd('Page.captureScreenshot', {'format': 'png', 'clip': {
            'x': left, 'y': top, 'width': width, 'height': height, 'scale': WIDTH / width}})
        return Shot(Image.open(io.BytesIO(base64.b64decode(picture['data']))))


def size_group(shot):
    return shot.button_fill(SIZE8)  # the 8x8 button, only in the size group


def main_group(shot):
    return shot.button_fill(PLAY) and shot.blank(SIZE8)


def until(page, act, test, what):
    """Acts until the canvas shows what `test` accepts (a press may fall in a repeat guard)."""
    for _ in range(8):
        act()
        if page.wait_for(test, 3):
            return
    picture = os.path.join(tempfile.gettempdir(), 'lumenvale-session-stopped.png')
    page.last_shot.image.save(picture)
    ended = page.script('return document.body.classList.contains("ended")')
    raise RuntimeError('no %s; the page %s (its last picture: %s)'
                       % (what, 'has ended' if ended else 'plays on', picture))


def play_round(page, size_button, size):
    until(page, lambda: page.press(*centre(PLAY)), size_group, 'size group after Играть')
    until(page, lambda: page.press(*centre(size_button)), lambda s: Board(s, size).clear(),
          'board')
    for _ in range(8):
        column, row = random.randrange(size - 1), random.randrange(size - 1)
        # The inner lamp corner of the block, as Board.block_centre finds it.
        page.press(round((column + 1) / size * 640 + 320),
                   round(1024 - ((row + 1) / size * 512 + 256)), hold=0.07)
        page.move(random.randrange(320, 960), random.randrange(256, 768))
        time.sleep(0.15)
    # Off the board: the drawn cursor over a lamp would hide whether it is lit.
    page.move(*NOWHERE)

    def escape():
        time.sleep(0.5)  # Escape switches at most every 500 ms
        page.key()
    until(page, escape, size_group, 'menu after Escape')
    until(page, escape, lambda s: Board(s, size).clear(), 'board after Escape')
    until(page, escape, size_group, 'menu after Escape')
    until(page, lambda: page.press(*centre(BACK)), main_group, 'main group after Назад')
    for _ in range(2):
        page.press(*centre(AUTHORS))
        time.sleep(0.4)
    page.move(*NOWHERE)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 600
    page = ScreenshotPage()
    samples = []
    try:
        if not page.wait_for_frames():
            sys.exit('the page never drew a frame')
        started = time.monotonic()
        samples.append(sample(page, started))
        sizes = [(SIZE4, 4), (SIZE6, 6), (SIZE8, 8)]
        rounds = 0
        while time.monotonic() - started < seconds:
            try:
                play_round(page, *sizes[rounds % 3])
            except RuntimeError as error:
                print('round %d stopped: %s' % (rounds + 1, error))
                break
            rounds += 1
            if time.monotonic() - started - samples[-1][0] >= SAMPLE_SECONDS:
                samples.append(sample(page, started))
        samples.append(sample(page, started))
    finally:
        page.close()
    print('%8s %12s %12s %12s %12s %8s' % ('seconds', 'wasm in use', 'wasm taken', 'JS used',
                                           'JS total', 'frames'))
    for row in samples:
        print('%8.0f %12d %12d %12d %12d %8d' % row)
    print('%d rounds in %.0f s' % (rounds, samples[-1][0]))
    for name, column in (('wasm heap in use', 1), ('wasm heap taken', 2), ('JS heap used', 3)):
        values = [row[column] for row in samples]
        print('%s: start %d, after the first round %d, end %d, lowest %d, highest %d'
              % (name, values[0], values[1], values[-1], min(values), max(values)))


if __name__ == '__main__':
    main()
