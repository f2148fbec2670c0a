#!/usr/bin/python3
"""A static file server for the built site on 127.0.0.1, with the media types a module,
WebAssembly, a font and a manifest need. usage: web_serve.py SITE_DIR PORT"""
import functools
import http.server
import sys

Handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
Handler.func.extensions_map.update({
    '.js': 'text/javascript', '.wasm': 'application/wasm', '.woff2': 'font/woff2',
    '.webmanifest': 'application/manifest+json', '.svg': 'image/svg+xml'})
http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[2])), Handler).serve_forever()
