#!/usr/bin/python3
"""The browser build played in headless Chromium, judged by its canvas.

Usage: web_test.py [TestClass.test_name ...]. LUMENVALE_WEB_DIR names the built page
(dist/web by default); LUMENVALE_PROGRAM the Linux build, for the comparison of the menus.
Without the page the tests are skipped, unless LUMENVALE_REQUIRE_WEB is set.
"""
import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree

import json
import shutil
import tempfile
import time
import unittest

from webpage import (ABOUT_BOX, ABOUT_LINE_INDEX, ABOUT_LINES, AUTHORS, AUTHORS_TEXT, BACK,
                     BACK_TEXT, EXIT, EXIT_TEXT, NOWHERE, PLANET, PLAY, PLAY_TEXT, SIZE4, SIZE6,
                     SIZE8, TITLE, WEB_DIR, Atlas, Board, WebPage, box_of, centre,
                     desktop_menu_shot)

SIZE_TEXTS = [(SIZE4, b'4x4'), (SIZE6, b'6x6'), (SIZE8, b'8x8'), (BACK, BACK_TEXT)]
MAIN_TEXTS = [(PLAY, PLAY_TEXT), (AUTHORS, AUTHORS_TEXT), (EXIT, EXIT_TEXT)]
CAPTION_MATCH = 0.6  # a caption drawn from the atlas correlates far above this


def setUpModule():
    if not os.path.isfile(os.path.join(WEB_DIR, 'lumenvale.wasm')):
        if os.environ.get('LUMENVALE_REQUIRE_WEB'):
            raise RuntimeError('no browser build in %s: run scripts/build-web' % WEB_DIR)
        raise unittest.SkipTest('no browser build in %s: run scripts/build-web' % WEB_DIR)


atlas = None


def glyphs():
    global atlas
    if atlas is None:
        atlas = Atlas()
    return atlas


