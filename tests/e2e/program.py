#!/usr/bin/env python3
"""End-to-end tests of the whole program: the tray icon, start-up and shutdown,
the window commands, skins, help, one copy at a time, the switches for scripts
and the shipped zip. Each case runs the real Purgix.exe under Wine in a fresh
prefix and a fresh copy of the shipped layout in a folder with a blank in its name."""
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile
import zlib

import e2e
from e2e import CAPTION, OPTIONS_KEY, RUN_KEY, STORED_KEYS, dump, probe, reg_values, screenshot, wine

ARGS = None
TEMPLATE = None
# The heading band of the memory table, in the client area: the skin's column colour.
BAND = (60, 85)
SKIN_BANDS = {"Aurora.ini": (0x2C, 0x67, 0xB0), "Graphite.ini": (0xB4, 0x58, 0x1C), "Meadow.ini": (0x2F, 0x7D, 0x4A)}


def fresh_prefix(remove):
    """A new prefix for the case: a copy of one booted once for the whole run."""
    global TEMPLATE
    if TEMPLATE is None:
        TEMPLATE = os.path.join(e2e.scratch("purgix-template-"), "prefix")
        os.environ["PURGIX_WINEPREFIX"] = TEMPLATE
        wine("--start")
        wine("--kill")
    prefix = os.path.join(e2e.scratch("purgix-case-", remove), "prefix")
    shutil.copytree(TEMPLATE, prefix, symlinks=True)
    os.environ["PURGIX_WINEPREFIX"] = prefix
    return prefix


def lay_out(source_dir, remove):
    """A copy of the shipped files in a fresh folder whose name has a blank."""
    folder = os.path.join(e2e.scratch("purgix-layout-", remove), "Purgix Test")
    os.makedirs(folder)
    e2e.copy_layout(source_dir, folder)
    return folder


def xdo(*argv, check=True):
    return subprocess.run(["xdotool", *argv], capture_output=True, text=True, timeout=20, check=check).stdout


def pixel(x, y):
    """The screen's colour at a point, as (r, g, b)."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "txt:-"], capture_output=True, text=True,
                         timeout=30, check=True).stdout
    r, g, b = map(int, re.search(r"\((\d+),(\d+),(\d+)", out).groups()[:3])
    return r >> 8 if r > 255 else r, g >> 8 if g > 255 else g, b >> 8 if b > 255 else b


def colours(x, y, w, h):
    """The distinct colours of a screen rectangle."""
    out = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "txt:-"], capture_output=True, text=True,
                         timeout=30, check=True).stdout
    return set(re.findall(r"#[0-9A-Fa-f]{6,12}", out))


def near(a, b, tolerance=24):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def tray_window():
    ids = xdo("search", "--onlyvisible", "--name", "^Wine System Tray$", check=False).split()
    return ids[0] if ids else None


def tray_icon_point():
    """The first icon of Wine's tray window, in screen coordinates."""
    wid = wait(tray_window, 10)
    assert wid, "no Wine System Tray window: the icon is not there"
    geometry = xdo("getwindowgeometry", "--shell", wid)
    g = dict(line.split("=") for line in geometry.split())
    return int(g["X"]) + 12, int(g["Y"]) + 32


def wait(predicate, timeout=15.0, step=0.2):
    until = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > until:
            return value
        time.sleep(step)


