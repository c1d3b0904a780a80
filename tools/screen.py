#!/usr/bin/python3
"""Drives Ovelin (or any Windows program) under Wine on an X display of its
own, with real X input, and reads the pixels the X server shows.

  screen.py start-x [--size WxH]             start an Xvfb, print its display
  screen.py stop-x :N                        end it and the programs run on it
  screen.py run :N [--desktop WxH] [--appdata DIR] EXE [ARG...]
                                             start EXE under Wine (in Wine's
                                             virtual desktop with --desktop)
  screen.py wait :N TITLE [--timeout S]      wait for a window titled TITLE,
                                             then for the screen to settle
  screen.py probe :N ARG...                  winprobe ARG... (window places, texts)
  screen.py type :N TEXT | key :N KEY...     real key events
  screen.py move|click|press|release :N X Y  real mouse events (the pointer
                                             shows in captures: move it away)
  screen.py capture :N OUT.png [--rect X Y W H | --window TITLE]
  screen.py check --exe OVELIN --probe WINPROBE [--desktop WxH] [--shots DIR]
                                             the screen-level test

Pixels come from the X server's framebuffer: the file Xvfb keeps it in
(-fbdir, in XWD format) for a display started here, else ImageMagick's
`import -window root`. `xwd -root` is not used: it shows Wine's popup windows
(menus, tooltips, palettes) as black rectangles although the server has
their pixels.
"""
import argparse
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_RUN = os.path.join(REPO, "tools", "wine-run")
STATE_ROOT = os.path.join(tempfile.gettempdir(), "ovelin-screen-%d" % os.getuid())
TAG = "OVELIN_SCREEN_DISPLAY"  # marks the processes started on a display
DESKTOP = "shot"  # the name of Wine's virtual desktop (also its window's title)


class ScreenError(Exception):
    pass


def state_dir(display):
    return os.path.join(STATE_ROOT, display.lstrip(":"))


def env_for(display):
    env = dict(os.environ, DISPLAY=display)
    env[TAG] = display
    return env


# --- the X server -------------------------------------------------------------

