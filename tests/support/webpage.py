"""Plays the browser build with real browser input, every press judged by press_and_judge, and
reads the game's screen back: the menu's widgets, a board's lamps, captions and lines of text
against the font atlas. The page is served with page-probe.js, which the release never carries,
so the tests see every picture. The menu's rectangles, glyph sizes and the reader's levels come
from the game through LUMENVALE_SCREEN_LAYOUT (the build's tests/screen_layout.json)."""
import base64
import functools
import io
import json
import math
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageStat
from Xlib import X, display as xdisplay
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.keys import Keys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'scripts', 'lib'))
import serve_web  # noqa: E402

WEB_DIR = os.environ.get('LUMENVALE_WEB_DIR', os.path.join(ROOT, 'dist', 'web'))
DATA_DIR = os.path.join(ROOT, 'data')
LAYOUT_PATH = os.environ.get('LUMENVALE_SCREEN_LAYOUT',
                             os.path.join(ROOT, 'build', 'test', 'tests', 'screen_layout.json'))
with open(LAYOUT_PATH) as layout_file:
    LAYOUT = json.load(layout_file)
WIDTH, HEIGHT = LAYOUT['frame']['width'], LAYOUT['frame']['height']
LEVELS, FILL = LAYOUT['levels'], LAYOUT['buttonFill']
# The menu's widgets in GL coordinates: left, bottom, right, top.
(PLAY, AUTHORS, EXIT, SIZE4, SIZE6, SIZE8, BACK, ABOUT_BOX, PLANET, TITLE) = (
    tuple(LAYOUT['rects'][name]) for name in ('Play', 'Authors', 'Exit', 'Size4', 'Size6',
                                              'Size8', 'Back', 'AboutBox', 'Planet', 'Title'))
NOWHERE = tuple(LAYOUT['nowhere'])  # a pixel where nothing but the cursor is ever drawn
# Windows-1251 captions, as the font maps them.
AUTHORS_TEXT = 'Авторы'.encode('cp1251')
MAIN_TEXTS = [(PLAY, 'Играть'.encode('cp1251')), (AUTHORS, AUTHORS_TEXT),
              (EXIT, 'Выход'.encode('cp1251'))]
SIZE_TEXTS = [(SIZE4, b'4x4'), (SIZE6, b'6x6'), (SIZE8, b'8x8'), (BACK, 'Назад'.encode('cp1251'))]
ABOUT_LINES = [(1, b'LUMENVALE'), (3, b'A game by the Lumenvale team'), (6, b'Thanks for playing')]
CAPTION_MATCH = 0.6  # a caption drawn from the atlas correlates far above this
CURSOR_REACH = 24    # pixels around the pointer that the drawn cursor may cover

# How every input is made and judged. A click and a key are held well short of the game's
# repeat periods (game/PuzzleGame.h: a held button acts again after 100 ms on a board and
# 250 ms on the menu, Escape after 500 ms); the page holds a click until a frame has seen it.
MOUSE_HOLD = 0.05
KEY_HOLD = 0.1
MENU_REPEAT, CLICK_REPEAT, ESCAPE_REPEAT = 0.25, 0.1, 0.5
ATTEMPTS = 3          # presses of one input the screen shows not taken
SETTLE_FRAMES = 3     # frames after the release, and after the last change, that show nothing new
TIMEOUT = 60          # seconds for anything the page is waited for, on the busiest machine


def pixel_x(gl_x):
    return (gl_x + 1.0) * WIDTH / 2


def pixel_y(gl_y):
    return (1.0 - gl_y) * HEIGHT / 2


def centre(rect):
    return (round(pixel_x((rect[0] + rect[2]) / 2)), round(pixel_y((rect[1] + rect[3]) / 2)))


def box_of(rect, inset=0):
    return (math.ceil(pixel_x(rect[0])) + inset, math.ceil(pixel_y(rect[3])) + inset,
            math.floor(pixel_x(rect[2])) - inset, math.floor(pixel_y(rect[1])) - inset)