class Program(unittest.TestCase):
    """One case: a fresh prefix, a fresh layout, Purgix started from it."""
    SEED = None  # options to store before the start; None leaves the store empty (first run)
    SOURCE = None  # the folder the layout is copied from (the build's, unless a case unpacks the zip)
    LOG_PIXELS = None  # the display's density, when not 96 dpi

    def setUp(self):
        fresh_prefix(self.addCleanup)  # removed after tearDown has ended Wine
        self.folder = lay_out(self.SOURCE or os.path.dirname(ARGS.exe), self.addCleanup)
        self.exe = os.path.join(self.folder, "Purgix.exe")
        if self.SEED is not None:
            e2e.seed(self.SEED)
        if self.LOG_PIXELS:
            wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(self.LOG_PIXELS), "/f")
            wine("--kill")  # the desktop takes the density when it starts
        wine("--start")
        self.procs = []

    def tearDown(self):
        wine("--kill")
        for p in self.procs:
            try:
                p.wait(timeout=10)
            except subprocess.TimeoutExpired:
                p.kill()

    def start(self, *args, wait_for="wait", traces=None):
        """Starts Purgix; with `traces`, what it traces for a debugger goes to that file (Wine writes it there)."""
        env = dict(os.environ, WINEDEBUG="-all,warn+seh") if traces else None
        err = open(traces, "w") if traces else subprocess.DEVNULL
        proc = subprocess.Popen([ARGS.wine_run, self.exe, *args], stdout=subprocess.DEVNULL, stderr=err, env=env)
        if traces:
            self.addCleanup(err.close)
        self.procs.append(proc)
        if wait_for:
            self.assertEqual(probe(wait_for, CAPTION, "60000", check=False).returncode, 0, "the main window did not come")
        return proc

    def top(self):
        return dump()[0]

    def config(self):
        return e2e.read_profile_text(os.path.join(self.folder, "Config.inf"))

    def config_path(self):
        """Config.inf as the programs under Wine name it."""
        return "Z:" + os.path.join(self.folder, "Config.inf").replace("/", "\\")

    def saved_skin(self):
        """The SKIN value as the profile functions read it: quotes around it taken off."""
        m = re.search(r"^SKIN=(.*?)\s*$", self.config(), re.M)
        return re.sub(r'^"(.*)"$', r"\1", m.group(1)) if m else None

    def band(self):
        origin = self.top()["origin"]
        return pixel(origin[0] + BAND[0], origin[1] + BAND[1])

    def popup_from_tray(self):
        x, y = tray_icon_point()
        xdo("mousemove", str(x), str(y), "click", "3")
        time.sleep(1.0)

    def menu_keys(self, *keys):
        wid = xdo("search", "--name", re.escape(CAPTION)).split()[0]
        xdo("windowfocus", "--sync", wid, check=False)
        for key in keys:
            xdo("key", "--clearmodifiers", key)
            time.sleep(0.4)


class FirstRun(Program):
    def test_exit_from_the_tray_menu_writes_everything_and_takes_the_icon_away(self):
        proc = self.start()
        self.assertTrue(near(self.band(), SKIN_BANDS["Aurora.ini"]), "a new user sees the first skin")
        x, y = tray_icon_point()
        self.assertGreater(len(colours(x - 8, y - 8, 16, 16)), 3, "the icon's place in the tray is blank")
        self.popup_from_tray()
        screenshot("tray-menu.png")
        xdo("key", "e")  # "&Exit"
        self.assertEqual(proc.wait(timeout=30), 0)
        stored = {k: v for k, (_, v) in reg_values(OPTIONS_KEY).items()}
        self.assertEqual(stored, {"LessC": "1", "Less": "15", "intervalC": "1", "interval": "5", "Precent": "30",
                                  "StayOnTop": "True", "Minimized": "0", "TrayLoad": "0", "Notify": "0", "HotKey": "1"})
        self.assertEqual(set(stored), set(STORED_KEYS))
        self.assertEqual(reg_values(f"HKEY_LOCAL_MACHINE\\{RUN_KEY}", "Purgix"), {})
        self.assertEqual(self.saved_skin(), "Aurora.ini")
        self.assertTrue(wait(lambda: tray_window() is None, 5), "the icon stayed")


