#!/usr/bin/python3
"""Serves a folder on the loopback, as a static web host would serve the browser build.

Usage: serve_web.py FOLDER [PORT]. Port 0 (the default) lets the system pick a free one; the
address is printed once the server listens. Nothing is cached, so a rebuild shows at once.
"""
import functools
import http.server
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript',
                      '.data': 'application/octet-stream'}

    def end_headers(self):
        self.send_header('Cache-Control', 'no-store')
        super().end_headers()

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        # A browser that closes while the service worker still downloads is no fault.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def serve(folder, port=0, handler=Handler):
    """Starts serving folder in a background thread; returns the server (address, shutdown)."""
    handler = functools.partial(handler, directory=folder)
    server = Server(('127.0.0.1', port), handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


if __name__ == '__main__':
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    server = serve(sys.argv[1], int(sys.argv[2]) if len(sys.argv) > 2 else 0)
    print('http://127.0.0.1:%d/' % server.server_address[1], flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        server.shutdown()
