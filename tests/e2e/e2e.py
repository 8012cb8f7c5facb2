#!/usr/bin/env python3
"""End-to-end tests: the real Purgix.exe under Wine in an X display, driven
from outside through tests/e2e/probe.exe, xdotool and screenshots."""
import argparse
import atexit
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

CAPTION = "--- Zarvex RAM Purgix 2.00 ---"
ARGS = None
# Client points inside controls of the options page (which the memory table covers).
VSCROLL3 = (224, 152)  # release percent, 10 to 100 in steps of 5


def wine(*argv, check=True, timeout=60):
    # Files, not pipes: when this call happens to start the prefix's wineserver, the
    # server inherits the output and would hold a pipe open long after the call ends.
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        done = subprocess.run([ARGS.wine_run, *argv], stdout=out, stderr=err, text=True, timeout=timeout)
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(done.args, done.returncode, out.read(), err.read())
    if check:
        result.check_returncode()
    return result


def probe(*argv, check=True):
    return wine(ARGS.probe, *argv, check=check)


def dump():
    """The window tree as the probe sees it: a list of dicts, parents first."""
    out = probe("dump", CAPTION).stdout
    return [json.loads(line) for line in out.splitlines() if line.startswith("{")]


def child_at(tree, parent_class_rect, rect):
    """The window whose rectangle in its parent is `rect`, under the parent picked by rect too."""
    by_hwnd = {w["hwnd"]: w for w in tree}
    for w in tree:
        parent = by_hwnd.get(w["parent"])
        if w["rect"] == rect and parent is not None and (parent_class_rect is None or parent["rect"] == parent_class_rect):
            return w
    raise AssertionError(f"no window at {rect}")


def read_profile_text(path):
    """An INI file's text: UTF-16 when it starts with the byte-order mark, else the ANSI code page."""
    with open(path, "rb") as f:
        data = f.read()
    return data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("cp1252", errors="replace")


def kilobytes(text):
    return int(re.sub(r"\D", "", text))


def screenshot(name, rect=None):
    os.makedirs(ARGS.artifacts, exist_ok=True)
    path = os.path.join(ARGS.artifacts, name)
    raw = path + ".xwd.png"
    subprocess.run(["import", "-window", "root", raw], check=True, timeout=30)
    if rect:
        left, top, right, bottom = rect
        subprocess.run(["convert", raw, "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", path], check=True)
        os.remove(raw)
    else:
        os.replace(raw, path)
    return path

OPTIONS_KEY = r"HKEY_CURRENT_USER\Software\Quenlor\Purgix\Options"
RUN_KEY = r"Software\Microsoft\Windows\CurrentVersion\Run"
# The automatic releases are real and large: no test turns them on by surprise.
QUIET = {"LessC": "0", "intervalC": "0"}
# The window's seven options, then the Setup menu's three switches.
STORED_KEYS = ("LessC", "Less", "intervalC", "interval", "Precent", "StayOnTop", "Minimized", "TrayLoad", "Notify", "HotKey")
# Option controls by their rectangles in the main window's client area.
OPTION_RECTS = {
    "Check1": [64, 96, 77, 109], "Check2": [64, 120, 77, 133], "Check3": [256, 120, 269, 133], "Check4": [256, 96, 269, 109],
    "Text1": [184, 96, 217, 113], "Text2": [184, 120, 217, 137], "Text3": [184, 144, 217, 161],
    "VScroll1": [216, 96, 233, 113], "VScroll2": [216, 120, 233, 137], "VScroll3": [216, 144, 233, 161],
    "PicTable": [56, 80, 393, 177], "PicChart": [64, 88, 377, 177],
}
IMG_TAB_CENTRE = (444, 92)


def reg_text(value):
    return value.replace("\\", "\\\\").replace('"', '\\"')


