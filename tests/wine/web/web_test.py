#!/usr/bin/python3 -u
"""`scripts/run --web` seen and used through a real browser (Debian's Chromium, driven by
Selenium): it refuses a port in use; the noVNC page asks for the password the run printed, its canvas shows the viewer as
the X screen holds it, a click on a preset button through the canvas tunes the virtual board,
and Ctrl-C (first run) or the viewer's end (second run) leaves nothing running.

    tests/wine/web/web_test.py [--docs]    --docs: also saves the browser tab as docs/web.png

Exit status 0 passed, 1 failed, 77 skipped (no browser here)."""
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import uuid

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
BUILD = os.environ.get("KIVO_BUILD_DIR", os.path.join(ROOT, "build", "win64"))
PREFIX = os.path.join(BUILD, "wineprefix")
PROBE = os.path.join(BUILD, "bin", "web_probe.exe")
SKIPPED = 77


class Failure(Exception):
    pass


def skip(why):
    print("web test skipped: " + why)
    sys.exit(SKIPPED)


def check(condition, what):
    if not condition:
        raise Failure(what)
    print("  ok: " + what)


def wait_for(what, probe, seconds):
    end = time.time() + seconds
    while True:
        value = probe()
        if value:
            return value
        if time.time() > end:
            raise Failure("timed out waiting for " + what)
        time.sleep(0.25)


def start_browser():
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError as e:
        skip("no Selenium (Debian's python3-selenium): %s" % e)
    for f in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
        if not os.access(f, os.X_OK):
            skip("no %s (Debian's chromium and chromium-driver)" % f)
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = tempfile.mkdtemp(prefix="kivo-web-browser.")
    for a in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--user-data-dir=" + profile, "--window-size=1100,920"):
        options.add_argument(a)
    try:
        return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options), profile
    except Exception as e:  # noqa: BLE001 - any reason the browser cannot start
        skip("the browser cannot start: %s" % str(e).splitlines()[0])


