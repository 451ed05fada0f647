#!/usr/bin/python3
"""A long session of the browser build (dist/web) in headless Chromium with scripted input,
sampling the game's wasm heap (bytes in use and bytes taken by the allocator, from a build of
the page with the heap counters, build/web-heap) and the page's JS heap (through the DevTools
protocol, after a garbage collection) every 10 s. Prints the samples and a summary; asserts
nothing. Every press is made and judged as the browser tests make them.

Usage: web_session.py [SECONDS] (600 by default).

Each round: "Играть", a board of the next size, eight block presses and random moves over it,
Escape to the menu and back, Escape again, "Назад", and the credits box shown and hidden.
"""
import os
import random
import subprocess
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'support'))
from webpage import (ABOUT_BOX, AUTHORS, BACK, CLICK_REPEAT, ESCAPE_REPEAT, NOWHERE, PLAY, ROOT,  # noqa: E402
                     SIZE4, SIZE6, SIZE8, Board, WebPage, centre, press_and_judge, shows_about)

SAMPLE_SECONDS = 10


def heap_counting_page():
    """The page built with the game's heap counters, which players never get, in build/web-heap."""
    build = os.path.join(ROOT, 'build', 'web-heap')
    env = dict(os.environ, NODE_PATH='/usr/share/nodejs')
    subprocess.run(['emcmake', 'cmake', '-S', ROOT, '-B', build, '-DCMAKE_BUILD_TYPE=Release',
                    '-DLUMENVALE_WEB_HEAP_PROBE=ON'], check=True, env=env, stdout=subprocess.DEVNULL)
    subprocess.run(['cmake', '--build', build, '-j', '2', '--target', 'lumenvale_page'], check=True,
                   env=env, stdout=subprocess.DEVNULL)
    return build


def sample(page, started):
    page.driver.execute_cdp_cmd('HeapProfiler.collectGarbage', {})
    js = page.driver.execute_cdp_cmd('Runtime.getHeapUsage', {})
    used, taken, frames = page.script('return [Module._HeapBytesInUse(), Module._HeapBytesTaken(),'
                                      ' Probe.frames]')
    return (time.monotonic() - started, used, taken, js['usedSize'], js['totalSize'], frames)


class SessionPage(WebPage):
    """The page with its scripts run through the DevTools protocol by value: what the driver's
    own scripts leave on the page's JS heap (their results included) would swamp what is
    measured. The canvas's place is asked once, as the window keeps its size."""

    def script(self, code, *args):
        result = self.driver.execute_cdp_cmd('Runtime.evaluate', {
            'expression': '(() => {%s})()' % code, 'returnByValue': True})
        return result['result'].get('value')

    def canvas_box(self):
        if not hasattr(self, 'box'):
            self.box = super().canvas_box()
        return self.box

    # Input through Chromium's own input events: WebDriver's actions run scripts of the
    # driver's on the page too.
    def move(self, x, y):
        self.was, self.pointer = self.pointer, (x, y)
        self.mouse_event('mouseMoved', *self.page_point(x, y))

    def click(self, hold=0.05):
        at = self.page_point(*self.pointer)
        self.mouse_event('mousePressed', *at, 'left', 1)
        time.sleep(hold)
        self.mouse_event('mouseReleased', *at, 'left', 0)

    def key(self, hold=0.1):
        escape = {'key': 'Escape', 'code': 'Escape', 'windowsVirtualKeyCode': 27}
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', dict(escape, type='rawKeyDown'))
        time.sleep(hold)
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', dict(escape, type='keyUp'))


def size_group(shot):
    return shot.button_fill(SIZE8)  # the 8x8 button, only in the size group


def main_group(shot):
    return shot.button_fill(PLAY) and shot.blank(SIZE8)


def play_round(page, size_button, size):
    page.press(centre(PLAY), main_group, size_group, 'size group after Играть')
    board = Board(page.press(centre(size_button), size_group, lambda s: Board(s, size).clear(),
                             'board'), size)
    for _ in range(8):
        column, row = random.randrange(size - 1), random.randrange(size - 1)
        shot = page.press(board.block_centre(column, row), lambda s: Board(s, size) == board,
                          lambda s: Board(s, size).clear() and Board(s, size) != board,
                          'a flip', CLICK_REPEAT)
        board = Board(shot, size)
        page.move(random.randrange(320, 960), random.randrange(256, 768))
    # Off the board: the drawn cursor over a lamp would hide whether it is lit.
    page.move(*NOWHERE)
    on_board = lambda s: Board(s, size) == board  # noqa: E731
    press_and_judge(page, page.key, on_board, size_group, 'menu after Escape', ESCAPE_REPEAT)
    press_and_judge(page, page.key, size_group, on_board, 'board after Escape', ESCAPE_REPEAT)
    press_and_judge(page, page.key, on_board, size_group, 'menu after Escape', ESCAPE_REPEAT)
    page.press(centre(BACK), size_group, main_group, 'main group after Назад')
    closed = lambda s: s.blank(ABOUT_BOX)  # noqa: E731
    page.press(centre(AUTHORS), closed, shows_about, 'credits after Авторы')
    page.press(centre(AUTHORS), shows_about, closed, 'no credits after Авторы')
    page.move(*NOWHERE)


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 600
    page = SessionPage(folder=heap_counting_page())
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
            except AssertionError as error:
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