def picture(data_url, bottom_up=False):
    """A Shot of a PNG picture given as a data: URL, its rows top-down unless `bottom_up`."""
    image = Image.open(io.BytesIO(base64.b64decode(data_url.split(',', 1)[1])))
    return Shot(image.transpose(Image.Transpose.FLIP_TOP_BOTTOM) if bottom_up else image)


def poll(test, timeout=TIMEOUT, every=0.05):
    """What `test` returns once it returns something true, or None after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        found = test()
        if found or time.monotonic() > deadline:
            return found or None
        time.sleep(every)


class Shot:
    """One picture of the game, 1280 x 1024, RGB."""

    def __init__(self, image):
        self.image = image.convert('RGB')
        self.pixels = self.image.load()

    def mean(self, box):
        return ImageStat.Stat(self.image.crop(box)).mean

    def lit_share(self, box, level=LEVELS['ink']):
        crop = self.image.crop(box)
        return sum(1 for p in crop.getdata() if max(p) > level) / max(1, crop.width * crop.height)

    def button_fill(self, rect):
        # The fill at both ends of the button: no red, green about four times blue.
        y, half = pixel_y((rect[1] + rect[3]) / 2), FILL['patch'] / 2
        for x in (pixel_x(rect[0]) + FILL['leftInset'], pixel_x(rect[2]) - FILL['rightInset']):
            crop = self.image.crop((round(x - half), round(y - half), round(x + half), round(y + half)))
            good = sum(1 for r, g, b in crop.getdata() if r <= FILL['maxRed'] and
                       FILL['minGreen'] <= g <= FILL['maxGreen'] and g >= FILL['greenOverBlue'] * b)
            if good < FILL['share'] * FILL['patch'] ** 2:
                return False
        return True

    def blank(self, rect):
        return self.lit_share(box_of(rect, 2)) < LEVELS['blankShare']

    def title(self):
        return self.lit_share(box_of(TITLE, 4)) > 0.2


class Atlas:
    """The glyph atlas Font.bmp: the ink of every cell, read the way the game maps bytes."""
    COLUMNS, ROWS, SPACE_CELL = 17, 14, 127

    def __init__(self, path=os.path.join(DATA_DIR, 'Font.bmp')):
        # The ink is in the alpha channel, which the imaging library drops from a BMP file: the
        # pixels are taken as they stand right after the two headers, rows bottom-up, as the
        # game reads them.
        with open(path, 'rb') as file:
            data = file.read()
        self.width, self.height = struct.unpack_from('<ii', data, 18)
        step = struct.unpack_from('<H', data, 28)[0] // 8
        mode, raw = ('RGBA', 'BGRA') if step == 4 else ('RGB', 'BGR')
        pixels = Image.frombuffer(mode, (self.width, self.height), data[54:], 'raw', raw,
                                  (self.width * step + 3) & ~3, -1).convert('RGBA')
        self.ink = [(r * 0.299 + g * 0.587 + b * 0.114) / 255.0 * (a / 255.0)
                    for r, g, b, a in pixels.getdata()]  # top row first

    def texel(self, x, y):
        x = min(max(x, 0), self.width - 1)
        y = min(max(y, 0), self.height - 1)
        return self.ink[y * self.width + x]

    def sample(self, byte, u, v):
        cell = self.SPACE_CELL if byte == 32 else (byte - 33) & 0xFF
        column, row = cell % self.COLUMNS, cell // self.COLUMNS
        ax = (column + u) / self.COLUMNS * self.width - 0.5
        ay = (row + 1 - v) / self.ROWS * self.height - 0.5
        x0, y0 = int(ax // 1), int(ay // 1)
        fx, fy = ax - x0, ay - y0
        t = self.texel
        return ((t(x0, y0) * (1 - fx) + t(x0 + 1, y0) * fx) * (1 - fy) +
                (t(x0, y0 + 1) * (1 - fx) + t(x0 + 1, y0 + 1) * fx) * fy)

    def match(self, shot, text, x, y, glyph, hidden=()):
        """Correlation (-1 ... 1) between the ink of text drawn from (x, y) and the screen,
        leaving out the pixels the drawn cursor may cover at the `hidden` points."""
        glyph_w, glyph_h = glyph
        left, top, right, bottom = box_of((x, y, x + glyph_w * len(text), y + glyph_h))
        pairs = []
        for py in range(top, bottom):
            for px in range(left, right):
                if any(abs(px - hx) < CURSOR_REACH and abs(py - hy) < CURSOR_REACH
                       for hx, hy in hidden):
                    continue
                gx, gy = (px + 0.5) / (WIDTH / 2) - 1.0, 1.0 - (py + 0.5) / (HEIGHT / 2)
                along = (gx - x) / glyph_w
                index = min(len(text) - 1, int(max(0.0, along)))
                pairs.append((self.sample(text[index], along - index, (gy - y) / glyph_h),
                              max(shot.pixels[px, py])))
        try:
            return statistics.correlation(*zip(*pairs))
        except (statistics.StatisticsError, TypeError):  # too few pixels, or no ink or no light
            return 0.0

    def caption(self, shot, rect, text, hidden=()):
        w, h = LAYOUT['glyphs']['button']
        return self.match(shot, text, (rect[0] + rect[2]) / 2 - w * len(text) / 2,
                          (rect[1] + rect[3]) / 2 - h / 2, (w, h), hidden)

    def about_line(self, shot, index, text):
        w, h = LAYOUT['glyphs']['about']
        top = (ABOUT_BOX[1] + ABOUT_BOX[3]) / 2 + LAYOUT['aboutLines'] * h / 2
        x = (ABOUT_BOX[0] + ABOUT_BOX[2]) / 2 - w * len(text) / 2
        return self.match(shot, text, x, top - index * h, (w, h))


@functools.lru_cache(maxsize=None)
def atlas():
    return Atlas()


def shows_group(shot, texts, hidden=()):
    """Whether the menu shows these buttons, filled and captioned."""
    return all(shot.button_fill(rect) and atlas().caption(shot, rect, text, hidden) > CAPTION_MATCH
               for rect, text in texts)


def shows_about(shot):
    return all(atlas().about_line(shot, i, text) > CAPTION_MATCH for i, text in ABOUT_LINES)


class Board:
    """A board read lamp by lamp: lit lamps show a bright bulb at their centre."""

    def __init__(self, shot, size):
        self.size = size
        self.lamps = [[self._read(shot, *self.lamp_centre(c, r)) for c in range(size)]
                      for r in range(size)]  # [row][column], row 0 at the bottom

    def _read(self, shot, x, y):
        side = max(4, int(WIDTH / 2 / self.size / 6))
        mean = shot.mean((round(x - side / 2), round(y - side / 2),
                          round(x + side / 2), round(y + side / 2)))
        level = max(mean)
        colour = 'rgb'[mean.index(level)] if mean.count(level) == 1 else '?'
        clear = level >= LEVELS['clearlyLit'] or level <= LEVELS['clearlyDark']
        return (colour.upper() if level >= LEVELS['lit'] else colour) if clear else '?'

    def lamp_centre(self, column, row):
        return (pixel_x((column + 0.5) / self.size - 0.5), pixel_y((row + 0.5) / self.size - 0.5))

    def block_centre(self, column, row):
        """The inner lamp corner of the block with lower-left lamp (column, row)."""
        return (round(pixel_x((column + 1) / self.size - 0.5)),
                round(pixel_y((row + 1) / self.size - 0.5)))

    def clear(self):
        return all('?' not in row for row in self.lamps)

    def even_parity(self):
        dark = [[not lamp.isupper() for lamp in row] for row in self.lamps]
        return all(sum(line) % 2 == 0 for line in dark + list(zip(*dark)))  # rows, then columns

    def flipped(self, column, row):
        """The lamps as they should read after flipping the block at (column, row)."""
        lamps = [list(r) for r in self.lamps]
        for r in (row, row + 1):
            for c in (column, column + 1):
                lamps[r][c] = lamps[r][c].swapcase()
        return lamps

    def __eq__(self, other):
        return isinstance(other, Board) and self.lamps == other.lamps

    def __str__(self):
        return '\n'.join(''.join(row) for row in reversed(self.lamps))


def settled_after(state, released, *since):
    """Whether a press the probe's `state` tells of is over: released, nothing held, and a few
    frames drawn since the input and since `since`; or the game has gone still, which it does
    only once it has taken every input and drawn what it makes of it."""
    if not released or state['held'] != 0:
        return False
    return state['still'] or state['frames'] >= SETTLE_FRAMES + max(state['inputFrame'], *since)


def save_pictures(name, shots, page=None):
    """Saves pictures for a look after a failure; says where, and what the page's probe saw."""
    paths = []
    for index, shot in enumerate(shots):
        paths.append(os.path.join(tempfile.gettempdir(), 'lumenvale-%s-%d.png' % (name, index)))
        shot.image.save(paths[-1])
    return ', '.join(paths) + ('\n' + page.story if getattr(page, 'story', '') else '')


