#!/usr/bin/python3
"""Renders the handbook's Markdown pages into HTML pages with the look of the program's web results.

    build_handbook.py <source dir> <output dir>

Every *.md of the source dir becomes a .html of the same name; links between pages (page.md, page.md#anchor)
point to the .html pages; the pictures of bilder/ are copied along. The pages load nothing from the network.
Uses python3-markdown (Debian package) with the extensions that come with it.
"""

import html
import re
import shutil
import sys
from pathlib import Path

import markdown

# The fonts and greys of the web results (src/reports/HtmlExport.cpp), plus what running text needs.
STYLE = (
    'body{font-family:Helvetica,Arial,"Liberation Sans",sans-serif;color:#000;margin:1em auto;font-size:16px;'
    "max-width:52em;padding:0 1em;line-height:1.45}"
    "header{display:flex;flex-wrap:wrap;justify-content:space-between;align-items:baseline;gap:0 2em;"
    "color:#808080;border-bottom:1px solid #ccc;margin-bottom:.5em}"
    ".product{font-weight:bold;font-size:1.3em}"
    "header nav a{color:#808080}"
    "h1{font-size:1.6em;font-weight:normal;margin:.6em 0 .4em}"
    "h2{font-size:1.25em;color:#505050;border-bottom:1px solid #e0e0e0;margin-top:1.6em}"
    "h3{font-size:1.05em;color:#505050;margin-top:1.3em}"
    "a{color:navy}"
    "img{max-width:100%;height:auto;border:1px solid #ccc;box-shadow:0 1px 4px rgba(0,0,0,.15)}"
    "figure{margin:1em 0}figcaption{color:#808080;font-size:.85em;margin-top:.3em}"
    "table{border-collapse:collapse;margin:.8em 0}"
    "th,td{padding:.3em .8em;text-align:left;border-bottom:1px solid #e0e0e0;vertical-align:top}"
    "th{color:#808080;border-bottom:2px solid #808080}"
    "tbody tr:nth-child(even){background:#f5f5f5}"
    "code,pre{font-family:\"Liberation Mono\",\"DejaVu Sans Mono\",monospace;font-size:.9em}"
    "pre{background:#f5f5f5;border:1px solid #e0e0e0;padding:.6em;overflow-x:auto}"
    "blockquote{margin:.8em 0;padding:.4em .8em;border-left:4px solid #808080;background:#f5f5f5}"
    "blockquote p{margin:.2em 0}"
    "footer{color:#808080;font-size:.75em;margin-top:2em;border-top:1px solid #ccc;padding-top:.5em}"
    "@media print{body{margin:0;font-size:11pt;max-width:none}header nav{display:none}}"
)

PAGE = """<!DOCTYPE html>
<html lang="de">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title} – Wendemark Handbuch</title>
<style>{style}</style>
</head>
<body>
<header><span class="product">Wendemark</span><nav>{nav}</nav></header>
<main>
{body}
</main>
<footer>Wendemark Handbuch · <a href="index.html">Inhalt</a></footer>
</body>
</html>
"""

LOCAL_MD_LINK = re.compile(r'href="([A-Za-z0-9_.-]+)\.md(#[A-Za-z0-9_-]+)?"')
# A paragraph holding only a picture becomes a figure with its text as the caption.
LONE_IMAGE = re.compile(r'<p>(<img alt="([^"]*)" src="[^"]*" ?/?>)</p>')


def render(text: str) -> tuple[str, str]:
    md = markdown.Markdown(extensions=["tables", "attr_list", "fenced_code", "toc"], output_format="html")
    body = md.convert(text)
    body = LOCAL_MD_LINK.sub(lambda m: f'href="{m.group(1)}.html{m.group(2) or ""}"', body)
    body = LONE_IMAGE.sub(lambda m: f"<figure>{m.group(1)}<figcaption>{m.group(2)}</figcaption></figure>", body)
    first = re.search(r"<h1[^>]*>(.*?)</h1>", body, re.S)
    title = re.sub(r"<[^>]+>", "", first.group(1)) if first else "Handbuch"
    return html.unescape(title), body


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    source, out = Path(sys.argv[1]), Path(sys.argv[2])
    pages = sorted(source.glob("*.md"))
    if not any(p.name == "index.md" for p in pages):
        print(f"{source}: index.md fehlt", file=sys.stderr)
        return 1
    out.mkdir(parents=True, exist_ok=True)
    for page in pages:
        title, body = render(page.read_text(encoding="utf-8"))
        nav = "" if page.name == "index.md" else '<a href="index.html">Handbuch: Inhalt</a>'
        text = PAGE.format(title=html.escape(title), style=STYLE, nav=nav, body=body)
        (out / (page.stem + ".html")).write_text(text, encoding="utf-8")
    pictures = source / "bilder"
    if pictures.is_dir():
        target = out / "bilder"
        if target.exists():
            shutil.rmtree(target)
        shutil.copytree(pictures, target)
    return 0


if __name__ == "__main__":
    sys.exit(main())
