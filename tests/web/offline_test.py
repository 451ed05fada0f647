#!/usr/bin/python3
"""The browser build as an installed app: installable, updated on the next visit after a new
build is published, and played with the server gone. Chromium, through chromium-driver."""
import os
import re
import shutil
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # nothing written into the source tree

from web_test import GamePage, setUpModule  # noqa: F401,E402
from webpage import WEB_DIR, WebPage  # noqa: E402


class OfflineTest(GamePage):
    def setUp(self):
        # A copy of the page, so a new build can be published into it.
        self.folder = tempfile.mkdtemp(prefix='lumenvale-web-')
        self.addCleanup(shutil.rmtree, self.folder, True)
        shutil.copytree(WEB_DIR, self.folder, dirs_exist_ok=True)
        self.page = WebPage(folder=self.folder)
        self.addCleanup(self.page.close)
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

    def publish(self, build, title):
        """A new build on the server: another worker, another page title."""
        for name, old, new in (('service-worker.js', r"const Build = '[^']*'", "const Build = '%s'" % build),
                               ('index.html', r'<title>[^<]*</title>', '<title>%s</title>' % title)):
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
        with open(os.path.join(self.folder, 'service-worker.js')) as file:
            build = re.search(r"const Build = '([^']*)'", file.read()).group(1)
        self.assertEqual(self.caches_once_settled(['lumenvale-' + build]), ['lumenvale-' + build])

        self.publish('next', 'Lumenvale next')
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


if __name__ == '__main__':
    unittest.main(verbosity=2)
