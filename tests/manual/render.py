"""The manual drawn by a headless chromium: what a reader sees, compared with a kept layout."""
import json
import os
import re
import shutil
import subprocess
import tempfile

REFERENCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "layout_reference.json")
PAGES = ["help.html", "help/help00.html"]
WIDTH = 1000
TOLERANCE = 3  # pixels a box may move before the layout counts as changed
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--allow-file-access-from-files", "--window-size=1100,900", "--virtual-time-budget=10000",
         "--dump-dom"]

# Each page in a frame of its own; once all have loaded, their boxes are written into the document.
WRAPPER = """<!DOCTYPE html><html><head><meta charset="utf-8"></head><body>%s<pre id="out"></pre><script>
function box(e) { const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height].map(Math.round); }
function layout(frame) {
  const d = frame.contentDocument, items = [];
  for (const e of d.querySelectorAll('h1,h2,h3,p,ul,ol,table,img,pre')) {
    const item = {tag: e.tagName.toLowerCase(), box: box(e)};
    if (e.id) item.id = e.id;
    if (e.tagName == 'IMG') { item.src = e.getAttribute('src'); item.natural = [e.naturalWidth, e.naturalHeight];
      item.content = [e.clientWidth, e.clientHeight]; }
    items.push(item);
  }
  return {scrollWidth: d.documentElement.scrollWidth, clientWidth: d.documentElement.clientWidth, items: items};
}
window.addEventListener('load', () => {
  document.getElementById('out').textContent = JSON.stringify([...document.querySelectorAll('iframe')].map(layout));
});
</script></body></html>"""


def draw(root):
    """The layout of every page, or a reason it could not be drawn."""
    browser = shutil.which("chromium")
    if not browser:
        return None, "chromium is not installed (scripts/setup.sh installs it)"
    with tempfile.TemporaryDirectory() as work:
        frames = "".join('<iframe src="file://%s" style="width:%dpx;height:800px;border:0"></iframe>'
                         % (os.path.join(root, page), WIDTH) for page in PAGES)
        wrapper = os.path.join(work, "manual.html")
        with open(wrapper, "w", encoding="utf-8") as f:
            f.write(WRAPPER % frames)
        # the language picks the fonts and the line breaks: always Japanese, whatever the caller's locale
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
        env.update(LANG="ja_JP.UTF-8", LANGUAGE="ja")
        run = subprocess.run([browser] + FLAGS + ["--lang=ja", "--user-data-dir=" + os.path.join(work, "profile"),
                                                  "file://" + wrapper],
                             capture_output=True, text=True, timeout=120, env=env)
    found = re.search(r'<pre id="out">(.*?)</pre>', run.stdout, re.S)
    if not found or not found.group(1):
        return None, "chromium drew nothing (exit %d)" % run.returncode
    return json.loads(found.group(1).replace("&quot;", '"').replace("&amp;", "&")), None


def what(item):
    return item["tag"] + ("#" + item["id"] if "id" in item else "") + (" " + item["src"] if "src" in item else "")


def page_problems(page, kept):
    problems = []
    if not page["items"]:
        problems.append("the page did not load")
    if page["scrollWidth"] > page["clientWidth"]:
        problems.append("wider than the window: %d > %d pixels" % (page["scrollWidth"], page["clientWidth"]))
    for item in page["items"]:
        if item["tag"] == "img" and (item["natural"][0] == 0 or item["content"] != item["natural"]):
            problems.append("%s: shown at %s, its file is %s" % (what(item), item["content"], item["natural"]))
    if kept is None:
        return problems + ["no kept layout (run with --render --update-reference)"]
    hint = " (a changed manual keeps its new layout with --render --update-reference)"
    parts, kept_parts = [what(i) for i in page["items"]], [what(i) for i in kept["items"]]
    if parts != kept_parts:
        at = next((i for i, (a, b) in enumerate(zip(parts, kept_parts)) if a != b), min(len(parts), len(kept_parts)))
        return problems + ["part %d differs from the kept layout%s" % (at, hint)]
    for now, then in zip(page["items"], kept["items"]):
        if any(abs(a - b) > TOLERANCE for a, b in zip(now["box"], then["box"])):
            problems.append("%s at %s, kept at %s%s" % (what(now), now["box"], then["box"], hint))
            break
    return problems


def check(root, update):
    """Yields (case name, problems) for each drawn page."""
    root = os.path.abspath(root)
    pages, reason = draw(root)
    if pages is None:
        yield "render", [reason]
        return
    if update:
        with open(REFERENCE, "w", encoding="utf-8") as f:
            json.dump(dict(zip(PAGES, pages)), f, indent=0)
    kept = {}
    if os.path.isfile(REFERENCE):
        with open(REFERENCE, encoding="utf-8") as f:
            kept = json.load(f)
    for name, page in zip(PAGES, pages):
        yield "render " + name, page_problems(page, kept.get(name))
