#!/usr/bin/python3
"""The browser build played in headless Chromium, judged by its canvas.

Usage: web_test.py [TestClass.test_name ...]. LUMENVALE_WEB_DIR names the built page
(dist/web by default); LUMENVALE_PROGRAM the Linux build, for the comparison of the menus;
LUMENVALE_SCREEN_LAYOUT the build's tests/screen_layout.json. Without the page the tests are
skipped, unless LUMENVALE_REQUIRE_WEB is set.
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))

import re  # noqa: E402
import shutil  # noqa: E402
import tempfile  # noqa: E402
import unittest  # noqa: E402

from PIL import ImageChops  # noqa: E402

from webpage import (ABOUT_BOX, AUTHORS, AUTHORS_TEXT, BACK, CAPTION_MATCH, CLICK_REPEAT,  # noqa: E402
                     ESCAPE_REPEAT, EXIT, HEIGHT, MAIN_TEXTS, NOWHERE, PLANET, PLAY, SIZE4, SIZE8,
                     SIZE_TEXTS, TIMEOUT, WEB_DIR, WIDTH, Board, WebPage, atlas, box_of, centre,
                     desktop_menu_shot, poll, press_and_judge, save_pictures, shows_about,
                     shows_group)


def skip_or_fail(reason):
    """Skips for want of a build or its tools, or fails where LUMENVALE_REQUIRE_WEB asks for
    every browser test."""
    if os.environ.get('LUMENVALE_REQUIRE_WEB'):
        raise AssertionError(reason)
    raise unittest.SkipTest(reason)


def setUpModule():
    if not os.path.isfile(os.path.join(WEB_DIR, 'lumenvale.wasm')):
        skip_or_fail('no browser build in %s: run scripts/build-web' % WEB_DIR)


class PageTest(unittest.TestCase):
    def open_page(self, **options):
        page = WebPage(**options)
        self.addCleanup(page.close)
        return page


class GamePage(PageTest):
    window = (1280, 1024)
    touch = False

    def setUp(self):
        self.page = self.open_page(window=self.window, touch=self.touch)
        self.assertTrue(self.page.wait_for_frames(), 'the page never drew a frame')

    def last_picture(self):
        shot = getattr(self.page, 'last_shot', None)
        return ' (the canvas last showed %s)' % save_pictures(self.id(), [shot]) if shot else ''

    def group(self, texts):
        return lambda s: shows_group(s, texts, self.page.hidden())

    def wait_for_group(self, texts, what):
        shot = self.page.wait_for(self.group(texts))
        self.assertIsNotNone(shot, what + self.last_picture())
        return shot

    def press(self, rect, before, after, what):
        return self.page.press(centre(rect), before, after, what, touch=self.touch)

    def escape(self, before, after, what, act=None):
        """Escape, by its key unless `act` makes it some other way."""
        return press_and_judge(self.page, act or self.page.key, before, after, what, ESCAPE_REPEAT)

    def escape_and_back(self, board, how='Escape', act=None):
        """Escape to the menu and again back to the same board; the judges of the two states
        for the steps that follow."""
        in_menu, on_board = self.group(SIZE_TEXTS), lambda s: Board(s, board.size) == board
        self.escape(on_board, in_menu, 'the menu after ' + how, act)
        self.escape(in_menu, lambda s: Board(s, board.size).clear(), 'the board after ' + how, act)
        self.assertEqual(self.stable_board(board.size), board, 'the same board after %s twice' % how)
        return in_menu, on_board

    def open_board(self, size=4):
        """Play, then the size: a stable, clearly read board."""
        self.wait_for_group(MAIN_TEXTS, 'the main buttons')
        self.press(PLAY, self.group(MAIN_TEXTS), self.group(SIZE_TEXTS),
                   'the size buttons after Играть')
        self.press({4: SIZE4, 8: SIZE8}[size], self.group(SIZE_TEXTS),
                   lambda s: Board(s, size).clear(), 'a board after %dx%d' % (size, size))
        return self.stable_board(size=size)

    def stable_board(self, size=4):
        previous = []

        def settled(shot):
            board = Board(shot, size)
            ok = board.clear() and previous and previous[-1] == board
            previous.append(board)
            return ok
        if self.page.wait_for(settled) is None:
            self.fail('a clearly read %dx%d board; last seen:\n%s' %
                      (size, size, previous[-1] if previous else 'nothing') + self.last_picture())
        return previous[-1]

    def flip(self, board, column, row):
        """One press on a block, taken once; the new board."""
        expected = board.flipped(column, row)
        shot = self.page.press(board.block_centre(column, row), lambda s: Board(s, board.size) == board,
                               lambda s: Board(s, board.size).clear() and Board(s, board.size) != board,
                               'a flip of block (%d, %d)' % (column, row),
                               repeat=CLICK_REPEAT, touch=self.touch)
        now = Board(shot, board.size)
        if all(lamp.isupper() for lamps in expected for lamp in lamps):
            # That press lit the last lamps: a fresh board is dealt at once.
            self.assertTrue(now.even_parity(), 'a fresh deal after the solve:\n%s' % now)
        else:
            self.assertEqual(now.lamps, expected, 'exactly block (%d, %d) flipped; before:\n%s\n'
                             'after:\n%s' % (column, row, board, now))
        return now

    def animation_frames(self, count):
        self.page.driver.execute_async_script('''
            const [count, done] = arguments;
            let left = count;
            const step = () => --left > 0 ? requestAnimationFrame(step) : done();
            requestAnimationFrame(step);''', count)

    def frames_in(self, count):
        """Frames the game presents in the next `count` animation frames."""
        first = self.page.frames()
        self.animation_frames(count)
        return self.page.frames() - first


class MenuTest(GamePage):
    def test_first_menu_about_box_and_size_group(self):
        shot = self.wait_for_group(MAIN_TEXTS, 'the first menu with Играть, Авторы, Выход')
        self.assertGreater(shot.lit_share(box_of(PLANET, 4)), 0.3, 'the planet')
        self.assertTrue(shot.title(), 'the title')
        for rect in (SIZE8, ABOUT_BOX):
            self.assertTrue(shot.blank(rect), 'nothing at %s in the first menu' % (rect,))
        page = self.page.script('''
            const canvas = document.getElementById("canvas");
            const menu = new MouseEvent("contextmenu", {bubbles: true, cancelable: true});
            canvas.dispatchEvent(menu);
            return [getComputedStyle(canvas).cursor, menu.defaultPrevented,
                    document.scrollingElement.scrollHeight <= innerHeight];''')
        self.assertEqual(page, ['none', True, True],
                         'over the canvas: no system pointer, no context menu, nothing to scroll')
        print('first menu frame %.0f ms after navigation' % self.page.script('return Probe.firstFrameAt'))

        closed = lambda s: s.blank(ABOUT_BOX)  # noqa: E731
        self.press(AUTHORS, closed, shows_about, 'the about box after Авторы')
        self.press(AUTHORS, shows_about, closed, 'the about box gone after a second Авторы')
        sizes = self.press(PLAY, self.group(MAIN_TEXTS), self.group(SIZE_TEXTS),
                           'the size group after Играть')
        self.assertFalse(atlas().caption(sizes, AUTHORS, AUTHORS_TEXT) > CAPTION_MATCH)
        self.press(BACK, self.group(SIZE_TEXTS), self.group(MAIN_TEXTS), 'the main group after Назад')


class BoardTest(GamePage):
    def test_board_flip_escape_and_exit(self):
        board = self.open_board()
        self.assertTrue(board.even_parity(), 'every row and column an even number of dark '
                        'lamps:\n%s' % board)
        board = self.flip(board, 1, 1)
        board = self.flip(board, 0, 2)
        in_menu, on_board = self.escape_and_back(board)

        self.escape(on_board, in_menu, 'the menu after Escape')
        self.press(BACK, in_menu, self.group(MAIN_TEXTS), 'the main group after Назад')
        frames = self.page.frames()
        self.page.move(*centre(EXIT))
        self.page.click()
        self.assertTrue(self.page.wait_until('return document.body.classList.contains("ended")',
                                             TIMEOUT), 'the end after Выход')
        state = self.page.script('''
            const notice = document.getElementById("notice");
            return [notice.offsetHeight > 0, notice.textContent,
                    getComputedStyle(document.getElementById("canvas")).filter];''')
        self.assertTrue(state[0], 'the end state after Выход: %s' % state)
        self.assertIn('brightness', state[2], 'the last frame dimmed')
        self.assertIn('Play again', state[1])
        ended_at = self.page.frames()
        self.assertGreater(ended_at, frames)
        self.animation_frames(20)
        self.assertEqual(self.page.frames(), ended_at, 'no frames after the game ended')


class ScaledWindowTest(GamePage):
    window = (1024, 768)

    def test_press_at_a_block_centre_in_page_pixels_flips_it(self):
        left, top, width, height = self.page.canvas_box()
        self.assertAlmostEqual(width / height, WIDTH / HEIGHT, places=2)
        self.assertLess(width, WIDTH)
        board = self.open_board()
        self.flip(board, 2, 1)  # pressed at the page pixel over the block's centre

        # The page follows the window: its frame box is the largest box of the frame's shape
        # that fits, centred.
        self.page.driver.set_window_size(700, 900)

        def resized():
            box, inner = self.page.canvas_box(), self.page.script('return [innerWidth, innerHeight]')
            return (box, inner) if abs(box[2] - width) > 1 else None
        box, inner = poll(resized, 10) or (self.page.canvas_box(), 'unchanged')
        self.assertAlmostEqual(box[2] / box[3], WIDTH / HEIGHT, places=2, msg='shape: %s' % box)
        self.assertTrue(box[2] <= inner[0] + 1 and box[3] <= inner[1] + 1 and
                        min(inner[0] - box[2], inner[1] - box[3]) < 1,
                        'canvas %s fills window %s one way' % (box, inner))
        self.assertAlmostEqual(box[0] * 2 + box[2], inner[0], delta=1, msg='centred')
        self.assertAlmostEqual(box[1] * 2 + box[3], inner[1], delta=1, msg='centred')


class TouchTest(GamePage):
    window = (1200, 800)
    touch = True

    def test_moves_by_touch_and_the_escape_control(self):
        canvas, control = self.page.boxes('canvas', 'escape')
        self.assertGreater((control[2] - control[0]) * (control[3] - control[1]), 0,
                           'the Escape control is shown on a touch screen')
        self.assertTrue(control[0] >= canvas[2] or control[2] <= canvas[0] or
                        control[1] >= canvas[3] or control[3] <= canvas[1],
                        'the Escape control %s lies outside the canvas %s' % (control, canvas))
        board = self.open_board()
        board = self.flip(board, 0, 0)
        board = self.flip(board, 2, 2)
        tap = (int((control[0] + control[2]) / 2), int((control[1] + control[3]) / 2))
        self.escape_and_back(board, 'the Escape control', lambda: self.page.touch(tap))


class LostContextTest(GamePage):
    def test_the_board_comes_back_after_a_lost_context(self):
        board = self.open_board()
        self.page.script('window.loser = document.getElementById("canvas")'
                         '.getContext("webgl2").getExtension("WEBGL_lose_context");'
                         'loser.loseContext();')
        self.assertTrue(self.page.wait_until(
            'return document.getElementById("waiting").offsetHeight > 0'),
            'the page says the picture is lost')
        frames = self.page.frames()
        self.page.hold_space(True)  # something held: the game draws on
        self.assertTrue(self.page.wait_until('return Probe.frames > %d' % (frames + 10)),
                        'the game plays on while the context is lost')
        self.page.hold_space(False)
        self.page.script('loser.restoreContext()')
        self.assertTrue(self.page.wait_until(
            'return document.getElementById("waiting").offsetHeight === 0'),
            'the page no longer says the picture is lost')
        self.assertEqual(self.stable_board(), board, 'the same board, its pictures drawn again')
        self.flip(board, 1, 0)


class InputTest(GamePage):
    def held(self, buttons):
        return poll(lambda: self.page.script('return Probe.buttonsHeld()') == buttons, 10) is not None

    def test_buttons_held_together_are_all_let_go(self):
        self.wait_for_group(MAIN_TEXTS, 'the first menu')
        at = self.page.page_point(*NOWHERE)
        # Left down, right down, left up, right up; each step as the page should then hold it.
        steps = [('mousePressed', 'left', 1, [0]), ('mousePressed', 'right', 3, [0, 2]),
                 ('mouseReleased', 'left', 2, [2]), ('mouseReleased', 'right', 0, [])]
        for kind, button, buttons, held in steps:
            self.page.mouse_event(kind, *at, button, buttons)
            self.assertTrue(self.held(held), 'after %s %s the page holds %s, not %s' % (
                kind, button, self.page.script('return Probe.buttonsHeld()'), held))
            if held == [0, 2]:
                # A cancelled pointer that holds nothing lets nothing go.
                self.page.script('window.dispatchEvent(new PointerEvent("pointercancel", '
                                 '{pointerId: 4711}))')

    def test_a_hidden_page_lets_go_and_waits(self):
        self.wait_for_group(MAIN_TEXTS, 'the first menu')
        self.page.mouse_event('mousePressed', *self.page.page_point(*NOWHERE), 'left', 1)
        self.assertTrue(self.held([0]), 'left held')
        self.page.script('''
            window.hidden = [];
            document.addEventListener("visibilitychange", () => hidden.push(
                [document.hidden, performance.now(), Probe.frames]));''')
        game = self.page.driver.current_window_handle
        self.page.driver.switch_to.new_window('tab')
        self.animation_frames(150)  # two and a half seconds of frames the game does not draw
        self.page.driver.switch_to.window(game)
        self.assertTrue(self.held([]), 'nothing held after the page was hidden')
        changes = self.page.script('return hidden')
        self.assertEqual([change[0] for change in changes[:2]], [True, False], changes)
        (_, hid, frames_then), (_, shown, frames_after) = changes[:2]
        self.assertGreater(shown - hid, 2000)
        self.assertLessEqual(frames_after - frames_then, 1, 'frames while hidden')
        self.assertTrue(self.page.wait_until('return Probe.frames > %d' % frames_after),
                        'drawn again once shown')


class ClockTest(GamePage):
    def test_clock_frames_and_first_boards_of_five_loads(self):
        ticks, wall = self.page.script('return [Module.win32.tickCount(), Date.now()]')
        # Counted from the wall clock at load, wrapped as a 32-bit tick count is.
        self.assertLess(abs(ticks - wall % 2 ** 32), 1000, 'ticks %d at wall clock %d' % (ticks, wall))
        # No more frames than animation frames: none drawn that are never shown, even with a key
        # held, which keeps the game drawing; and none at all while it is still.
        self.page.hold_space(True)
        frames = self.frames_in(60)
        self.page.hold_space(False)
        self.assertTrue(0 < frames <= 61, '%d frames in 60 animation frames' % frames)
        self.assertTrue(self.page.wait_until('return Probe.still'), 'still again')
        self.assertEqual(self.frames_in(60), 0, 'frames of a still game')

        boards = []
        for load in range(5):
            if load:
                self.page.open()
                self.assertTrue(self.page.wait_for_frames(), 'no frame after reload %d' % load)
            boards.append(str(self.open_board(size=8)))
        print('first 8x8 boards of five loads:\n' + '\n\n'.join(boards))
        self.assertEqual(len(set(boards)), 5, 'five loads, five first boards')


class PhoneTest(GamePage):
    window = (390, 844)
    touch = True

    def test_upright_phone_hint_and_full_screen(self):
        canvas, turn, full, escape = self.page.boxes('canvas', 'turn', 'full-screen', 'escape')
        self.assertGreater(turn[3] - turn[1], 0, 'the hint to turn the phone is shown')
        self.assertLessEqual(turn[3], canvas[1], 'the hint lies above the canvas: %s' % turn)
        for control in (full, escape):
            self.assertGreaterEqual(control[1], canvas[3], 'controls below the canvas')
        self.assertTrue(full[2] <= escape[0] or escape[2] <= full[0], 'controls side by side')

        self.page.touch((int((full[0] + full[2]) / 2), int((full[1] + full[3]) / 2)), 0.05)
        self.assertTrue(self.page.wait_until('return document.fullscreenElement !== null'),
                        'full screen after the control')
        self.page.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 844, 'height': 390, 'deviceScaleFactor': 1, 'mobile': True})
        self.assertTrue(self.page.wait_until(
            'return document.getElementById("turn").offsetHeight === 0'),
            'no hint with the phone sideways')


class BrokenPageTest(PageTest):
    def notice(self, page, words):
        """The page's notice once it holds `words`, or what it holds after 10 s."""
        def text():
            return page.script('return document.getElementById("notice").offsetHeight > 0 ? '
                               'document.getElementById("notice-text").textContent : ""')
        return poll(lambda: words in text(), 10) and text() or text()

    def test_each_message_box_is_shown_once(self):
        page = self.open_page()
        self.assertTrue(page.wait_for_frames())
        text = page.script('''
            for (const text of ["Weird State", "Weird State", "Other", "Weird State"])
                Module.win32.showMessage("Error", text);
            return document.getElementById("notice-text").innerText;''')
        self.assertEqual(text, 'Error: Weird State\nError: Other')

    def test_the_page_says_when_there_is_no_webgl(self):
        page = self.open_page(arguments=['--disable-3d-apis'])
        self.assertIn('WebGL 2 is not available', self.notice(page, 'WebGL'))
        self.assertEqual(page.frames(), 0)

    def test_the_page_says_when_the_pictures_cannot_be_fetched(self):
        folder = tempfile.mkdtemp(prefix='lumenvale-web-')
        self.addCleanup(shutil.rmtree, folder, True)
        shutil.copytree(WEB_DIR, folder, dirs_exist_ok=True,
                        ignore=shutil.ignore_patterns('lumenvale.data'))
        page = self.open_page(folder=folder)
        self.assertIn('pictures could not be fetched', self.notice(page, 'pictures'))
        self.assertEqual(page.frames(), 0)