class HiddenStart(Program):
    SEED = {"Minimized": "1"}

    def test_only_the_icon_shows_and_a_left_click_brings_the_window(self):
        self.start(wait_for="exists")
        time.sleep(1.5)
        self.assertEqual(self.top()["visible"], 0)
        self.assertIsNotNone(tray_window())
        x, y = tray_icon_point()
        xdo("mousemove", str(x), str(y), "click", "1")
        self.assertTrue(wait(lambda: self.top()["visible"] == 1), "a left click did not show the window")

    def test_a_right_click_opens_the_menu_and_the_window_stays_hidden(self):
        self.start(wait_for="exists")
        x, y = tray_icon_point()
        before = pixel(x + 40, y + 30)
        self.popup_from_tray()
        opened = pixel(x + 40, y + 30)
        screenshot("tray-menu-hidden.png")
        self.assertNotEqual(opened, before, "no menu opened under the pointer")
        self.assertEqual(self.top()["visible"], 0)
        xdo("key", "Escape")
        self.assertTrue(wait(lambda: pixel(x + 40, y + 30) == before, 5), "Esc did not close the menu")
        self.assertEqual(self.top()["visible"], 0)

    def test_a_second_start_shows_the_running_copy_and_ends(self):
        first = self.start(wait_for="exists")
        second = self.start(wait_for=None)
        self.assertEqual(second.wait(timeout=60), 0)
        self.assertTrue(wait(lambda: self.top()["visible"] == 1), "the running copy did not come up")
        self.assertIsNone(first.poll())
        windows = xdo("search", "--name", "^" + re.escape(CAPTION) + "$").split()
        self.assertEqual(len(windows), 1)


class KilledProcess(Program):
    SEED = {"Less": "33", "Precent": "45"}

    def test_a_killed_process_writes_nothing(self):
        config_before = self.config()
        self.start()
        self.menu_keys("alt+s", "k", "Down", "Return")  # another skin
        stored_before = reg_values(OPTIONS_KEY)
        os.kill(e2e.purgix_pid(), 9)
        time.sleep(1)
        self.assertEqual(reg_values(OPTIONS_KEY), stored_before)
        self.assertEqual(self.config(), config_before)


class Skins(Program):
    SEED = {}

    def test_each_skin_from_the_menu_and_the_choice_comes_back(self):
        proc = self.start()
        self.assertTrue(wait(lambda: near(self.band(), SKIN_BANDS["Aurora.ini"])))
        for index, name in enumerate(sorted(SKIN_BANDS)):
            self.menu_keys("alt+s", "k", *(["Down"] * index), "Return")
            self.assertTrue(wait(lambda: near(self.band(), SKIN_BANDS[name]), 5), f"{name} did not show")
            time.sleep(0.6)
            screenshot(f"skin-{name[:-4].lower()}.png", self.top()["rect"])
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(self.saved_skin(), "Meadow.ini")
        self.start()
        self.assertTrue(wait(lambda: near(self.band(), SKIN_BANDS["Meadow.ini"])), "the saved skin was not applied")


class HelpAndLogOff(Program):
    SEED = {}

    def test_contents_opens_a_help_window(self):
        self.start()
        self.menu_keys("alt+h", "c")
        self.assertTrue(wait(lambda: xdo("search", "--name", "Purgix Help", check=False).strip(), 30), "no help window")

    def test_log_off_saves_before_the_program_ends(self):
        proc = self.start()
        self.menu_keys("alt+s", "k", "Down", "Return")
        self.assertEqual(probe("endsession", CAPTION).stdout.split()[0], "1")
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(self.saved_skin(), "Graphite.ini")
        self.assertEqual(set(reg_values(OPTIONS_KEY)), set(STORED_KEYS))
        self.assertTrue(wait(lambda: tray_window() is None, 5), "the icon stayed")


class LogOff(Program):
    SEED = {"LessC": "0", "intervalC": "0", "Precent": "15"}

    def test_a_log_off_during_a_large_release_saves_at_once_and_ends(self):
        # 15 %: a block of 30 % of physical memory, seconds of filling. The end of the session comes 1.5 s in.
        proc = self.start()
        self.menu_keys("alt+s", "k", "Down", "Return")  # Graphite, to see the choice saved
        self.menu_keys("F9")
        time.sleep(1.5)
        # Timed from the end of the session sent, by the probe: the save, whose last step writes Config.inf, within
        # the 5 s Windows gives. Starting the probe and reading the results back are the harness's time, not the
        # program's; so is Wine's taking windows away (some 2 s a window without a window manager).
        answer, answered, saved = probe("endsession", CAPTION, self.config_path()).stdout.split()
        self.assertEqual(answer, "1")
        self.assertTrue(0 <= int(saved) < 5000, f"Config.inf written {saved} ms after the end of the session (answered in {answered} ms)")
        self.assertLessEqual(int(saved), int(answered))
        self.assertEqual(self.saved_skin(), "Graphite.ini")
        self.assertEqual(set(reg_values(OPTIONS_KEY)), set(STORED_KEYS))
        self.assertEqual(proc.wait(timeout=10), 0)


