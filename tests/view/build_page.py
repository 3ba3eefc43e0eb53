#!/usr/bin/env python3
"""Joins the route page from its parts and one data file, as `scenario-tool view` does:

    build_page.py PAGE_DIR DATA_JSON OUT_HTML

PAGE_DIR holds route.html, route.css and the scripts listed in scripts.txt. The data goes into
the page with every '<' written as \\u003c, so no text of it can close its script element.
"""

import os
import sys


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def page(page_dir, data):
    template = read(os.path.join(page_dir, "route.html"))
    style = read(os.path.join(page_dir, "route.css"))
    names = [l.strip() for l in read(os.path.join(page_dir, "scripts.txt")).splitlines()
             if l.strip() and not l.startswith("#")]
    script = "".join(read(os.path.join(page_dir, n)) + "\n" for n in names)
    for text, closer in ((style, "</style"), (script, "</script")):
        if closer in text.lower():
            sys.exit("build_page: a part of the page holds %s" % closer)
    pieces = {"/*@route.css@*/": style, "/*@route.js@*/": script,
              "@route-data@": data.replace("<", "\\u003c")}
    # One pass over the template, so that nothing inlined is taken for a placeholder.
    out, rest = [], template
    while True:
        found = [(rest.find(k), k) for k in pieces if rest.find(k) >= 0]
        if not found:
            out.append(rest)
            break
        at, key = min(found)
        out.append(rest[:at])
        out.append(pieces.pop(key))
        rest = rest[at + len(key):]
    if pieces:
        sys.exit("build_page: route.html lacks %s" % ", ".join(pieces))
    return "".join(out)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    html = page(sys.argv[1], read(sys.argv[2]).strip())
    tmp = sys.argv[3] + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(html)
    os.replace(tmp, sys.argv[3])


if __name__ == "__main__":
    main()
