"""Plays the browser build in Debian's Chromium through chromium-driver, with real WebDriver
pointer, touch and key input, and reads the game's screen back from its canvas: where the
menu's widgets lie, which lamps of a board are lit, and whether a caption or a line of text
follows the ink of the font atlas.
"""
import base64
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import interaction
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.keys import Keys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
sys.path.insert(0, os.path.join(ROOT, 'scripts', 'lib'))
import serve_web  # noqa: E402

WEB_DIR = os.environ.get('LUMENVALE_WEB_DIR', os.path.join(ROOT, 'dist', 'web'))
DATA_DIR = os.path.join(ROOT, 'data')
WIDTH, HEIGHT = 1280, 1024
SCRIPT_TIMEOUT = 120  # seconds


def pixel_x(gl_x):
    return (gl_x + 1.0) * 640.0


def pixel_y(gl_y):
    return (1.0 - gl_y) * 512.0


# The menu's widgets in GL coordinates: left, bottom, right, top.
PLAY = (0.425, -0.5, 0.8, -0.41)
AUTHORS = (0.4, -0.6, 0.7, -0.51)
EXIT = (0.425, -0.7, 0.8, -0.61)
SIZE4 = (0.4, -0.6, 0.7, -0.51)
SIZE6 = (0.4, -0.7, 0.7, -0.61)
SIZE8 = (0.4, -0.8, 0.7, -0.71)
BACK = PLAY
ABOUT_BOX = (0.3, -0.3, 0.9, 0.2)
PLANET = (-0.75, -0.5, 0.0, 0.25)
TITLE = (-0.8, 0.6, 0.8, 0.8)
# Windows-1251 captions, as the font maps them.
PLAY_TEXT = 'Играть'.encode('cp1251')
AUTHORS_TEXT = 'Авторы'.encode('cp1251')
EXIT_TEXT = 'Выход'.encode('cp1251')
BACK_TEXT = 'Назад'.encode('cp1251')
ABOUT_LINES = [b'LUMENVALE', b'A game by the Lumenvale team', b'Thanks for playing']
ABOUT_LINE_INDEX = [1, 3, 6]
NOWHERE = (1260, 300)  # a pixel where nothing but the cursor is ever drawn


def centre(rect):
    return (round(pixel_x((rect[0] + rect[2]) / 2)), round(pixel_y((rect[1] + rect[3]) / 2)))


def box_of(rect, inset=0):
    import math
    return (math.ceil(pixel_x(rect[0])) + inset, math.ceil(pixel_y(rect[3])) + inset,
            math.floor(pixel_x(rect[2])) - inset, math.floor(pixel_y(rect[1])) - inset)


class Shot:
    """One canvas picture, 1280 x 1024, RGB."""

    def __init__(self, image):
        self.image = image.convert('RGB')
        self.pixels = self.image.load()

    def mean(self, box):
        left, top, right, bottom = box
        crop = self.image.crop((left, top, right, bottom))
        count = max(1, crop.width * crop.height)
        sums = [sum(band.getdata()) for band in crop.split()]
        return [s / count for s in sums]

    def lit_share(self, box, level=3):
        crop = self.image.crop(box)
        lit = sum(1 for p in crop.getdata() if max(p) > level)
        return lit / max(1, crop.width * crop.height)

    def button_fill(self, rect):
        # Fill (0, 0.85, 0.2) at alpha 0.25 or 0.55 over black: no red, green about 4 x blue.
        y = pixel_y((rect[1] + rect[3]) / 2)
        ends = [(pixel_x(rect[0]) + 9, y), (pixel_x(rect[2]) - 16, y)]
        for x, cy in ends:
            crop = self.image.crop((round(x - 4), round(cy - 4), round(x + 4), round(cy + 4)))
            good = sum(1 for r, g, b in crop.getdata() if r <= 12 and 35 <= g <= 150 and g >= 3 * b)
            if good < 0.9 * 64:
                return False
        return True

    def blank(self, rect):
        return self.lit_share(box_of(rect, 2)) < 0.002


