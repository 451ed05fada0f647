#!/usr/bin/python3
"""The browser build in the other engines players use: WebKitGTK through WebKitWebDriver, and
Firefox ESR on a virtual display through real X input, judged by screenshots (Debian has no
driver for it). Each plays one short scenario: the menu, a board, a press that flips a block,
and Escape back to the menu."""
import glob
import os
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

sys.dont_write_bytecode = True  # nothing written into the source tree

from selenium import webdriver  # noqa: E402
from selenium.webdriver.webkitgtk.options import Options as WebKitOptions  # noqa: E402

from web_test import GamePage, setUpModule  # noqa: F401,E402
from webpage import (HEIGHT, MOUSE_HOLD, KEY_HOLD, TIMEOUT, WEB_DIR, WIDTH,  # noqa: E402
                     ProbedPage, VirtualDisplay, WebPage, poll, serve_web, settled_after)

# WebKitGTK's own small browser, in its library's folder (named after the architecture).
MINIBROWSER = (glob.glob('/usr/lib/*/webkit2gtk-4.1/MiniBrowser') + [''])[0]
# Firefox's settings for a fresh profile: no first-run notices or bars over the page.
FIREFOX_PREFS = '''user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.dataSubmissionPolicyBypassNotification", true);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
'''


class DisplayedPage(WebPage):
    """The page with the probe, for a browser on a virtual display of its own with a fresh
    profile; the browser itself is started by each engine's page."""

    def __init__(self, engine, folder):
        self.server = serve_web.serve(folder, handler=ProbedPage)
        self.display = VirtualDisplay()
        self.profile = tempfile.mkdtemp(prefix='lumenvale-%s-' % engine)

    def close(self):
        try:
            super().close()
        finally:
            self.display.close()


class WebKitPage(DisplayedPage):
    def __init__(self, folder=WEB_DIR):
        super().__init__('webkit', folder)
        options = WebKitOptions()
        options.binary_location = MINIBROWSER
        options.add_argument('--automation')
        # The driver starts the browser with its own environment: the display's, and the
        # fresh profile for whatever the browser keeps.
        os.environ['DISPLAY'] = self.display.name
        for kept in ('XDG_CONFIG_HOME', 'XDG_CACHE_HOME', 'XDG_DATA_HOME'):
            os.environ[kept] = self.profile
        with warnings.catch_warnings():
            # The old-style arguments are the only ones this driver's Selenium class takes.
            warnings.simplefilter('ignore', DeprecationWarning)
            self.driver = webdriver.WebKitGTK(executable_path='/usr/bin/WebKitWebDriver',
                                              options=options, service_log_path=os.devnull)
        self.driver.set_window_size(WIDTH, HEIGHT)
        self.open()


class FirefoxPage(DisplayedPage):
    """The page in Firefox ESR's kiosk mode over a whole virtual screen, driven by real X input
    and read from screenshots: a canvas pixel is a screen pixel. The probe's counters come in
    the window's title, so a press is watched until the page has let go and drawn a few frames
    more, as in Chromium; the pictures are the screenshots taken meanwhile."""

    def __init__(self, folder=WEB_DIR):
        super().__init__('firefox', folder)
        with open(os.path.join(self.profile, 'user.js'), 'w') as prefs:
            prefs.write(FIREFOX_PREFS)
        url = 'http://127.0.0.1:%d/index.html?probe-title' % self.server.server_address[1]
        self.browser = subprocess.Popen(
            ['firefox-esr', '--no-remote', '--profile', self.profile, '--kiosk', url],
            env=self.display.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # With no window manager the window opens smaller than the screen.
        self.window = self.xdotool('search', '--sync', '--onlyvisible', '--pid',
                                   str(self.browser.pid)).split()[0]
        self.xdotool('windowmove', self.window, '0', '0', 'windowsize', self.window, str(WIDTH),
                     str(HEIGHT))
        self.pointer = (WIDTH // 2, HEIGHT // 2)

    def xdotool(self, *args):
        return subprocess.run(['timeout', '-s', 'KILL', '60', 'xdotool', *args], env=self.display.env,
                              check=True, capture_output=True, text=True).stdout

    def quit(self):
        self.browser.kill()
        self.browser.wait()

    def shot(self):
        return self.display.shot()

    def wait_for_frames(self, count=3, timeout=TIMEOUT):
        """Whether the game's menu came up: its title lit, on black (not a blank white page)."""
        shown = self.wait_for(lambda s: s.title() and s.lit_share((0, 0, WIDTH, HEIGHT)) < 0.5,
                              timeout) is not None
        self.changed_at = time.monotonic()
        return shown

    def page_point(self, x, y):
        return (x, y)

    def move(self, x, y):
        self.was, self.pointer = self.pointer, (x, y)
        self.xdotool('mousemove', str(x), str(y))

    def counters(self):
        title = self.xdotool('getwindowname', self.window).split()
        if len(title) < 7 or title[0] != 'probe':
            return None
        return dict(zip(('frames', 'ups', 'held', 'inputFrame', 'lastHold', 'still'),
                        map(int, title[1:7])))

    def watch(self):
        self.seen = [self.shot()]
        self.before = self.counters() or {'ups': 0, 'frames': 0}

    def watched(self):
        def settled():
            self.seen.append(self.shot())
            now = self.counters()
            return now and settled_after(now, now['ups'] > self.before['ups'], self.before['frames'])
        if poll(settled) is None:
            raise AssertionError('the page never let go of the input: %s' % self.counters())
        self.seen.append(self.shot())
        self.delivered_hold = self.counters()['lastHold'] / 1000
        return [s for i, s in enumerate(self.seen)
                if i == 0 or s.image.tobytes() != self.seen[i - 1].image.tobytes()]

    def click(self, hold=MOUSE_HOLD):
        self.xdotool('mousedown', '1', 'sleep', str(hold), 'mouseup', '1')

    def key(self, key='Escape', hold=KEY_HOLD):
        self.xdotool('keydown', key, 'sleep', str(hold), 'keyup', key)


class EngineScenario:
    def setUp(self):
        self.page = self.Page()
        self.addCleanup(self.page.close)

    def test_menu_board_press_and_escape(self):
        started = time.monotonic()
        self.assertTrue(self.page.wait_for_frames(), 'the page never showed the menu')
        board = self.open_board()
        board = self.flip(board, 1, 1)
        self.escape_and_back(board)
        print('%s: %.1f s' % (type(self).__name__, time.monotonic() - started))


class WebKitTest(EngineScenario, GamePage):
    Page = WebKitPage


class FirefoxTest(EngineScenario, GamePage):
    Page = FirefoxPage


if __name__ == '__main__':
    unittest.main(verbosity=2)