class QuickRestart(Program):
    SEED = {}

    def test_a_start_while_the_copy_closes_waits_and_then_runs_alone(self):
        first = self.start()
        subprocess.Popen([ARGS.wine_run, ARGS.probe, "close", CAPTION], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.3)
        second = self.start(wait_for=None)
        self.assertEqual(first.wait(timeout=30), 0)
        self.assertEqual(probe("wait", CAPTION, "30000", check=False).returncode, 0, "nothing runs after the restart")
        time.sleep(1)
        self.assertIsNone(second.poll(), "the new start ended: nothing would run")
        self.assertEqual(len(xdo("search", "--name", "^" + re.escape(CAPTION) + "$").split()), 1)
        self.assertEqual(self.top()["visible"], 1)


def gif_bomb(screen, frames):
    """A GIF of one colour whose frames decode to far more than the file's size: after each clear code,
    each LZW code stands for one pixel more than the one before it."""
    def one_colour(pixels):
        out, acc, bits = bytearray(), 0, 0

        def put(code, width):
            nonlocal acc, bits
            acc, bits = acc | code << bits, bits + width
            while bits >= 8:
                out.append(acc & 0xFF)
                acc, bits = acc >> 8, bits - 8
        width, next_code, run = 3, 6, 1
        put(4, width)  # clear
        while pixels > 0:
            take = min(run, pixels)
            put(0 if take == 1 else 6 + take - 2, width)
            pixels -= take
            if pixels and next_code < 4095:
                next_code, run = next_code + 1, run + 1
                width += next_code > 1 << width and width < 12
            elif pixels:
                put(4, width)
                width, next_code, run = 3, 6, 1
        put(5, width)  # end of information
        if bits:
            out.append(acc)
        return bytes([2]) + b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255)) + b"\0"
    data = b"GIF89a" + struct.pack("<HHBBB", screen, screen, 0x80, 0, 0) + b"\0\0\0\xff\xff\xff"
    for w, h in frames:
        data += b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, 0) + one_colour(w * h)
    return data + b"\x3b"


def ico_png_bomb(entry, side):
    """An icon whose small directory entry wraps a large PNG of one colour."""
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(side * (side * 3 + 1)), 9)) + chunk(b"IEND", b"")
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, entry, entry, 0, 0, 1, 32, len(png), 22) + png