class Atlas:
    """The glyph atlas Font.bmp: the ink of every cell, read the way the game maps bytes."""
    COLUMNS, ROWS, SPACE_CELL = 17, 14, 127

    def __init__(self, path=os.path.join(DATA_DIR, 'Font.bmp')):
        # Read by hand: the ink is in the alpha channel, which the imaging library drops. The
        # pixels start right after the two headers, rows bottom-up, as the game reads them.
        with open(path, 'rb') as file:
            data = file.read()
        self.width, self.height = struct.unpack_from('<ii', data, 18)
        step = struct.unpack_from('<H', data, 28)[0] // 8
        stride = (self.width * step + 3) & ~3
        self.ink = []
        for y in range(self.height):  # top row first
            row = 54 + stride * (self.height - 1 - y)
            for x in range(self.width):
                b, g, r = data[row + x * step:row + x * step + 3]
                alpha = data[row + x * step + 3] / 255.0 if step == 4 else 1.0
                self.ink.append((r * 0.299 + g * 0.587 + b * 0.114) / 255.0 * alpha)

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

    def match(self, shot, text, x, y, glyph_w, glyph_h):
        """Correlation (-1 ... 1) between the ink of text drawn from (x, y) and the screen."""
        import math
        left, top, right, bottom = box_of((x, y, x + glyph_w * len(text), y + glyph_h))
        pairs = []
        for py in range(top, bottom):
            for px in range(left, right):
                gx, gy = (px + 0.5) / 640.0 - 1.0, 1.0 - (py + 0.5) / 512.0
                along = (gx - x) / glyph_w
                index = min(len(text) - 1, int(max(0.0, along)))
                pairs.append((self.sample(text[index], along - index, (gy - y) / glyph_h),
                              max(shot.pixels[px, py])))
        n = len(pairs)
        if n < 2:
            return 0.0
        si = sum(p[0] for p in pairs)
        ss = sum(p[1] for p in pairs)
        cov = sum(p[0] * p[1] for p in pairs) - si * ss / n
        vi = sum(p[0] * p[0] for p in pairs) - si * si / n
        vs = sum(p[1] * p[1] for p in pairs) - ss * ss / n
        return cov / math.sqrt(vi * vs) if vi > 0 and vs > 0 else 0.0

    def caption(self, shot, rect, text):
        w, h = 0.035, 0.05
        x = (rect[0] + rect[2]) / 2 - w * len(text) / 2
        y = (rect[1] + rect[3]) / 2 - h / 2
        return self.match(shot, text, x, y, w, h)

    def about_line(self, shot, index, text):
        w, h = 0.02, 0.04
        top = (ABOUT_BOX[1] + ABOUT_BOX[3]) / 2 + 7 * h / 2
        x = (ABOUT_BOX[0] + ABOUT_BOX[2]) / 2 - w * len(text) / 2
        return self.match(shot, text, x, top - index * h, w, h)


class Board:
    """A board read lamp by lamp: lit lamps show a bright bulb at their centre."""
    LIT, CLEARLY_LIT, CLEARLY_DARK = 165, 195, 135

    def __init__(self, shot, size):
        self.size = size
        self.lamps = [[self._read(shot, *self.lamp_centre(c, r)) for c in range(size)]
                      for r in range(size)]  # [row][column], row 0 at the bottom

    def _read(self, shot, x, y):
        side = max(4, int(640 / self.size / 6))
        mean = shot.mean((round(x - side / 2), round(y - side / 2),
                          round(x + side / 2), round(y + side / 2)))
        level = max(mean)
        colour = 'rgb'[mean.index(level)] if mean.count(level) == 1 else '?'
        clear = level >= self.CLEARLY_LIT or level <= self.CLEARLY_DARK
        return (colour.upper() if level >= self.LIT else colour) if clear else '?'

    def lamp_centre(self, column, row):
        return (pixel_x((column + 0.5) / self.size - 0.5), pixel_y((row + 0.5) / self.size - 0.5))

    def block_centre(self, column, row):
        """The inner lamp corner of the block with lower-left lamp (column, row)."""
        return (round(pixel_x((column + 1) / self.size - 0.5)),
                round(pixel_y((row + 1) / self.size - 0.5)))

    def clear(self):
        return all('?' not in row for row in self.lamps)

    def lit(self, column, row):
        return self.lamps[row][column].isupper()

    def even_parity(self):
        rows = [sum(not self.lit(c, r) for c in range(self.size)) for r in range(self.size)]
        columns = [sum(not self.lit(c, r) for r in range(self.size)) for c in range(self.size)]
        return all(n % 2 == 0 for n in rows + columns)

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