class GamePage(unittest.TestCase):
    window = (1280, 1024)
    touch = False

    def setUp(self):
        self.page = WebPage(window=self.window, touch=self.touch)
        self.addCleanup(self.page.close)
        self.assertTrue(self.page.wait_for_frames(), 'the page never drew a frame')

    def last_picture(self):
        """Saves what the canvas last showed, for a look after a failure; says where."""
        shot = getattr(self.page, 'last_shot', None)
        if shot is None:
            return ''
        path = os.path.join(tempfile.gettempdir(), 'lumenvale-web-%s.png' % self.id())
        shot.image.save(path)
        return ' (the canvas last showed %s)' % path

    touched = None  # where a finger last left the cursor, over a caption perhaps

    def shows_group(self, shot, texts):
        def under_cursor(rect):
            return self.touched is not None and self.touched == centre(rect)
        return all(shot.button_fill(rect) and (
            under_cursor(rect) or glyphs().caption(shot, rect, text) > CAPTION_MATCH)
            for rect, text in texts)

    def wait_for_group(self, texts, what):
        shot = self.page.wait_for(lambda s: self.shows_group(s, texts))
        self.assertIsNotNone(shot, what + self.last_picture())
        return shot

    def menu_press(self, rect, touch=False):
        # A menu button acts once the menu has run 250 ms since its last action (or since the
        # return from a board): that is waited out. Held past a frame and let go well before
        # the next 250 ms repeat, even where an engine delivers the release late; the page
        # holds a tap for a frame, and a finger's touch arrives late, so a tap is enough.
        time.sleep(0.3)
        self.page.press(*centre(rect), hold=0 if touch else 0.1, touch=touch)
        self.page.wait_for_release()
        if touch:
            self.touched = centre(rect)  # the drawn cursor stays where the finger left
        else:
            self.page.move(*NOWHERE)  # out of the way of the captions

    def escape(self):
        time.sleep(0.5)  # Escape switches at most every 500 ms
        self.page.key()

    def until(self, act, test, what, attempts=5):
        """Acts until the canvas shows what `test` accepts. The game may rightly ignore an
        input (a press that fell between two frames on a busy page); it is made again once the
        page has drawn enough frames to show that it was not taken."""
        for _ in range(attempts):
            act()
            shot = self.page.settle(test)
            if shot is not None:
                return shot
        self.fail(what + self.last_picture())

    def open_board(self, touch=False, size=4):
        """Play, then the size: a stable, clearly read board."""
        self.wait_for_group(MAIN_TEXTS, 'the main buttons')
        self.until(lambda: self.menu_press(PLAY, touch),
                   lambda s: self.shows_group(s, SIZE_TEXTS), 'the size buttons after Играть')
        self.until(lambda: self.menu_press({4: SIZE4, 8: SIZE8}[size], touch),
                   lambda s: Board(s, size).clear(), 'a board after %dx%d' % (size, size))
        return self.stable_board(size=size)

    def stable_board(self, timeout=5, size=4):
        previous = []

        def settled(shot):
            board = Board(shot, size)
            ok = board.clear() and previous and previous[-1] == board
            previous.append(board)
            return ok
        if self.page.wait_for(settled, timeout) is None:
            # Only now: the picture of a failure is not to be overwritten by a later success.
            self.fail('a clearly read %dx%d board; last seen:\n%s' %
                      (size, size, previous[-1] if previous else 'nothing') + self.last_picture())
        return previous[-1]

    def flip(self, board, column, row, touch=False, page=None):
        """One short press on a block (retried when it falls between frames); the new board."""
        expected = board.flipped(column, row)
        # Short enough not to repeat after 100 ms; the page holds a tap for a frame. A finger
        # lifted at once may still reach a busy page 100 ms later, and then flips twice.
        for hold in (0,) * 10 if touch else (0.06, 0.07, 0.08):
            time.sleep(0.15)  # the board's 100 ms click delay runs out
            self.page.press(*board.block_centre(column, row), hold=hold, touch=touch, page=page)
            self.page.wait_for_release()
            seen = []
            changed = self.page.settle(
                lambda s: seen.append(Board(s, 4)) or (seen[-1].clear() and seen[-1] != board))
            if changed:
                now = self.stable_board()
                if all(lamp.isupper() for row in expected for lamp in row):
                    # That press lit the last lamps: a fresh board is dealt at once.
                    self.assertTrue(now.even_parity(), 'a fresh deal after the solve:\n%s' % now)
                    return now
                self.assertEqual(now.lamps, expected, 'exactly block (%d, %d) flipped; before:\n%s\n'
                                 'after:\n%s' % (column, row, board, now))
                return now
        self.fail('no flip of block (%d, %d) on a press' % (column, row))


class MenuTest(GamePage):
    def test_first_menu_about_box_and_size_group(self):
        shot = self.wait_for_group(MAIN_TEXTS, 'the first menu with Играть, Авторы, Выход')
        self.assertGreater(shot.lit_share(box_of(PLANET, 4)), 0.3, 'the planet')
        self.assertGreater(shot.lit_share(box_of(TITLE, 4)), 0.2, 'the title')
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
        first_frame = self.page.script('return Module.win32.firstFrameAt')
        print('first menu frame %.0f ms after navigation' % first_frame)

        self.until(lambda: self.menu_press(AUTHORS), lambda s: all(
            glyphs().about_line(s, i, text) > CAPTION_MATCH
            for i, text in zip(ABOUT_LINE_INDEX, ABOUT_LINES)), 'the about box after Авторы')
        self.until(lambda: self.menu_press(AUTHORS), lambda s: s.blank(ABOUT_BOX),
                   'the about box gone after a second Авторы')

        sizes = self.until(lambda: self.menu_press(PLAY), lambda s: self.shows_group(s, SIZE_TEXTS),
                           'the size group after Играть')
        self.assertFalse(glyphs().caption(sizes, AUTHORS, AUTHORS_TEXT) > CAPTION_MATCH)
        self.until(lambda: self.menu_press(BACK), lambda s: self.shows_group(s, MAIN_TEXTS),
                   'the main group after Назад')


