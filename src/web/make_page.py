#!/usr/bin/env python3
# Writes the page's files beside needlecast.js: index.html with the saver's icon inlined, the
# web app manifest, the icons, and the service worker with its cache named for the version.
"""Usage: make_page.py SOURCE_DIR ICON_48_PNG VERSION PAGE_DIR   (after needlecast.js is built)"""
import base64
import hashlib
import json
import os
import shutil
import sys

ICONS = (("icon-192.png", "192x192", "any"), ("icon-512.png", "512x512", "any"),
         ("icon-maskable-512.png", "512x512", "maskable"))

MANIFEST = {
    "name": "Needlecast: Buffon's needle",
    "short_name": "Needlecast",
    "description": "Buffon's needle, live: needles thrown at a ruled pane, and the share that cross "
                   "its lines estimating pi.",
    "id": "./",
    "start_url": "./",
    "scope": "./",
    # Full screen, as a saver; a browser without it takes the next it knows (standalone).
    "display": "fullscreen",
    "display_override": ["fullscreen", "standalone"],
    "background_color": "#000000",
    "theme_color": "#000000",
    "icons": [{"src": name, "sizes": sizes, "type": "image/png", "purpose": purpose}
              for name, sizes, purpose in ICONS],
}


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def main():
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source, icon, version, page = sys.argv[1:]
    with open(os.path.join(source, "index.html"), encoding="utf-8") as f:
        html = f.read()
    with open(icon, "rb") as f:
        write(os.path.join(page, "index.html"), html.replace("@ICON_BASE64@", base64.b64encode(f.read()).decode("ascii")))
    write(os.path.join(page, "manifest.webmanifest"), json.dumps(MANIFEST, indent=1) + "\n")
    for name, _, _ in ICONS:
        shutil.copyfile(os.path.join(source, name), os.path.join(page, name))

    # The cache's name: the version, and a digest of the files, so that a changed build is a
    # new version even where the number stayed.
    files = ["index.html", "needlecast.js", "manifest.webmanifest"] + [name for name, _, _ in ICONS]
    digest = hashlib.sha256()
    for name in files:
        with open(os.path.join(page, name), "rb") as f:
            digest.update(hashlib.sha256(f.read()).digest())
    with open(os.path.join(source, "sw.js"), encoding="utf-8") as f:
        worker = f.read()
    worker = worker.replace("@CACHE@", "needlecast-%s-%s" % (version, digest.hexdigest()[:12]))
    write(os.path.join(page, "sw.js"), worker.replace("@FILES@", ", ".join(json.dumps(n) for n in files)))


if __name__ == "__main__":
    main()