class WebPage:
    """The game's page in a fresh headless Chromium, served from a folder on the loopback."""

    def __init__(self, folder=WEB_DIR, window=(1280, 1024), touch=False, arguments=()):
        self.server = serve_web.serve(folder)
        self.profile = tempfile.mkdtemp(prefix='lumenvale-chromium-')
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for argument in ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                         '--enable-unsafe-swiftshader', '--window-size=%d,%d' % window,
                         '--disable-background-networking', '--disable-component-update',
                         '--disable-sync', '--no-first-run', '--disable-dev-shm-usage',
                         '--user-data-dir=' + self.profile,
                         *arguments]:
            options.add_argument(argument)
        if touch:
            # A phone-like page: touch points, no hover, the Escape control shown.
            options.add_experimental_option('mobileEmulation', {
                'deviceMetrics': {'width': window[0], 'height': window[1], 'pixelRatio': 1,
                                  'touch': True}})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        # Reading the canvas back waits for the frames queued before it: seconds on a busy
        # machine with a software renderer.
        self.driver.set_script_timeout(SCRIPT_TIMEOUT)
        self.url = 'http://127.0.0.1:%d/index.html' % self.server.server_address[1]
        self.started = time.monotonic()
        self.driver.get(self.url)

    def close(self):
        try:
            self.driver.quit()
        finally:
            self.server.shutdown()
            self.server.server_close()
            shutil.rmtree(self.profile, ignore_errors=True)

    def script(self, code, *args):
        return self.driver.execute_script(code, *args)

    def script_async(self, code, *args):
        return self.driver.execute_async_script(code, *args)

    def wait_until(self, code, timeout=10):
        """Whether the page's script `code` returns true within `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while not self.script(code):
            if time.monotonic() > deadline:
                return False
            time.sleep(0.05)
        return True

    def reload(self):
        """A fresh load of the page in the same browser."""
        self.driver.get(self.url)

    def frames(self):
        return self.script('return Module.win32 ? Module.win32.frames : 0') or 0

    def still(self):
        """Whether the game waits for input with none pending: a still game draws no frames."""
        return bool(self.script('return Module.win32 ? Module.win32.still : false'))

    def wait_for_frames(self, count=3, timeout=20):
        """Whether the page drew `count` frames, or fewer and then went still."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            frames = self.frames()
            if frames >= count or (frames > 0 and self.still()):
                return True
            time.sleep(0.05)
        return False

    def hold_space(self, down):
        """Space down or up through Chromium's own input: a key the game ignores, held to keep
        it drawing every frame (a still game draws none)."""
        self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {
            'type': 'keyDown' if down else 'keyUp', 'code': 'Space', 'key': ' ',
            'windowsVirtualKeyCode': 32})

    def shot(self):
        data = self.script('return document.getElementById("canvas").toDataURL("image/png")')
        return Shot(Image.open(io.BytesIO(base64.b64decode(data.split(',', 1)[1]))))

    def wait_for(self, test, timeout=5):
        """The first canvas picture that `test` accepts, or None after `timeout` seconds."""
        deadline = time.monotonic() + timeout
        while True:
            shot = self.last_shot = self.shot()
            if test(shot):
                return shot
            if time.monotonic() > deadline:
                return None
            time.sleep(0.05)

    def settle(self, test, frames=4, timeout=60):
        """After an input: the first canvas picture that `test` accepts, or None once the page
        has shown `frames` more frames without one, or has gone still. By then the game has
        taken the input and drawn what it does, however busy the machine: only then is it safe
        to try again."""
        goal = self.frames() + frames
        deadline = time.monotonic() + timeout
        while True:
            decisive = self.frames() >= goal or self.still()
            shot = self.last_shot = self.shot()
            if test(shot):
                return shot
            if decisive or time.monotonic() > deadline:
                return None
            time.sleep(0.1)  # each read costs the page a frame's work

    def canvas_box(self):
        return self.script('const b = document.getElementById("canvas").getBoundingClientRect();'
                           'return [b.left, b.top, b.width, b.height];')

    def page_point(self, x, y):
        """The page (CSS) pixel over canvas pixel (x, y), at the canvas's current scale."""
        left, top, width, height = self.canvas_box()
        return (int(left + (x + 0.5) * width / WIDTH), int(top + (y + 0.5) * height / HEIGHT))

    def _pointer(self, kind):
        builder = ActionBuilder(self.driver, mouse=PointerInput(kind, kind + '-pointer'))
        return builder, builder.pointer_action

    def mouse_event(self, kind, x, y, button='none', buttons=0):
        """One mouse event through Chromium's own input, at page pixel (x, y): `kind` is
        mouseMoved, mousePressed or mouseReleased, `buttons` the bits of the buttons held after
        it, as a system reports them (WebDriver's actions get the bits wrong in a chord)."""
        self.driver.execute_cdp_cmd('Input.dispatchMouseEvent', {
            'type': kind, 'x': x, 'y': y, 'button': button, 'buttons': buttons,
            'clickCount': 0 if kind == 'mouseMoved' else 1})

    def press(self, x, y, hold=0.2, touch=False, page=None):
        """Moves to canvas pixel (x, y) (or page pixel `page`), holds the button, releases."""
        px, py = page or self.page_point(x, y)
        if touch:
            # A finger through Chromium's own touch input, which keeps to the hold asked for
            # (WebDriver's touch actions hold for a quarter of a second at least).
            self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
                'type': 'touchStart', 'touchPoints': [{'x': px, 'y': py}]})
            time.sleep(hold)
            self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
                'type': 'touchEnd', 'touchPoints': []})
            return
        builder, pointer = self._pointer(interaction.POINTER_MOUSE)
        pointer.move_to_location(px, py)
        pointer.pause(0.05)
        pointer.pointer_down()
        pointer.pause(hold)
        pointer.pointer_up()
        builder.perform()

    def wait_for_release(self, timeout=3):
        """Waits until the page has let go of the left button: a finger lifted at once still
        reaches a busy page up to a few hundred milliseconds later."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and self.script('return Module.win32.buttonHeld()'):
            time.sleep(0.02)
        time.sleep(0.05)  # the game takes the release before its next frame

    def move(self, x, y):
        builder, pointer = self._pointer(interaction.POINTER_MOUSE)
        pointer.move_to_location(*self.page_point(x, y))
        builder.perform()

    def key(self, key=Keys.ESCAPE, hold=0.2):
        ActionChains(self.driver).key_down(key).pause(hold).key_up(key).perform()


class VirtualDisplay:
    """A fresh Xvfb screen of 1280 x 1024, for browsers and programs that need a real display."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-screen', '0',
                                      '1280x1024x24', '-nolisten', 'tcp'], pass_fds=[write_end],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            self.name = ':' + numbers.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.name)

    def shot(self):
        """The whole screen, or None when it could not be read. Read from xwd's dump as it
        is (32 bits a pixel, least significant byte first), which is far quicker on a busy
        machine than a conversion."""
        dump = subprocess.run(['timeout', '-s', 'KILL', '20', 'xwd', '-root', '-silent',
                               '-display', self.name], capture_output=True).stdout
        if len(dump) < 100:
            return None
        fields = struct.unpack_from('>25I', dump)
        header, width, height, order, bits, stride, colours = (fields[0], fields[4], fields[5],
                                                               fields[7], fields[11], fields[12],
                                                               fields[19])
        start = header + 12 * colours
        if bits != 32 or order != 0 or len(dump) < start + stride * height:
            return None
        return Shot(Image.frombuffer('RGB', (width, height), dump[start:start + stride * height],
                                     'raw', 'BGRX', stride, 1))

    def close(self):
        self.xvfb.kill()
        self.xvfb.wait()


def desktop_menu_shot(program, timeout=30):
    """The Linux build's first menu on a fresh virtual display, as the screen shows it; the
    pointer stays where the display puts it, the centre."""
    display = VirtualDisplay()
    game = None
    try:
        env = dict(display.env, SDL_VIDEODRIVER='x11', LUMENVALE_NO_MESSAGE_BOX='1')
        game = subprocess.Popen([program], cwd=DATA_DIR, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + timeout
        previous = None
        while time.monotonic() < deadline:
            time.sleep(0.3)
            shot = display.shot()
            if shot is None:
                continue
            # The menu is up once the title is drawn and two pictures in a row agree.
            if shot.lit_share(box_of(TITLE, 4)) > 0.2:
                if previous is not None and list(previous.image.getdata()) == list(shot.image.getdata()):
                    return shot
                previous = shot
        return None
    finally:
        if game is not None:
            game.kill()
            game.wait()
        display.close()