class BoardTest(GamePage):
    def test_board_flip_escape_and_exit(self):
        board = self.open_board()
        self.assertTrue(board.even_parity(), 'every row and column an even number of dark '
                        'lamps:\n%s' % board)
        board = self.flip(board, 1, 1)
        board = self.flip(board, 0, 2)

        in_menu = lambda s: self.shows_group(s, SIZE_TEXTS)  # noqa: E731
        self.until(self.escape, in_menu, 'the menu after Escape on the board')
        self.until(self.escape, lambda s: Board(s, 4).clear(), 'the board after Escape')
        resumed = self.stable_board()
        self.assertEqual(resumed, board, 'the same board after Escape twice')

        self.until(self.escape, in_menu, 'the menu after Escape')
        self.until(lambda: self.menu_press(BACK), lambda s: self.shows_group(s, MAIN_TEXTS),
                   'the main group after Назад')
        frames = self.page.frames()
        self.until(lambda: self.menu_press(EXIT), lambda s: self.page.script(
            'return document.body.classList.contains("ended")'), 'the end after Выход')
        state = self.page.script('''
            const notice = document.getElementById("notice");
            return [document.body.classList.contains("ended"), notice.offsetHeight > 0,
                    notice.textContent, getComputedStyle(document.getElementById("canvas")).filter];''')
        self.assertTrue(state[0] and state[1], 'the end state after Выход: %s' % state)
        self.assertIn('brightness', state[3], 'the last frame dimmed')
        self.assertIn('Play again', state[2])
        ended_at = self.page.frames()
        self.assertGreater(ended_at, frames)
        time.sleep(0.3)
        self.assertEqual(self.page.frames(), ended_at, 'no frames after the game ended')


class ScaledWindowTest(GamePage):
    window = (1024, 768)

    def test_press_at_a_block_centre_in_page_pixels_flips_it(self):
        left, top, width, height = self.page.canvas_box()
        self.assertAlmostEqual(width / height, 1.25, places=2)
        self.assertLess(width, 1280)
        board = self.open_board()
        # The block's centre on the page, scaled by hand from its canvas pixel.
        x, y = board.block_centre(2, 1)
        page = (int(left + x * width / 1280), int(top + y * height / 1024))
        self.flip(board, 2, 1, page=page)

        # The page follows the window: the largest 5:4 box that fits, centred.
        self.page.driver.set_window_size(700, 900)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            box = self.page.canvas_box()
            inner = self.page.script('return [innerWidth, innerHeight]')
            fits = min(inner[0], inner[1] * 1.25)
            if abs(box[2] - fits) < 1 and abs(box[2] / box[3] - 1.25) < 0.01:
                break
            time.sleep(0.05)
        self.assertAlmostEqual(box[2], fits, delta=1, msg='canvas %s in window %s' % (box, inner))
        self.assertAlmostEqual(box[1] * 2 + box[3], inner[1], delta=1, msg='centred')


