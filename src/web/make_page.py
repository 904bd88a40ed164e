#!/usr/bin/env python3
# Writes the page's index.html from its template, with the saver's icon inlined as a PNG.
"""Usage: make_page.py TEMPLATE ICON_PNG OUTPUT"""
import base64
import sys


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    template, icon, output = sys.argv[1:]
    with open(template, encoding="utf-8") as f:
        page = f.read()
    with open(icon, "rb") as f:
        page = page.replace("@ICON_BASE64@", base64.b64encode(f.read()).decode("ascii"))
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write(page)


if __name__ == "__main__":
    main()
