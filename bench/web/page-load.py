#!/usr/bin/env python3
"""What the web page costs to load, and Lighthouse's mobile scores for it served by nginx as a real
host would (Lighthouse from the npm registry, pinned in bench/web/package-lock.json): the bytes a
first visit fetches, gzip -9, and first paint, ready-to-press and the calculation loaded in headless
Chromium, median of N cold loads, against a floor measured in the same run: a static page with the
same ten controls, styles and logo and no script.

  page-load.py <site> [loads, default 15]
"""
import gzip
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "..", "tools"))
import browsers  # noqa: E402  pylint: disable=wrong-import-position


def floor_site(site):
    """The page without its scripts: the same controls, styles and images."""
    folder = tempfile.mkdtemp(prefix="halvern-floor-")
    for name in ("page.css", "layout.css", "logo.gif", "logo@2x.gif", "halvern.ico"):
        shutil.copy(os.path.join(site, name), folder)
    shutil.copytree(os.path.join(site, "icons"), os.path.join(folder, "icons"))
    with open(os.path.join(site, "index.html"), encoding="utf-8") as source:
        page = "".join(line for line in source if "<script" not in line)
    with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as target:
        target.write(page)
    return folder


def load(url, ready):
    """One cold load in a new browser: first paint, and where the page says so, when its button can
    be pressed and when the calculation has loaded (a press made before runs then)."""
    driver = browsers.start("chromium")
    try:
        # A phone's CPU, about four times slower than this machine's.
        driver.command("cdp", {"cmd": "Emulation.setCPUThrottlingRate", "params": {"rate": 4}})
        driver.command("navigate", {"url": url})
        script = ("const at = (name) => (performance.getEntriesByName(name)[0] || {}).startTime ?? null;"
                  "return [at('first-paint'), at('ready-to-press'), at('calculator-ready'),"
                  " performance.getEntriesByType('resource').map(e => e.name)]")

        def measured():
            times = driver.command("script", {"script": script, "args": []})
            return times if times[0] is not None and (times[2] is not None or not ready) else None
        return browsers.wait_for(measured, 20, "the first paint")
    finally:
        driver.quit()


def main():
    site = sys.argv[1]
    loads = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    server = browsers.serve(site)
    floor = floor_site(site)
    floor_server = browsers.serve(floor)
    page_url = f"http://127.0.0.1:{server.server_address[1]}/"
    floor_url = f"http://127.0.0.1:{floor_server.server_address[1]}/"
    paints, readies, loaded, floors, fetched = [], [], [], [], set()
    for _ in range(loads):  # alternating, so that both see the same machine
        paint, ready, calculator, resources = load(page_url, True)
        paints.append(paint)
        readies.append(ready)
        loaded.append(calculator)
        fetched.update(name[len(page_url):] for name in resources if name.startswith(page_url))
        floors.append(load(floor_url, False)[0])
    server.shutdown()
    floor_server.shutdown()
    shutil.rmtree(floor)

    # And what the worker keeps at install, itself included: a first visit fetches each once.
    with open(os.path.join(site, "sw.js"), encoding="utf-8") as source:
        kept = set(re.findall(r"'\./([^']*)': '[0-9a-f]{64}'", source.read()))
    total = 0
    print("bytes a first visit fetches at a density of 1 (the page, its worker and what it keeps), gzip -9:")
    # The install icons are the browser's to fetch when a user installs the page, not the page's.
    for name in ["index.html", "sw.js"] + sorted(n for n in (fetched | kept) - {"", "index.html", "sw.js"}
                                                 if not n.startswith("icons/")):
        with open(os.path.join(site, name), "rb") as source:
            size = len(gzip.compress(source.read(), compresslevel=9))
        total += size
        print(f"  {name:24} {size:7,} B")
    print(f"  {'in all':24} {total:7,} B ({total / 1024:.1f} KiB; goal: at most 40 KiB)")
    median = statistics.median
    print(f"headless Chromium at a CPU four times slower, median of {loads} cold loads (range):")
    print(f"  first paint, the page       {median(paints):6.1f} ms ({min(paints):.1f} to {max(paints):.1f})")
    print(f"  first paint, static floor   {median(floors):6.1f} ms ({min(floors):.1f} to {max(floors):.1f})")
    print(f"  ratio                       {median(paints) / median(floors):6.2f} (goal: at most 1.2)")
    print(f"  ready to press, the page    {median(readies):6.1f} ms ({min(readies):.1f} to {max(readies):.1f})")
    print(f"  ready to press / the floor's first paint {median(readies) / median(floors):6.2f} (goal: at most 1.2)")
    print(f"  the calculation loaded      {median(loaded):6.1f} ms ({min(loaded):.1f} to {max(loaded):.1f}):"
          f" {median(loaded) / median(floors):.2f} times the floor's first paint; a press kept till then runs")
    lighthouse(site)


def lighthouse(site):
    """Lighthouse's four scores for the page on a phone (its default), and what lost points."""
    top = os.path.join(here, "..", "..")
    nginx, url = browsers.host(site)
    report = os.path.join(tempfile.mkdtemp(prefix="halvern-lighthouse-"), "report.json")
    try:
        subprocess.run(["node", os.path.join(top, "build", "web-bench-tools", "node_modules", "lighthouse", "cli",
                                             "index.js"), url, "--quiet", "--output=json", f"--output-path={report}",
                        "--only-categories=performance,accessibility,best-practices,seo",
                        "--chrome-flags=--headless=new --no-sandbox --disable-gpu"],
                       env={**os.environ, "CHROME_PATH": shutil.which("chromium")}, check=True, timeout=300)
    finally:
        nginx.terminate()
    with open(report, encoding="utf-8") as source:
        result = json.load(source)
    print("Lighthouse, mobile (goal: 100 in each):")
    for category in result["categories"].values():
        lost = [ref["id"] for ref in category["auditRefs"] if ref.get("weight")
                and result["audits"][ref["id"]]["score"] not in (None, 1)]
        print(f"  {category['title']:24} {round(category['score'] * 100):4}  {' '.join(lost)}")


if __name__ == "__main__":
    main()