class HostileSkins(Program):
    SEED = {}

    def add_skin(self, name, column, bg, picture=None):
        skin = os.path.join(self.folder, "Skin")
        with open(os.path.join(skin, name), "w", encoding="utf-8", newline="\r\n") as f:
            f.write(f"[SKIN]\ncolor_Obj3D=&H00F0E7DF\ncolor_Back=&H00F7F0EA\ncolor_Column={column}\nBg={bg}\n")
        if picture is not None:
            with open(os.path.join(skin, bg), "wb") as f:
                f.write(picture)

    def test_picture_bombs_are_refused_while_the_window_answers_and_memory_stays(self):
        # Sorted after Aurora: the GIF's, the icon's.
        self.add_skin("Bomb gif.ini", "&H000000FF", "bomb.gif", gif_bomb(16, [(8000, 8000)] * 6))
        self.add_skin("Bomb ico.ini", "&H0000FF00", "bomb.ico", ico_png_bomb(16, 8000))
        self.start()
        with open(f"/proc/{e2e.purgix_pid()}/status") as f:
            peak_before = int(re.search(r"VmHWM:\s+(\d+)", f.read()).group(1))
        pinger = subprocess.Popen([ARGS.wine_run, ARGS.probe, "ping", CAPTION, "8"], stdout=subprocess.PIPE, text=True)
        for index, colour in ((1, (255, 0, 0)), (2, (0, 255, 0))):
            self.menu_keys("alt+s", "k", *(["Down"] * index), "Return")
            self.assertTrue(wait(lambda: near(self.band(), colour), 5), "the skin's colours did not apply")
        result = pinger.communicate(timeout=60)[0]
        with open(f"/proc/{e2e.purgix_pid()}/status") as f:
            peak_after = int(re.search(r"VmHWM:\s+(\d+)", f.read()).group(1))
        self.assertLess(int(re.search(r'"longest_ms":(\d+)', result).group(1)), 500, result)
        self.assertLess(peak_after - peak_before, 200 * 1024, "kilobytes more at the peak")

    def test_names_outside_the_code_page_or_with_blanks_at_the_ends_are_remembered(self):
        # Sorted: " lead.ini" first, then the shipped three, then the Japanese one.
        self.add_skin(" lead.ini", "&H000000FF", "Aurora.png")
        self.add_skin("\u65e5\u672c\u8a9e.ini", "&H0000FF00", "Aurora.png")
        for index, name, colour in ((0, " lead.ini", (255, 0, 0)), (4, "\u65e5\u672c\u8a9e.ini", (0, 255, 0))):
            proc = self.start()
            self.menu_keys("alt+s", "k", *(["Down"] * index), "Return")
            self.assertTrue(wait(lambda: near(self.band(), colour), 5), f"{name!r} did not apply")
            probe("close", CAPTION)
            self.assertEqual(proc.wait(timeout=30), 0)
            self.assertEqual(self.saved_skin(), name)
            again = self.start()
            self.assertTrue(wait(lambda: near(self.band(), colour), 5), f"{name!r} was not remembered")
            probe("close", CAPTION)
            again.wait(timeout=30)

    def test_a_linked_picture_is_refused_and_an_early_stop_keeps_the_choice(self):
        outside = os.path.join(os.path.dirname(self.folder), "outside.png")
        shutil.copy(os.path.join(self.folder, "Skin", "Graphite.bmp"), outside)
        os.symlink(outside, os.path.join(self.folder, "Skin", "link.png"))
        self.add_skin("Linked.ini", "&H000000FF", "link.png")
        with open(os.path.join(self.folder, "Config.inf"), "w", newline="\r\n") as f:
            f.write("[CONFIGSKIN]\nSKIN=Linked.ini\n")
        traces = os.path.join(os.path.dirname(self.folder), "traces.txt")
        proc = self.start(traces=traces)
        self.assertTrue(wait(lambda: near(self.band(), (255, 0, 0)), 5), "the linked skin's colours did not apply")
        probe("close", CAPTION)
        proc.wait(timeout=30)
        with open(traces, errors="replace") as f:
            self.assertIn("Purgix: skin: skin picture: the file lies outside the skin folder", f.read())
        e2e.seed({"LessC": "1e3"})  # start-up stops at the first setting, long before the skins
        config = self.config()
        proc = self.start()
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(self.config(), config)


