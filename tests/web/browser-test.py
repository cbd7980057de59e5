#!/usr/bin/env python3
"""The web page in a real browser (tools/browsers.py), driven as a person would through WebDriver:
checked against the tables of tests/support, audited by axe-core. Exit 77 (skipped) where the
browser cannot run here, or where all else passed but the audit is not installed.

  browser-test.py chromium|webkit|firefox <site> <axe.min.js> <screenshot.png>
With HALVERN_SCENARIO set to a scenario's name, that scenario alone is played.
"""
import base64
import contextlib
import gzip
import hashlib
import json
import os
import pathlib
import re
import shutil
import socket
import sys
import tempfile
import urllib.parse
import urllib.request

here = os.path.dirname(os.path.abspath(__file__))
sys.path[:0] = [os.path.join(here, "..", "support"), os.path.join(here, "..", "..", "tools")]
# pylint: disable=wrong-import-position
from browsers import host, module_hook, serve, skip, start, wait_for  # noqa: E402
from tables import compare_seen, plan, scenarios, what_users_see  # noqa: E402

KEYS = {"Tab": "\ue004", "Enter": "\ue007", "Escape": "\ue00c", "Shift": "\ue008",
        "Control": "\ue009", "Space": " ", "Insert": "\ue016",
        "Backspace": "\ue003", "Keypad.": "\ue028"}


def settle(check, seconds=5):
    """Waits until check() holds, at most `seconds`; the comparison after it says what differs."""
    with contextlib.suppress(AssertionError):
        wait_for(check, seconds)


class Page:
    """The scenarios' acts and observations on the page, as tests/support/Scenarios.h has them."""

    def __init__(self, driver, browser, url=None):
        self.driver, self.browser = driver, browser
        if url:
            self.load(url)

    def load(self, url):
        """The page at `url`, once its calculation has loaded."""
        self.driver.command("navigate", {"url": url})
        wait_for(lambda: self.js("return document.body.dataset.ready === 'true'"), what="the page to be ready")

    def screenshot(self, path):
        with open(path, "wb") as image:
            image.write(base64.b64decode(self.driver.command("screenshot", {})))

    def js(self, script, *args):
        return self.driver.command("script", {"script": script, "args": list(args)})

    def js_async(self, script, *args):
        """A script that ends by calling done(its answer)."""
        return self.driver.command("async_script", {
            "script": "const done = arguments[arguments.length - 1];" + script, "args": list(args)})

    def cdp(self, command, **params):
        return self.driver.command("cdp", {"cmd": command, "params": params})

    def metrics(self, width=None, height=640, scale=1, mobile=False):
        """Chromium's emulated screen; none given, the real one again."""
        if width is None:
            self.cdp("Emulation.clearDeviceMetricsOverride")
        else:
            self.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
                     deviceScaleFactor=scale, mobile=mobile)

    @contextlib.contextmanager
    def before_scripts(self, source):
        """In Chromium, `source` runs in every page loaded meanwhile before the page's own."""
        added = self.cdp("Page.addScriptToEvaluateOnNewDocument", source=source)
        try:
            yield
        finally:
            self.cdp("Page.removeScriptToEvaluateOnNewDocument", identifier=added["identifier"])

    def keys(self, *names):
        actions = []
        for name in names:
            modifier, plus, rest = name.partition("+")
            if plus and modifier in ("Shift", "Control") and rest:
                held, pressed = [KEYS[modifier]], [KEYS.get(rest, rest)]
            else:
                held, pressed = [], [KEYS[name]] if name in KEYS else list(name)
            for key in pressed:
                actions += [{"type": "keyDown", "value": k} for k in held + [key]]
                actions += [{"type": "keyUp", "value": k} for k in [key] + held]
        self.driver.command("actions", {"actions": [{"type": "key", "id": "keyboard", "actions": actions}]})
        self.driver.command("release", {})

    def set(self, name, text):
        self.js("document.getElementById(arguments[0]).value = arguments[1]", name, text)

    def type(self, name, text):
        """Clicks into a field, selects all it holds and types over it."""
        self.click(name)
        self.js("document.getElementById(arguments[0]).select()", name)
        self.keys(text or "\ue017")  # Delete, where there is nothing to type

    def click(self, name, hold=False):
        """A click on the control; held, the button stays down until the driver's release."""
        element = self.js("return document.getElementById(arguments[0])", name)
        self.driver.command("actions", {"actions": [{
            "type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"}, "actions": [
                {"type": "pointerMove", "origin": element, "x": 0, "y": 0},
                {"type": "pointerDown", "button": 0}] + ([] if hold else [{"type": "pointerUp", "button": 0}])}]})
        if not hold:
            self.driver.command("release", {})

    def key(self, key):
        if key.startswith("Keypad") and key != "Keypad.":
            self.keypad_character(key[len("Keypad"):])
        elif key == "Control+z" and self.browser == "webkit":
            # WebKitWebDriver's keys never reach WebKitGTK's editing key bindings, where Ctrl+Z
            # is the editor's undo: that command, then, as the key would give it.
            self.js("document.execCommand('undo')")
        else:
            self.keys(key)

    def keypad_character(self, character):
        """The keypad's decimal key giving another character than the point: a real key in
        Chromium; elsewhere, where WebDriver has no such key, the events the browser would send."""
        if self.browser == "chromium":
            key = {"key": character, "code": "NumpadDecimal", "windowsVirtualKeyCode": 110, "location": 3}
            self.cdp("Input.dispatchKeyEvent", type="keyDown", text=character, **key)
            self.cdp("Input.dispatchKeyEvent", type="keyUp", **key)
            return
        key = ("document.activeElement.dispatchEvent(new KeyboardEvent(arguments[0], {key: arguments[1],"
               " code: 'NumpadDecimal', location: 3, bubbles: true}))")
        self.js(key, "keydown", character)
        self.compose(character)
        self.js(key, "keyup", character)

    def compose(self, text):
        """Text into the focused field in one input, as an input method gives it, with no key."""
        self.js("if (document.activeElement.dispatchEvent(new InputEvent('beforeinput', {inputType: 'insertText',"
                " data: arguments[0], bubbles: true, cancelable: true})))"
                " document.execCommand('insertText', false, arguments[0]);", text)

    def select(self, start, end):
        self.js("document.activeElement.setSelectionRange(arguments[0], arguments[1])", start, end)

    def paste(self, route, text):
        """Through the real clipboard where the driver reaches it (Firefox), else as its event."""
        dropped = route.partition("drop:")[2]
        if not dropped and hasattr(self.driver, "set_clipboard"):
            self.driver.set_clipboard(text)
            self.keys(route)
            return
        # A paste the page leaves to the browser is then put in as the browser's own paste puts
        # it in, which no event a script sends does.
        self.js("const data = new DataTransfer(); data.setData('text/plain', arguments[0]);"
                "const left = (document.getElementById(arguments[1]) || document.activeElement).dispatchEvent(arguments[1] ?"
                " new DragEvent('drop', {dataTransfer: data, bubbles: true, cancelable: true}) :"
                " new ClipboardEvent('paste', {clipboardData: data, bubbles: true, cancelable: true}));"
                "if (left && !arguments[1]) document.execCommand('insertText', false, arguments[0]);",
                text, dropped)

    def text(self, name):
        return self.js("return document.getElementById(arguments[0]).value", name)

    def focused(self, expected=None):
        """Where the focus is, once at `expected`: a report's field gets it after the close event."""
        settle(lambda: expected is None or self.focused() == expected, 2)
        return self.js("return document.activeElement && document.activeElement.id")

    def length(self, name):
        """In UTF-16 units, as the page and every toolkit count a selection."""
        return self.js("return document.getElementById(arguments[0]).value.length", name)

    def selection(self):
        return self.js("const f = document.activeElement; return [f.selectionStart, f.selectionEnd]")

    def shows_from_start(self, name):
        return self.js("const f = document.getElementById(arguments[0]);"
                       "return f.scrollLeft === 0 && f.selectionStart === 0", name)

    def showing(self):
        """The report's kind and words while it is open; its kind marked where it is not titled
        as the calculator with OK alone, as a desktop's message box is."""
        return self.js(
            "const d = document.getElementById('report'), text = (id) => document.getElementById(id).textContent;"
            " return d.open ? [d.dataset.kind + (text('report-title') === text('caption') && text('report-ok') === 'OK'"
            " && d.querySelectorAll('button').length === 1 ? '' : ' (not titled as the calculator with OK alone)'),"
            " text('report-text')] : null")

    def refused_press(self):
        """A press on an amount that is no number; returns once its report shows."""
        self.set("amount", "x")
        self.click("Command1")
        wait_for(self.showing, 5, "the report")

    def report(self, close):
        """The report showing, closed with the key `close`; None if none shows."""
        try:
            seen = wait_for(self.showing, 5, "the report")
        except AssertionError:
            return None
        self.keys(close)
        wait_for(lambda: self.showing() is None, 5, "the report to close")
        return seen


