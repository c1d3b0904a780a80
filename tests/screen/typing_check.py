#!/usr/bin/python3
"""The equation text box of the running program, typed into with real X
keys: Return and Ctrl+Return on the twentieth (last) line ring the bell and
break no line, and typing goes on in a document longer than the edit
control's own limit of about 30,000 characters. The document saved and
opened again holds what the box showed.

  typing_check.py --exe OVELIN --probe WINPROBE [--shots DIR]
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
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XkbQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.POINTER(ctypes.c_int)] * 5
        x.XkbSelectEvents.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_ulong,
                                      ctypes.c_ulong]
        x.XPending.argtypes = [ctypes.c_void_p]
        x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.connection = x.XOpenDisplay(display.encode())
        version = [ctypes.c_int(v) for v in (0, 0, 0, 1, 0)]  # asks for XKB 1.0
        if not self.connection or not x.XkbQueryExtension(self.connection,
                                                          *map(ctypes.byref, version)):
            raise screen.ScreenError("no XKB on " + display)
        # The core keyboard's bell notices only (XkbUseCoreKbd, XkbBellNotifyMask).
        x.XkbSelectEvents(self.connection, 0x100, 1 << 8, 1 << 8)
        x.XSync(self.connection, 0)
        self.event = (ctypes.c_long * 24)()
        self.rung = 0

    def count(self):
        while self.x.XPending(self.connection):
            self.x.XNextEvent(self.connection, self.event)
            self.rung += 1
        return self.rung


def archived(text):
    """A string as the class library's archives hold it."""
    data = text.encode("cp1252")
    if len(data) < 0xFF:
        return bytes([len(data)]) + data
    if len(data) < 0xFFFE:
        return b"\xff" + struct.pack("<H", len(data)) + data
    return b"\xff\xff\xff" + struct.pack("<I", len(data)) + data


def write_document(path, lines):
    """A document in the flat archive form; a foreign options marker leaves
    the options at their defaults."""
    data = archived("QVM") + struct.pack("<hh", 1, 1)
    for line in lines:
        data += archived(line) + bytes(4) + struct.pack("<I", 0xFF0000)
    with open(path, "wb") as f:
        f.write(data + archived("-") + archived("/QVM/"))


def box_lines(display, probe_exe):
    done = subprocess.run([screen.WINE_RUN, probe_exe, "text", TITLE, "#1005"],
                          env=screen.env_for(display), capture_output=True)
    return done.stdout.decode("latin-1").replace("\r\n", "\n").split("\n") \
        if done.returncode == 0 else None


def wait_lines(display, probe_exe, accept, timeout):
    """The box's lines once `accept` takes them; None after the timeout."""
    def look():
        lines = box_lines(display, probe_exe)
        return lines if lines and accept(lines) else None
    return screen.wait_for(look, timeout, step=0.5)


def open_document(display, exe, probe_exe, appdata, document):
    """Starts the program on the document; its box lines once they show."""
    screen.run_program(display, exe, [screen.windows_path(document)], appdata=appdata,
                       probe=probe_exe)
    screen.wait_window(display, TITLE, timeout=120)
    return wait_lines(display, probe_exe,
                      lambda lines: len(lines) >= 20 and lines[0].startswith(LONG_LINE), 120)


def type_and_save(display, exe, probe_exe, appdata, document, failures, shots):
    bells = Bells(display)
    if not open_document(display, exe, probe_exe, appdata, document):
        raise screen.ScreenError("the document did not open")
    box = screen.probe(display, ["rect", TITLE, "#1005"], probe_exe)
    screen.xdotool(display, "mousemove", box[0] + 40, box[1] + 8, "click", "1")
    screen.xdotool(display, "key", "ctrl+Home", "End")
    screen.xdotool(display, "type", "--delay", "25", "+a")
    screen.xdotool(display, "key", "ctrl+End")
    screen.xdotool(display, "type", "--delay", "25", "y=2")
    before = bells.count()
    screen.xdotool(display, "key", "Return")
    screen.xdotool(display, "type", "--delay", "25", "z=3")
    screen.xdotool(display, "key", "ctrl+Return")
    lines = wait_lines(display, probe_exe, lambda lines: "y=2z=3" in lines[-1], 20) or []
    screen.wait_for(lambda: bells.count() - before >= 2, 5)
    rung = bells.count() - before
    if shots:  # the pointer off the text, still over the window that has the keys
        screen.xdotool(display, "mousemove", box[0] + 40, box[1] + box[3] + 60)
        screen.save(display, os.path.join(shots, "return-on-line-20.png"),
                    screen.window_on_screen(display, TITLE))
    screen.expect(rung == 2, "Return and Ctrl+Return on the last line ring the bell (%d bells)"
                  % rung, failures)
    screen.expect(len(lines) == 20 and lines[-1] == "y=2z=3",
                  "no line break: twenty lines, the last one y=2z=3 (%d lines, last %r)"
                  % (len(lines), lines[-1][:20] if lines else None), failures)
    screen.expect(bool(lines) and lines[0] == LONG_LINE + "+a",
                  "typed past 30,000 characters: line 1 ends in +a (%r)"
                  % (lines[0][-6:] if lines else None), failures)
    screen.xdotool(display, "key", "ctrl+s")
    saved = screen.wait_for(lambda: open(document, "rb").read(4) == b"\xd0\xcf\x11\xe0", 30)
    screen.expect(bool(saved), "Ctrl+S saved the document", failures)
    return lines


def check(exe, probe_exe, shots=None):
    failures = []
    display = screen.start_x()
    work = tempfile.mkdtemp(prefix="typing-")
    appdata = os.path.join(work, "appdata")
    document = os.path.join(work, "long.qvm")
    screen.returning_user(appdata)
    write_document(document, [LONG_LINE] * 19 + [""])
    try:
        if shots:
            os.makedirs(shots, exist_ok=True)
        shown = type_and_save(display, exe, probe_exe, appdata, document, failures, shots)
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
    parser.add_argument("--shots")
    args = parser.parse_args()
    sys.exit(check(args.exe, args.probe, args.shots))