class Keyboard(Program):
    SEED = {"LessC": "1", "intervalC": "1"}  # both spinners live; memory is far above 15 % and the minutes are 5

    def focused(self, title=CAPTION):
        """The control with the focus, as a screen reader learns of it from this other process."""
        return json.loads(probe("focus", title).stdout)

    def keys(self, *keys):
        for key in keys:
            xdo("key", "--clearmodifiers", key)
            time.sleep(0.25)

    def test_tab_space_arrows_and_access_keys_from_outside_and_the_about_window(self):
        self.start()
        wid = xdo("search", "--name", re.escape(CAPTION)).split()[0]
        xdo("windowfocus", "--sync", wid, check=False)
        names = []
        for _ in range(4):
            self.keys("Tab")
            names.append(self.focused()["name"])
        self.assertEqual(names, ["Optimize", "Next page", "Quenlor on the web", "Optimize"], "never a hidden option")
        self.assertEqual(self.focused()["role"], 43)  # a button
        screenshot("keyboard-table.png", self.top()["rect"])
        self.keys("Tab", "space", "space")  # "Next page", twice: the options
        self.assertEqual([w["visible"] for w in dump() if w["class"] == "PurgixPicture"][:2], [0, 0])
        seen = []
        for _ in range(8):
            self.keys("Tab")
            f = self.focused()
            seen.append((f["name"], f["role"]))
        self.assertEqual(seen, [("Quenlor on the web", 43), ("Interval minute", 44), ("Interval minute", 52), ("Less than", 44),
                                ("Less than", 52), ("Release percent", 52), ("Start with Windows", 44), ("Start minimized", 44)])
        box = lambda: e2e.child_at(dump(), None, [256, 96, 269, 109])["check"]
        # A screen reader in another process hears the focus come, the box ticked and the percent raised.
        with tempfile.TemporaryFile("w+") as heard:
            listener = subprocess.Popen([ARGS.wine_run, ARGS.probe, "events", CAPTION, "8"], stdout=heard, stderr=subprocess.DEVNULL)
            for _ in range(100):
                heard.seek(0)
                if "listening" in heard.read():
                    break
                time.sleep(0.05)
            self.keys("shift+Tab")  # back to "Start with Windows"
            self.keys("space")
            self.assertEqual(box(), 1, "Space did not tick Start with Windows")
            screenshot("keyboard-options.png", self.top()["rect"])
            self.keys("alt+r")
            before = int(self.focused()["value"])
            self.keys("Up")
            self.assertEqual(int(self.focused()["value"]), before + 5, "Up did not raise the release percent by its step")
            listener.wait(timeout=30)
            heard.seek(0)
            events = [(e["event"], e["name"]) for e in map(json.loads, heard.read().splitlines()[1:])]
        for wanted in [("focus", "Start with Windows"), ("state", "Start with Windows"), ("focus", "Release percent"),
                       ("value", "Release percent")]:
            self.assertIn(wanted, events)
        self.assertLess(events.index(("focus", "Start with Windows")), events.index(("state", "Start with Windows")))
        # The About window opens on OK; Enter closes it, and Esc the next one.
        about = "--- About Purgix ---"
        for key in ("Return", "Escape"):
            self.menu_keys("alt+h", "a")
            self.assertEqual(probe("wait", about, "10000", check=False).returncode, 0)
            xdo("windowfocus", "--sync", xdo("search", "--name", re.escape(about)).split()[0], check=False)
            self.assertEqual(self.focused(about)["name"], "OK")
            self.keys(key)
            self.assertEqual(probe("gone", about, "5000", check=False).returncode, 0, f"{key} did not close the About window")


class HighDpi(Program):
    SEED = {}
    LOG_PIXELS = 144

    def test_at_150_percent_everything_is_half_as_large_again_and_answers_at_its_place(self):
        self.start()
        top = self.top()
        self.assertEqual(top["client"], [720, 315])
        ox, oy = top["origin"]
        # The skin covers the whole client area: its light panel to the far corner, not the plain face.
        self.assertTrue(near(pixel(ox + 716, oy + 311), (0xDF, 0xE7, 0xF0), 12), pixel(ox + 716, oy + 311))
        time.sleep(0.6)
        screenshot("dpi-150.png", top["rect"])
        # The page switch and then a check box answer clicks at their scaled places.
        boxes = lambda: [w["visible"] for w in dump() if w["class"] == "PurgixPicture"][:2]
        for _ in range(4):  # the first click on an inactive window may only activate it
            xdo("mousemove", str(ox + 666), str(oy + 138), "click", "1")
            if wait(lambda: boxes() == [0, 0], 0.8):
                break
        self.assertEqual(boxes(), [0, 0], "the page switch did not answer at its scaled place")
        check1 = lambda: e2e.child_at(dump(), None, [96, 144, 116, 164])["check"]
        before = check1()
        xdo("mousemove", str(ox + 105), str(oy + 153), "click", "1")
        self.assertTrue(wait(lambda: check1() != before, 5), "the check box did not answer at its scaled place")
        screenshot("dpi-150-options.png", top["rect"])
        self.menu_keys("alt+h", "a")
        about = "--- About Purgix ---"
        self.assertEqual(probe("wait", about, "10000", check=False).returncode, 0)
        tree = [json.loads(line) for line in probe("dump", about).stdout.splitlines() if line.startswith("{")]
        self.assertEqual(tree[0]["client"], [564, 165])