def press_and_judge(page, act, before, after, what, repeat):
    """Makes an input with act() and judges it by every picture the game showed from then on,
    until the page has let go and drawn a few frames more. The press was taken once when
    `after` accepts a picture and every picture after it: that last picture is returned. It
    was not taken at all when `before` accepts them all: then it is made again, once the
    game's repeat period `repeat` has passed since the last change. Anything else fails: a
    picture that is neither, or `after` shown and left again, a press taken twice. Only where
    the browser itself held the input past the repeat period (its release sent late by a
    driver on a busy machine) is the last picture judged alone, as a player's long press is."""
    def fail(how):
        raise AssertionError('%s: %s (%s)' % (what, how, save_pictures('press', seen, page)))
    for _ in range(ATTEMPTS):
        page.wait_out(repeat)
        page.watch()
        act()
        seen = page.watched()
        page.last_shot = seen[-1]
        states = ['after' if after(s) else 'before' if before(s) else 'neither' for s in seen]
        held_long = page.delivered_hold >= repeat
        if held_long and len(set(states)) > 1:
            print('%s: the browser held the input %.0f ms, past the game\'s repeat; the screen '
                  'showed %s' % (what, page.delivered_hold * 1000, ', '.join(states)))
            states = states[-1:]
        if 'after' in states:
            if set(states[states.index('after'):]) != {'after'}:
                fail('taken more than once, the screen showed ' + ', '.join(states))
            page.changed_at = time.monotonic()
            return seen[-1]
        if set(states) != {'before'}:
            fail('the screen showed ' + ', '.join(states))
    fail('not taken in %d presses' % ATTEMPTS)