def seed(options=None, run_machine=None, run_user=None):
    """Empties the store and both Run values, then stores the given ones (releases off unless given)."""
    values = dict(QUIET)
    values.update(options or {})
    lines = ["Windows Registry Editor Version 5.00", "", f"[-{OPTIONS_KEY}]", "", f"[{OPTIONS_KEY}]"]
    lines += [f'"{k}"="{reg_text(v)}"' for k, v in values.items()]
    for root, data in (("HKEY_LOCAL_MACHINE", run_machine), ("HKEY_CURRENT_USER", run_user)):
        lines += ["", f"[{root}\\{RUN_KEY}]", '"Purgix"=' + ("-" if data is None else f'"{reg_text(data)}"')]
    path = os.path.join(ARGS.artifacts, f"seed-{os.getpid()}.reg")  # tiers running side by side each have their own
    os.makedirs(ARGS.artifacts, exist_ok=True)
    with open(path, "w", newline="\r\n") as f:
        f.write("\n".join(lines) + "\n")
    wine("reg", "import", "Z:" + os.path.abspath(path).replace("/", "\\"))


def reg_values(key, name=None):
    """{name: (type, data)} of a key as `reg query` shows it; empty when missing."""
    argv = ["reg", "query", key] + (["/v", name] if name else [])
    out = wine(*argv, check=False).stdout
    found = {}
    for line in out.splitlines():
        m = re.match(r"^\s+(\S+)\s+(REG_\w+)(?:\s{4}(.*))?$", line.rstrip("\r"))
        if m:
            found[m.group(1)] = (m.group(2), m.group(3) or "")
    return found


def stored_options():
    return reg_values(OPTIONS_KEY)


def run_value(root):
    return reg_values(f"{root}\\{RUN_KEY}", "Purgix").get("Purgix", (None, None))[1]


def start_command():
    return wine("winepath", "-w", os.path.abspath(ARGS.exe)).stdout.strip()


def controls(tree=None):
    """The option controls and the two pages, by name, from one dump."""
    tree = tree or dump()
    top = tree[0]["hwnd"]
    by_rect = {tuple(w["rect"]): w for w in tree if w["parent"] == top}
    return {name: by_rect[tuple(rect)] for name, rect in OPTION_RECTS.items()}


def wait_for(condition, timeout=10.0):
    """Polls the window tree until condition(controls) holds; returns the last controls."""
    until = time.monotonic() + timeout
    while True:
        c = controls()
        if condition(c) or time.monotonic() > until:
            return c
        time.sleep(0.1)