def start_x(size="1280x1024"):
    """Starts an Xvfb on a free display number from 140 up (clear of the
    numbers people and xvfb-run pick) and returns ":N"."""
    os.makedirs(STATE_ROOT, exist_ok=True)
    for number in range(140 + os.getpid() % 100, 1000):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        display = ":%d" % number
        fbdir = tempfile.mkdtemp(prefix="fb-", dir=STATE_ROOT)
        server = subprocess.Popen(
            ["Xvfb", display, "-screen", "0", size + "x24", "-nolisten", "tcp", "-fbdir", fbdir],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        up = wait_for(lambda: server.poll() is not None or
                      xdotool(display, "getmouselocation") is not None, 10)
        if up and server.poll() is None:
            folder = state_dir(display)
            os.makedirs(folder, exist_ok=True)
            with open(os.path.join(folder, "xvfb.pid"), "w") as f:
                f.write(str(server.pid))
            with open(os.path.join(folder, "fbdir"), "w") as f:
                f.write(fbdir)
            return display
        if server.poll() is None:
            server.kill()
        shutil.rmtree(fbdir, ignore_errors=True)
    raise ScreenError("no free display for Xvfb")


def started_programs(display):
    """Ids of the programs `run` started on `display`: processes carrying the
    display's tag whose command line names one of them. Wine's own server
    and services, which a program may have started, are left to end by
    themselves: other programs of the prefix may be using them."""
    try:
        with open(os.path.join(state_dir(display), "programs")) as f:
            names = [line.strip().lower().encode() for line in f if line.strip()]
    except OSError:
        return []
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit() or int(pid) == os.getpid():
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as f:
                entries = f.read().split(b"\0")
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                command = f.read().replace(b"\0", b" ").lower()
        except OSError:
            continue
        if (TAG + "=" + display).encode() in entries and any(n in command for n in names):
            found.append(int(pid))
    return found


def settle_wine(display, timeout=30):
    """Waits until the prefix's Wine server has ended, once no program of the
    prefix runs any more. A killed program leaves its class objects and DDE
    names registered with Wine's services, and a program started next would
    be handed to the dead one; a fresh server starts clean. Bounded: other
    programs of the prefix may still be running."""
    env = env_for(display)
    env.setdefault("WINEPREFIX", os.path.join(REPO, "build", "wineprefix"))
    try:
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except (OSError, subprocess.TimeoutExpired):
        pass


def end_programs(display):
    for pid in started_programs(display):
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def stop_x(display):
    end_programs(display)
    settle_wine(display)
    folder = state_dir(display)
    try:
        with open(os.path.join(folder, "xvfb.pid")) as f:
            os.kill(int(f.read()), signal.SIGTERM)
    except (OSError, ValueError):
        pass
    try:
        with open(os.path.join(folder, "fbdir")) as f:
            shutil.rmtree(f.read().strip(), ignore_errors=True)
    except OSError:
        pass
    shutil.rmtree(folder, ignore_errors=True)


# --- programs and windows -------------------------------------------------------

def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_program(display, exe, args=(), desktop=None, appdata=None, probe=None):
    os.makedirs(state_dir(display), exist_ok=True)
    with open(os.path.join(state_dir(display), "programs"), "a") as f:
        f.write(os.path.basename(exe) + "\n")
        if desktop:
            f.write("/desktop=%s,\n" % DESKTOP)
    command = [WINE_RUN]
    if desktop:
        command += ["explorer", "/desktop=%s,%s" % (DESKTOP, desktop)]
        with open(os.path.join(state_dir(display), "desktop"), "w") as f:
            f.write(DESKTOP)
    if appdata:
        os.makedirs(appdata, exist_ok=True)
        command += [probe or default_probe(), "run", windows_path(appdata)]
    command += [exe] + list(args)
    subprocess.Popen(command, env=env_for(display), stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL, start_new_session=True)


def default_probe():
    return os.path.join(REPO, "build", "bin", "winprobe.exe")


def probe_output(display, args, probe_exe=None):
    """What winprobe prints, without the line's end; None when nothing matched."""
    try:
        with open(os.path.join(state_dir(display), "desktop")) as f:
            args = ["--desktop", f.read().strip()] + list(args)
    except OSError:
        pass
    done = subprocess.run([WINE_RUN, probe_exe or default_probe()] + list(args),
                          env=env_for(display), capture_output=True, text=True,
                          encoding="latin-1")
    if done.returncode != 0:
        return None
    return done.stdout.rstrip("\r\n")


def probe(display, args, probe_exe=None):
    """winprobe's answer as a list of integers; None when nothing matched."""
    answer = probe_output(display, args, probe_exe)
    return None if answer is None else [int(v) for v in answer.split()]


def xdotool(display, *args):
    done = subprocess.run(["xdotool"] + [str(a) for a in args], env=env_for(display),
                          capture_output=True, text=True)
    return done.stdout if done.returncode == 0 else None


def wait_for(what, timeout, step=0.2):
    deadline = time.time() + timeout
    while True:
        value = what()
        if value:
            return value
        if time.time() > deadline:
            return None
        time.sleep(step)


def wait_window(display, title, timeout=60):
    """Waits until a window of that title (or of that title, " - " and a
    document's name, as a frame names its document) is on the display, then
    until the screen stops changing."""
    pattern = "^%s( - .*)?$" % "".join("\\" + c if not c.isalnum() and c != " " else c
                                       for c in title)
    found = wait_for(lambda: xdotool(display, "search", "--onlyvisible", "--name", pattern),
                     timeout)
    if not found:
        raise ScreenError("no window %r appeared on %s" % (title, display))
    settle(display)
    return int(found.split()[0])


def window_on_screen(display, title):
    """x, y, w, h of the window's X window: what the screen shows of it (the
    Win32 rectangle also counts a caption that only a window manager draws)."""
    window = wait_window(display, title, timeout=10)
    # xwininfo, not xdotool: xdotool misplaces a window inside Wine's
    # virtual desktop (it adds the offset twice).
    done = subprocess.run(["xwininfo", "-id", str(window)], env=env_for(display),
                          capture_output=True, text=True)
    values = {}
    for line in done.stdout.splitlines():
        key, _, value = line.strip().partition(":")
        values[key] = value.strip()
    try:
        return [int(values[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                          "Width", "Height")]
    except (KeyError, ValueError):
        raise ScreenError("no geometry for window %r" % title)


def settle(display, timeout=10):
    """Waits until two captures a moment apart are the same, but for a
    blinking caret."""
    previous = grab(display)
    deadline = time.time() + timeout
    while time.time() < deadline:
        time.sleep(0.3)
        current = grab(display)
        if only_caret_differs(previous, current):
            return current
        previous = current
    return previous


def only_caret_differs(a, b, caret_width=3, caret_height=40):
    if a.width != b.width or a.height != b.height:
        return False
    row = 3 * a.width
    rows = [y for y in range(a.height) if a.data[y * row:(y + 1) * row] != b.data[y * row:(y + 1) * row]]
    if not rows:
        return True
    if rows[-1] - rows[0] >= caret_height:
        return False
    columns = [i // 3 for y in rows for i in range(row)
               if a.data[y * row + i] != b.data[y * row + i]]
    return max(columns) - min(columns) < caret_width


# --- pixels ---------------------------------------------------------------------

class Image:
    """The screen's pixels as RGB bytes."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def region(self, x, y, w, h):
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, self.width), min(y + h, self.height)
        return [self.pixel(px, py) for py in range(y0, y1) for px in range(x0, x1)]


def screen_source(display):
    try:
        with open(os.path.join(state_dir(display), "fbdir")) as f:
            return ["xwd:" + os.path.join(f.read().strip(), "Xvfb_screen0")], None
    except OSError:
        return ["-window", "root"], env_for(display)


def grab(display):
    source, env = screen_source(display)
    tool = "convert" if env is None else "import"
    done = subprocess.run([tool] + source + ["-depth", "8", "ppm:-"], env=env,
                          capture_output=True, check=True)
    return from_ppm(done.stdout)


def from_ppm(data):
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":  # a comment runs to the end of its line
            pos = data.index(b"\n", pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    width, height = int(fields[1]), int(fields[2])
    return Image(width, height, data[pos + 1:pos + 1 + 3 * width * height])


def save(display, out, rect=None):
    source, env = screen_source(display)
    crop = ["-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1]), "+repage"] if rect else []
    tool = ["convert"] if env is None else ["import"]
    subprocess.run(tool + source + crop + [out], env=env, check=True)


def dark_count(pixels, limit=100):
    return sum(1 for r, g, b in pixels if r + g + b < 3 * limit)


# --- the screen-level test --------------------------------------------------------

TITLE = "Ovelin 4"
EDIT_ID = "#1005"
TOOLBAR = "#59392"  # the standard toolbar, the first bar of that id
STATUS = "class:msctls_statusbar32"
IDLE_TEXT = "Ready"
LINES = ["x=(-b+-sqrt(b^2-4ac))/(2a)", "int(0,1)x^2 dx=1/3"]


def expect(ok, message, failures):
    print(("ok    " if ok else "FAIL  ") + message)
    if not ok:
        failures.append(message)


def box_inside(rect):
    """The text area of the box: without its border and its scroll bar."""
    x, y, w, h = rect
    return x + 3, y + 3, w - 6 - 18, h - 6


def check_typing(display, probe_exe, failures, shots):
    box = wait_for(lambda: probe(display, ["rect", TITLE, EDIT_ID], probe_exe), 20)
    view = probe(display, ["rect", TITLE, "class:MDIClient"], probe_exe)
    if not box or not view:
        expect(False, "the text box and the document area are found", failures)
        return
    before = settle(display)
    empty_box = dark_count(before.region(*box_inside(box)))
    empty_view = dark_count(before.region(*view))
    xdotool(display, "mousemove", box[0] + 40, box[1] + 8, "click", "1")
    xdotool(display, "type", "--delay", "25", LINES[0])
    xdotool(display, "key", "Return")
    xdotool(display, "type", "--delay", "25", LINES[1])
    xdotool(display, "mousemove", 0, 0)  # the pointer off the text
    inside = box_inside(box)
    line = 13

    def measure():
        after = settle(display)
        typed = dark_count(after.region(*inside)) - empty_box
        # Two lines of text at the top of the box: dark pixels in both.
        first = dark_count(after.region(inside[0], inside[1], inside[2], line))
        second = dark_count(after.region(inside[0], inside[1] + line, inside[2], line))
        drawn = dark_count(after.region(*view)) - empty_view
        return typed, first, second, drawn

    # A slow machine may still be working through the keys: look again a
    # few times before calling the text missing.
    deadline = time.time() + 10
    typed, first, second, drawn = measure()
    while not (typed > 150 and first > 60 and second > 60 and drawn > 300) and \
            time.time() < deadline:
        typed, first, second, drawn = measure()
    if shots:
        save(display, os.path.join(shots, "typed.png"))
    expect(typed > 150, "typed text shows in the box (%d dark pixels more than empty)" % typed,
           failures)
    expect(first > 60 and second > 60,
           "both typed lines show (%d and %d dark pixels)" % (first, second), failures)
    expect(drawn > 300, "the equation is drawn in the view (%d dark pixels more)" % drawn,
           failures)


def status_text(display, probe_exe, wanted, timeout=3):
    """The status bar's message pane once it shows `wanted`, else what it shows."""
    def read():
        return probe_output(display, ["text", TITLE, STATUS], probe_exe)

    return wait_for(lambda: read() == wanted and wanted, timeout) or read()


def check_prompts(display, probe_exe, failures, shots):
    """The Open button's prompt shows while the pointer is over it; "Ready"
    once the pointer left, and while the dialog the button opens is up
    (although the pointer rests where the button was)."""
    button = probe(display, ["button", TITLE, TOOLBAR, "1"], probe_exe) or [0, 0]
    view = probe(display, ["rect", TITLE, "class:MDIClient"], probe_exe) or [0, 0, 0, 0]
    for x, y, click, wanted in [(button[0], button[1], [], "Open an existing equation"),
                                (view[0] + view[2] // 2, view[1] + view[3] // 2, [], IDLE_TEXT),
                                (button[0], button[1], ["click", "1"], IDLE_TEXT)]:
        xdotool(display, "mousemove", x, y, *click)
        if click:
            wait_for(lambda: probe(display, ["rect", "Open"], probe_exe), 20)
        shown = status_text(display, probe_exe, wanted)
        if shots and not click:
            save(display, os.path.join(shots, "prompt-%s.png" % wanted.split()[0]))
        expect(shown == wanted, "status %r at (%d, %d) %s" % (shown, x, y, " ".join(click)),
               failures)
    xdotool(display, "key", "Escape")  # the Open dialog
    wait_for(lambda: probe(display, ["rect", "Open"], probe_exe) is None, 10)


def check_palette(display, probe_exe, failures, shots):
    button = probe(display, ["button", TITLE, "text:Shortcuts", "1"], probe_exe)
    if not button:
        expect(False, "the Shortcuts bar is found", failures)
        return
    xdotool(display, "mousemove", button[0], button[1], "mousedown", "1")
    palette = wait_for(lambda: probe(display, ["owned", TITLE, "class:ToolbarWindow32"],
                                     probe_exe), 10)
    if not palette:
        xdotool(display, "mouseup", "1")
        expect(False, "pressing the Greek button opens a palette", failures)
        return

    def measure():
        pixels = settle(display).region(*palette)
        return dark_count(pixels) / max(len(pixels), 1), len(set(pixels))

    deadline = time.time() + 5
    share, colours = measure()
    while not (0.01 < share < 0.6 and colours >= 8) and time.time() < deadline:
        share, colours = measure()
    if shots:
        save(display, os.path.join(shots, "palette.png"))
    expect(0.01 < share < 0.6 and colours >= 8,
           "the open palette shows its symbols (%.0f%% dark, %d colours)" % (100 * share, colours),
           failures)
    pi = probe(display, ["ownedbutton", TITLE, "class:ToolbarWindow32", "0"], probe_exe)
    xdotool(display, "mousemove", *(pi or [0, 0]))
    shown = status_text(display, probe_exe, "Pi")
    expect(shown == "Pi", "the palette button's prompt shows (%r)" % shown, failures)
    # Released away from the palette: nothing is inserted, the palette closes.
    xdotool(display, "mousemove", 5, 5, "mouseup", "1")
    closed = wait_for(lambda: probe(display, ["owned", TITLE, "class:ToolbarWindow32"],
                                    probe_exe) is None, 10)
    expect(bool(closed), "the palette closes when the button is released", failures)
    shown = status_text(display, probe_exe, IDLE_TEXT)
    expect(shown == IDLE_TEXT, "status %r once the palette closed" % shown, failures)


def returning_user(appdata):
    """Settings of a user who has seen the welcome dialog, so the program
    starts straight into its main window."""
    folder = os.path.join(appdata, "Marvolk")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "QVM400.ini"), "w", newline="") as ini:
        ini.write("[QVCallHome]\r\nFirstRun=0\r\n\r\n")


def check(exe, probe_exe, desktop=None, shots=None):
    failures = []
    display = start_x()
    appdata = tempfile.mkdtemp(prefix="appdata-")
    returning_user(appdata)
    try:
        if shots:
            os.makedirs(shots, exist_ok=True)
        run_program(display, exe, desktop=desktop, appdata=appdata, probe=probe_exe)
        wait_window(display, TITLE)
        check_typing(display, probe_exe, failures, shots)
        check_prompts(display, probe_exe, failures, shots)
        check_palette(display, probe_exe, failures, shots)
    except ScreenError as error:
        failures.append(str(error))
        print("FAIL  " + str(error))
    finally:
        stop_x(display)
        shutil.rmtree(appdata, ignore_errors=True)
    return 1 if failures else 0


# --- command line ---------------------------------------------------------------------

def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="verb", required=True)
    p = sub.add_parser("start-x")
    p.add_argument("--size", default="1280x1024")
    sub.add_parser("stop-x").add_argument("display")
    p = sub.add_parser("run")
    p.add_argument("display")
    p.add_argument("--desktop")
    p.add_argument("--appdata")
    p.add_argument("--probe")
    p.add_argument("exe")
    p.add_argument("args", nargs=argparse.REMAINDER)
    p = sub.add_parser("wait")
    p.add_argument("display")
    p.add_argument("title")
    p.add_argument("--timeout", type=float, default=60)
    p = sub.add_parser("probe")
    p.add_argument("display")
    p.add_argument("args", nargs=argparse.REMAINDER)
    p = sub.add_parser("type")
    p.add_argument("display")
    p.add_argument("text")
    p = sub.add_parser("key")
    p.add_argument("display")
    p.add_argument("keys", nargs="+")
    for verb in ("move", "click", "press", "release"):
        p = sub.add_parser(verb)
        p.add_argument("display")
        p.add_argument("x", type=int)
        p.add_argument("y", type=int)
    p = sub.add_parser("capture")
    p.add_argument("display")
    p.add_argument("out")
    p.add_argument("--rect", type=int, nargs=4)
    p.add_argument("--window")
    p = sub.add_parser("check")
    p.add_argument("--exe", required=True)
    p.add_argument("--probe", required=True)
    p.add_argument("--desktop")
    p.add_argument("--shots")
    a = parser.parse_args(argv)

    if a.verb == "start-x":
        print(start_x(a.size))
    elif a.verb == "stop-x":
        stop_x(a.display)
    elif a.verb == "run":
        run_program(a.display, a.exe, a.args, a.desktop, a.appdata, a.probe)
    elif a.verb == "wait":
        print(wait_window(a.display, a.title, a.timeout))
    elif a.verb == "probe":
        answer = probe_output(a.display, a.args)
        if answer is None:
            return 1
        print(answer)
    elif a.verb == "type":
        xdotool(a.display, "type", "--delay", "25", a.text)
    elif a.verb == "key":
        xdotool(a.display, "key", *a.keys)
    elif a.verb in ("move", "click", "press", "release"):
        action = {"move": [], "click": ["click", "1"], "press": ["mousedown", "1"],
                  "release": ["mouseup", "1"]}[a.verb]
        xdotool(a.display, "mousemove", a.x, a.y, *action)
    elif a.verb == "capture":
        rect = a.rect
        if a.window:
            rect = window_on_screen(a.display, a.window)
        save(a.display, a.out, rect)
    elif a.verb == "check":
        return check(a.exe, a.probe, a.desktop, a.shots)
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv[1:]))
    except ScreenError as error:
        print("screen.py: " + str(error), file=sys.stderr)
        sys.exit(1)