class ProbedPage(serve_web.Handler):
    """Serves the page with the tests' probe before page.js."""
    PAGE_JS = b'<script src="page.js">'
    PROBED = b'<script src="page-probe.js"></script>\n' + PAGE_JS

    def translate_path(self, path):
        if path.split('?')[0] == '/page-probe.js':
            return os.path.join(HERE, 'page-probe.js')
        return super().translate_path(path)

    def do_GET(self):
        if self.path.split('?')[0] not in ('/', '/index.html'):
            return super().do_GET()
        with open(os.path.join(self.directory, 'index.html'), 'rb') as file:
            page = file.read().replace(self.PAGE_JS, self.PROBED)
        self.send_response(200)
        self.send_header('Content-Type', 'text/html')
        self.send_header('Content-Length', str(len(page)))
        self.end_headers()
        self.wfile.write(page)


class WebPage:
    """The game's page in a fresh headless Chromium, served from a folder on the loopback,
    with the probe unless `probe` is false (the page as players get it)."""

    def __init__(self, folder=WEB_DIR, window=(1280, 1024), touch=False, arguments=(), probe=True):
        self.server = serve_web.serve(folder, handler=ProbedPage if probe else serve_web.Handler)
        self.profile = tempfile.mkdtemp(prefix='lumenvale-chromium-')
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                         '--enable-unsafe-swiftshader', '--window-size=%d,%d' % window,
                         '--disable-background-networking', '--disable-component-update',
                         '--disable-sync', '--no-first-run', '--disable-dev-shm-usage',
                         '--user-data-dir=' + self.profile, *arguments]:
            options.add_argument(argument)
        if touch:
            # A phone-like page: touch points, no hover, the Escape control shown.
            options.add_experimental_option('mobileEmulation', {
                'deviceMetrics': {'width': window[0], 'height': window[1], 'pixelRatio': 1,
                                  'touch': True}})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.open()

    def open(self):
        # Reading the canvas back waits for the frames queued before it: seconds on a busy
        # machine with a software renderer.
        self.driver.set_script_timeout(TIMEOUT * 2)
        self.pointer = (WIDTH // 2, HEIGHT // 2)  # where the page starts the drawn cursor
        self.driver.get('http://127.0.0.1:%d/index.html' % self.server.server_address[1])

    def quit(self):
        self.driver.quit()

    def close(self):
        try:
            self.quit()
        finally:
            self.server.shutdown()
            self.server.server_close()
            shutil.rmtree(self.profile, ignore_errors=True)

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def wait_until(self, code, timeout=10):
        return poll(lambda: self.script(code), timeout) is not None

    def frames(self):
        return self.script('return typeof Probe === "undefined" ? 0 : Probe.frames')

    def wait_for_frames(self, count=3, timeout=TIMEOUT):
        """Whether the page drew `count` frames, or fewer and then went still."""
        shown = self.wait_until('return Probe.frames >= %d || (Probe.frames > 0 && Probe.still)'
                                % count, timeout)
        self.changed_at = time.monotonic()
        return shown

    def shot(self):
        return picture(self.script('return document.getElementById("canvas").toDataURL()'))

    def wait_for(self, test, timeout=5):
        """The first canvas picture that `test` accepts, or None after `timeout` seconds."""
        def look():
            self.last_shot = self.shot()
            return self.last_shot if test(self.last_shot) else None
        return poll(look, timeout)

    def wait_out(self, repeat):
        time.sleep(max(0.0, self.changed_at + repeat - time.monotonic()))

    def watch(self):
        self.ups = self.script('Probe.watch(); return Probe.state().ups')

    def watched(self):
        """Every picture from watch() on, once the input is let go and the screen settled."""
        def settled():
            s = self.script('return Probe.state()')
            return settled_after(s, s['ups'] > self.ups, s['watchFrame'], s['changeFrame'])
        if poll(settled) is None:
            raise AssertionError('the page never let go of the input: %s'
                                 % self.script('return Probe.state()'))
        self.story = self.script('return Probe.story()')
        self.delivered_hold = self.script('return Probe.state().longest') / 1000
        return [picture(url, bottom_up=True) for url in self.script('return Probe.take()')]

    def hidden(self):
        """Where the drawn cursor may cover a caption: where it is, and where it was."""
        return [self.pointer, getattr(self, 'was', self.pointer)]

    def hold_space(self, down):
        """Space down or up through Chromium's own input: a key the game ignores, held to keep
        it drawing every frame (a still game draws none)."""
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {
            'type': 'keyDown' if down else 'keyUp', 'code': 'Space', 'key': ' ',
            'windowsVirtualKeyCode': 32})

    def boxes(self, *ids):
        """Left, top, right and bottom of the elements of these ids, in page pixels."""
        return self.script('return arguments[0].map((id) => document.getElementById(id))'
                           '.map((e) => e.getBoundingClientRect())'
                           '.map((b) => [b.left, b.top, b.right, b.bottom])', ids)

    def canvas_box(self):
        return self.script('const b = document.getElementById("canvas").getBoundingClientRect();'
                           'return [b.left, b.top, b.width, b.height];')

    def page_point(self, x, y):
        """The page (CSS) pixel over canvas pixel (x, y), at the canvas's current scale."""
        left, top, width, height = self.canvas_box()
        return (int(left + (x + 0.5) * width / WIDTH), int(top + (y + 0.5) * height / HEIGHT))

    def mouse_event(self, kind, x, y, button='none', buttons=0):
        """One mouse event through Chromium's own input, at page pixel (x, y): `kind` is
        mouseMoved, mousePressed or mouseReleased, `buttons` the bits of the buttons held after
        it, as a system reports them (WebDriver's actions get the bits wrong in a chord)."""
        self.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
            'type': kind, 'x': x, 'y': y, 'button': button, 'buttons': buttons,
            'clickCount': 0 if kind == 'mouseMoved' else 1})

    def touch(self, page, hold=0.0):
        """A finger at page pixel `page` through Chromium's own touch input, which keeps to
        the hold asked for; the page holds a tap until a frame has seen it."""
        self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': 'touchStart', 'touchPoints': [{'x': page[0], 'y': page[1]}]})
        time.sleep(hold)
        self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
            'type': 'touchEnd', 'touchPoints': []})

    def move(self, x, y):
        """The pointer to canvas pixel (x, y), once the page has drawn the cursor there."""
        self.was, self.pointer = self.pointer, (x, y)
        builder = ActionBuilder(self.driver, mouse=PointerInput(interaction.POINTER_MOUSE, 'mouse'))
        builder.pointer_action.move_to_location(*self.page_point(x, y))
        builder.perform()
        # A still game, one waiting for input with none pending, draws no more frames.
        self.wait_until('return Probe.frames >= %d || Probe.still' % (self.frames() + SETTLE_FRAMES),
                        TIMEOUT)

    def click(self, hold=MOUSE_HOLD):
        ActionChains(self.driver).click_and_hold().pause(hold).release().perform()

    def key(self, key=Keys.ESCAPE, hold=KEY_HOLD):
        ActionChains(self.driver).key_down(key).pause(hold).key_up(key).perform()

    def press(self, at, before, after, what, repeat=MENU_REPEAT, touch=False):
        """A press at canvas pixel `at` by mouse or finger, judged by press_and_judge."""
        if touch:
            self.was, self.pointer = self.pointer, at
            page = self.page_point(*at)
            return press_and_judge(self, lambda: self.touch(page), before, after, what, repeat)
        self.move(*at)
        return press_and_judge(self, self.click, before, after, what, repeat)


