#!/usr/bin/env python3
"""The manual: every link leads to a page and anchor of its own, every page is reached from
the first one or the contents, and the build tree holds the same files.
Usage: manual_links.py <manual sources> <manual in the build tree>"""
import filecmp
import os
import sys
from html.parser import HTMLParser
from urllib.parse import urlsplit

class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.links, self.ids = [], set()

    def handle_starttag(self, tag, attrs):
        found = dict(attrs)
        if "id" in found:
            self.ids.add(found["id"])
        self.links += [found[k] for k in ("href", "src") if k in found]


def main(source, built):
    names = sorted(n for n in os.listdir(source) if n.endswith((".html", ".css")))
    pages = {}
    for name in (n for n in names if n.endswith(".html")):
        page = Page()
        with open(os.path.join(source, name), encoding="utf-8") as f:
            page.feed(f.read())
        pages[name] = page
    faults = []
    reached, todo = set(), ["index.html", "contents.html"]
    while todo:
        name = todo.pop()
        if name in reached:
            continue
        reached.add(name)
        for link in pages[name].links:
            parts = urlsplit(link)
            target = parts.path or name
            if parts.scheme or parts.netloc:
                faults.append(f"{name}: {link} leaves the manual")
            elif target not in names:
                faults.append(f"{name}: {link} leads to no file")
            elif parts.fragment and parts.fragment not in pages[target].ids:
                faults.append(f"{name}: {link} leads to no anchor")
            elif target in pages:
                todo.append(target)
    faults += [f"{name} is reached from no page" for name in pages if name not in reached]
    faults += [f"{name} differs in the build tree" for name in names
               if not filecmp.cmp(os.path.join(source, name), os.path.join(built, name), shallow=False)]
    for fault in faults:
        print("FAIL:", fault)
    print(f"manual: {len(pages)} pages, {sum(len(p.links) for p in pages.values())} links checked")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