class ShippedPageTest(PageTest):
    def test_the_page_players_get_has_only_what_the_game_calls(self):
        with open(os.path.join(WEB_DIR, 'lumenvale.js'), errors='replace') as file:
            called = sorted(set(re.findall(r'Module\.win32\.(\w+)', file.read())))
        page = self.open_page(probe=False)
        self.assertTrue(page.wait_until('return typeof Module === "object" && '
                                        'typeof Module._main === "function"', TIMEOUT))
        offered = page.script('return [Object.keys(Module.win32).sort(), typeof Probe,'
                              ' Object.keys(Module).filter((name) => /Heap/.test(name))]')
        self.assertEqual(offered, [called, 'undefined', []],
                         'the page offers the game what it calls and nothing for the tests')


class DesktopComparisonTest(PageTest):
    def test_first_menu_matches_the_linux_build(self):
        program = os.environ.get('LUMENVALE_PROGRAM')
        if not program or not shutil.which('Xvfb'):
            self.skipTest('no Linux build or no Xvfb to compare with')
        desktop = desktop_menu_shot(program)
        self.assertIsNotNone(desktop, 'the Linux build showed no menu')
        page = self.open_page()
        self.assertTrue(page.wait_for_frames(5))
        browser = page.shot()
        a = [max(p) for p in ImageChops.difference(desktop.image, browser.image).getdata()]
        differ, total, worst, big = (sum(d > 0 for d in a), sum(a), max(a), sum(d > 16 for d in a))
        pixels = len(a)
        print('menu, browser against Linux: %d of %d pixels differ (%.3f%%), %d by more than 16 '
              'of 255, the largest difference %d, the mean over all pixels %.4f'
              % (differ, pixels, 100.0 * differ / pixels, big, worst, total / pixels))
        if big:
            print('pictures: ' + save_pictures('menu-browser-and-linux', [browser, desktop]))
        # Nothing a player could see: a few stray pixels at most off by more than a shade.
        self.assertLess(big, 0.001 * pixels)
        self.assertLess(total / pixels, 1.0)


if __name__ == '__main__':
    unittest.main(verbosity=2)