class VirtualDisplay:
    """A fresh Xvfb screen of 1280 x 1024, for browsers and programs that need a real display,
    and a connection to it that reads the screen."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-screen', '0',
                                      '%dx%dx24' % (WIDTH, HEIGHT), '-nolisten', 'tcp'],
                                     pass_fds=[write_end], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ':' + numbers.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.x = xdisplay.Display(self.name)
        self.root = self.x.screen().root

    def shot(self):
        data = self.root.get_image(0, 0, WIDTH, HEIGHT, X.ZPixmap, 0xFFFFFFFF).data
        return Shot(Image.frombytes('RGB', (WIDTH, HEIGHT), data, 'raw', 'BGRX'))

    def close(self):
        self.x.close()
        self.xvfb.kill()
        self.xvfb.wait()


def desktop_menu_shot(program):
    """The Linux build's first menu on a fresh virtual display, as the screen shows it, once
    the title is drawn and two pictures in a row agree; the pointer stays at the centre."""
    display = VirtualDisplay()
    game = None
    try:
        env = dict(display.env, SDL_VIDEODRIVER='x11', LUMENVALE_NO_MESSAGE_BOX='1')
        game = subprocess.Popen([program], cwd=DATA_DIR, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shots = [display.shot()]

        def steady():
            shots.append(display.shot())
            before, now = shots[-2:]
            return now if now.title() and before.image.tobytes() == now.image.tobytes() else None
        return poll(steady)
    finally:
        if game is not None:
            game.kill()
            game.wait()
        display.close()