class HighestDpi(Program):
    SEED = {}
    LOG_PIXELS = 192

    def test_at_200_percent_the_window_is_twice_the_size(self):
        self.start()
        self.assertEqual(self.top()["client"], [960, 420])
        time.sleep(0.6)
        screenshot("dpi-200.png", self.top()["rect"])


class Switches(Program):
    SEED = {"LessC": "0", "intervalC": "0"}

    def run_switch(self, *args):
        with tempfile.TemporaryFile("w+") as out:
            code = subprocess.run([ARGS.wine_run, self.exe, *args], stdout=out, stderr=subprocess.STDOUT, timeout=300).returncode
            out.seek(0)
            return code, out.read()

    def test_switches_exit_codes_and_the_running_copy_untouched(self):
        code, text = self.run_switch("/bogus")
        self.assertEqual(code, 2)
        self.assertIn("/bogus", text)
        self.assertEqual(self.run_switch("/release:500")[0], 2)
        code, text = self.run_switch("/?")
        self.assertEqual(code, 0)
        self.assertIn("/release", text)
        running = self.start()
        before = self.top()
        code, text = self.run_switch("/release:10")
        self.assertEqual(code, 0, text)
        self.assertRegex(text, r"released [\d,]+ MiB \(2 x 10 % = 20 % of physical memory\) in [\d.]+ s; "
                                  r"available physical memory [\d,]+ MiB before, [\d,]+ MiB after")
        self.assertIsNone(running.poll())
        self.assertEqual(self.top()["visible"], before["visible"])
        self.assertEqual(len(xdo("search", "--name", "^" + re.escape(CAPTION) + "$").split()), 1)


class Responsive(Program):
    SEED = {"LessC": "0", "intervalC": "0", "Precent": "60"}

    def test_the_window_answers_while_f9_releases_a_large_block(self):
        self.start()
        wid = xdo("search", "--name", re.escape(CAPTION)).split()[0]
        xdo("windowfocus", "--sync", wid, check=False)
        xdo("key", "F9")
        time.sleep(0.3)
        result = probe("ping", CAPTION, "6").stdout
        answers = int(re.search(r'"answers":(\d+)', result).group(1))
        gap = int(re.search(r'"longest_gap_ms":(\d+)', result).group(1))
        self.assertGreaterEqual(answers, 6, result)
        self.assertLess(gap, 1000, f"the window went silent during the release: {result}")


class TrayLoad(Program):
    SEED = {"LessC": "0", "intervalC": "0"}

    def test_the_load_switched_on_from_the_setup_menu_shows_in_the_icon_and_is_stored(self):
        proc = self.start()
        x, y = tray_icon_point()
        picture = colours(x - 8, y - 8, 16, 16)
        self.menu_keys("alt+s", "i")  # Setup > Load in tray &icon
        self.assertTrue(wait(lambda: colours(x - 8, y - 8, 16, 16) != picture, 5), "the icon did not change at once")
        screenshot("tray-load.png", (x - 40, y - 24, x + 40, y + 24))
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)
        stored = {k: v for k, (_, v) in reg_values(OPTIONS_KEY).items()}
        self.assertEqual((stored["TrayLoad"], stored["Notify"], stored["HotKey"]), ("1", "0", "1"))


