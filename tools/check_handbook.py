#!/usr/bin/python3
"""Checks the built handbook: every link and picture resolves, every page is reachable from index.html, and
nothing is loaded from the network.

    check_handbook.py <built handbook dir>
"""

import sys
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import unquote, urlsplit


class Page(HTMLParser):
    def __init__(self) -> None:
        super().__init__()
        self.ids: set[str] = set()
        self.links: list[str] = []  # <a href>
        self.resources: list[tuple[str, str]] = []  # (tag, url) of everything the browser loads itself

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        for key in ("id", "name"):
            if a.get(key):
                self.ids.add(a[key])
        if tag == "a" and a.get("href") is not None:
            self.links.append(a["href"])
        for key in ("src", "srcset", "data", "poster"):
            if a.get(key):
                self.resources.append((tag, a[key]))
        if tag == "link" and a.get("href"):
            self.resources.append((tag, a["href"]))
        if a.get("style") and "url(" in a["style"]:
            self.resources.append((tag, a["style"]))

    def handle_data(self, data):
        # A stylesheet or script of the page that fetches something itself.
        if self.lasttag in ("style", "script") and any(k in data for k in ("@import", "url(", "http:", "https:")):
            self.resources.append(("inline", data.strip()[:60]))


def main() -> int:
    root = Path(sys.argv[1]).resolve()
    pages = {p.resolve(): p for p in root.rglob("*.html")}
    parsed: dict[Path, Page] = {}
    for path in pages:
        page = Page()
        page.feed(path.read_text(encoding="utf-8"))
        parsed[path] = page

    problems: list[str] = []
    edges: dict[Path, set[Path]] = {p: set() for p in parsed}

    def target(base: Path, url: str) -> tuple[Path | None, str]:
        parts = urlsplit(url)
        if parts.scheme or parts.netloc:
            return None, ""
        file = (base.parent / unquote(parts.path)).resolve() if parts.path else base
        return file, unquote(parts.fragment)

    for path, page in parsed.items():
        name = path.relative_to(root)
        for tag, url in page.resources:
            parts = urlsplit(url)
            if tag == "inline" or parts.scheme in ("http", "https") or parts.netloc or url.startswith("//"):
                problems.append(f"{name}: lädt aus dem Netz: <{tag}> {url}")
                continue
            file, _ = target(path, url)
            if file is None or not file.is_file():
                problems.append(f"{name}: Bild oder Datei fehlt: {url}")
        for url in page.links:
            parts = urlsplit(url)
            if parts.scheme in ("http", "https", "mailto"):
                continue  # a link the reader may follow; nothing is loaded
            file, fragment = target(path, url)
            if file is None or not file.exists():
                problems.append(f"{name}: Link ins Leere: {url}")
                continue
            if file in parsed:
                edges[path].add(file)
                if fragment and fragment not in parsed[file].ids:
                    problems.append(f"{name}: Anker fehlt: {url}")

    index = (root / "index.html").resolve()
    if index not in parsed:
        problems.append("index.html fehlt")
    else:
        seen, todo = {index}, [index]
        while todo:
            for nxt in edges[todo.pop()]:
                if nxt not in seen:
                    seen.add(nxt)
                    todo.append(nxt)
        for path in sorted(set(parsed) - seen):
            problems.append(f"{path.relative_to(root)}: vom Inhalt aus nicht erreichbar")
        for path in parsed:
            if path != index and index not in edges[path]:
                problems.append(f"{path.relative_to(root)}: kein Link zurück zum Inhalt")

    for p in problems:
        print(p)
    print(f"{len(parsed)} Seiten geprüft, {len(problems)} Fehler")
    return 1 if problems or not parsed else 0


if __name__ == "__main__":
    sys.exit(main())