def listeners(port):
    """The addresses with a socket listening on the TCP port, from the kernel's own tables (no
    netlink needed, unlike ss); None while there is none."""
    found = []
    for table, width in (("/proc/net/tcp", 8), ("/proc/net/tcp6", 32)):
        try:
            with open(table) as f:
                rows = f.read().splitlines()[1:]
        except OSError:
            continue
        for row in rows:
            fields = row.split()
            address, _, hexport = fields[1].partition(":")
            if fields[3] != "0A" or int(hexport, 16) != port or len(address) != width:
                continue
            raw = bytes.fromhex(address)
            # Each 32-bit word is in host (little-endian) order.
            raw = b"".join(raw[i:i + 4][::-1] for i in range(0, len(raw), 4))
            found.append(socket.inet_ntop(socket.AF_INET if width == 8 else socket.AF_INET6, raw))
    return sorted(found) or None


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def tagged_processes(tag):
    """Processes that inherited the run's tag: whatever the run started, however far down."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                if ("KIVO_WEB_TEST_TAG=" + tag).encode() in f.read().split(b"\0"):
                    with open("/proc/%s/cmdline" % pid, "rb") as c:
                        found.append("%s %s" % (pid, c.read().replace(b"\0", b" ").decode(errors="replace")))
        except OSError:
            pass
    return found


class WebRun:
    """One `scripts/run --web PORT` in a process group of its own, as in a terminal."""

    def __init__(self, tag):
        self.tag = tag
        self.port = free_port()
        self.lines = []
        self.children = []
        env = dict(os.environ, KIVO_WEB_TEST_TAG=tag)
        self.proc = subprocess.Popen([os.path.join(ROOT, "scripts", "run"), "--web", str(self.port)],
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env,
                                     start_new_session=True)
        threading.Thread(target=self._read, daemon=True).start()
        url = wait_for("the URL from scripts/run --web", self._url_or_end, 600)
        self.url, self.password = url.group(1), url.group(2)
        self.display = wait_for("the run's screen", lambda: self.match(r"^Screen: Xvfb (:\d+) "), 5).group(1)
        print("  run --web: %s password %s, screen %s" % (self.url, self.password, self.display))
        self.probes = tempfile.mkdtemp(prefix="kivo-web-probe.")

    def _url_or_end(self):
        url = self.match(r"^Open\s+(\S+)\s+password: (\S+)$")
        if url is None and self.proc.poll() is not None:
            time.sleep(0.5)  # the reader's last lines
            raise Failure("scripts/run --web ended (exit %d) before it printed the URL: %s"
                          % (self.proc.returncode, " | ".join(self.lines[-12:])))
        return url

    def _read(self):
        for line in self.proc.stdout:
            self.lines.append(line.decode(errors="replace").rstrip("\n"))

    def match(self, pattern):
        for line in list(self.lines):
            m = re.search(pattern, line)
            if m:
                return m
        return None

    def probe(self, what):
        """Runs web_probe in the run's Wine desktop; its answer as a dict of lists of numbers."""
        out = os.path.join(self.probes, "%s-%f.txt" % (what, time.time()))
        env = dict(os.environ, KIVO_WEB_TEST_TAG=self.tag, KIVO_BUILD_DIR=BUILD, DISPLAY=self.display)
        self.children.append(subprocess.Popen(["bash", "-c", 'source "$1/scripts/wine-env"; kivo_desktop_run "$2" "$3" "$4" "$5"',
                          "-", ROOT, os.environ.get("KIVO_DESKTOP", "1024x768"), PROBE, what,
                          "Z:" + out.replace("/", "\\")], env=env,
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        wait_for("web_probe " + what, lambda: os.path.exists(out), 150)
        answer = {}
        with open(out) as f:
            for line in f:
                words = line.split()
                answer.setdefault(words[0], []).append([int(w) for w in words[1:]])
        if "missing" in answer:
            shot = os.path.join(BUILD, "..", "logs", "web-screen.png")
            subprocess.run(["import", "-display", self.display, "-window", "root", shot])
            raise Failure("web_probe %s: the viewer's windows did not show (the screen: %s)" % (what, shot))
        return answer

    def interrupt(self):
        """Ctrl-C in the run's terminal: SIGINT to its foreground process group."""
        os.killpg(self.proc.pid, signal.SIGINT)

    def wait_end(self, seconds=120):
        try:
            return self.proc.wait(seconds)
        except subprocess.TimeoutExpired:
            raise Failure("scripts/run --web did not end within %d s" % seconds)

    def check_nothing_left(self):
        check(self.proc.poll() is not None, "scripts/run --web has ended")
        end = time.time() + 15
        while tagged_processes(self.tag) and time.time() < end:
            time.sleep(0.25)
        left = tagged_processes(self.tag)
        check(not left, "no process the run started is left%s" % (": %s" % left if left else ""))
        with socket.socket() as s:
            check(s.connect_ex(("127.0.0.1", self.port)) != 0, "port %d no longer answers" % self.port)
        check(not os.path.exists("/tmp/.X11-unix/X" + self.display[1:]), "the X screen %s is gone" % self.display)

    def stop(self):
        if self.proc.poll() is None:
            self.interrupt()
            try:
                self.proc.wait(60)
            except subprocess.TimeoutExpired:
                os.killpg(self.proc.pid, signal.SIGKILL)
        for child in self.children:
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
        subprocess.run(["rm", "-rf", self.probes])


class Page:
    """The noVNC page in the browser."""

    def __init__(self, driver):
        self.d = driver
        self.agreement = None

    def connect(self, url, password):
        from selenium.webdriver.common.by import By
        self.d.get(url)
        field = wait_for("noVNC's password prompt", lambda: self._shown(By.ID, "noVNC_password_input"), 30)
        check(True, "noVNC asks for the password")
        field.send_keys(password)
        self.d.find_element(By.ID, "noVNC_credentials_button").click()
        wait_for("the VNC connection", lambda: self.d.execute_script(
            "return document.documentElement.classList.contains('noVNC_connected')"), 30)
        check(True, "noVNC connected with the printed password")

    def _shown(self, by, name):
        found = self.d.find_elements(by, name)
        return found[0] if found and found[0].is_displayed() else None

    def canvas(self):
        return self.d.execute_script(
            "const c = document.querySelector('#noVNC_container canvas');"
            "const r = c.getBoundingClientRect();"
            "return {w: c.width, h: c.height, left: r.left, top: r.top, cw: r.width, ch: r.height};")

    def pixels(self, x, y, w, h):
        """RGB of a rectangle of the remote screen, as the canvas holds it."""
        data = self.d.execute_script(
            "const c = document.querySelector('#noVNC_container canvas');"
            "return Array.from(c.getContext('2d').getImageData(arguments[0], arguments[1], arguments[2],"
            " arguments[3]).data);", x, y, w, h)
        return [tuple(data[i:i + 3]) for i in range(0, len(data), 4)]

    def shows(self, display, sw, sh, x, y, w, h):
        """Whether the canvas holds a rectangle of the screen as the X screen does. noVNC may be
        sent lossy (JPEG) updates of busy areas, and the screen has 16 bits per pixel: nearly
        every pixel within a tolerance, and a small mean difference."""
        seen = self.pixels(x, y, w, h)
        raw = x_screen(display, sw, sh)
        close = 0
        total = 0
        for row in range(h):
            for col in range(w):
                o = ((y + row) * sw + x + col) * 3
                d = [abs(p - q) for p, q in zip(seen[row * w + col], raw[o:o + 3])]
                close += max(d) <= 40
                total += sum(d)
        self.agreement = (close / (w * h), total / (3 * w * h))
        return (self.agreement[0] >= 0.97 and self.agreement[1] <= 8) or None

    def click(self, x, y):
        """A press and release at a point of the remote screen, through the canvas."""
        from selenium.webdriver.common.actions.action_builder import ActionBuilder
        c = self.canvas()
        px = c["left"] + (x + 0.5) * c["cw"] / c["w"]
        py = c["top"] + (y + 0.5) * c["ch"] / c["h"]
        actions = ActionBuilder(self.d)
        actions.pointer_action.move_to_location(int(px), int(py))
        actions.pointer_action.pointer_down()
        actions.pointer_action.pause(0.15)
        actions.pointer_action.pointer_up()
        actions.perform()


def x_screen(display, w, h):
    """The X screen itself, read by ImageMagick: RGB rows."""
    raw = subprocess.run(["import", "-display", display, "-window", "root", "-depth", "8", "rgb:-"],
                         capture_output=True, check=True).stdout
    if len(raw) != w * h * 3:
        raise Failure("import gave %d bytes for %dx%d" % (len(raw), w, h))
    return raw


def near(a, b, tolerance=12):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def presets():
    """Channel codes of the presets in the run's ZORTV.INI (Channel1 is preset 0)."""
    codes = {}
    with open(os.path.join(PREFIX, "drive_c", "KIVO", "ZORTV.INI"), encoding="cp932", errors="replace") as f:
        for line in f:
            m = re.match(r"\s*Channel(\d+)\s*=\s*(\d+)", line)
            if m:
                codes[int(m.group(1)) - 1] = int(m.group(2))
    return codes


def channel_now(run):
    (channel,), = run.probe("board")["channel"]
    return channel


def tunes(board, after):
    return [code for seq, code in board.get("tune", []) if seq > after]


def first_run(driver, docs):
    print("run 1: see, click, Ctrl-C")
    run = WebRun(uuid.uuid4().hex)
    try:
        check(run.url.startswith("http://localhost:%d/vnc.html?autoconnect=1" % run.port),
              "the URL is on localhost: " + run.url)
        try:
            addresses = wait_for("a listening socket on port %d" % run.port, lambda: listeners(run.port), 10)
        except Failure as e:
            raise Failure("%s; the run printed: %s" % (e, " | ".join(run.lines[-8:])))
        check(addresses == ["127.0.0.1"], "websockify listens on 127.0.0.1 only (%s)" % ", ".join(addresses))
        windows = run.probe("windows")
        (tx, ty, tw, th), = windows["tuner"]
        (mx, my, mw, mh), = windows["main"]
        (sw, sh), = windows["screen"]
        page = Page(driver)
        page.connect(run.url, run.password)
        c = page.canvas()
        check((c["w"], c["h"]) == (sw, sh), "the canvas is the %dx%d screen" % (sw, sh))

        # The tuner panel as the X screen holds it, pixel for pixel (16-bit screen: a tolerance).
        try:
            wait_for("the canvas to show the tuner panel as the X screen does",
                     lambda: page.shows(run.display, sw, sh, tx, ty, tw, th), 30)
        except Failure as e:
            subprocess.run(["import", "-display", run.display, "-window", "root",
                            os.path.join(BUILD, "..", "logs", "web-screen.png")])
            driver.save_screenshot(os.path.join(BUILD, "..", "logs", "web-failure-tab.png"))
            raise Failure("%s (pixels that agree, mean difference: %s)" % (e, page.agreement))
        check(True, "the canvas shows the tuner panel as on the X screen (%dx%d at %d,%d; %.3f of the pixels"
              " agree, mean difference %.1f)" % ((tw, th, tx, ty) + page.agreement))
        strip = page.pixels(tx + tw - 7, ty + th - 4, 1, 1)[0]
        check(near(strip, (128, 128, 128)), "the panel's closing strip is grey: %s" % (strip,))
        # Preset buttons: 30 x 14 at (0, 1 + 15 i) of the panel, a light face with a dark label.
        face = page.pixels(tx + 3, ty + 1 + 15 + 3, 1, 1)[0]
        check(min(face) >= 150 and max(face) - min(face) <= 24, "a preset button's face is light grey: %s" % (face,))
        # The live picture of channel 1 (the sample clip): red, green, blue and white quarters,
        # with a small box moving over them.
        if presets().get(0) == 1 and channel_now(run) == 1:
            for (fx, fy), name, want in (((0.25, 0.23), "red", (1, 0, 0)), ((0.75, 0.23), "green", (0, 1, 0)),
                                         ((0.25, 0.7), "blue", (0, 0, 1)), ((0.75, 0.7), "white", (1, 1, 1))):
                block = page.pixels(mx + int(mw * fx) - 15, my + int(mh * fy) - 12, 30, 24)
                hits = sum(all((v >= 180) if w else (v <= 90) for v, w in zip(p, want)) for p in block)
                check(hits >= len(block) // 2, "the live picture's %s quarter (%d of %d pixels)" % (name, hits, len(block)))

        # A click on a preset button through the canvas tunes the board.
        board = run.probe("board")
        (channel,), = board["channel"]
        (total,), = board["total"]
        codes = presets()
        choice = next((i for i in range(6) if codes.get(i, 0) > 0 and codes[i] != channel), None)
        check(choice is not None, "a preset in the first column holds a channel other than %d" % channel)
        page.click(tx + 15, ty + 1 + 15 * choice + 7)
        after = wait_for("request 16 with channel code %d" % codes[choice],
                         lambda: (lambda b: b if codes[choice] in tunes(b, total) else None)(run.probe("board")), 20)
        check(tunes(after, total)[0] == codes[choice],
              "preset %d clicked in the browser: ZTUNER.VXD request 16 carries code %d" % (choice, codes[choice]))
        time.sleep(1.5)
        shot = os.path.join(BUILD, "..", "logs", "web.png")
        os.makedirs(os.path.dirname(shot), exist_ok=True)
        driver.save_screenshot(shot)
        if docs:
            driver.save_screenshot(os.path.join(ROOT, "docs", "web.png"))
            print("  saved docs/web.png")

        # Ctrl-C.
        run.interrupt()
        run.wait_end()
        check(run.match(r"^Stopping\.$") is not None, "Ctrl-C: the run says it stops")
        saved = open(os.path.join(PREFIX, "drive_c", "KIVO", "ZORTV.INI"), encoding="cp932").read()
        check(re.search(r"^CurrentPreset=%d\s*$" % choice, saved, re.M) is not None,
              "Ctrl-C: the viewer ended as by the remote's power key and saved preset %d" % choice)
        run.check_nothing_left()
        return windows
    finally:
        run.stop()


def busy_port():
    print("a port in use")
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        s.listen()
        port = s.getsockname()[1]
        tag = uuid.uuid4().hex
        r = subprocess.run([os.path.join(ROOT, "scripts", "run"), "--web", str(port)], capture_output=True,
                           text=True, timeout=120, env=dict(os.environ, KIVO_WEB_TEST_TAG=tag))
    check(r.returncode == 1 and "port %d is in use" % port in r.stderr,
          "scripts/run --web on a port in use refuses: %s" % r.stderr.strip().splitlines()[0])
    check(not tagged_processes(tag), "and leaves nothing running")


def second_run(driver):
    print("run 2: the viewer's end")
    run = WebRun(uuid.uuid4().hex)
    try:
        windows = run.probe("windows")
        (cx, cy), = windows["close"]
        (sw, sh), = windows["screen"]
        page = Page(driver)
        page.connect(run.url, run.password)
        wait_for("the canvas to show the main window's caption",
                 lambda: page.shows(run.display, sw, sh, cx - 40, cy - 6, 50, 12), 30)
        # The caption first, as a user would, so that the window is active; then its close box.
        page.click(cx - 60, cy)
        time.sleep(1)
        page.click(cx, cy)
        try:
            run.proc.wait(30)
        except subprocess.TimeoutExpired:
            print("  the viewer is still running 30 s after the click: once more")
            page.click(cx, cy)
        run.wait_end()
        check(run.match(r"^The viewer has ended\.$") is not None, "closing the main window ends the run")
        run.check_nothing_left()
    finally:
        run.stop()


def main():
    docs = "--docs" in sys.argv[1:]
    if not os.path.exists(PROBE):
        print("web test: %s is not built" % PROBE)
        return 1
    started = time.time()
    driver, profile = start_browser()
    # The runs change the viewer's settings in the build's prefix: they are put back afterwards.
    ini = os.path.join(PREFIX, "drive_c", "KIVO", "ZORTV.INI")
    kept = open(ini, "rb").read() if os.path.exists(ini) else None
    try:
        busy_port()
        first_run(driver, docs)
        second_run(driver)
    except Failure as e:
        print("FAIL: %s" % e)
        try:
            os.makedirs(os.path.join(BUILD, "..", "logs"), exist_ok=True)
            driver.save_screenshot(os.path.join(BUILD, "..", "logs", "web-failure.png"))
        except Exception:  # noqa: BLE001
            pass
        return 1
    finally:
        driver.quit()
        subprocess.run(["rm", "-rf", profile])
        if kept is not None:
            open(ini, "wb").write(kept)
        elif os.path.exists(ini):
            os.remove(ini)
    print("web test passed (%d s)" % (time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
