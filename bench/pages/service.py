#!/usr/bin/env python3
# A scripted store service for the pages benchmark: the screen tests' home payload plus one category "bench"
# whose list holds APPS apps. Usage: service.py PORT [APPS]
import json
import os
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "screens", "data")
port = int(sys.argv[1])
count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000

with open(os.path.join(root, "home.json"), encoding="utf-8") as f:
    home = json.load(f)
with open(os.path.join(root, "app.json"), encoding="utf-8") as f:
    template = json.load(f)["apps"][0]

home["categories"].append({"slug": "bench", "name": "压测", "glyph": "terminal", "accent": "#0A84FF", "count": count})
apps = []
for i in range(count):
    app = dict(template)
    app.update(slug=f"bench-{i}", name=f"应用 {i + 1}", tagline=f"第 {i + 1} 款应用的一句话介绍",
               categorySlug="bench", categoryName="压测")
    apps.append(app)
bodies = {
    "home": json.dumps(home, ensure_ascii=False).encode(),
    "bench": json.dumps({"total": count, "page": 1, "pages": 1, "apps": apps}, ensure_ascii=False).encode(),
    "empty": json.dumps({"total": 0, "page": 1, "pages": 1, "apps": []}).encode(),
}


class Handler(BaseHTTPRequestHandler):
    def do_GET(self):
        url = urlparse(self.path)
        if url.path == "/api/store/home":
            body = bodies["home"]
        elif url.path == "/api/store/apps":
            body = bodies["bench" if parse_qs(url.query).get("category") == ["bench"] else "empty"]
        else:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()