class RunningCopy(unittest.TestCase):
    """Starts Purgix once for the class over a freshly seeded store."""
    SEED = {}
    RUN_MACHINE = None
    RUN_USER = None
    WAIT = "wait"

    @classmethod
    def setUpClass(cls):
        wine("--kill")  # a copy left running would take the start over (one copy at a time)
        seed(cls.SEED, cls.RUN_MACHINE, cls.RUN_USER)
        wine("--start")
        cls.proc = subprocess.Popen([ARGS.wine_run, ARGS.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if probe(cls.WAIT, CAPTION, "60000", check=False).returncode != 0:
            state = "still running" if cls.proc.poll() is None else f"ended with {cls.proc.returncode}"
            wine("--kill")
            raise AssertionError(f"the main window did not come within 60 s (the program {state})")
        cls.shown_at = time.monotonic()

    @classmethod
    def tearDownClass(cls):
        if cls.proc.poll() is None:
            probe("close", CAPTION, check=False)
            try:
                cls.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                wine("--kill")

    def close_and_wait(self):
        probe("close", CAPTION)
        self.assertEqual(self.proc.wait(timeout=20), 0)

    def assertStored(self, expected):
        stored = stored_options()
        self.assertEqual(set(stored), set(STORED_KEYS), "the store must hold exactly the ten keys, letter case included")
        # The Setup menu's switches at their defaults unless a case says otherwise.
        self.assertEqual({k: v for k, (_, v) in stored.items()}, {"TrayLoad": "0", "Notify": "0", "HotKey": "1", **expected})
        self.assertEqual({t for t, _ in stored.values()}, {"REG_SZ"})


class StoredOptions(RunningCopy):
    SEED = {"LessC": "0", "Less": "40", "intervalC": "0", "interval": "20", "Precent": "35", "Minimized": "0",
            "StayOnTop": "False"}

    @classmethod
    def setUpClass(cls):
        cls.RUN_USER = '"' + start_command() + '"'  # the quoted form counts as well
        super().setUpClass()

    def top_rect(self):
        return dump()[0]["rect"]

    def test_1_stored_values_show_in_the_controls(self):
        c = controls()
        self.assertEqual(c["Text1"]["text"], "20")
        self.assertEqual(c["Text2"]["text"], "40%")
        self.assertEqual(c["Text3"]["text"], "35%")
        self.assertEqual([c[n]["check"] for n in ("Check1", "Check2", "Check3", "Check4")], [0, 0, 0, 1])
        for name in ("Text1", "Text2", "Text3"):
            self.assertTrue(c[name]["style"] & 0x0800, f"{name} must be read-only")  # ES_READONLY

    def test_2_tab_click_cycles_chart_options_table(self):
        pages = [("page-chart.png", lambda c: c["PicChart"]["visible"] and not c["PicTable"]["visible"]),
                 ("page-options.png", lambda c: not c["PicChart"]["visible"] and not c["PicTable"]["visible"]),
                 ("page-table.png", lambda c: c["PicTable"]["visible"] and not c["PicChart"]["visible"])]
        for shot, shown in pages:
            probe("click", CAPTION, *map(str, IMG_TAB_CENTRE))
            self.assertTrue(shown(wait_for(shown)), shot)
            time.sleep(0.6)  # a tick and a repaint
            screenshot(shot, self.top_rect())

    def test_3_spinner_arrows_clicked_with_the_mouse(self):
        for _ in range(2):
            probe("click", CAPTION, *map(str, IMG_TAB_CENTRE))
        wait_for(lambda c: not c["PicTable"]["visible"] and not c["PicChart"]["visible"])
        origin = dump()[0]["origin"]

        def arrow(name, up):
            left, top = OPTION_RECTS[name][:2]
            x, y = origin[0] + left + 8, origin[1] + top + (4 if up else 13)
            subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True, timeout=10)
            time.sleep(0.3)

        def click(name):
            left, top = OPTION_RECTS[name][:2]
            subprocess.run(["xdotool", "mousemove", str(origin[0] + left + 6), str(origin[1] + top + 6), "click", "1"],
                           check=True, timeout=10)

        # With their options off, the interval and threshold spinners are greyed and do not move.
        c = wait_for(lambda c: not c["VScroll1"]["enabled"] and not c["VScroll2"]["enabled"])
        self.assertFalse(c["VScroll1"]["enabled"] or c["VScroll2"]["enabled"])
        self.assertFalse(c["Text1"]["enabled"])
        self.assertFalse(c["Text2"]["enabled"])
        self.assertTrue(c["VScroll3"]["enabled"] and c["Text3"]["enabled"])
        arrow("VScroll1", False)
        self.assertEqual(controls()["Text1"]["text"], "20")
        # Ticking the boxes ungreys them at the next tick (neither releases here: 20 minutes, 40 %).
        click("Check1")
        click("Check2")
        c = wait_for(lambda c: c["VScroll1"]["enabled"] and c["VScroll2"]["enabled"])
        self.assertTrue(c["VScroll1"]["enabled"] and c["VScroll2"]["enabled"] and c["Text1"]["enabled"])
        arrow("VScroll1", True)  # already at 20, its upper bound
        arrow("VScroll1", False)
        c = wait_for(lambda c: c["Text1"]["text"] != "20")
        self.assertEqual(c["Text1"]["text"], "19")
        arrow("VScroll3", True)
        self.assertEqual(wait_for(lambda c: c["Text3"]["text"] != "35%")["Text3"]["text"], "40%")
        arrow("VScroll3", False)
        arrow("VScroll3", False)
        self.assertEqual(wait_for(lambda c: c["Text3"]["text"] == "30%")["Text3"]["text"], "30%")
        arrow("VScroll2", False)
        self.assertEqual(wait_for(lambda c: c["Text2"]["text"] != "40%")["Text2"]["text"], "39%")
        self.assertEqual(controls()["Text1"]["text"], "19")
        click("Check1")
        click("Check2")
        c = wait_for(lambda c: not c["VScroll1"]["enabled"] and not c["VScroll2"]["enabled"])
        self.assertEqual([c["Check1"]["check"], c["Check2"]["check"]], [0, 0])
        self.assertFalse(c["VScroll1"]["enabled"] or c["VScroll2"]["enabled"])
        probe("click", CAPTION, *map(str, IMG_TAB_CENTRE))

    def test_9_close_box_writes_the_ten_keys_and_the_run_value(self):
        self.close_and_wait()
        self.assertStored({"LessC": "0", "Less": "39", "intervalC": "0", "interval": "19", "Precent": "30",
                           "StayOnTop": "False", "Minimized": "0"})
        # Under Wine the machine's key takes the entry; the user's copy then goes.
        self.assertEqual(run_value("HKLM"), start_command())
        self.assertIsNone(run_value("HKCU"))


class HiddenStart(RunningCopy):
    SEED = {"Minimized": "1"}
    WAIT = "exists"

    def test_1_window_never_shows_and_close_keeps_the_option(self):
        until = time.monotonic() + 2.0
        while time.monotonic() < until:
            self.assertEqual(dump()[0]["visible"], 0, "the window showed at start-up")
            time.sleep(0.2)
        self.assertEqual(controls()["Check3"]["check"], 1)
        self.close_and_wait()
        self.assertStored({"LessC": "0", "Less": "15", "intervalC": "0", "interval": "5", "Precent": "30",
                           "StayOnTop": "True", "Minimized": "1"})
        self.assertIsNone(run_value("HKLM"))


class StoreThatStopsStartUp(RunningCopy):
    SEED = {"Less": "41", "interval": "9", "Precent": "50", "StayOnTop": "True"}

    @classmethod
    def setUpClass(cls):
        cls.RUN_MACHINE = start_command()
        super().setUpClass()

    def test_1_later_controls_keep_design_values_and_close_writes_them(self):
        # "Less" 41 is past its spinner's 40: the spinner takes 40, its box shows it, and start-up ends there.
        c = controls()
        self.assertEqual(c["Text2"]["text"], "40%")
        self.assertEqual(c["Text1"]["text"], "5")
        self.assertEqual(c["Text3"]["text"], "10%")
        self.assertEqual([c[n]["check"] for n in ("Check1", "Check2", "Check3", "Check4")], [0, 0, 0, 0])
        self.close_and_wait()
        self.assertStored({"LessC": "0", "Less": "40", "intervalC": "0", "interval": "5", "Precent": "10",
                           "StayOnTop": "False", "Minimized": "0"})
        self.assertIsNone(run_value("HKLM"), "a clear box removes the entry")


class PurgixUnderWine(RunningCopy):
    """The window itself: figures, menus, the F9 release and the close box."""
    SEED = {"Precent": "10"}  # the smallest release, should a test make one

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.top = dump()[0]

    def table(self):
        tree = dump()
        pic_table = [56, 80, 393, 177]
        return {name: child_at(tree, pic_table, rect)["text"] for name, rect in {
            "lblTotPhys": [96, 32, 169, 49], "lblAvailPhys": [176, 32, 249, 49], "lblPercPhysical": [256, 32, 329, 49],
            "lblTotalPageFile": [96, 56, 169, 73], "lblAvailPageFile": [176, 56, 249, 73], "lblPercPage": [256, 56, 329, 73],
            "lblTotalVirtual": [96, 80, 169, 97], "lblAvailVirtual": [176, 80, 249, 97], "lblPercVirtual": [256, 80, 329, 97],
        }.items()}

    def test_1_caption_and_client_area(self):
        self.assertEqual(self.top["text"], CAPTION)
        self.assertEqual(self.top["client"], [480, 210])
        self.assertEqual(self.top["class"], "PurgixForm")

    def test_2_figures_within_two_seconds_match_the_machine(self):
        while True:
            figures = self.table()
            if figures["lblTotPhys"] != "Tot" or time.monotonic() - self.shown_at > 10:
                break
            time.sleep(0.1)
        self.assertLessEqual(time.monotonic() - self.shown_at, 2.0, "figures took longer than two seconds")
        with open("/proc/meminfo") as f:
            mem_total = int(re.search(r"MemTotal:\s+(\d+) kB", f.read()).group(1))
        total = kilobytes(figures["lblTotPhys"])
        self.assertAlmostEqual(total, mem_total, delta=mem_total * 0.01)
        self.assertLessEqual(kilobytes(figures["lblAvailPhys"]), total)
        for name in ("lblPercPhysical", "lblPercPage", "lblPercVirtual"):
            self.assertRegex(figures[name], r"^\d{1,3}[.,]\d\d%$", name)
        self.assertRegex(figures["lblTotPhys"], r"^\d{1,3}([^\d]\d{3})*$")
        tree = dump()
        caption = child_at(tree, [64, 88, 377, 177], [0, 0, 281, 17])["text"]
        self.assertRegex(caption, r"^Available: \d+[.,]\d\d%     Used: \d+[.,]\d\d%$")
        time.sleep(0.6)
        screenshot("main-table.png", self.top_rect())

    def test_3_menus_open_from_the_keyboard(self):
        # Menus belong to their process under Wine, so the probe cannot read them
        # (the Win32 tier checks every item); here they are opened for real.
        win = subprocess.run(["xdotool", "search", "--name", re.escape(CAPTION)], capture_output=True, text=True).stdout.split()
        self.assertTrue(win, "xdotool does not see the window")
        subprocess.run(["xdotool", "windowactivate", "--sync", win[0]], check=False, timeout=10)
        for key, name in (("f", "file"), ("s", "setup"), ("h", "help")):
            subprocess.run(["xdotool", "key", "--clearmodifiers", f"alt+{key}"], check=True, timeout=10)
            time.sleep(0.8)
            left, top, right, bottom = self.top_rect()
            screenshot(f"menu-{name}.png", [left, top, right + 120, bottom + 40])
            subprocess.run(["xdotool", "key", "Escape", "Escape"], check=True, timeout=10)
            time.sleep(0.3)

    def test_4_f9_held_for_a_second_releases_and_memory_comes_back(self):
        # The smallest release: 10 % of physical memory, a block of twice that many bytes.
        self.assertEqual(probe("arrow", CAPTION, str(VSCROLL3[0]), str(VSCROLL3[1]), "down", "18").stdout.strip(), "ScrollBar")
        self.assertEqual(controls()["Text3"]["text"], "10%")
        before = self.table()
        total_kb = kilobytes(before["lblTotPhys"])
        block = 2 * round(0.10 * total_kb * 1024)
        pid = purgix_pid()
        rss_before, hwm_before = vm_kb(pid, "VmRSS") * 1024, vm_kb(pid, "VmHWM") * 1024

        win = subprocess.run(["xdotool", "search", "--name", re.escape(CAPTION)], capture_output=True, text=True).stdout.split()
        self.assertTrue(win, "xdotool does not see the window")
        # No window manager under Xvfb: give the window the keyboard focus directly.
        subprocess.run(["xdotool", "windowfocus", "--sync", win[0]], check=False, timeout=10)
        subprocess.run(["xdotool", "keydown", "F9"], check=True, timeout=10)
        try:
            time.sleep(0.5)
            screenshot("release-busy.png", self.top_rect())
            time.sleep(0.5)
        finally:
            subprocess.run(["xdotool", "keyup", "F9"], check=True, timeout=10)

        # The release writes its block through, then gives it back; this machine faults
        # pages in slowly, so allow it minutes.
        deadline = time.monotonic() + 240
        while time.monotonic() < deadline:
            hwm, rss = vm_kb(pid, "VmHWM") * 1024, vm_kb(pid, "VmRSS") * 1024
            if hwm - rss_before >= block and rss < rss_before + (256 << 20):
                break
            time.sleep(0.5)
        self.assertGreaterEqual(hwm - rss_before, block, "the peak did not rise by the block")
        self.assertGreater(hwm, hwm_before)
        # One block at a time, and the smallest one: not two blocks, nor the next step's.
        self.assertLess(hwm - rss_before, 1.5 * block)
        self.assertLess(rss, rss_before + (256 << 20), "the block was not given back")

        # Sampling runs again and shows the memory back (the machine is shared: half a block of slack).
        time.sleep(2.5)
        after = self.table()
        self.assertNotEqual(after, before)
        self.assertGreaterEqual(kilobytes(after["lblAvailPhys"]), kilobytes(before["lblAvailPhys"]) - block // 2048)
        screenshot("release-after.png", self.top_rect())

    def test_9_close_box_ends_the_program(self):
        probe("close", CAPTION)
        self.assertEqual(self.proc.wait(timeout=20), 0)

    def top_rect(self):
        return dump()[0]["rect"]


def wine_prefix():
    """The prefix tools/wine-run uses, so that only this run's Purgix is looked at."""
    return os.environ.get("PURGIX_WINEPREFIX") or f"{os.environ.get('TMPDIR', '/tmp')}/purgix-wine-{os.getuid()}"


def purgix_pid():
    """The Linux process of this prefix's Purgix.exe."""
    wanted = ("WINEPREFIX=" + wine_prefix()).encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/comm") as f:
                if f.read().strip() != "Purgix.exe":
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if wanted in f.read().split(b"\0"):
                    return int(entry)
        except OSError:
            continue
    raise AssertionError("no Purgix.exe process in this Wine prefix")


def vm_kb(pid, field):
    with open(f"/proc/{pid}/status") as f:
        return int(re.search(rf"^{field}:\s+(\d+) kB", f.read(), re.M).group(1))


LAYOUT = ("Purgix.exe", "Skin", "Config.inf", "Help.chm")


def copy_layout(source_dir, folder):
    """The shipped files into folder. A build's own Config.inf may hold what a run
    chose; the build keeps the default in assets/, and that is the one copied."""
    for name in LAYOUT:
        src = os.path.join(source_dir, name)
        if name == "Config.inf" and os.path.isfile(os.path.join(source_dir, "assets", name)):
            src = os.path.join(source_dir, "assets", name)
        (shutil.copytree if os.path.isdir(src) else shutil.copy2)(src, os.path.join(folder, name))


def scratch(prefix, remove=atexit.register):
    """A temporary folder, removed again by `remove` (at the run's end unless a case
    passes its own addCleanup): a Wine prefix is some 700 MB, and runs add up."""
    path = tempfile.mkdtemp(prefix=prefix)
    remove(shutil.rmtree, path, True)
    return path


def parse_args(*extra):
    """The tier's options (and any extra ones a tier adds) and the rest for unittest."""
    parser = argparse.ArgumentParser()
    for name in ("--exe", "--probe", "--wine-run", "--artifacts", *extra):
        parser.add_argument(name, required=True)
    return parser.parse_known_args()


def run_tests(rest):
    if not os.environ.get("DISPLAY"):
        print("e2e: no DISPLAY; tools/test starts Xvfb", file=sys.stderr)
        return 2
    # "i/n": every n-th class of cases from the i-th, so that parts of a tier run side by side.
    shard = os.environ.get("PURGIX_E2E_SHARD")
    if shard and not [arg for arg in rest if not arg.startswith("-")]:
        part, parts = map(int, shard.split("/"))
        cases = [c for c in vars(sys.modules["__main__"]).values()
                 if isinstance(c, type) and issubclass(c, unittest.TestCase) and unittest.defaultTestLoader.getTestCaseNames(c)]
        rest = [*rest, *(c.__name__ for k, c in enumerate(cases) if k % parts == part)]
    result = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False).result
    return 0 if result.wasSuccessful() else 1


def main():
    global ARGS
    ARGS, rest = parse_args()
    # Run a copy of the build's layout: the program writes Config.inf beside itself,
    # and the build's own copy must keep the default the other tiers start from.
    layout = scratch("purgix-e2e-")
    copy_layout(os.path.dirname(os.path.abspath(ARGS.exe)), layout)
    ARGS.exe = os.path.join(layout, "Purgix.exe")
    return run_tests(rest)


if __name__ == "__main__":
    sys.exit(main())