class Checks:
    def __init__(self, browser):
        self.browser = browser
        self.failures = []
        self.passed = 0

    def equal(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
        else:
            self.failures.append(f"{what}: {actual!r}, expected {expected!r}")

    def true(self, what, condition):
        self.equal(what, bool(condition), True)


# The page's dump of what it shows, the window or (arguments[1]) the report, in the order a screen
# reader reads it, as rows of what-users-see.tsv's columns. A background is fixed where it differs
# from that of a bare element of the same kind in the same place, which the page's look gives; a
# field's name is what its label gives it.
DUMP = """
const client = document.getElementById(arguments[1] || 'client'), frame = client.getBoundingClientRect();
const kinds = {INPUT: 'field', BUTTON: 'button', IMG: 'picture', LABEL: 'label', SPAN: 'label', H2: 'label',
  P: 'label'};
const hex = c => { const v = c.match(/[0-9.]+/g).slice(0, 3).map(Number);
  return '#' + v.map(n => n.toString(16).padStart(2, '0')).join(''); };
const background = (e, tag, where) => {
  const bare = document.createElement(tag); where.append(bare);
  const theme = getComputedStyle(bare).backgroundColor; bare.remove();
  const s = getComputedStyle(e);
  return s.backgroundColor === theme ? 'theme'
    : hex(s.backgroundColor) + (s.color === 'rgb(0, 0, 0)' ? '' : ' with text not black'); };
const named = e => {
  const by = e.getAttribute('aria-labelledby');
  return e.getAttribute('aria-label') || (by ? by.split(' ').map(id =>
    document.getElementById(id).textContent).join(' ') : e.labels && e.labels.length ?
    e.labels[0].textContent : ''); };
const row = (e, name, kind, text, tag, where) => { const r = e.getBoundingClientRect();
  return [name, kind, ...[r.left - frame.left, r.top - frame.top, r.width, r.height].map(v =>
    String(Math.round(v))), background(e, tag, where), arguments[0][name] || '-',
    e.tagName === 'INPUT' ? named(e) || '-' : '-', text]; };
return [row(client, arguments[1] || 'form1', 'window', arguments[1] ? client.querySelector('h2').textContent
  : document.title, client.tagName, document.body),
  ...[...client.children].map(e => row(e, e.id, kinds[e.tagName] || e.tagName.toLowerCase(),
    e.tagName === 'INPUT' ? e.value : e.tagName === 'IMG' ? e.alt : e.textContent, e.tagName,
    client))];
"""


# The window's texts that do not show whole in their boxes, give or take `arguments[0]` pixels.
CUT = ("return [...document.querySelectorAll('#client > span, #client > label, #client > button')]"
       ".filter(e => e.scrollWidth > e.clientWidth + arguments[0] || e.scrollHeight > e.clientHeight + arguments[0])"
       ".map(e => e.id)")


def check_seen(page, checks, table="what-users-see.tsv"):
    """The page's dump against a table of what users see, with the Tab places a keyboard user
    finds: Tab from the focus at start until it is back. Returns the control focused at start.
    The report, while one shows, against a table of its own, which has no Tab places."""
    report = page.showing() is not None
    start = page.js("return document.activeElement.id")
    places = {} if report else {start: "1"}
    while places and len(places) < 11:
        page.keys("Tab")
        reached = page.js("return document.activeElement.id")
        if reached in places:
            break
        places[reached] = str(len(places) + 1)
    differences = compare_seen(page.js(DUMP, places, "report" if report else None), table=table)
    for difference in differences:
        checks.failures.append(f"{table}: {difference}")
    checks.passed += not differences
    return start


def check_layout(page, checks):
    checks.equal("the language, and a description for search results and shared links", page.js(
        "return [document.documentElement.lang, !!document.querySelector('meta[name=description]')?.content]"),
        ["en", True])
    start = check_seen(page, checks)
    # From nowhere, as after a click on the window's background: Tab goes to the chain's start.
    page.js("document.activeElement.blur()")
    page.keys("Tab")
    checks.equal("Tab with no control focused", page.js("return document.activeElement.id"), start)
    checks.equal("the title bar as wide as the window, at its top with the client area right under it and the"
                 " window's end right under that (or the status bar), its title in bold as a desktop's is, clear"
                 " of the icon and halfway down the bar",
                 page.js("const h = document.getElementById('caption'), r = document.createRange();"
                         "r.selectNodeContents(h.lastChild);"
                         "const w = document.querySelector('main').getBoundingClientRect(), t = h.getBoundingClientRect(),"
                         " c = document.getElementById('client').getBoundingClientRect(), title = r.getBoundingClientRect(),"
                         " s = document.getElementById('status'), end = (s.hidden ? c : s.getBoundingClientRect()).bottom;"
                         "return [new Set(['caption', 'client'].map(id => document.getElementById(id).offsetWidth)).size,"
                         " [t.top - w.top, c.top - t.bottom, w.bottom - end], getComputedStyle(h).fontWeight,"
                         " title.left - h.querySelector('img').getBoundingClientRect().right >= 4,"
                         " Math.abs(title.top - t.top - (t.bottom - title.bottom)) <= 1]"),
                 [1, [0, 0, 0], "700", True, True])
    # Centred as a dialog opens on a desktop, with the status bar where it shows; the logo's size
    # written in the page, so nothing moves as it loads.
    checks.equal("the window in the middle of the page, the logo's size in the page as drawn", page.js(
        "const w = document.querySelector('main').getBoundingClientRect(), i = document.getElementById('Image1'),"
        " s = document.getElementById('status'), bottom = s.hidden ? w.bottom : s.getBoundingClientRect().bottom;"
        "return [Math.abs(w.left - (innerWidth - w.right)) <= 1, Math.abs(w.top - (innerHeight - bottom)) <= 1,"
        " [i.width, i.height].join() === [i.getAttribute('width'), i.getAttribute('height')].join()]"),
        [True, True, True])
    if page.browser == "chromium":
        # Raised from the page as a desktop's window is from its desktop: beside the window, its
        # shadow darkens the page, which further off is plain.
        box = page.js("const r = document.querySelector('main').getBoundingClientRect();"
                      "return {x: r.right + 2, y: r.top + 40, width: 4, height: r.height - 80, scale: 1}")
        beside, further = (page.cdp("Page.captureScreenshot", clip=dict(box, x=box["x"] + off))["data"]
                           for off in (0, 60))
        checks.true("the window's shadow on the page beside it", beside != further)
    checks.equal("spelling and autofill suggestions over the numbers", page.js(
        "return [...document.querySelectorAll('#client > input')]"
        ".filter(f => f.autocomplete !== 'off' || f.spellcheck).map(f => f.id)"), [])
    checks.equal("texts that overflow their boxes", page.js(CUT, 0), [])
    # Nor are the texts smaller than they need be: below the page's own size, one pixel more cuts
    # one. (A button's overflow shows in its scroll size in Chromium alone.)
    grown = [("captions", "--caption-size", "#client > span, #client > label")]
    if page.browser == "chromium":
        grown.append(("the button", "--button-size", "#client > button"))
    for what, name, selector in grown:
        larger = page.js(
            "const root = document.documentElement.style, size = parseFloat(root.getPropertyValue(arguments[0]));"
            "if (size >= parseFloat(getComputedStyle(document.body).fontSize)) return null;"
            "root.setProperty(arguments[0], `${size + 1}px`);"
            "const cut = [...document.querySelectorAll(arguments[1])]"
            ".some((e) => e.scrollWidth > e.clientWidth || e.scrollHeight > e.clientHeight);"
            "root.setProperty(arguments[0], `${size}px`); return cut ? null : size;", name, selector)
        checks.equal(f"{what} would fit one pixel larger", larger, None)
    sizes = page.js("return ['amount', 'Label1'].map(n => parseFloat(getComputedStyle(document.getElementById(n)).fontSize))")
    checks.true(f"typing is larger than the captions ({sizes})", sizes[0] > sizes[1])


def run_scenario(scenario, driver):
    """What differs from the scenario's plan (tables.plan), as runScenario in Scenarios.h reads it.
    A report on the page holds nothing up: the report check waits for it and closes it."""
    failures = []
    for step in plan(scenario):
        verb, words, text = step["verb"], step["words"], step["text"]
        first = words[0] if words else ""
        fail = lambda what, step=step: failures.append(f"{step['verb']} {' '.join(step['words'])}: {what}")
        if verb in ("set", "type", "paste"):
            getattr(driver, verb)(first, text)
        elif verb in ("click", "key"):
            getattr(driver, verb)(first)
        elif verb == "compose":
            driver.compose(text)
        elif verb == "select":
            driver.select(int(words[0]), int(words[1]))
        elif verb == "expect" and driver.text(first) != text:
            fail(f"holds {driver.text(first)[:60]!r}")
        elif verb == "focus" and driver.focused(first) != first:
            fail(f"the focus is on {driver.focused()}")
        elif verb == "selected":
            field = driver.focused()
            expected = [int(first), driver.length(field) if words[1] == "end" else int(words[1])]
            if driver.selection() != expected:
                fail(f"{field} has {driver.selection()} selected")
        elif verb == "report":
            seen = driver.report(words[1])
            if seen is None:
                fail("no report showed")
            elif seen[0] != first or text not in seen[1]:
                fail(f"the report is an {seen[0]} saying {seen[1][:60]!r}")
        elif verb == "no-report" and driver.showing() is not None:
            fail(f"a report nobody expected: {driver.report('Enter')[1][:60]!r}")
        elif verb == "from-start" and not driver.shows_from_start(first):
            fail("shows its text from elsewhere")
    return failures


def check_scenarios(page, checks, where="", language="en-US", only=None):
    """The scenarios of the browser's language, which must be the one asked for; those named alone."""
    checks.equal(f"the browser's language{where}", page.js("return navigator.languages[0]"), language)
    start = {row["name"]: row["text"] for row in what_users_see() if row["kind"] == "field"}
    if only is None and os.environ.get("HALVERN_SCENARIO"):
        only = [os.environ["HALVERN_SCENARIO"]]  # one scenario alone, by its name
    for scenario in scenarios():
        if only and scenario["name"] not in only:
            continue
        if language in scenario["locales"] and (scenario["windows"] == "all" or "web" in scenario["windows"].split()):
            # As at start, without loading the page thirty times over: a browser under load
            # loses its session to that now and then.
            page.js("Object.entries(arguments[0]).forEach(([n, t]) => { document.getElementById(n).value = t; });"
                    "document.getElementById('amount').focus()", start)
            failures = run_scenario(scenario, page)
            checks.equal(f"scenario {scenario['name']!r}{where}", failures, [])


def check_in_german(browser, url, checks):
    """The scenarios of a person whose browser's language writes decimals with a comma."""
    driver = start(browser, language="de-DE")
    try:
        check_scenarios(Page(driver, browser, url), checks, " in German", "de-DE")
    finally:
        driver.quit()


CONTRAST = ("const rgb = (c) => c.match(/[\\d.]+/g).slice(0, 3).map(Number).map((v) => v / 255)"
            ".map((v) => (v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4));"
            "const lum = (c) => { const [r, g, b] = rgb(c); return 0.2126 * r + 0.7152 * g + 0.0722 * b; };"
            "const [a, b] = [lum(arguments[0]), lum(arguments[1])];"
            "return (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);")


def check_schemes(page, url, checks):
    """The page and the report follow a dark or light scheme; the window keeps its own colours.
    WebKitWebDriver cannot set the scheme: there, only the light one."""
    for dark in (False, True):
        if page.browser == "chromium":
            page.cdp("Emulation.setEmulatedMedia",
                     features=[{"name": "prefers-color-scheme", "value": "dark" if dark else "light"}])
        elif hasattr(page.driver, "chrome"):
            page.driver.chrome("Services.prefs.setIntPref("
                               "'layout.css.prefers-color-scheme.content-override', arguments[0])", 0 if dark else 1)
        elif dark:
            return
        scheme = "dark" if dark else "light"
        page.load(url)
        # The browser takes the viewport's scrollbars' scheme from the root element alone.
        checks.equal(f"the page sees the {scheme} scheme, its scrollbars too", page.js(
            "return [matchMedia('(prefers-color-scheme: dark)').matches,"
            " getComputedStyle(document.documentElement).colorScheme.includes('dark')]"), [dark, True])
        colours = page.js("const c = (id, p) => getComputedStyle(document.getElementById(id) || document.body)[p];"
                          "return [c('client', 'backgroundColor'), c('Label1', 'color'), c('amount', 'color'),"
                          " c('amount', 'backgroundColor'), c('fee', 'color'), c('Command1', 'color'),"
                          " c('Command1', 'backgroundColor'), c('report-title', 'color'),"
                          " c('report-title', 'backgroundColor')]")
        # The button's face is the classic desktop's, as the fields' edges are.
        checks.equal(f"the window's own colours, and its report's title bar's, in the {scheme} scheme", colours,
                     ["rgb(192, 192, 0)"] + ["rgb(0, 0, 0)"] * 2 + ["rgb(255, 255, 255)"] + ["rgb(0, 0, 0)"] * 2
                     + ["rgb(212, 208, 200)", "rgb(255, 255, 255)", "rgb(43, 87, 151)"])
        around = page.js("return getComputedStyle(document.body).backgroundColor")
        light = page.js("const [r, g, b] = arguments[0].match(/\\d+/g).map(Number);"
                        "return 0.2126 * r + 0.7152 * g + 0.0722 * b > 64", around)
        checks.equal(f"the page around the window in the {scheme} scheme ({around})", light, not dark)
        page.refused_press()
        text, ground, ok = page.js("const c = (id) => getComputedStyle(document.getElementById(id));"
                                   "return [c('report-text').color, c('report').backgroundColor,"
                                   " [c('report-ok').color, c('report-ok').backgroundColor]]")
        contrast = page.js(CONTRAST, text, ground)
        checks.true(f"the report's words readable in the {scheme} scheme ({text} on {ground})", contrast >= 4.5)
        # Its OK as the browser draws a button in that scheme: not a light one in a dark box.
        light_on_dark = page.js("const sum = (c) => c.match(/[\\d.]+/g).slice(0, 3).reduce((a, b) => a + +b, 0);"
                                "return sum(arguments[0]) > sum(arguments[1])", *ok)
        checks.equal(f"the report's OK in the {scheme} scheme ({ok[0]} on {ok[1]})",
                     [light_on_dark, page.js(CONTRAST, *ok) >= 4.5], [dark, True])
        page.report("Enter")
    if page.browser == "chromium":
        page.cdp("Emulation.setEmulatedMedia", features=[])
    else:
        page.driver.chrome("Services.prefs.clearUserPref('layout.css.prefers-color-scheme.content-override')")


def shot_of(page, name=None):
    """Chromium's screenshot of a control's box alone, or of the page's top left corner."""
    box = page.js("const r = arguments[0] ? document.getElementById(arguments[0]).getBoundingClientRect()"
                  " : {x: 0, y: 0, width: 8, height: 8};"
                  "return {x: r.x, y: r.y, width: r.width, height: r.height, scale: 1}", name)
    return page.cdp("Page.captureScreenshot", clip=box)["data"]


def check_glue(page, checks):
    """The manifest, the worker, the report's wrapping, the focus cue and the fitted fonts."""
    fitted = page.js("const root = document.documentElement.style;"
                     "const size = (id) => getComputedStyle(document.getElementById(id)).fontSize;"
                     "return [['--caption-size', 'Label1'], ['--field-size', 'amount'], ['--button-size', 'Command1']]"
                     ".map(([p, id]) => [root.getPropertyValue(p).trim() !== '', root.getPropertyValue(p).trim() === size(id)])")
    checks.equal("the captions, fields and button in the sizes fitted for them", fitted, [[True, True]] * 3)
    checks.equal("texts the fit measures otherwise than the page lays them out", page.js(
        "return [...document.querySelectorAll('#client > span, #client > label, #client > button')].filter((e) => {"
        " const r = document.createRange(), size = parseFloat(getComputedStyle(e).fontSize); r.selectNodeContents(e);"
        " return Math.abs(halvernPage.measure(size, e.textContent).width - r.getBoundingClientRect().width) > 1; })"
        ".map((e) => e.id)"), [])
    checks.equal("every control in the one family the fit measures, as a desktop window's in its font", page.js(
        "return new Set(['Label1', 'amount', 'Command1', 'report-ok']"
        ".map(id => getComputedStyle(document.getElementById(id)).fontFamily)).size"), 1)
    # The manifest the page links, fetched once for the checks below.
    base = page.js("return document.querySelector('link[rel=manifest]').href")
    manifest = page.js_async("fetch(arguments[0]).then(r => r.json()).then(done, e => done({error: String(e)}))", base)
    # An installed page opens on its background colour, under a title bar in its theme colour,
    # and the page itself then takes their place: the same colours, or the window flashes.
    checks.equal("the manifest the page links, in the page's colours", page.js(
        "const css = (colour) => { const e = document.createElement('i'); e.style.color = colour;"
        " document.body.append(e); const c = getComputedStyle(e).color; e.remove(); return c; };"
        "const m = arguments[0], shown = [getComputedStyle(document.body).backgroundColor,"
        " getComputedStyle(document.getElementById('caption')).backgroundImage.match(/rgb\\([^)]*\\)/)[0]];"
        "return [m.name, m.start_url, m.display, css(m.background_color) === shown[0], css(m.theme_color) === shown[1]]",
        manifest), [what_users_see()[0]["text"], "./", "standalone", True, True])
    # An install prompt and the list of installed apps show the description; a launcher cuts a
    # short name past about 12 characters.
    checks.equal("the installed page's short name and description", [
        0 < len(manifest.get("short_name", "")) <= 12, bool(manifest.get("description"))], [True, True])
    offered = manifest.get("icons", [])
    # A browser picks the icon to install by the size the manifest gives it.
    declared = page.js_async(
        "Promise.all(arguments[0].map((icon) => new Promise((loaded) => {"
        " const i = new Image(); i.onerror = () => loaded(icon.src);"
        " i.onload = () => loaded(`${i.naturalWidth}x${i.naturalHeight}` === icon.sizes ? '' : icon.src);"
        " i.src = new URL(icon.src, arguments[1]).href; }))).then(a => done(a.filter(Boolean)));", offered, base)
    checks.equal("the manifest's icons missing, or of another size than it gives", declared, [])
    # Android's launcher and splash screen each ask for a size by name, and scale another otherwise.
    checks.equal("the launcher's and splash screen's icons in the manifest",
                 [size in [icon["sizes"] for icon in offered] for size in ("192x192", "512x512")], [True, True])
    icons = page.js_async("Promise.all(['icon', 'apple-touch-icon'].map((rel) => new Promise((loaded) => {"
                          " const i = new Image(); i.onload = () => loaded(i.naturalWidth); i.onerror = () => loaded(0);"
                          " i.src = document.querySelector(`link[rel=${rel}]`).href; }))).then(done);")
    checks.true(f"the tab's icon, and the home screen's as large as a phone shows it ({icons} px)",
                icons[0] >= 16 and icons[1] >= 180)
    scope = page.js_async("navigator.serviceWorker.ready.then(r => done(r.scope), e => done(String(e)));")
    checks.equal("the worker's scope", scope, page.js("return new URL('./', location.href).href"))
    if page.browser == "chromium":  # Firefox and WebKit set its lines and OK a little higher
        page.refused_press()
        check_seen(page, checks, "what-a-report-shows.tsv")
        page.report("Enter")
    page.set("amount", "W" * 60)  # the report quotes forty of them, wider than the box
    # The first pixel of a screenshot, decoded by the browser (a data URL is no image the page's
    # policy allows, a blob is).
    first_pixel = ("const bytes = Uint8Array.from(atob(arguments[0]), (c) => c.charCodeAt(0));"
                   "createImageBitmap(new Blob([bytes])).then((b) => { const c = new OffscreenCanvas(1, 1)"
                   ".getContext('2d'); c.drawImage(b, 0, 0); done([...c.getImageData(0, 0, 1, 1).data].slice(0, 3)); });")
    corner = page.browser == "chromium" and page.js_async(first_pixel, shot_of(page))
    page.click("Command1")
    wait_for(page.showing, 5, "the report")
    if corner:  # a quarter darker: plainly held up, and still readable, as under a modal window
        dimmed = page.js_async(first_pixel, shot_of(page))
        checks.true(f"the page dimmed by a quarter behind the report ({corner} to {dimmed})",
                    all(abs(after - 0.75 * before) <= 2 for before, after in zip(corner, dimmed)))
    checks.equal("a long report wraps inside its box, its paragraphs apart", page.js(
        "const t = document.getElementById('report-text');"
        " return [t.scrollWidth <= t.clientWidth, t.innerText.includes('\\n\\nPlease')]"), [True, True])
    # OK as wide as a desktop message box's button: 50 dialog units, 75 px at 96 dpi.
    checks.equal("a long report in lines a reader can follow, OK centred under them, in a frame", page.js(
        "const d = document.getElementById('report').getBoundingClientRect(),"
        " ok = document.getElementById('report-ok').getBoundingClientRect(),"
        " words = (id) => { const r = document.createRange();"
        "   r.selectNodeContents(document.getElementById(id)); return r.getBoundingClientRect(); },"
        " em = parseFloat(getComputedStyle(document.getElementById('report-text')).fontSize);"
        "return [d.width <= 40 * em, Math.abs((ok.left - d.left) - (d.right - ok.right)) <= 1, ok.width >= 75,"
        # room beside the title's and the report's words, as a message box has
        " ['report-title', 'report-text'].map(words).every(w => w.left - d.left >= 8 && d.right - w.right >= 8),"
        # and a frame round it, as a window has
        " ((s) => parseFloat(s.borderTopWidth) >= 1 && !/rgba|transparent/.test(s.borderTopColor)"
        "   && s.borderTopColor !== s.backgroundColor)(getComputedStyle(document.getElementById('report')))]"),
        [True, True, True, True, True])
    if page.browser == "chromium":  # what a screen reader reads as the report opens
        dialog = page.cdp("DOM.querySelector", selector="#report",
                          nodeId=page.cdp("DOM.getDocument")["root"]["nodeId"])["nodeId"]
        told = page.cdp("Accessibility.getPartialAXTree", nodeId=dialog, fetchRelatives=False)["nodes"][0]
        checks.true(f"the report read with its words ({told.get('description')})",
                    "is not a number" in str(told.get("description")))
    page.keys("Enter")
    page.focused("amount")
    page.set("amount", "100")
    page.click("Command1")
    # A screen reader reads the lines the text is laid out in: in its one-pixel box, the sentence
    # must still be one line, not a word to a line.
    checks.equal("a new fee is said politely, to screen readers alone, as one line", page.js(
        "const a = document.getElementById('announced'), r = a.getBoundingClientRect(), t = document.createRange();"
        "t.selectNodeContents(a);"
        "return [a.getAttribute('aria-live'), a.textContent, r.width <= 1 && r.height <= 1,"
        " new Set([...t.getClientRects()].map((l) => Math.round(l.top))).size]"),
        ["polite", "Fee $ 1", True, 1])
    page.click("amount")
    page.keys("Tab")
    checks.equal("the focus shows where it is", page.js(
        "return getComputedStyle(document.activeElement).outlineStyle"), "dotted")
    cued = page.browser == "chromium" and shot_of(page, "Command1")
    page.keys("Tab")  # on to the gold price: the click below moves the focus, as a mouse does
    page.click("Command1")
    checks.equal("a click hides the keyboard's focus cue", page.js(
        "return getComputedStyle(document.getElementById('Command1')).outlineStyle"), "none")
    if cued:  # as the desktop draws it: inside the button's own box
        checks.true("the focus cue drawn inside the button", shot_of(page, "Command1") != cued)
    edges = "return ['Command1', 'amount'].map(id => getComputedStyle(document.getElementById(id)).borderTopStyle)"
    raised = page.js(edges)
    page.click("Command1", hold=True)
    held = page.js(edges)
    page.driver.command("release", {})
    checks.equal("the button raised, and sunk while the mouse holds it; a field sunk", [raised, held],
                 [["outset", "inset"], ["inset", "inset"]])


def check_loading(driver, url, checks):
    """The window drawn before the calculation's script comes; a press while the calculation loads
    runs once it has; one that cannot load disables all. Each on a path of its own, which no
    worker of an earlier load answers for."""
    page = Page(driver, checks.browser)
    driver.command("navigate", {"url": url + "slow-module/"})
    checks.true("the window drawn before the calculation's script, two seconds late, comes", page.js(
        "const paint = performance.getEntriesByName('first-contentful-paint')[0];"
        " const script = performance.getEntriesByType('resource').find((r) => r.name.endsWith('/halvern.js'));"
        " return paint.startTime < script.responseEnd"))
    # The bar as drawn: hidden by its attribute, a rule of its own could still show it.
    state = ("return [document.getElementById('Command1').disabled,"
             " document.getElementById('status').getClientRects().length === 0,"
             " document.getElementById('status').innerText.trim(),"
             " [...document.querySelectorAll('#client input')].every(f => f.disabled)]")
    driver.command("navigate", {"url": url + "slow-wasm/"})
    checks.equal("while the calculation loads", page.js(state), [False, False, "Loading the calculator\u2026", False])
    checks.true("the bar's words clear of its edges, as a desktop's status bar has them", page.js(
        "const bar = document.getElementById('status'), words = document.createRange();"
        "words.selectNodeContents(bar); const w = words.getBoundingClientRect(), b = bar.getBoundingClientRect();"
        "return w.left - b.left >= 3 && w.top - b.top >= 2"))
    status, title = page.js("return ['status', 'caption'].map((id) => getComputedStyle(document.getElementById(id)).fontSize)")
    checks.equal("the bar's words at the title's size, as a desktop's status bar has them", status, title)
    page.set("amount", "100")
    page.click("Command1")
    wait_for(lambda: page.js("return document.body.dataset.ready === 'true'"), what="the slow load")
    checks.equal("a press while it loads, once it has", page.text("fee"), "1")
    checks.equal("the moments bench/web/page-load.py times, marked once each", page.js(
        "return ['ready-to-press', 'calculator-ready'].map((n) => performance.getEntriesByName(n, 'mark').length)"),
        [1, 1])
    _, hidden, words, _ = page.js(state)
    checks.true(f"once it has loaded ({words!r})", hidden or "Loading" not in words)
    # Its WebAssembly missing, its script, the browser's; or a module that came but cannot run.
    for missing in ("no-wasm", "no-module", "no-webassembly", "failing-setup"):
        driver.command("navigate", {"url": url + missing + "/"})
        shown = wait_for(lambda: "could not load" in page.js(state)[2] and page.js(state), 20, "the words of a failed load")
        checks.equal(f"when it cannot load ({missing})", shown, [True, False, "The calculator could not load here."
                                                                 " Check the connection, or try another browser,"
                                                                 " and reload the page.", True])
    checks.true("the button greyed", page.js(
        "return getComputedStyle(document.getElementById('Command1')).color") != "rgb(0, 0, 0)")


# How much wider than the screen the page is: a phone widens its layout viewport to what it
# holds, and then shows it all, zoomed out.
SIDEWAYS = ("return Math.max(document.scrollingElement.scrollWidth, innerWidth)"
            " - Math.min(innerWidth, screen.width)")


# The window's texts under 16 px, which a phone's browser zooms in on as a field is focused.
UNDER_16 = ("return [...document.querySelectorAll('#caption, #client > :not(img)')]"
            ".filter(e => parseFloat(getComputedStyle(e).fontSize) < 16).map(e => e.id)")


def check_touch(page, checks, where, height):
    """Touch sizes, the fee above an on-screen keyboard, nothing wider than the screen."""
    checks.equal(f"the layout {where}, the window flat on the page as an app's screen is, with no shadow", page.js(
        "return [document.documentElement.dataset.layout, getComputedStyle(document.querySelector('main')).boxShadow]"),
        ["touch", "none"])
    checks.equal(f"the fields' on-screen keyboard {where}", page.js(
        "return [...document.querySelectorAll('#client > input')].map(f => f.inputMode)"), ["decimal"] * 3)
    checks.equal(f"texts under 16 px {where}", page.js(UNDER_16), [])
    checks.equal(f"typed text under 4 px from its field's sides {where}", page.js(
        "return [...document.querySelectorAll('#client > input')].map(e => [e.id, getComputedStyle(e)])"
        ".filter(([, s]) => Math.min(parseFloat(s.paddingLeft), parseFloat(s.paddingRight)) < 4).map(([id]) => id)"), [])
    checks.equal(f"controls under 44 px {where}", page.js(
        "return [...document.querySelectorAll('#client > input, #client > button')].filter(e =>"
        " e.getBoundingClientRect().width < 44 || e.getBoundingClientRect().height < 44).map(e => e.id)"), [])
    # A finger that misses by a little must not land on the next control.
    checks.equal(f"controls closer than 8 px {where}", page.js(
        "const c = [...document.querySelectorAll('#client > input, #client > button')]"
        ".map(e => [e.id, e.getBoundingClientRect()]);"
        "return c.flatMap(([n, a], i) => c.slice(i + 1).filter(([, b]) => Math.max(b.top - a.bottom,"
        " a.top - b.bottom, b.left - a.right, a.left - b.right) < 8).map(([m]) => n + ' ' + m))"), [])
    fee = page.js("return document.getElementById('fee').getBoundingClientRect().bottom")
    checks.true(f"the fee above an on-screen keyboard {where} ({fee} of {height} px)", fee <= height / 2)
    checks.equal(f"controls closer than 8 px to the window's sides or bottom {where}", page.js(
        "const w = document.getElementById('client').getBoundingClientRect();"
        "return [...document.querySelectorAll('#client > *')].filter(e => { const r = e.getBoundingClientRect();"
        " return r.left - w.left < 8 || w.right - r.right < 8 || w.bottom - r.bottom < 8; }).map(e => e.id)"), [])
    checks.equal(f"sideways scrolling {where}", page.js(SIDEWAYS), 0)
    # Firefox can round a caption's scroll height a pixel above its box's (a line is 18.4 px).
    checks.equal(f"texts cut {where}", page.js(CUT, 1), [])
    checks.equal(f"the logo in its own proportions, beside the web address and apart from it, {where}", page.js(
        "const i = document.getElementById('Image1'), r = i.getBoundingClientRect(),"
        " a = document.getElementById('Label5').getBoundingClientRect();"
        "return [Math.abs(r.width * i.naturalHeight - r.height * i.naturalWidth) <= i.naturalWidth,"
        " r.left >= a.right + 8 && r.top < a.bottom && a.top < r.bottom]"), [True, True])
    page.refused_press()
    checks.equal(f"a report's texts under 16 px, and its OK under 44 px, {where}", page.js(
        "const ok = document.getElementById('report-ok').getBoundingClientRect();"
        "return [...document.querySelectorAll('#report-title, #report-text, #report-ok')]"
        ".filter(e => parseFloat(getComputedStyle(e).fontSize) < 16).map(e => e.id)"
        ".concat(ok.width < 44 || ok.height < 44 ? ['report-ok'] : [])"), [])
    page.report("Enter")
    page.set("amount", "")


def check_phone(site, screenshot, checks):
    """A 390 x 844 touch screen at a density of 3, every scenario in US English and in German; and
    a 320 px screen."""
    server = serve(site)
    driver = start("chromium", {"width": 390, "height": 844, "pixelRatio": 3.0, "touch": True})
    try:
        page = Page(driver, "chromium", f"http://127.0.0.1:{server.server_address[1]}/")
        check_seen(page, checks, "what-users-see-on-a-phone.tsv")
        page.refused_press()
        check_seen(page, checks, "what-a-report-shows-on-a-phone.tsv")
        page.report("Enter")
        check_touch(page, checks, "on a phone", 844)
        page.screenshot(screenshot.replace(".png", "-on-a-phone.png"))
        check_scenarios(page, checks, " on a phone")
        page.cdp("Emulation.setUserAgentOverride", userAgent=page.js("return navigator.userAgent"),
                 acceptLanguage="de-DE")
        page.load(page.js("return location.href"))
        check_scenarios(page, checks, " on a phone in German", "de-DE")
        page.metrics(320, scale=2, mobile=True)
        checks.equal("sideways scrolling on a 320 px screen", page.js(SIDEWAYS), 0)
        checks.equal("texts cut on a 320 px screen", page.js(CUT, 1), [])
    finally:
        driver.quit()
        server.shutdown()


def check_turning(page, url, checks):
    """The layout follows the viewport without a reload, and a phone's is there at the first
    frame, so the page never jumps. In Chromium, which can change both."""
    page.load(url)
    layout = "return document.documentElement.dataset.layout || 'desktop'"
    for width, expected in [(360, "touch"), (640, "desktop")]:
        page.metrics(width)
        settle(lambda expected=expected: page.js(layout) == expected)
        checks.equal(f"the layout of a window {width} px wide", page.js(layout), expected)
    page.metrics(360, mobile=True)
    try:
        with page.before_scripts("requestAnimationFrame(() => { globalThis.firstFrameLayout ="
                                 " document.documentElement.dataset.layout || 'desktop'; });"):
            page.load(url)
        checks.equal("the layout of a phone's first frame", page.js("return globalThis.firstFrameLayout"), "touch")
    finally:
        page.metrics()


def check_text_size(page, url, checks):
    """A small text size in the browser's settings: the fields take it, as the desktop windows
    take the desktop's, and a phone's texts keep to 16 px at least. A large one on a phone, as
    people with weak sight set it: every text at that size and whole, wrapped where they must. In
    Chromium, which can set it."""
    page.cdp("Page.setFontSizes", fontSizes={"standard": 10})
    try:
        page.load(url)
        checks.equal("the fields under a text size of 10 px", page.js(
            "return getComputedStyle(document.getElementById('amount')).fontSize"), "10px")
        page.metrics(360, height=780, mobile=True)
        page.load(url)
        checks.equal("texts under 16 px on a phone at a text size of 10 px", page.js(UNDER_16), [])
        page.cdp("Page.setFontSizes", fontSizes={"standard": 32})
        page.load(url)
        title = page.js("const c = document.getElementById('caption');"
                        " return c.scrollHeight > c.clientHeight || c.scrollWidth > c.clientWidth")
        checks.equal("texts cut on a phone at a text size of 32 px", page.js(CUT, 1) + (["caption"] if title else []), [])
        checks.equal("sideways scrolling on a phone at a text size of 32 px", page.js(SIDEWAYS), 0)
        checks.equal("texts on a phone below a text size of 32 px", page.js(
            "return [...document.querySelectorAll('#caption, #client > *')]"
            ".filter((e) => getComputedStyle(e).fontSize !== '32px').map((e) => e.id)"), [])
        # What a screen reader is told of a long fee stays off the screen, not beside it.
        page.set("amount", "99999999999999")
        page.set("gprice", "1.5")
        page.click("Command1")
        said = page.js("return document.getElementById('announced').textContent")
        checks.true(f"a fee of more than 20 characters announced ({said!r})", len(said) > 20)
        checks.equal("sideways scrolling on a phone at 32 px once it is announced", page.js(SIDEWAYS), 0)
    finally:
        page.metrics()
        page.cdp("Page.setFontSizes", fontSizes={"standard": 16})
        page.load(url)


def check_heap(page, url, checks):
    """What the page lends the module to read a text, it takes back: pastes by the hundred, typing
    and presses leave the module's heap where it was. In Chromium, where the module can be held
    as the page makes it."""
    with page.before_scripts(module_hook("globalThis.heldModule = m")):
        page.load(url)
    try:
        top = "const p = heldModule._malloc(1); heldModule._free(p); return p"
        before = page.js(top)
        page.js("const f = document.getElementById('amount'); f.focus();"
                "for (const text of [...Array(50)].flatMap(() => ['9'.repeat(3999), '1\\r\\n'])) {"
                " f.select(); const d = new DataTransfer(); d.setData('text/plain', text);"
                " f.dispatchEvent(new ClipboardEvent('paste', {clipboardData: d, bubbles: true, cancelable: true})); }")
        page.keys("5" * 20)
        page.js("document.getElementById('amount').value = '100';"
                "for (let i = 0; i < 20; i++) document.getElementById('Command1').click()")
        checks.equal("the module's heap grown by a hundred pastes, twenty keys and twenty presses",
                     page.js(top) - before, 0)
    finally:
        page.load(url)


def check_line_spacing(page, url, checks):
    """A reader's style sheet that spaces lines 1.5 apart, as WCAG's text spacing has them: the
    window's texts, too tall then for their boxes, show whole in the touch layout. In Chromium,
    where a script can run first."""
    with page.before_scripts("addEventListener('DOMContentLoaded', () => { const s = new CSSStyleSheet();"
                             " s.replaceSync('* { line-height: 1.5 !important; }');"
                             " document.adoptedStyleSheets = [s]; });"):
        page.load(url)
    checks.equal("the layout and texts cut under lines 1.5 apart",
                 [page.js("return document.documentElement.dataset.layout"), page.js(CUT, 1)], ["touch", []])
    page.load(url)


# Desktop styles the fit must follow, each with the button's and a field's sizes it gives:
# - a wide font, as a monospaced one is: "Calculate fee" is 86.1 px at 11 px in DejaVu Sans Mono,
#   more than the 79 px inside the button's frame, so the button takes 10 px (78.3 px);
# - a theme's wider padding on buttons: 9 px each side leaves 89 - 2 * (2 + 9) = 67 px, less than
#   the 72.3 px of "Calculate fee" at 11 px in DejaVu Sans, so again 10 px (65.7 px).
DESKTOP_STYLES = [
    ("a wide font", "#client > * { font-family: 'DejaVu Sans Mono' !important; }", ["10px", "11px"]),
    ("a wider button padding", "#client > * { font-family: 'DejaVu Sans' !important; }"
                               " #Command1 { padding: 0 9px !important; }", ["10px", "11px"]),
]


def check_desktop_styles(page, url, checks):
    """A desktop style that makes a text or a frame wider: the fit measures what the page shows,
    so every text shows whole in the desktop layout (a cut one would turn the page to its touch
    layout), the button's text smaller where its own frame leaves it less room. In Chromium,
    where a style sheet can come first."""
    for name, sheet, sizes in DESKTOP_STYLES:
        with page.before_scripts(f"const s = new CSSStyleSheet(); s.replaceSync({json.dumps(sheet)});"
                                 " document.adoptedStyleSheets = [s];"):
            page.load(url)
        checks.equal(f"the texts cut, and the button's and a field's sizes, with {name}",
                     [page.js(CUT, 0), page.js("return ['Command1', 'amount']"
                                               ".map((id) => getComputedStyle(document.getElementById(id)).fontSize)")],
                     [[], sizes])
    page.load(url)


# A desktop whose interface font, as fontconfig tells programs, is a monospaced one.
DESKTOP_FONT = """<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig><include ignore_missing="yes">/etc/fonts/fonts.conf</include>
<match target="pattern"><test name="family"><string>system-ui</string></test>
<edit name="family" mode="assign" binding="strong"><string>DejaVu Sans Mono</string></edit></match>
</fontconfig>"""


def check_desktop_font(browser, url, checks):
    """The desktop's own interface font: the page's texts take it, as the desktop windows take
    the desktop's font, and still show whole. In WebKit, which asks fontconfig for it."""
    with tempfile.TemporaryDirectory() as folder:
        pathlib.Path(folder, "fonts.conf").write_text(DESKTOP_FONT, encoding="utf-8")
        before = os.environ.get("FONTCONFIG_FILE")
        os.environ["FONTCONFIG_FILE"] = os.path.join(folder, "fonts.conf")
        try:
            driver = start(browser)
        finally:
            os.environ.pop("FONTCONFIG_FILE")
            if before is not None:
                os.environ["FONTCONFIG_FILE"] = before
        try:
            page = Page(driver, browser, url)
            # The caption's text as wide as the same text set in the desktop's font, at its size.
            checks.equal("the texts cut, and a caption in the desktop's font", [page.js(CUT, 0), page.js(
                "const caption = document.getElementById('Label1'), range = document.createRange();"
                "range.selectNodeContents(caption); const same = document.createElement('span');"
                "same.style.font = `${getComputedStyle(caption).fontSize} 'DejaVu Sans Mono'`;"
                "same.textContent = caption.textContent; document.body.append(same);"
                "return Math.abs(range.getBoundingClientRect().width - same.getBoundingClientRect().width) < 0.5")],
                [[], True])
        finally:
            driver.quit()


def check_without_scripts(page, url, checks):
    """Where the browser runs no script, the bar says what the page needs, and the button offers
    no press that would do nothing. In Chromium, which can turn them off."""
    page.cdp("Emulation.setScriptExecutionDisabled", value=True)
    try:
        page.driver.command("navigate", {"url": url})
        checks.equal("the page where no script runs", page.js(
            "return [document.getElementById('status').innerText.trim(), document.getElementById('Command1').disabled]"),
            ["Loading the calculator\u2026 It needs JavaScript, which this browser does not run here.", True])
    finally:
        page.cdp("Emulation.setScriptExecutionDisabled", value=False)
        page.load(url)


def check_without_editing_command(page, url, checks):
    """A browser whose editing command inserts nothing into a text field, as older ones: the page
    puts a changed paste in itself, the caret after it. In Chromium, where a script can run first."""
    with page.before_scripts("Document.prototype.execCommand = () => false;"):
        page.load(url)
    check_scenarios(page, checks, " without the editing command",
                    only=["a paste goes in at the caret", "a line break inside a paste stays to be reported"])
    page.load(url)


def check_first_input(page, url, checks):
    """A comma an input method gives before any key is pressed on the page (dictation, a
    handwriting panel): typed as it is, as no keypad key gave it."""
    page.load(url)
    page.set("amount", "")
    page.compose(",")
    checks.equal("a comma composed before any key", page.text("amount"), ",")


def check_input_method(page, url, checks):
    """A character composed through an input method, into a full field: refused as typing is. In
    Chromium, which can compose as an input method does."""
    page.js("const f = document.getElementById('amount'); f.value = '9'.repeat(4000); f.focus();")
    page.cdp("Input.imeSetComposition", text="5", selectionStart=1, selectionEnd=1)
    page.cdp("Input.insertText", text="5")
    seen = page.report("Enter")
    checks.equal("an input method's character in a full field", [seen and seen[1], page.length("amount")],
                 ["Not typed: a field holds at most 4,000 characters.", 4000])
    page.load(url)


def check_narrow(driver, url, screenshot, checks):
    """A window as narrow as a phone; in Firefox, a minimum font size that would cut captions."""
    if hasattr(driver, "chrome"):
        driver.chrome("Services.prefs.setIntPref('font.minimum-size.x-western', 12)")
        try:
            page = Page(driver, checks.browser, url)
            checks.equal("the layout where a minimum font size would cut the captions",
                         page.js("return [document.documentElement.dataset.layout, innerWidth > 560]"),
                         ["touch", True])
        finally:
            driver.chrome("Services.prefs.clearUserPref('font.minimum-size.x-western')")
    driver.command("rect", {"width": 360, "height": 900})  # about a phone's viewport, below the bars
    page = Page(driver, checks.browser, url)
    # As narrow as the browser's windows go: 447 px in WebKit's MiniBrowser, 500 in Firefox.
    checks.true(f"a narrow window ({page.js('return innerWidth')} px)", page.js("return innerWidth") <= 560)
    check_touch(page, checks, "in a narrow window", page.js("return innerHeight"))
    page.screenshot(screenshot.replace(".png", "-narrow.png"))


def check_accessibility(page, axe, checks):
    """The window, and then a report over it."""
    with open(axe, encoding="utf-8") as source:
        page.js(source.read() + "\n;window.axe = axe;")

    def audit(context, kinds):
        return page.js_async(f"axe.run({context}, {{resultTypes: {kinds}}})"
                             f".then(r => done({kinds}.flatMap(k => r[k]).map("
                             "v => v.id + ': ' + v.nodes.map(n => n.target.join(' ')).join(', '))),"
                             " e => done(['axe: ' + e]));")
    # With the bar under the window speaking, as where the page cannot be kept offline.
    page.js("const bar = document.getElementById('status'); bar.textContent = arguments[0]; bar.hidden = false;",
            "This browser keeps no copy of the calculator here: it works while online.")
    checks.equal("accessibility violations", audit("document", ["violations"]), [])
    page.js("document.getElementById('status').hidden = true")
    page.refused_press()
    # Over its backdrop, in the top layer, axe leaves a contrast it measured as unsure.
    checks.equal("accessibility violations and doubts in the report",
                 audit("'#report'", ["violations", "incomplete"]), [])
    page.keys("Enter")
    page.set("amount", "")


def check_release(driver, site, checks):
    """A returning visitor under an hour's max-age runs a new release whole, offered by the page
    open meanwhile. On a host of its own, where no worker of the other checks answers."""
    server = serve(site)
    url = f"http://127.0.0.1:{server.server_address[1]}/"
    page = Page(driver, checks.browser)
    driver.command("navigate", {"url": url + "release/"})
    wait_for(lambda: page.js("return navigator.serviceWorker.controller !== null"), 20, "the worker in control")
    status = "return document.getElementById('status').textContent"
    settle(lambda: "new version" in page.js(status), 1)
    checks.equal("a first visit offered a new version", "new version" in page.js(status), False)
    old = page.js("return document.getElementById('Command1').textContent")
    # Installed, the site's window keeps to its folder: another site of the host opens apart.
    checks.equal("the manifest of a site under a sub-path, and its scope and start", page.js_async(
        "const href = document.querySelector('link[rel=manifest]').href; fetch(href).then(r => r.json())"
        ".then(m => done([href, new URL(m.scope, href).href, new URL(m.start_url, href).href]), e => done(String(e)));"),
        [url + "release/manifest.webmanifest", url + "release/", url + "release/"])
    # The new release: another caption on the button, and its worker with the files' new hashes.
    new = tempfile.mkdtemp(prefix="halvern-release-")
    shutil.copytree(server.release, new, dirs_exist_ok=True)
    index, worker = pathlib.Path(new, "index.html"), pathlib.Path(new, "sw.js")
    html = index.read_text(encoding="utf-8").replace(f">{old}<", ">Calculate the fee<")
    script = re.sub(r"'\./': '[0-9a-f]+'", f"'./': '{hashlib.sha256(html.encode()).hexdigest()}'",
                    worker.read_text(encoding="utf-8"))
    worker.write_text(re.sub(r"(const cacheName = '[^']*)'", r"\1-next'", script), encoding="utf-8")
    server.release = new
    try:
        # The new worker beside the old page first, as a host midway through an upload serves
        # them: a release not yet whole, which the worker must not take.
        driver.command("navigate", {"url": url + "release/"})
        settle(lambda: "new version" in page.js(status), 5)
        checks.equal("a release not yet whole offered", "new version" in page.js(status), False)
        index.write_text(html, encoding="utf-8")
        if checks.browser == "chromium":
            # The page left open behind another tab, then shown again, as a visitor comes back to
            # it: it looks for the release itself. Elsewhere, the visitor comes back by loading it.
            page.js("window.other = window.open('about:blank')")
            page.cdp("Page.bringToFront")
            page.js("window.other.close()")
        else:
            driver.command("navigate", {"url": url + "release/"})
        wait_for(lambda: "new version" in page.js(status), 20, "the offer of the new release")
        checks.equal("the offer, shown", page.js("const s = document.getElementById('status');"
                                                 " return [s.hidden, s.textContent]"),
                     [False, "A new version of the calculator is ready. Reload"])
        # The offer's Reload button is the second load.
        page.js("document.querySelector('#status button').click()")
        settle(lambda: page.js("return document.body.dataset.ready === 'true' &&"
                               " document.getElementById('Command1').textContent") == "Calculate the fee", 20)
        checks.equal("the offer's Reload runs the new release",
                     page.js("return document.getElementById('Command1').textContent"), "Calculate the fee")
        names = page.js_async("caches.keys().then(done);")
        checks.equal("the old release's files are gone", [n.endswith("-next") for n in names], [True])
    finally:
        server.shutdown()
        shutil.rmtree(new, ignore_errors=True)


def check_offline(driver, site, checks):
    """Offline straight after a first visit, under a folder; at a density of 2, with the install
    icons; and the bar where no worker is kept, or one is refused. In Chromium, on hosts that let
    the browser's own cache keep nothing."""
    page = Page(driver, checks.browser)
    ready = "return document.body.dataset.ready === 'true'"
    # Before any page has come through the worker, which would keep it under the name it asked
    # for: the page runs from what the worker's install kept. On a host that has it in a folder,
    # as many publish a site.
    first = serve(site, "no-store")
    try:
        page.load(f"http://127.0.0.1:{first.server_address[1]}/release/")
        wait_for(lambda: page.js("return navigator.serviceWorker.controller !== null"), 20, "the worker in control")
        # The doubled logo alone would add more than a third to a first visit's bytes, the large
        # install icons far more: a phone on a metered line fetches them only where they show.
        checks.equal("a first visit at a density of 1 fetches nothing drawn for 2, nor the large icons",
                     [path for path in first.asked if "@2x" in path or re.search(r"-(256|512)\.png$", path)], [])
    finally:
        first.shutdown()
        first.server_close()
    driver.command("navigate", {"url": f"http://127.0.0.1:{first.server_address[1]}/release/"})
    settle(lambda: page.js(ready), 10)
    checks.equal("offline straight after a first visit", page.js(ready), True)
    server = serve(site, "no-store")
    url = f"http://127.0.0.1:{server.server_address[1]}/"

    def icons():
        return page.js_async("Promise.all(['icons/halvern-192.png', 'icons/halvern-512.png']"
                             ".map(i => fetch(i).then(r => r.ok, () => false))).then(done);")

    page.metrics(640, 480, scale=2)
    try:
        page.load(url)
        wait_for(lambda: page.js("return navigator.serviceWorker.controller !== null"), 20, "the worker in control")
        page.load(url)  # now through the worker, which keeps what the page asks for
        checks.equal("the install icons fetched online", icons(), [True, True])
        server.shutdown()
        server.server_close()
        page.load(url)
        # A picture that did not load has no width; the doubled one reads as the box's 105 px.
        checks.equal("offline at a density of 2, the doubled logo", page.js(
            "const i = document.getElementById('Image1');"
            " return [i.currentSrc.split('/').pop(), i.complete && i.naturalWidth]"), ["logo@2x.gif", 105])
        checks.equal("offline, the install icons", icons(), [True, True])
    finally:
        server.shutdown()
        page.metrics()
    # A browser that keeps no worker, or one that refuses this one (as where its storage is
    # blocked): the bar says what that means, and the page's script goes on without a fault.
    refused = serve(site)
    faults = ("globalThis.faults = []; addEventListener('error', (e) => faults.push(e.message));"
              " addEventListener('unhandledrejection', (e) => faults.push(String(e.reason)));")
    try:
        for way, script in [("keeps no worker", "delete Navigator.prototype.serviceWorker;"),
                            ("refuses the worker", "ServiceWorkerContainer.prototype.register = () =>"
                                                   " Promise.reject(new DOMException('Refused', 'SecurityError'));")]:
            with page.before_scripts(faults + script):
                page.load(f"http://127.0.0.1:{refused.server_address[1]}/")
            checks.equal(f"the bar where the browser {way}, and the script's faults", page.js(
                "return [document.getElementById('status').hidden ? '' : document.getElementById('status').textContent,"
                " faults]"), ["This browser keeps no copy of the calculator here: it works while online.", []])
        # A worker refused only once the module has failed as the page sets it up: the bar
        # still says the calculator could not load, not that it works while online.
        with page.before_scripts("ServiceWorkerContainer.prototype.register = () => new Promise((_, refuse) =>"
                                 " setTimeout(() => { globalThis.refused = true; refuse(new Error()); }, 1500));"):
            page.driver.command("navigate", {"url": f"http://127.0.0.1:{refused.server_address[1]}/failing-setup/"})
            wait_for(lambda: page.js("return globalThis.refused"), 10, "the worker refused")
        checks.true("the bar where the set-up failed and then the worker was refused",
                    "could not load" in page.js("return document.getElementById('status').textContent"))
        # As a screen reader finds it in Chromium's accessibility tree: a status, read out.
        live = [node["role"]["value"] for node in page.cdp("Accessibility.getFullAXTree")["nodes"]
                if any(p["name"] == "live" for p in node.get("properties", []))]
        checks.true(f"the bar read out as it changes ({live})", "status" in live)
    finally:
        refused.shutdown()


def check_host(url, checks):
    """What a real host must send: no framing or sniffing, types, compression, safe caching."""
    def fetched(path):
        request = urllib.request.Request(url + path, headers={"Accept-Encoding": "gzip"})
        with urllib.request.urlopen(request, timeout=10) as response:
            return response.headers, response.read()

    def headers(path):
        return fetched(path)[0]
    page, wasm, manifest = headers(""), headers("halvern.wasm"), headers("manifest.webmanifest")
    # A first visit over a slow line fetches no more than it must: as much as gzip's usual level.
    sent = [fetched(name)[1] for name in ("halvern.wasm", "halvern.js", "app.js", "page.css")]
    size, usual = sum(map(len, sent)), sum(len(gzip.compress(gzip.decompress(body), 6)) for body in sent)
    checks.true(f"the first visit's largest files compressed ({size} bytes, {usual} at gzip's level 6)",
                size <= 1.01 * usual)
    checks.true("no framing by another site", "frame-ancestors 'none'" in page["Content-Security-Policy"])
    # The server's name without its version: nothing for a scan to match against known flaws.
    checks.equal("the host's headers", [page["Server"], page["X-Content-Type-Options"], page["Referrer-Policy"],
                                        page["Cache-Control"], wasm["Content-Type"], wasm["Content-Encoding"],
                                        manifest.get_content_type(), headers("halvern.ico")["Content-Encoding"]],
                 ["nginx", "nosniff", "no-referrer", "no-cache", "application/wasm", "gzip", "application/manifest+json", "gzip"])
    # make run-web shows the page to this machine alone, listening at 127.0.0.1 and nowhere else:
    # an address that reached it, even another of the loopback's, would let other machines in.
    try:
        socket.create_connection(("127.0.0.2", urllib.parse.urlsplit(url).port), timeout=5).close()
        reached = True
    except OSError:
        reached = False
    checks.equal("the host reached at an address other than 127.0.0.1", reached, False)


def check_hosts_of_people(site, checks):
    """The host as people run it (make run-web): root, with the site in a folder of root's alone,
    which nginx's workers must still read; and most people, not as root, so nginx must keep what
    it writes in a folder of its own. Where the tests run as root, on copies of the site, the
    second as nobody."""
    if os.geteuid() != 0:
        return  # the host of the other checks is already a user's
    with tempfile.TemporaryDirectory() as folder:  # root's alone
        own = shutil.copytree(site, os.path.join(folder, "site"))
        for who, user in [("root, the site in a folder of root's alone", None), ("a user who is not root", "nobody")]:
            if user:
                os.chmod(folder, 0o755)
            nginx, url = host(own, user=user)
            try:
                with urllib.request.urlopen(url, timeout=10) as response:
                    checks.equal(f"the page from a host run by {who}", response.status, 200)
            finally:
                nginx.terminate()
                nginx.wait(timeout=20)


def main():
    browser, site, axe, screenshot = sys.argv[1:5]
    if browser == "webkit" and "HALVERN_OWN_DISPLAY" not in os.environ:  # for WebKit's MiniBrowser
        if not shutil.which("xvfb-run"):
            skip("xvfb-run is not installed (make test installs it)")
        # xvfb-run -a sees only this system's servers: from a number of its own, not the 99 every
        # xvfb-run -a starts from, as a second system beside this one (a chroot) may well have.
        os.execvpe("xvfb-run", ["xvfb-run", "-a", "-n", str(100 + os.getpid() % 800), "-s",
                                "-screen 0 800x600x24 -nolisten tcp", sys.executable, *sys.argv],
                   {**os.environ, "HALVERN_OWN_DISPLAY": "1"})
    if not shutil.which("nginx") and not os.path.exists("/usr/sbin/nginx"):
        skip("nginx is not installed (make test installs it)")
    def strays():
        return {name for name in os.listdir(tempfile.gettempdir()) if name.startswith("org.chromium.")}
    strays_before = strays()
    nginx, url = host(site)
    server = serve(site)  # the checks that need a host of their own, slow or switching releases
    special = f"http://127.0.0.1:{server.server_address[1]}/"
    try:
        driver = start(browser)
    except (OSError, RuntimeError, AssertionError) as error:
        nginx.terminate()
        skip(f"{browser} could not start here: {error}")
    checks, page = Checks(browser), Page(driver, browser)
    narrow = check_narrow if browser != "chromium" else lambda *_: check_phone(site, screenshot, checks)

    def restart(lost):
        try:
            lost.quit()
        except Exception:  # pylint: disable=broad-except
            pass
        page.driver = start(browser)
        page.load(url)
        return page.driver
    try:
        for name, check in [
                ("first input", lambda: check_first_input(page, url, checks)),
                ("layout", lambda: (page.load(url), check_layout(page, checks))),
                ("glue", lambda: check_glue(page, checks)),
                ("schemes", lambda: check_schemes(page, url, checks)),
                ("turning", lambda: browser == "chromium" and check_turning(page, url, checks)),
                ("text size", lambda: browser == "chromium" and check_text_size(page, url, checks)),
                ("line spacing", lambda: browser == "chromium" and check_line_spacing(page, url, checks)),
                ("heap", lambda: browser == "chromium" and check_heap(page, url, checks)),
                ("desktop styles", lambda: browser == "chromium" and check_desktop_styles(page, url, checks)),
                ("desktop font", lambda: browser == "webkit" and check_desktop_font(browser, url, checks)),
                ("no scripts", lambda: browser == "chromium" and check_without_scripts(page, url, checks)),
                ("input method", lambda: browser == "chromium" and check_input_method(page, url, checks)),
                ("no editing command", lambda: browser == "chromium" and check_without_editing_command(page, url, checks)),
                ("scenarios", lambda: check_scenarios(page, checks)),
                ("scenarios in German", lambda: check_in_german(browser, url, checks)),
                ("loading", lambda: check_loading(driver, special, checks)),
                ("release", lambda: check_release(driver, site, checks)),
                ("offline", lambda: browser == "chromium" and check_offline(driver, site, checks)),
                ("accessibility", lambda: (page.load(url), os.path.exists(axe) and
                                           check_accessibility(page, axe, checks),
                                           page.screenshot(screenshot))),
                ("phone", lambda: narrow(driver, url, screenshot, checks)),
                ("host", lambda: check_host(url, checks)),
                ("hosts of people", lambda: browser == "chromium" and check_hosts_of_people(site, checks))]:
            # A browser under load loses its session now and then, whatever the page does, or
            # (WebKit, once beside such a loss) cannot read a script's result back: started again,
            # the check runs once more; a second loss, or any other error, fails.
            for attempt in (1, 2):
                try:
                    check()
                    break
                except Exception as error:  # pylint: disable=broad-except
                    lost = ("invalid session id", "Could not parse script result")
                    if attempt == 1 and any(words in str(error) for words in lost):
                        print(f"{browser}: the browser lost its session in the {name} check ({error}); started again")
                        driver = restart(driver)
                        continue
                    checks.failures.append(f"{name}: {error}")
                    break
    finally:
        driver.quit()
        server.shutdown()
        nginx.terminate()
        nginx.wait(timeout=20)
    # Every session's profile goes with it: left behind, a day of test runs fills the disk.
    checks.equal("what the browsers left in the temporary folder", sorted(strays() - strays_before), [])
    for failure in checks.failures:
        print(f"{browser}: FAILED: {failure}")
    print(f"{browser}: {checks.passed} checks passed, {len(checks.failures)} failed; screenshot in {screenshot}")
    if checks.failures:
        return 1
    if not os.path.exists(axe):  # everything else ran: the audit alone is missing
        skip(f"the accessibility audit: axe-core is not installed at {axe} (make test installs it)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
