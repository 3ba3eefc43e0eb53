#!/usr/bin/env python3
"""Makes the data of the tests' fixture page from a page `scenario-tool view` wrote:

    make_fixture.py PAGE.html OUT.json --watch SCRIPT --stamp STAMP

The data is the page's own, written as `view --watch` writes it (its watch script and stamp),
so that the tests can stand in for the tool that rewrites the page.
"""

import argparse
import json
import re
import sys

def page_data(path):
    with open(path, encoding="utf-8") as f:
        html = f.read()
    found = re.search(r'<script type="application/json" id="route-data">(.*?)</script>', html,
                      re.S)
    if not found:
        sys.exit("make_fixture: %s holds no route data" % path)
    return json.loads(found.group(1))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("page")
    ap.add_argument("out")
    ap.add_argument("--watch", required=True, help="the watch script's name, beside the page")
    ap.add_argument("--stamp", required=True)
    args = ap.parse_args()
    data = page_data(args.page)
    data["watch"] = args.watch
    data["stamp"] = args.stamp
    with open(args.out, "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, separators=(",", ":"))


if __name__ == "__main__":
    main()
