#!/usr/bin/env python3
"""Checks what a person sees of a vantrel-report page, in headless Chromium at 1280 CSS pixels wide:
the sections in the page's order on screen, every window once on the map and its strips and linked
to its row (the window of a row of class "undrawn", such as a live page's hidden or cloaked one,
not at all), program and class names neither broken mid-word nor out of their cells, nothing wider
than the window, chosen map items wide enough to read, no script element, and that the page's
Content-Security-Policy stops a script and a request smuggled into the page (and, with the policy
taken out, that the same smuggled script does run, so the check can fail). On a live page, each group of windows without a
button (.group) holds as many rows as its heading counts, a group in a <details> is closed with its
rows out of sight, and each --in GROUP=TITLE has a row of that title in the group of that id.

    page-layout.py PAGE [--wide wN=PX]... [--in GROUP=TITLE]... [--screenshot PNG]

Talks to the browser over --remote-debugging-pipe (fd 3 in, fd 4 out, JSON messages ended by NUL),
with the standard library only. Prints one line per check and exits 1 on the first failure."""

import argparse
import base64
import fcntl
import json
import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

WIDTH = 1280
# A full-page picture longer than this is cut: the README shows the top of the page.
MOST_SCREENSHOT_HEIGHT = 4000
SECONDS_PER_PAGE = 30
# The whole run, browser start and every page included.
SECONDS_IN_ALL = 120
CSP_META = re.compile(rb"<meta\b[^>]*\bhttp-equiv\s*=\s*[\"']?Content-Security-Policy\b[^>]*>", re.IGNORECASE)
BODY_TAG = re.compile(rb"<body\b[^>]*>", re.IGNORECASE)
SMUGGLED_REQUEST = "http://127.0.0.1:9/x.png"
SMUGGLED = (b"<script>document.documentElement.setAttribute('data-ran','1')</script>"
            b'<img src="' + SMUGGLED_REQUEST.encode() + b'">')


# No network, no first-run work, no scroll bars to take room from the page.
BROWSER_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--hide-scrollbars", "--remote-debugging-pipe"]


class Failure(Exception):
    pass


class Browser:
    """One headless Chromium with a profile of its own, ended (with all it started) on close."""

    def __init__(self, profile):
        commands_in, self._commands = os.pipe()
        self._replies, replies_out = os.pipe()

        def use_pipe_fds():
            # Moved clear of 3 and 4 first, since either end may already sit there.
            high_in = fcntl.fcntl(commands_in, fcntl.F_DUPFD_CLOEXEC, 10)
            high_out = fcntl.fcntl(replies_out, fcntl.F_DUPFD_CLOEXEC, 10)
            os.dup2(high_in, 3)
            os.dup2(high_out, 4)

        self._log = tempfile.TemporaryFile()
        try:
            self._process = subprocess.Popen(
                ["chromium", *BROWSER_FLAGS, "--user-data-dir=" + profile, "about:blank"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self._log, close_fds=False,
                preexec_fn=use_pipe_fds, start_new_session=True)
        except OSError as error:
            raise Failure(f"chromium cannot be started: {error}") from None
        finally:
            os.close(commands_in)
            os.close(replies_out)
        self._buffer = b""
        self._next_id = 0
        self._events = []

    def close(self):
        try:
            os.killpg(self._process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self._process.wait(timeout=10)
        os.close(self._commands)
        os.close(self._replies)
        self._log.close()

    def log_tail(self):
        self._log.seek(0)
        return self._log.read().decode(errors="replace")[-2000:]

    def _message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._replies], [], [], left)[0]:
                raise Failure("the browser did not answer in time")
            chunk = os.read(self._replies, 1 << 16)
            if not chunk:
                raise Failure("the browser closed its pipe:\n" + self.log_tail())
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=None, seconds=SECONDS_PER_PAGE, **params):
        self._next_id += 1
        request = {"id": self._next_id, "method": method, "params": params}
        if session:
            request["sessionId"] = session
        os.write(self._commands, json.dumps(request).encode() + b"\0")
        deadline = time.monotonic() + seconds
        while True:
            message = self._message(deadline)
            if message.get("id") != self._next_id:
                self._events.append(message)
                continue
            if "error" in message:
                raise Failure(f"{method}: {message['error'].get('message')}")
            return message["result"]

    def wait_for(self, method, session, seconds=SECONDS_PER_PAGE):
        deadline = time.monotonic() + seconds
        while True:
            for at, event in enumerate(self._events):
                if event.get("method") == method and event.get("sessionId") == session:
                    del self._events[at]
                    return event
            self._events.append(self._message(deadline))

    def take_events(self, session):
        mine = [e for e in self._events if e.get("sessionId") == session]
        self._events = [e for e in self._events if e.get("sessionId") != session]
        return mine


