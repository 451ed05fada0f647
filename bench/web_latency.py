#!/usr/bin/python3
"""Pointer-to-screen latency, frames shown per second and CPU of the game on a virtual X
display, the desktop build beside the browser build in kiosk Chromium, on the menu and on a
4x4 board. Prints the figures; asserts nothing.

Usage: web_latency.py [--before DIR] [--program-before PROGRAM] [--moves N]. The page in
dist/web is measured with WebGL on Mesa (--use-angle=gl), on SwiftShader as Chromium picks it
without a GPU, and with SwiftShader forced for the compositor as well; --before names another
built page (an older dist/web) measured the same way in the same run, --program-before an
older desktop build beside this one. LUMENVALE_PROGRAM names the desktop build
(build/release/lumenvale, which scripts/play builds, by default).

Latency: the time from a real X pointer move (XTest) to the first screen picture in which the
region under the pointer's new place has changed, that is, to the first frame shown that
knows where the pointer is. Frames shown: X Damage reports on the screen, counted over
5 s with the pointer still on the board (reports closer together than 4 ms are one frame).
CPU: user and system time of the game's processes (all of the browser's) over those 5 s.
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X
from Xlib.ext import damage, xtest

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'tests', 'support'))
from webpage import (DATA_DIR, MENU_REPEAT, MOUSE_HOLD, NOWHERE, PLAY, ROOT, SIZE4, SIZE8,  # noqa: E402
                     WEB_DIR, Board, VirtualDisplay, centre, poll, press_and_judge)
import serve_web  # noqa: E402  (webpage put scripts/lib on the path)

MENU_SPOTS = [(1180, 250), (1235, 380)]  # black but for the drawn cursor
BOARD_SPOTS = [(400, 768), (720, 448)]   # the centres of two lamps of a 4x4 board
REGION = 8                               # half the side of the square watched
STILL_SECONDS = 5
# WebGL on Mesa, composited on Mesa; WebGL on SwiftShader composited in software, which is what
# Chromium picks by itself where it finds no GPU it trusts (llvmpipe included); and SwiftShader
# forced for the compositor too, a set-up Chromium never picks, kept for the older figures.
BACKENDS = {'Mesa': ['--use-angle=gl', '--ignore-gpu-blocklist'],
            'SwiftShader': ['--enable-unsafe-swiftshader'],
            'SwiftShader everywhere': ['--use-angle=swiftshader', '--enable-unsafe-swiftshader']}


# Two places where nothing but the drawn cursor ever shows, on the menu and on a board.
SPOTS = (NOWHERE, (NOWHERE[0], NOWHERE[1] - 100))


def cursor_at(shot, spot):
    return shot.lit_share((spot[0] - 8, spot[1] - 8, spot[0] + 8, spot[1] + 8)) > 0.05


class ScreenWatch:
    """Watches a press by screenshots where no probe can be asked (a browser without a driver,
    a desktop program): every picture until the drawn cursor, moved twice, has shown two frames
    drawn after the input. Needs shot() and move_now(x, y)."""

    def watch(self):
        self.seen = [self.shot()]

    def watched(self):
        for _ in range(2):
            spot = SPOTS[1] if cursor_at(self.seen[-1], SPOTS[0]) else SPOTS[0]
            self.move_now(*spot)
            if poll(lambda: self.seen.append(self.shot()) or cursor_at(self.seen[-1], spot)) is None:
                raise AssertionError('the drawn cursor never reached %s' % (spot,))
        self.was = self.pointer = spot
        return [s for i, s in enumerate(self.seen)
                if i == 0 or s.image.tobytes() != self.seen[i - 1].image.tobytes()]


class Screen(ScreenWatch, VirtualDisplay):
    delivered_hold = 0  # XTest input reaches the game at once
    """A fresh Xvfb of 1280 x 1024 and a connection to it, which hears of every change drawn."""

    def __init__(self):
        super().__init__()
        self.x.damage_query_version()  # the extension answers no client before this
        self.damage_event = self.x.query_extension('DAMAGE').first_event + damage.DamageNotifyCode

    def grab(self, x, y, w, h):
        return self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data

    def region(self, spot):
        return self.grab(spot[0] - REGION, spot[1] - REGION, 2 * REGION, 2 * REGION)

    def move(self, spot):
        xtest.fake_input(self.x, X.MotionNotify, x=spot[0], y=spot[1])
        self.x.sync()

    def move_now(self, x, y):
        self.move((x, y))

    def click(self, hold=MOUSE_HOLD):
        xtest.fake_input(self.x, X.ButtonPress, 1)
        self.x.sync()
        time.sleep(hold)
        xtest.fake_input(self.x, X.ButtonRelease, 1)
        self.x.sync()

    def wait_out(self, repeat):
        time.sleep(max(0.0, self.changed_at + repeat - time.monotonic()))

    def press(self, at, before, after, what):
        self.move(at)
        self.pointer = at
        return press_and_judge(self, self.click, before, after, what, MENU_REPEAT)


def changed(before, after):
    """Whether more than a few pixels differ clearly between two grabs of a region."""
    differing = sum(1 for i in range(0, len(before), 4)
                    if max(abs(before[i + k] - after[i + k]) for k in range(3)) > 40)
    return differing >= 4


def latencies(screen, spots, moves):
    """Milliseconds from each pointer move to the first picture that shows the move."""
    found = []
    for move in range(moves):
        spot = spots[(move + 1) % 2]
        time.sleep(0.25 + random.random() * 0.1)  # moves fall anywhere in a frame
        before = screen.region(spot)
        while before != screen.region(spot):  # settled: nothing else drawing there
            time.sleep(0.05)
            before = screen.region(spot)
        started = time.monotonic()
        screen.move(spot)
        while not changed(before, screen.region(spot)):
            if time.monotonic() - started > 10:
                break
            time.sleep(0.001)  # a core left to the game, which a busy poll would take
        found.append((time.monotonic() - started) * 1000)
        # Let the last frames of this move out before the next one is measured.
        time.sleep(0.2)
    return found


def process_tree(pid):
    children = {}
    for entry in os.listdir('/proc'):
        if entry.isdigit():
            try:
                with open('/proc/%s/stat' % entry) as file:
                    parent = int(file.read().rsplit(')', 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    tree, todo = [], [pid]
    while todo:
        tree.append(todo.pop())
        todo.extend(children.get(tree[-1], []))
    return tree


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open('/proc/%d/stat' % pid) as file:
                fields = file.read().rsplit(')', 1)[1].split()
            total += int(fields[11]) + int(fields[12])  # utime and stime
        except (OSError, IndexError, ValueError):
            pass
    return total / os.sysconf('SC_CLK_TCK')


def frames_and_cpu(screen, pid):
    """Frames shown per second and CPU (per cent of one core) over STILL_SECONDS."""
    watch = screen.root.damage_create(damage.DamageReportNonEmpty)
    screen.x.sync()
    pids = process_tree(pid)
    cpu_before, started = cpu_seconds(pids), time.monotonic()
    frames, last = 0, 0.0
    while time.monotonic() - started < STILL_SECONDS:
        while screen.x.pending_events():
            event = screen.x.next_event()
            now = time.monotonic()
            if event.type == screen.damage_event and now - last > 0.004:
                frames += 1
                last = now
            screen.x.damage_subtract(watch)
        screen.x.sync()
        time.sleep(0.001)
    seconds = time.monotonic() - started
    cpu = (cpu_seconds(pids) - cpu_before) / seconds * 100
    screen.x.damage_destroy(watch)
    screen.x.sync()
    return frames / seconds, cpu


def open_board(screen):
    try:
        screen.press(centre(PLAY), lambda s: not s.button_fill(SIZE8), lambda s: s.button_fill(SIZE8),
                     'the size buttons')
        screen.press(centre(SIZE4), lambda s: s.button_fill(SIZE8), lambda s: Board(s, 4).clear(),
                     'a board')
        return True
    except AssertionError as error:
        print(error)
        return False


def measure(name, start, moves):
    screen = Screen()
    process = None
    try:
        process = start(screen.name)
        if not poll(lambda: screen.shot().title()):
            print('%s: no menu' % name)
            return None
        screen.changed_at = time.monotonic()
        screen.move(MENU_SPOTS[0])
        menu = latencies(screen, MENU_SPOTS, moves)
        if not open_board(screen):
            print('%s: no board' % name)
            return None
        screen.move(BOARD_SPOTS[0])
        board = latencies(screen, BOARD_SPOTS, moves)
        fps, cpu = frames_and_cpu(screen, process.pid)
        return menu, board, fps, cpu
    finally:
        if process is not None:
            stop(process)
        screen.close()


def stop(process):
    """Ends the game, or the browser with all its processes (it ends its own on SIGTERM)."""
    family = process_tree(process.pid)
    process.terminate()
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        for pid in family:
            try:
                os.kill(pid, 9)
            except OSError:
                pass
        process.wait()


def desktop(program):
    def start(name):
        env = dict(os.environ, DISPLAY=name, SDL_VIDEODRIVER='x11', LUMENVALE_NO_MESSAGE_BOX='1')
        return subprocess.Popen([program], cwd=DATA_DIR, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return start


def browser(url, backend, profiles):
    def start(name):
        profile = tempfile.mkdtemp(prefix='lumenvale-bench-', dir=profiles)
        command = ['chromium', '--kiosk', '--window-position=0,0', '--window-size=1280,1024',
                   '--test-type', '--no-first-run', '--no-sandbox', '--disable-sync',
                   '--disable-background-networking', '--disable-component-update',
                   '--user-data-dir=' + profile, *BACKENDS[backend], url]
        return subprocess.Popen(command, env=dict(os.environ, DISPLAY=name),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return start


def summary(values):
    return '%.0f (%.0f-%.0f)' % (statistics.median(values), min(values), max(values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--before', help='an older built page, measured beside dist/web')
    parser.add_argument('--program-before', help='an older desktop build, measured beside')
    parser.add_argument('--moves', type=int, default=12)
    arguments = parser.parse_args()
    program = os.environ.get('LUMENVALE_PROGRAM',
                             os.path.join(ROOT, "build", "release", "lumenvale"))
    pages = [('now', WEB_DIR)] + ([('before', arguments.before)] if arguments.before else [])
    servers = {label: serve_web.serve(folder) for label, folder in pages}
    profiles = tempfile.mkdtemp(prefix='lumenvale-bench-')
    subjects = [('desktop build', desktop(program))]
    if arguments.program_before:
        subjects.append(('desktop build, before', desktop(arguments.program_before)))
    for backend in BACKENDS:
        for label, _ in pages:
            url = 'http://127.0.0.1:%d/index.html' % servers[label].server_address[1]
            subjects.append(('Chromium, %s, page %s' % (backend, label),
                             browser(url, backend, profiles)))
    print('%-46s %-18s %-18s %8s %6s' % ('', 'menu, ms', '4x4 board, ms', 'shown/s', 'CPU %'))
    try:
        for name, start in subjects:
            result = measure(name, start, arguments.moves)
            if result:
                menu, board, fps, cpu = result
                print('%-46s %-18s %-18s %8.0f %6.0f' % (name, summary(menu), summary(board),
                                                         fps, cpu), flush=True)
    finally:
        for server in servers.values():
            server.shutdown()
            server.server_close()
        shutil.rmtree(profiles, ignore_errors=True)


if __name__ == '__main__':
    main()
