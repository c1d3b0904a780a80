#!/usr/bin/python3
"""The equation text box of the running program, typed into with real X
keys: Return and Ctrl+Return on the twentieth (last) line ring the bell and
break no line, and typing goes on in a document longer than the edit
control's own limit of about 30,000 characters. The document saved and
opened again holds what the box showed.

  typing_check.py --exe OVELIN --probe WINPROBE
"""
import argparse
import ctypes
import ctypes.util
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import screen  # noqa: E402

TITLE = "Ovelin 4"
LONG_LINE = "1" * 2000  # nineteen of them: 38,000 characters


class Bells:
    """Counts the bells the X server rings, from its XKB bell notices."""

    def __init__(self, display):
        x = self.x = ctypes.CDLL(ctypes.util.find_library("X11"))
        x.XOpenDisplay.restype = ctypes.c_void_p
        self.connection = ctypes.c_void_p(x.XOpenDisplay(display.encode()))
        version = [ctypes.c_int(v) for v in (0, 0, 0, 1, 0)]  # asks for XKB 1.0
        if not self.connection or not x.XkbQueryExtension(self.connection,
                                                          *map(ctypes.byref, version)):
            raise screen.ScreenError("no XKB on " + display)
        # The core keyboard's bell notices only (XkbUseCoreKbd, XkbBellNotifyMask).
        x.XkbSelectEvents(self.connection, 0x100, 1 << 8, 1 << 8)
        x.XSync(self.connection, 0)
        self.event, self.rung = (ctypes.c_long * 24)(), 0

    def count(self):
        while self.x.XPending(self.connection):
            self.x.XNextEvent(self.connection, self.event)
            self.rung += 1
        return self.rung


def write_document(path, lines):
    """A document in the flat archive form; a foreign options marker leaves
    the options at their defaults."""
    def archived(text):  # as the class library's archives hold a string
        data = text.encode("cp1252")
        if len(data) < 0xFF:
            return bytes([len(data)]) + data
        return b"\xff" + struct.pack("<H", len(data)) + data  # up to 0xFFFD
    data = archived("QVM") + struct.pack("<hh", 1, 1)
    for line in lines:
        data += archived(line) + bytes(4) + struct.pack("<I", 0xFF0000)
    with open(path, "wb") as f:
        f.write(data + archived("-") + archived("/QVM/"))


def wait_lines(display, probe_exe, accept, timeout):
    """The box's lines once `accept` takes them; None after the timeout."""
    def look():
        done = subprocess.run([screen.WINE_RUN, probe_exe, "text", TITLE, "#1005"],
                              env=screen.env_for(display), capture_output=True)
        lines = done.stdout.decode("latin-1").replace("\r\n", "\n").split("\n")
        return lines if done.returncode == 0 and accept(lines) else None
    return screen.wait_for(look, timeout, step=0.5)


def open_document(display, exe, probe_exe, appdata, document):
    """Starts the program on the document; its box lines once they show."""
    screen.run_program(display, exe, [screen.windows_path(document)], appdata=appdata,
                       probe=probe_exe)
    screen.wait_window(display, TITLE, timeout=120)
    return wait_lines(display, probe_exe,
                      lambda lines: len(lines) >= 20 and lines[0].startswith(LONG_LINE), 120)


def type_and_save(display, exe, probe_exe, appdata, document, failures):
    bells = Bells(display)
    if not open_document(display, exe, probe_exe, appdata, document):
        raise screen.ScreenError("the document did not open")
    box = screen.probe(display, ["rect", TITLE, "#1005"], probe_exe)
    # Keys go to the window under the pointer: it stays over the box.
    screen.xdotool(display, "mousemove", box[0] + 40, box[1] + 8, "click", "1")
    screen.xdotool(display, "key", "ctrl+Home", "End", "plus", "a", "ctrl+End", "y", "equal", "2")
    before = bells.count()
    screen.xdotool(display, "key", "Return", "z", "equal", "3", "ctrl+Return")
    lines = wait_lines(display, probe_exe, lambda lines: "y=2z=3" in lines[-1], 20) or [""]
    screen.wait_for(lambda: bells.count() - before >= 2, 5)
    screen.expect(bells.count() - before == 2, "Return and Ctrl+Return on the last line ring "
                  "the bell (%d bells)" % (bells.count() - before), failures)
    screen.expect(len(lines) == 20 and lines[-1] == "y=2z=3", "no line break: twenty lines, "
                  "the last y=2z=3 (%d, %r)" % (len(lines), lines[-1][:20]), failures)
    screen.expect(lines[0] == LONG_LINE + "+a", "typed past 30,000 characters: line 1 ends "
                  "in +a (%r)" % lines[0][-6:], failures)
    screen.xdotool(display, "key", "ctrl+s")
    saved = screen.wait_for(lambda: open(document, "rb").read(4) == b"\xd0\xcf\x11\xe0", 30)
    screen.expect(bool(saved), "Ctrl+S saved the document", failures)
    return lines


def check(exe, probe_exe):
    failures = []
    display = screen.start_x()
    work = tempfile.mkdtemp(prefix="typing-")
    appdata, document = os.path.join(work, "appdata"), os.path.join(work, "long.qvm")
    screen.returning_user(appdata)
    write_document(document, [LONG_LINE] * 19 + [""])
    try:
        shown = type_and_save(display, exe, probe_exe, appdata, document, failures)
        screen.end_programs(display)
        reopened = open_document(display, exe, probe_exe, appdata, document)
        screen.expect(reopened == shown, "the saved document holds what the box showed",
                      failures)
    except screen.ScreenError as error:
        screen.expect(False, str(error), failures)
    finally:
        screen.stop_x(display)
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    args = parser.parse_args()
    sys.exit(check(args.exe, args.probe))