class Tab:
    def __init__(self, browser):
        self.browser = browser
        target = browser.call("Target.createTarget", url="about:blank")["targetId"]
        self.session = browser.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        self.call("Page.enable")
        self.call("Network.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=WIDTH, height=900, deviceScaleFactor=1, mobile=False)

    def call(self, method, **params):
        return self.browser.call(method, self.session, **params)

    def open(self, path):
        self.browser.take_events(self.session)
        navigation = self.call("Page.navigate", url=pathlib.Path(path).resolve().as_uri())
        if "errorText" in navigation:
            raise Failure(f"{path}: {navigation['errorText']}")
        self.browser.wait_for("Page.loadEventFired", self.session)
        # The layout a person sees is the one after the fonts came in.
        self.evaluate("document.fonts.ready.then(() => true)")

    def evaluate(self, expression):
        reply = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in reply:
            raise Failure(f"script error: {reply['exceptionDetails'].get('exception', {}).get('description')}")
        return reply["result"].get("value")

    def requests_to(self, url):
        """Whether the page asked for `url`, and whether the policy is what stopped it."""
        asked = blocked = False
        requests = set()
        for event in self.browser.take_events(self.session):
            params = event.get("params", {})
            if event.get("method") == "Network.requestWillBeSent" and params["request"]["url"] == url:
                asked = True
                requests.add(params["requestId"])
            if event.get("method") == "Network.loadingFailed" and params.get("requestId") in requests:
                blocked = blocked or params.get("blockedReason") == "csp"
        return asked, blocked


# Each check returns a line to print, or raises Failure.

SECTIONS_ON_SCREEN = """(() => {
    const order = ['h1', 'dl.summary', '#findings', '#map', 'svg.map', 'svg.strip.far', 'svg.strip.parked',
                   '#windows', 'table:has(tr[id^="w"])'];
    // A log with no window read has no table of windows.
    const needed = ['h1', 'dl.summary', '#findings', '#windows'];
    if (document.querySelector('svg.map, svg.strip')) needed.push('#map');
    const missing = needed.filter(s => !document.querySelector(s));
    if (missing.length) return 'missing: ' + missing.join(', ');
    const shown = order.filter(s => document.querySelector(s))
        .map(s => [s, document.querySelector(s).getBoundingClientRect()]);
    for (let i = 1; i < shown.length; ++i) {
        const [above, a] = shown[i - 1], [below, b] = shown[i];
        // Two strips may stand side by side; everything else stacks.
        const sideBySide = above.startsWith('svg.strip') && below.startsWith('svg.strip');
        if (sideBySide ? b.top < a.top : b.top <= a.top) {
            return below + ' (top ' + Math.round(b.top) + ') is not below ' + above + ' (top ' + Math.round(a.top) + ')';
        }
    }
    return '';
})()"""

WINDOWS_ONCE = """(() => {
    const rows = [...document.querySelectorAll('tr[id^="w"]')].map(r => r.id);
    const undrawn = new Set([...document.querySelectorAll('tr.undrawn[id^="w"]')].map(r => r.id));
    const items = [...document.querySelectorAll('svg.map a.win, svg.strip a.win')]
        .map(a => (a.getAttribute('href') || '').slice(1));
    const problems = [];
    if (new Set(rows).size !== rows.length) problems.push('two rows share an id');
    for (const row of rows) {
        const times = items.filter(i => i === row).length;
        if (times !== (undrawn.has(row) ? 0 : 1)) problems.push(row + ' is on the map ' + times + ' times');
    }
    for (const item of items) {
        if (!rows.includes(item)) problems.push('a map item links to "#' + item + '", which is no row');
    }
    const stray = document.querySelectorAll('a.win').length - items.length;
    if (stray) problems.push(stray + ' map items outside the map and its strips');
    return [rows.length, undrawn.size, problems.slice(0, 5).join('; ')];
})()"""

GROUPS = """(() => {
    const problems = [];
    const groups = [...document.querySelectorAll('.group')];
    for (const group of groups) {
        const rows = group.querySelectorAll('tr[id^="w"]');
        const count = /\\((\\d+)\\)/.exec(group.querySelector('h3 .count')?.textContent || '');
        if (!count || Number(count[1]) !== rows.length)
            problems.push('#' + group.id + ' counts ' + (count ? count[1] : 'nothing') + ' but holds ' + rows.length + ' rows');
        if (group.tagName === 'DETAILS') {
            if (group.open) problems.push('#' + group.id + ' is open');
            if ([...rows].some(r => r.checkVisibility())) problems.push('#' + group.id + ' shows its rows');
        }
    }
    const wanted = JSON.parse(%s);
    for (const [id, title] of wanted) {
        const group = document.getElementById(id);
        const titles = group ? [...group.querySelectorAll('tr[id^="w"] td.title')].map(t => t.textContent) : [];
        if (!titles.includes(title)) problems.push('no "' + title + '" in #' + id);
    }
    const closed = groups.filter(g => g.tagName === 'DETAILS').length;
    return [groups.length, closed, problems.slice(0, 5).join('; ')];
})()"""

# A name is broken when its text lies on more than one line. The text's own line boxes tell, whatever
# the element's display: an inline-block's getClientRects() is one box however its text wraps.
BROKEN_NAMES = """(() => {
    const lines = element => {
        const tops = new Set();
        const walker = document.createTreeWalker(element, NodeFilter.SHOW_TEXT);
        for (let node = walker.nextNode(); node; node = walker.nextNode()) {
            const range = document.createRange();
            range.selectNodeContents(node);
            for (const box of range.getClientRects()) if (box.width > 0) tops.add(Math.round(box.top));
        }
        return Math.max(tops.size, element.getClientRects().length);
    };
    // A name kept on one line can still be cut or run into the next column.
    const sticksOut = element => {
        const cell = element.closest('td, th, dd');
        if (!cell) return false;
        const room = cell.getBoundingClientRect(), range = document.createRange();
        range.selectNodeContents(element);
        const text = range.getBoundingClientRect();
        return text.left < room.left - 1 || text.right > room.right + 1;
    };
    const all = [...document.querySelectorAll('.name')];
    const names = all.filter(e => !/\\s/.test(e.textContent));
    const broken = names.filter(e => lines(e) > 1).map(e => e.textContent);
    const out = all.filter(sticksOut).map(e => e.textContent);
    return [all.length, broken.slice(0, 5), out.slice(0, 5)];
})()"""

ITEM_WIDTH = """(() => {
    const item = document.querySelector('svg.map a.win[href="#%s"]');
    return item ? item.getBoundingClientRect().width : -1;
})()"""


def check_sections(tab):
    problem = tab.evaluate(SECTIONS_ON_SCREEN)
    if problem:
        raise Failure("sections out of order on screen: " + problem)
    return "sections on screen in order: title, summary, findings, map and strips, windows"


def check_windows_once(tab):
    rows, undrawn, problems = tab.evaluate(WINDOWS_ONCE)
    if problems:
        raise Failure(problems)
    if undrawn:
        return f"each of the {rows - undrawn} windows drawn once on the map and its strips, linked to its row; " \
               f"the {undrawn} rows of class undrawn not on it"
    return f"each of the {rows} windows once on the map and its strips, linked to its row"


def check_no_script(tab):
    scripts = tab.evaluate("document.querySelectorAll('script').length")
    if scripts:
        raise Failure(f"{scripts} script element(s) in the page")
    return "no script element"


def check_groups(tab, wanted):
    groups, closed, problems = tab.evaluate(GROUPS % json.dumps(json.dumps(wanted)))
    if problems:
        raise Failure("groups of windows: " + problems)
    if wanted and not groups:
        raise Failure("no group of windows to find " + ", ".join(f"#{g}" for g, _ in wanted) + " in")
    if not groups:
        return "no group of windows without a button"
    return f"each of the {groups} groups holds the rows it counts, {closed} closed; " \
           f"{len(wanted)} windows in the groups asked for"


def check_names(tab):
    names, broken, out = tab.evaluate(BROKEN_NAMES)
    rows = tab.evaluate("document.querySelectorAll('tr[id^=\"w\"]').length")
    if rows and not names:
        raise Failure(f"{rows} window rows but no .name element to check")
    if broken:
        raise Failure(f"names broken over two lines at {WIDTH} px: " + ", ".join(broken))
    if out:
        raise Failure(f"names running out of their cells at {WIDTH} px: " + ", ".join(out))
    return f"none of the {names} names broken over two lines or out of its cell at {WIDTH} px"


def check_fits(tab):
    # A wide name that is not broken may push the table's last columns off to the right, out of the
    # page or behind a scroll bar of the table's own.
    problem = tab.evaluate("""(() => {
        const page = document.documentElement.scrollWidth;
        if (page > innerWidth) return 'the page is ' + page + ' px wide and scrolls sideways';
        const scrolled = [...document.body.querySelectorAll('*')].find(e => e.scrollWidth > e.clientWidth + 1 &&
            ['auto', 'scroll'].includes(getComputedStyle(e).overflowX));
        if (!scrolled) return '';
        const name = scrolled.tagName.toLowerCase() + (scrolled.className ? '.' + scrolled.className : '');
        return name + ' shows ' + scrolled.clientWidth + ' px of its ' + scrolled.scrollWidth + ' behind a scroll bar';
    })()""")
    if problem:
        raise Failure(f"wider than the window's {WIDTH} px: {problem}")
    return f"the page fits the window's {WIDTH} px, nothing behind a sideways scroll bar"


def check_wide(tab, window, least):
    width = tab.evaluate(ITEM_WIDTH % window)
    if width < 0:
        raise Failure(f'no a.win[href="#{window}"] on the main map (svg.map)')
    if width < least:
        raise Failure(f"{window} is {width:.0f} px wide on the map, less than {least} px")
    return f"{window} is {width:.0f} px wide on the map (at least {least})"


def smuggled_copy(page_bytes, folder, name, keep_policy):
    body = BODY_TAG.search(page_bytes)
    if not body:
        raise Failure("the page has no <body> tag to put a script after")
    copy = page_bytes[: body.end()] + SMUGGLED + page_bytes[body.end():]
    if not keep_policy:
        copy = CSP_META.sub(b"", copy)
    path = os.path.join(folder, name)
    with open(path, "wb") as out:
        out.write(copy)
    return path


def check_policy(tab, page_bytes, folder):
    if not CSP_META.search(page_bytes):
        raise Failure("the page has no Content-Security-Policy meta element")
    ran = "document.documentElement.getAttribute('data-ran')"
    tab.open(smuggled_copy(page_bytes, folder, "without-policy.html", keep_policy=False))
    if tab.evaluate(ran) != "1":
        raise Failure("the smuggled script did not run even without the policy: the check proves nothing")
    asked, _ = tab.requests_to(SMUGGLED_REQUEST)
    if not asked:
        raise Failure("the smuggled image was not requested even without the policy: the check proves nothing")
    tab.open(smuggled_copy(page_bytes, folder, "with-policy.html", keep_policy=True))
    if tab.evaluate(ran) is not None:
        raise Failure("a script smuggled into the page ran despite its Content-Security-Policy")
    asked, blocked = tab.requests_to(SMUGGLED_REQUEST)
    if asked and not blocked:
        raise Failure("the page let a smuggled image ask the network for " + SMUGGLED_REQUEST)
    return "Content-Security-Policy stops a smuggled script and image (both go through without it)"


def screenshot(tab, path):
    height = tab.evaluate("document.documentElement.scrollHeight")
    height = min(height, MOST_SCREENSHOT_HEIGHT)
    picture = tab.call("Page.captureScreenshot", format="png", captureBeyondViewport=True,
                       clip={"x": 0, "y": 0, "width": WIDTH, "height": height, "scale": 1})
    with open(path, "wb") as out:
        out.write(base64.b64decode(picture["data"]))
    return f"screenshot {path}: {WIDTH} by {height} px"


def in_option(text):
    group, equals, title = text.partition("=")
    if not equals or not re.fullmatch(r"[\w-]+", group):
        raise argparse.ArgumentTypeError(f"expected GROUP=TITLE, got {text!r}")
    return group, title


def wide_option(text):
    match = re.fullmatch(r"(w\d+)=(\d+)", text)
    if not match:
        raise argparse.ArgumentTypeError(f"expected wN=PX, got {text!r}")
    return match[1], int(match[2])


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("page")
    parser.add_argument("--wide", type=wide_option, action="append", default=[], metavar="wN=PX",
                        help="the map item of window N is at least PX CSS pixels wide")
    parser.add_argument("--in", dest="groups", type=in_option, action="append", default=[], metavar="GROUP=TITLE",
                        help="a row titled TITLE is in the group of id GROUP (live pages)")
    parser.add_argument("--screenshot", metavar="PNG", help="photograph the whole page (at most "
                        f"{MOST_SCREENSHOT_HEIGHT} px high) to PNG")
    options = parser.parse_args()
    with open(options.page, "rb") as page:
        page_bytes = page.read()

    name = f"page layout of {options.page}"

    def out_of_time(*_):
        raise Failure(f"not done in {SECONDS_IN_ALL} seconds")

    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(SECONDS_IN_ALL)
    folder = tempfile.mkdtemp(prefix="page-layout-")
    browser = None
    try:
        browser = Browser(os.path.join(folder, "profile"))
        tab = Tab(browser)
        tab.open(options.page)
        checks = [check_sections, check_windows_once, check_names, check_fits, check_no_script,
                  lambda tab: check_groups(tab, options.groups)]
        checks += [lambda tab, w=w, px=px: check_wide(tab, w, px) for w, px in options.wide]
        if options.screenshot:
            checks.append(lambda tab: screenshot(tab, options.screenshot))
        checks.append(lambda tab: check_policy(tab, page_bytes, folder))
        for check in checks:
            print(f"{name}: {check(tab)}", flush=True)
    except Failure as failure:
        print(f"{name}: FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
        if browser:
            browser.close()
        shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
