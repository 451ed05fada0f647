#!/usr/bin/python3
"""Processor time of the whole browser while the game on its page stands still: the menu with
the pointer resting on it, an 8x8 board with the pointer resting on a lamp, and the pointer off
the canvas; frames presented meanwhile. Headless Chromium, WebGL on Mesa (--use-angle=gl) and on
SwiftShader. Prints the figures; asserts nothing.

Usage: web_still.py [--before DIR]: DIR is another built page (an older dist/web) measured the
same way in the same run. CPU: user and system time of every process under the browser's
driver, in per cent of one core, over 10 s each.
"""
import argparse
import os
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'support'))
from webpage import (MAIN_TEXTS, PLAY, SIZE8, SIZE_TEXTS, WEB_DIR, Board, WebPage, centre,  # noqa: E402
                     shows_group)
from web_latency import cpu_seconds, process_tree  # noqa: E402

STILL_SECONDS = 10
BACKENDS = {'Mesa': ['--use-angle=gl', '--ignore-gpu-blocklist'],
            'SwiftShader': ['--use-angle=swiftshader', '--enable-unsafe-swiftshader']}


def still(page):
    """Per cent of a core used by the browser, and frames presented, over STILL_SECONDS."""
    time.sleep(1)
    pids = process_tree(page.driver.service.process.pid)[1:]  # the browser, not its driver
    cpu, frames, started = cpu_seconds(pids), page.frames(), time.monotonic()
    time.sleep(STILL_SECONDS)
    spent = time.monotonic() - started
    return (cpu_seconds(pids) - cpu) * 100 / spent, (page.frames() - frames) / spent


def showing(page, texts):
    """Whether a screenshot shows these buttons; the drawn cursor may cover a caption."""
    return lambda shot: shows_group(shot, texts, page.hidden())


def measure(folder, backend):
    page = WebPage(folder=folder, window=(1600, 1200), arguments=BACKENDS[backend])
    try:
        page.wait_for_frames(1, timeout=60)
        page.mouse_event('mouseMoved', *page.page_point(640, 512))
        menu = still(page)
        main, sizes = showing(page, MAIN_TEXTS), showing(page, SIZE_TEXTS)
        page.press(centre(PLAY), main, sizes, 'the sizes after Играть')
        page.press(centre(SIZE8), sizes, lambda s: Board(s, 8).clear(), 'an 8x8 board')
        page.mouse_event('mouseMoved', *page.page_point(600, 480))
        board = still(page)
        page.mouse_event('mouseMoved', 3, 3)  # the page's corner, off the canvas
        outside = still(page)
        return menu, board, outside
    finally:
        page.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--before')
    args = parser.parse_args()
    pages = [('now', WEB_DIR)] + ([('before', args.before)] if args.before else [])
    print('%-24s %18s %18s %18s' % ('page', 'menu', '8x8 board', 'pointer off'))
    print('%-24s %18s %18s %18s' % ('', 'CPU %, frames/s', 'CPU %, frames/s', 'CPU %, frames/s'))
    for backend in BACKENDS:
        for name, folder in pages:
            figures = measure(folder, backend)
            print('%-24s' % ('%s, %s' % (name, backend)) +
                  ''.join(' %10.0f, %5.1f' % figure for figure in figures))


if __name__ == '__main__':
    main()
