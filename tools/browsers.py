"""The browsers the page is tried in and measured with, each under its driver as a person's
browser: Chromium through chromedriver, WebKit through WebKitWebDriver, Firefox through its own
Marionette protocol (Debian has no geckodriver); and the site served as a host serves it. Used
by the page's tests (tests/web/browser-test.py) and its load benchmark (bench/web/page-load.py).
A browser that cannot run here ends the process with exit 77, which ctest counts as skipped.
"""
import functools
import http.server
import json
import os
import pathlib
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

SKIP = 77


def skip(why):
    print(f"skipped: {why}")
    sys.exit(SKIP)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def ending_with_us(command):
    """The command as a child the kernel stops as this process ends, however it ends: a test killed
    from outside (a timeout) leaves no browser or host running."""
    return ["setpriv", "--pdeathsig", "TERM", "--", *command] if shutil.which("setpriv") else command


def wait_for(check, seconds=20.0, what="a condition"):
    deadline = time.monotonic() + seconds
    while True:
        try:
            value = check()
            if value:
                return value
        except Exception:  # pylint: disable=broad-except
            if time.monotonic() > deadline:
                raise
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


class HttpDriver:
    """W3C WebDriver over HTTP: chromedriver and WebKitWebDriver."""

    def __init__(self, command, port, capabilities, environment=None):
        # A temporary folder of the session's own, removed as it ends: chromedriver leaves a
        # profile of some 9 MB behind for every session in the system's one, and Chromium a
        # folder of its own beside it.
        self.scratch = tempfile.mkdtemp(prefix="halvern-driver-")
        self.process = subprocess.Popen(ending_with_us(command), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        env={**(environment or os.environ), "TMPDIR": self.scratch})
        self.base = f"http://127.0.0.1:{port}"
        try:
            wait_for(lambda: self._call("GET", "/status")["ready"], what="the driver")
            self.session = self._call("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}})["sessionId"]
        except BaseException:
            self._end()
            raise

    def _call(self, method, path, body=None):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request(self.base + path, data=data, method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=60) as response:
                return json.loads(response.read())["value"]
        except urllib.error.HTTPError as error:
            raise RuntimeError(f"{method} {path}: {error.read().decode(errors='replace')[:400]}") from None

    def command(self, name, body):
        method, path = {
            "navigate": ("POST", "/url"), "script": ("POST", "/execute/sync"),
            "async_script": ("POST", "/execute/async"), "actions": ("POST", "/actions"),
            "release": ("DELETE", "/actions"), "screenshot": ("GET", "/screenshot"),
            "cdp": ("POST", "/goog/cdp/execute"), "rect": ("POST", "/window/rect"),
        }[name]
        return self._call(method, f"/session/{self.session}{path}", None if method != "POST" else body)

    def quit(self):
        try:
            self._call("DELETE", f"/session/{self.session}")
        finally:
            self._end()

    def _end(self):
        self.process.terminate()
        self.process.wait(timeout=20)
        shutil.rmtree(self.scratch, ignore_errors=True)


class MarionetteDriver:
    """Firefox's own remote protocol, which geckodriver would translate WebDriver into."""

    def __init__(self, binary, port, language):
        self.profile = tempfile.mkdtemp(prefix="halvern-firefox-")
        with open(os.path.join(self.profile, "user.js"), "w", encoding="utf-8") as prefs:
            for name, value in [("marionette.port", port), ("intl.accept_languages", language),
                                ("browser.shell.checkDefaultBrowser", False),
                                ("datareporting.policy.dataSubmissionEnabled", False),
                                ("app.update.disabledForTesting", True),
                                ("browser.startup.homepage_override.mstone", "ignore"),
                                ("network.captive-portal-service.enabled", False),
                                ("browser.safebrowsing.update.enabled", False)]:
                prefs.write(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n")
        self.process = subprocess.Popen(
            ending_with_us([binary, "--marionette", "--headless", "--no-remote", "-remote-allow-system-access",
                            "--profile", self.profile]),
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env={**os.environ, "MOZ_HEADLESS": "1"})
        self.socket = wait_for(lambda: socket.create_connection(("127.0.0.1", port), timeout=60),
                               seconds=60, what="Firefox's Marionette")
        self.buffer = b""
        self.next_id = 0
        self._receive()  # the server's greeting
        self._send("WebDriver:NewSession", {"capabilities": {"alwaysMatch": {"acceptInsecureCerts": False}}})

    def _receive(self):
        while b":" not in self.buffer:
            self.buffer += self.socket.recv(65536)
        length, _, rest = self.buffer.partition(b":")
        while len(rest) < int(length):
            rest += self.socket.recv(65536)
        message, self.buffer = rest[:int(length)], rest[int(length):]
        return json.loads(message)

    def _send(self, name, params):
        self.next_id += 1
        data = json.dumps([0, self.next_id, name, params]).encode()
        self.socket.sendall(str(len(data)).encode() + b":" + data)
        while True:
            reply = self._receive()
            if reply[0] == 1 and reply[1] == self.next_id:
                break
        if reply[2]:
            raise RuntimeError(f"{name}: {reply[2]}")
        result = reply[3]
        return result.get("value") if isinstance(result, dict) and "value" in result else result

    def chrome(self, script, *args):
        """A script run in the browser itself, where its settings and clipboard are."""
        self._send("Marionette:SetContext", {"value": "chrome"})
        try:
            self._send("WebDriver:ExecuteScript", {"script": script, "args": list(args)})
        finally:
            self._send("Marionette:SetContext", {"value": "content"})

    def set_clipboard(self, text):
        self.chrome("Cc['@mozilla.org/widget/clipboardhelper;1'].getService(Ci.nsIClipboardHelper)"
                    ".copyString(arguments[0]);", text)

    def command(self, name, body):
        command = {"navigate": "WebDriver:Navigate", "script": "WebDriver:ExecuteScript",
                   "async_script": "WebDriver:ExecuteAsyncScript", "actions": "WebDriver:PerformActions",
                   "release": "WebDriver:ReleaseActions", "screenshot": "WebDriver:TakeScreenshot",
                   "rect": "WebDriver:SetWindowRect"}[name]
        return self._send(command, body or {})

    def quit(self):
        try:
            self._send("WebDriver:DeleteSession", {})
            self._send("Marionette:Quit", {"flags": ["eForceQuit"]})
        except Exception:  # pylint: disable=broad-except
            pass
        finally:
            self.socket.close()
            try:
                self.process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.process.kill()
            shutil.rmtree(self.profile, ignore_errors=True)


def start(browser, phone=None, language="en-US"):
    """A browser under its driver, its language the person's (en-US or de-DE); Chromium with
    `phone` emulates that device's metrics and touch."""
    port = free_port()
    if browser == "chromium":
        for tool in ("chromium", "chromedriver"):
            if not shutil.which(tool):
                skip(f"{tool} is not installed (make test installs it)")
        return HttpDriver(["chromedriver", f"--port={port}"], port, {
            "browserName": "chrome",
            "goog:chromeOptions": {"binary": shutil.which("chromium"), "args": [
                "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--disable-dev-shm-usage", "--window-size=640,480", f"--lang={language}"],
                "prefs": {"intl.accept_languages": language},
                **({"mobileEmulation": {"deviceMetrics": phone}} if phone else {})}})
    if browser == "webkit":
        minibrowser = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
        if not shutil.which("WebKitWebDriver") or not os.path.exists(minibrowser):
            skip("WebKitWebDriver or MiniBrowser is not installed (make test installs them)")
        # WebKitGTK takes its languages from the environment MiniBrowser starts in.
        posix = language.replace("-", "_")
        return HttpDriver(["WebKitWebDriver", f"--port={port}"], port, {
            "browserName": "MiniBrowser",
            "webkitgtk:browserOptions": {"binary": minibrowser, "args": ["--automation"]}},
            {**os.environ, "LANGUAGE": posix, "LC_ALL": f"{posix}.UTF-8"})
    if browser == "firefox":
        binary = shutil.which("firefox-esr") or shutil.which("firefox")
        if not binary:
            skip("Firefox is not installed (make test installs it)")
        return MarionetteDriver(binary, port, language)
    raise SystemExit(f"no browser {browser}")


def module_hook(change):
    """A script to run before the page's own that does `change` to the calculation's module, `m`,
    as the module's loader hands it to the page."""
    return ("let made; Object.defineProperty(globalThis, 'createHalvern', {configurable: true,"
            " get: () => made, set: (create) => { made = (...a) => create(...a).then((m) => {"
            f" {change}; return m; }}); }}}});")


# What runs before the page's first script, under serve()'s paths of those names.
BEFORE = {
    "/no-webassembly/": "delete globalThis.WebAssembly;",
    "/failing-setup/": module_hook("m._halvern_fit_fonts = () => { throw new Error('set-up fault'); }"),
}


def serve(site, caching="max-age=3600"):
    class Host(http.server.SimpleHTTPRequestHandler):
        """The site as a static host with an hour's max-age (or other `caching`) serves it; under
        /slow-wasm/ and /no-wasm/ with its WebAssembly late by two seconds or missing, under
        /slow-module/ and /no-module/ with the module's script late by two seconds or missing,
        under /no-webassembly/ as a browser that runs none (a locked-down one), under
        /failing-setup/ with a module that loads but throws as the page sets it up; under /release/
        from the folder the server's `release` names, which a test switches to publish a new
        release. The paths asked for are kept in the server's `asked`."""

        def log_message(self, *args):  # pylint: disable=arguments-differ
            pass

        def end_headers(self):
            self.send_header("Cache-Control", caching)
            super().end_headers()

        def do_GET(self):
            self.server.asked.append(self.path)
            prefixes = ("/slow-wasm/", "/no-wasm/", "/slow-module/", "/no-module/", *BEFORE, "/release/")
            prefix = next((p for p in prefixes if self.path.startswith(p)), "/")
            self.path = "/" + self.path[len(prefix):]
            missing = {"/no-wasm/": ".wasm", "/no-module/": "/halvern.js"}.get(prefix)
            late = {"/slow-wasm/": ".wasm", "/slow-module/": "/halvern.js"}.get(prefix)
            if prefix == "/release/":
                self.directory = self.server.release
            elif missing and self.path.endswith(missing):
                self.send_error(404)
                return
            elif late and self.path.endswith(late):
                time.sleep(2)
            elif self.path == "/layout.js" and prefix in BEFORE:
                body = BEFORE[prefix].encode() + b"\n" + pathlib.Path(self.directory, "layout.js").read_bytes()
                self.send_response(200)
                self.send_header("Content-Type", "text/javascript")
                self.end_headers()
                self.wfile.write(body)
                return
            super().do_GET()

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Host, directory=site))
    server.release, server.asked = site, []
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def host(site, user=None):
    """The site through nginx with the project's configuration (ui/web/serve.sh), as a real host;
    run by `user` where one is named (by root), with that user's path, from copies of the script
    and configuration put beside the site's folder, which the caller lets that user read."""
    port = free_port()
    web = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "ui", "web")
    # The site named from the working folder, as make run-web names it.
    command = [os.path.join(web, "serve.sh"), os.path.relpath(site), str(port)]
    if user:
        beside = os.path.dirname(os.path.abspath(site))
        for name in ("serve.sh", "nginx.conf.in"):
            shutil.copy(os.path.join(web, name), beside)
        # With the path Debian gives a user who is not root (/etc/login.defs), without /usr/sbin.
        command = ["runuser", "-u", user, "--", "env", "PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games",
                   os.path.join(beside, "serve.sh"), site, str(port)]
        # As on a machine where nginx has never run as root: the folders it writes in by default
        # are not there, and a user cannot make them. Where root has run it, they are, and would
        # hide a folder the configuration forgets.
        if os.path.isdir("/var/lib/nginx") and subprocess.run(["unshare", "--mount", "true"], capture_output=True,
                                                              check=False).returncode == 0:
            command = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                       'mount -t tmpfs -o mode=755 fresh /var/lib/nginx && exec "$@"', "sh", *command]
    log = tempfile.TemporaryFile()
    process = subprocess.Popen(ending_with_us(command), stdout=subprocess.DEVNULL, stderr=log)
    url = f"http://127.0.0.1:{port}/"
    try:
        wait_for(lambda: urllib.request.urlopen(url, timeout=2), 10, "nginx")
    except Exception as error:  # pylint: disable=broad-except
        process.terminate()
        process.wait(timeout=20)
        log.seek(0)
        raise RuntimeError(f"nginx does not serve the site: {error}; {log.read().decode(errors='replace')[:300]}")
    # In the foreground while nginx serves, as make run-web promises: Ctrl+C, or terminate(), stops it.
    if process.poll() is not None:
        raise RuntimeError(f"serve.sh returned ({process.returncode}) while nginx serves the site")
    return process, url