class ReleaseLog(Program):
    """Releases of every hand counted where the user reads them: the log's lines, through Active Accessibility."""
    SEED = {"LessC": "0", "intervalC": "0", "Precent": "10", "HotKey": "0"}
    LOG = "Purgix releases"

    def lines(self):
        self.activate()
        self.menu_keys("alt+f", "l")  # File > Release &log...
        self.assertEqual(probe("wait", self.LOG, "10000", check=False).returncode, 0, "no log window")
        lines = [json.loads(line) for line in probe("items", self.LOG).stdout.splitlines()]
        xdo("windowfocus", "--sync", xdo("search", "--name", re.escape(self.LOG)).split()[0], check=False)
        xdo("key", "Escape")
        self.assertEqual(probe("gone", self.LOG, "5000", check=False).returncode, 0, "Esc did not close the log")
        return [line for line in lines if "MiB" in line]

    def activate(self):
        """Another program was active: a click on Purgix's caption makes it the active one again."""
        left, top = self.top()["rect"][:2]
        xdo("mousemove", str(left + 240), str(top + 8), "click", "1")
        time.sleep(0.3)

    def hold_f9_in(self, window, seconds):
        xdo("windowfocus", "--sync", window, check=False)
        xdo("keydown", "F9")
        time.sleep(seconds)
        xdo("keyup", "F9")

    def settled(self):
        """Waits until Purgix is idle again: a release keeps both cores busy while it fills."""
        with open(f"/proc/{e2e.purgix_pid()}/stat") as stat:
            def cpu():
                stat.seek(0)
                fields = stat.read().rsplit(")", 1)[1].split()
                return int(fields[11]) + int(fields[12])
            time.sleep(0.5)
            for _ in range(60):
                before = cpu()
                time.sleep(0.5)
                if cpu() - before < 10:  # under a tenth of a second of CPU in half a second
                    return
        self.fail("Purgix stayed busy")

    def test_the_log_names_each_release_once_and_keys_during_one_start_no_other(self):
        self.start()
        other = subprocess.Popen([ARGS.wine_run, "notepad"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.procs.append(other)
        notepad = wait(lambda: xdo("search", "--onlyvisible", "--name", "Notepad", check=False).split(), 30)
        self.assertTrue(notepad, "no Notepad to press F9 in")
        # Out of Purgix's way: with no window manager nothing raises a window that is clicked or focused.
        xdo("windowsize", notepad[0], "300", "200")
        xdo("windowmove", notepad[0], "960", "780")
        # Switched off, F9 in another program is that program's.
        self.hold_f9_in(notepad[0], 1.5)
        self.assertEqual(self.lines(), [], "F9 in another program released with the option off")
        # Space on the focused Optimize area releases once; 20 more presses during the release start nothing.
        self.activate()
        xdo("windowfocus", "--sync", xdo("search", "--name", re.escape(CAPTION)).split()[0], check=False)
        xdo("key", "--clearmodifiers", "Tab")
        self.assertEqual(json.loads(probe("focus", CAPTION).stdout)["name"], "Optimize")
        xdo("key", "space")
        xdo("key", "--delay", "20", *["space"] * 20)
        self.settled()
        # The tray menu's Optimize.
        self.popup_from_tray()
        xdo("key", "o")
        self.settled()
        # Switched on from the Setup menu: F9 held through a whole release and 4 s beyond is one release.
        self.activate()
        self.menu_keys("alt+s", "f")
        self.hold_f9_in(notepad[0], 6)
        self.settled()
        lines = self.lines()
        causes = [re.match(r"\d\d:\d\d:\d\d  (\w+)  [\d,.]+ MiB in [\d,.]+ s  available [\d,.]+ \u2192 [\d,.]+ MiB$", line) for line in lines]
        self.assertTrue(all(causes), lines)
        self.assertEqual([c.group(1) for c in causes], ["F9", "Tray", "Button"], lines)


class Zip(Program):
    SEED = {"LessC": "0", "intervalC": "0"}

    def setUp(self):
        unpacked = e2e.scratch("purgix-zip-", self.addCleanup)
        with zipfile.ZipFile(ARGS.zip) as z:
            z.extractall(unpacked)
        self.SOURCE = unpacked
        super().setUp()

    def test_the_unpacked_zip_starts_shows_its_skin_and_saves(self):
        proc = self.start()
        self.assertTrue(wait(lambda: near(self.band(), SKIN_BANDS["Aurora.ini"])), "no skin from the zip")
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(set(reg_values(OPTIONS_KEY)), set(STORED_KEYS))
        self.assertEqual(self.saved_skin(), "Aurora.ini")


def main():
    global ARGS
    ARGS, rest = e2e.parse_args("--zip")
    e2e.ARGS = ARGS
    return e2e.run_tests(rest)


if __name__ == "__main__":
    sys.exit(main())