class TouchTest(GamePage):
    window = (1200, 800)
    touch = True

    def test_moves_by_touch_and_the_escape_control(self):
        control = self.page.script('''
            const c = document.getElementById("escape").getBoundingClientRect();
            const v = document.getElementById("canvas").getBoundingClientRect();
            return [c.left, c.top, c.width, c.height, v.left, v.top, v.right, v.bottom];''')
        cl, ct, cw, ch, vl, vt, vr, vb = control
        self.assertGreater(cw * ch, 0, 'the Escape control is shown on a touch screen')
        self.assertTrue(cl >= vr or cl + cw <= vl or ct >= vb or ct + ch <= vt,
                        'the Escape control lies outside the canvas: %s' % control)
        board = self.open_board(touch=True)
        board = self.flip(board, 0, 0, touch=True)
        board = self.flip(board, 2, 2, touch=True)

        time.sleep(0.5)
        tap = (int(cl + cw / 2), int(ct + ch / 2))

        def escape():
            time.sleep(0.5)  # Escape switches at most every 500 ms
            self.page.press(0, 0, hold=0.05, touch=True, page=tap)  # held on by the page
        self.until(escape, lambda s: self.shows_group(s, SIZE_TEXTS),
                   'the menu after the Escape control')
        self.until(escape, lambda s: Board(s, 4).clear(), 'the board after the Escape control')
        self.assertEqual(self.stable_board(), board, 'the same board back')


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
        self.assertTrue(self.page.wait_until('return Module.win32.frames > %d' % (frames + 10)),
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
        return self.page.wait_until('return JSON.stringify(Module.win32.buttonsHeld()) === "%s"'
                                    % json.dumps(buttons, separators=(',', ':')))

    def test_buttons_held_together_are_all_let_go(self):
        self.wait_for_group(MAIN_TEXTS, 'the first menu')
        at = self.page.page_point(*NOWHERE)
        # Left down, right down, left up, right up; each step as the page should then hold it.
        steps = [('mousePressed', 'left', 1, [0]), ('mousePressed', 'right', 3, [0, 2]),
                 ('mouseReleased', 'left', 2, [2]), ('mouseReleased', 'right', 0, [])]
        for kind, button, buttons, held in steps:
            self.page.mouse_event(kind, *at, button, buttons)
            self.assertTrue(self.held(held), 'after %s %s the page holds %s, not %s' % (
                kind, button, self.page.script('return Module.win32.buttonsHeld()'), held))
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
                [document.hidden, performance.now(), Module.win32.frames]));''')
        game = self.page.driver.current_window_handle
        self.page.driver.switch_to.new_window('tab')
        time.sleep(3)
        self.page.driver.switch_to.window(game)
        self.assertTrue(self.held([]), 'nothing held after the page was hidden')
        changes = self.page.script('return hidden')
        self.assertEqual([change[0] for change in changes[:2]], [True, False], changes)
        (_, hid, frames_then), (_, shown, frames_after) = changes[:2]
        self.assertGreater(shown - hid, 2000)
        self.assertLessEqual(frames_after - frames_then, 1, 'frames while hidden')
        self.assertTrue(self.page.wait_until('return Module.win32.frames > %d' % frames_after),
                        'drawn again once shown')


# In the page: the frames the game presents over 60 animation frames.
FRAMES_IN_60_ANIMATION_FRAMES = '''
    const done = arguments[0], first = Module.win32.frames;
    let count = 0;
    const step = () => ++count < 60 ? requestAnimationFrame(step) : done(Module.win32.frames - first);
    requestAnimationFrame(step);'''


class ClockTest(GamePage):
    def test_clock_frames_and_first_boards_of_five_loads(self):
        ticks, wall = self.page.script('return [Module.win32.tickCount(), Date.now()]')
        # Counted from the wall clock at load, wrapped as a 32-bit tick count is.
        self.assertLess(abs(ticks - wall % 2 ** 32), 1000, 'ticks %d at wall clock %d' % (ticks, wall))
        # No more frames than animation frames: none drawn that are never shown, even with a key
        # held, which keeps the game drawing; and none at all while it is still.
        self.page.hold_space(True)
        frames = self.page.script_async(FRAMES_IN_60_ANIMATION_FRAMES)
        self.page.hold_space(False)
        self.assertTrue(0 < frames <= 61, '%d frames in 60 animation frames' % frames)
        self.assertTrue(self.page.wait_until('return Module.win32.still'), 'still again')
        frames = self.page.script_async(FRAMES_IN_60_ANIMATION_FRAMES)
        self.assertEqual(frames, 0, 'frames of a still game')

        boards = []
        for load in range(5):
            if load:
                self.page.reload()
                self.assertTrue(self.page.wait_for_frames(), 'no frame after reload %d' % load)
            boards.append(str(self.open_board(size=8)))
        print('first 8x8 boards of five loads:\n' + '\n\n'.join(boards))
        self.assertEqual(len(set(boards)), 5, 'five loads, five first boards')


class PhoneTest(GamePage):
    window = (390, 844)
    touch = True

    def boxes(self):
        return self.page.script('''
            const box = (id) => { const b = document.getElementById(id).getBoundingClientRect();
                                  return [b.left, b.top, b.right, b.bottom]; };
            return [box("canvas"), box("turn"), box("full-screen"), box("escape")];''')

    def test_upright_phone_hint_and_full_screen(self):
        canvas, turn, full, escape = self.boxes()
        self.assertGreater(turn[3] - turn[1], 0, 'the hint to turn the phone is shown')
        self.assertLessEqual(turn[3], canvas[1], 'the hint lies above the canvas: %s' % turn)
        for control in (full, escape):
            self.assertGreaterEqual(control[1], canvas[3], 'controls below the canvas')
        self.assertTrue(full[2] <= escape[0] or escape[2] <= full[0], 'controls side by side')

        middle = (int((full[0] + full[2]) / 2), int((full[1] + full[3]) / 2))
        self.page.press(0, 0, hold=0.05, touch=True, page=middle)
        self.assertTrue(self.page.wait_until('return document.fullscreenElement !== null'),
                        'full screen after the control')
        self.page.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': 844, 'height': 390, 'deviceScaleFactor': 1, 'mobile': True})
        self.assertTrue(self.page.wait_until(
            'return document.getElementById("turn").offsetHeight === 0'),
            'no hint with the phone sideways')


class BrokenPageTest(unittest.TestCase):
    def notice(self, page, words):
        """The page's notice once it holds `words`, or what it holds after 10 s."""
        deadline = time.monotonic() + 10
        text = ''
        while time.monotonic() < deadline and words not in text:
            text = page.script('return document.getElementById("notice").offsetHeight > 0 ? '
                               'document.getElementById("notice-text").textContent : ""')
            time.sleep(0.05)
        return text

    def test_each_message_box_is_shown_once(self):
        page = WebPage()
        self.addCleanup(page.close)
        self.assertTrue(page.wait_for_frames())
        text = page.script('''
            for (const text of ["Weird State", "Weird State", "Other", "Weird State"])
                Module.win32.showMessage("Error", text);
            return document.getElementById("notice-text").innerText;''')
        self.assertEqual(text, 'Error: Weird State\nError: Other')

    def test_the_page_says_when_there_is_no_webgl(self):
        page = WebPage(arguments=['--disable-3d-apis'])
        self.addCleanup(page.close)
        self.assertIn('WebGL 2 is not available', self.notice(page, 'WebGL'))
        self.assertEqual(page.frames(), 0)

    def test_the_page_says_when_the_pictures_cannot_be_fetched(self):
        folder = tempfile.mkdtemp(prefix='lumenvale-web-')
        self.addCleanup(shutil.rmtree, folder, True)
        for name in os.listdir(WEB_DIR):
            if name != 'lumenvale.data':
                shutil.copy(os.path.join(WEB_DIR, name), folder)
        page = WebPage(folder=folder)
        self.addCleanup(page.close)
        self.assertIn('pictures could not be fetched', self.notice(page, 'pictures'))
        self.assertEqual(page.frames(), 0)


class DesktopComparisonTest(unittest.TestCase):
    def test_first_menu_matches_the_linux_build(self):
        program = os.environ.get('LUMENVALE_PROGRAM')
        if not program or not shutil.which('Xvfb'):
            self.skipTest('no Linux build or no Xvfb to compare with')
        desktop = desktop_menu_shot(program)
        self.assertIsNotNone(desktop, 'the Linux build showed no menu')
        page = WebPage()
        self.addCleanup(page.close)
        self.assertTrue(page.wait_for_frames(5))
        browser = page.shot()
        differ = worst = total = 0
        big = 0
        a, b = desktop.image.getdata(), browser.image.getdata()
        for p, q in zip(a, b):
            d = max(abs(p[0] - q[0]), abs(p[1] - q[1]), abs(p[2] - q[2]))
            if d:
                differ += 1
                total += d
                worst = max(worst, d)
                big += d > 16
        pixels = len(a)
        print('menu, browser against Linux: %d of %d pixels differ (%.3f%%), %d by more than 16 '
              'of 255, the largest difference %d, the mean over all pixels %.4f'
              % (differ, pixels, 100.0 * differ / pixels, big, worst, total / pixels))
        if big:
            browser.image.save(os.path.join(tempfile.gettempdir(), 'lumenvale-web-menu.png'))
            desktop.image.save(os.path.join(tempfile.gettempdir(), 'lumenvale-desktop-menu.png'))
        # Nothing a player could see: a few stray pixels at most off by more than a shade.
        self.assertLess(big, 0.001 * pixels)
        self.assertLess(total / pixels, 1.0)


if __name__ == '__main__':
    unittest.main(verbosity=2)
