#!/usr/bin/python3
"""The browser build as an installed app: installable, updated on the next visit after a new
build is published, and played with the server gone, in Chromium through chromium-driver; and
the offline worker's name, which changes with any file it keeps."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree

from web_test import GamePage, setUpModule, skip_or_fail  # noqa: F401,E402
from webpage import ROOT, WEB_DIR  # noqa: E402

WORKER = 'service-worker.js'


def build_name(folder):
    with open(os.path.join(folder, WORKER)) as file:
        return re.search(r"const Build = '([^']*)'", file.read()).group(1)


class OfflineTest(GamePage):
    def setUp(self):
        # A copy of the page, so a new build can be published into it.
        self.folder = tempfile.mkdtemp(prefix='lumenvale-web-')
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copytree(WEB_DIR, self.folder, dirs_exist_ok=True)
        # The tests' probe is served into the page: the worker keeps it with the page's files.
        self.edit(WORKER, r"const Files = \[", "const Files = ['page-probe.js', ")
        self.page = self.open_page(folder=self.folder)
        self.assertTrue(self.page.wait_for_frames(), 'the page never drew a frame')

    def caches_once_settled(self, names):
        """The page's caches once they are `names` (a worker installed and the old ones gone),
        or what they are after 30 s."""
        return self.page.driver.execute_async_script('''
            const [names, done] = arguments, until = performance.now() + 30000;
            (async function look() {
                await navigator.serviceWorker.ready;
                const now = await caches.keys();
                if (String(now) === String(names) || performance.now() > until) done(now);
                else setTimeout(look, 50);
            })();''', names)

    def edit(self, name, old, new):
        path = os.path.join(self.folder, name)
        with open(path) as file:
            text = re.sub(old, new, file.read())
        with open(path, 'w') as file:
            file.write(text)

    def reload(self):
        self.page.driver.refresh()
        self.assertTrue(self.page.wait_for_frames(), 'the page never drew a frame after a reload')
        return self.page.driver.title

    def test_installable_updated_on_the_next_visit_and_played_offline(self):
        driver = self.page.driver
        self.assertEqual(driver.execute_cdp_cmd('Page.getInstallabilityErrors', {}),
                         {'installabilityErrors': []})
        build = build_name(self.folder)
        self.assertEqual(self.caches_once_settled(['lumenvale-' + build]), ['lumenvale-' + build])

        # A new build on the server: another worker, another page title.
        self.edit(WORKER, r"const Build = '[^']*'", "const Build = 'next'")
        self.edit('index.html', r'<title>[^<]*</title>', '<title>Lumenvale next</title>')
        self.assertEqual(self.reload(), 'Lumenvale', 'the visit that finds a new build plays '
                         'the one it started with')
        self.assertEqual(self.caches_once_settled(['lumenvale-next']), ['lumenvale-next'],
                         'the new build kept, the old one dropped')
        self.assertEqual(self.reload(), 'Lumenvale next', 'the next visit plays the new build')

        self.page.server.shutdown()
        self.page.server.server_close()
        self.assertEqual(self.reload(), 'Lumenvale next', 'with no server')
        board = self.open_board()
        self.flip(board, 1, 1)


class WorkerNameTest(unittest.TestCase):
    def build(self, source, build):
        """Builds the page in `build` from `source`; the name its worker gives the build."""
        subprocess.run(['emcmake', 'cmake', '-S', source, '-B', build, '-DCMAKE_BUILD_TYPE=Release'],
                       check=True, capture_output=True)
        subprocess.run(['cmake', '--build', build, '-j', '2', '--target', 'lumenvale_page'],
                       check=True, capture_output=True)
        return build_name(build)

    def test_a_changed_page_file_renames_the_worker_in_the_same_build_folder(self):
        if not shutil.which('emcmake'):
            skip_or_fail('no browser build tools: no Emscripten (scripts/build-web installs it)')
        scratch = tempfile.mkdtemp(prefix='lumenvale-worker-')
        self.addCleanup(shutil.rmtree, scratch, True)
        source, build = os.path.join(scratch, 'source'), os.path.join(scratch, 'build')
        listing = (subprocess.run(['git', '-C', ROOT, 'ls-files', '-z'], capture_output=True).stdout
                   if os.path.exists(os.path.join(ROOT, '.git')) else
                   open(os.path.join(ROOT, '.source-files'), 'rb').read())
        for name in filter(None, listing.decode().split('\0')):
            if os.path.isfile(os.path.join(ROOT, name)):
                os.makedirs(os.path.dirname(os.path.join(source, name)), exist_ok=True)
                shutil.copy2(os.path.join(ROOT, name), os.path.join(source, name))
        first = self.build(source, build)
        self.assertEqual(self.build(source, build), first, 'the same files, the same name')
        with open(os.path.join(source, 'platform', 'web', 'page-input.js'), 'a') as file:
            file.write('// one more line\n')
        self.assertNotEqual(self.build(source, build), first, 'page-input.js changed')


if __name__ == '__main__':
    unittest.main(verbosity=2)
