#!/usr/bin/env python3
"""End-to-end tests: the real Purgix.exe under Wine in an X display, driven
from outside through tests/e2e/probe.exe, xdotool and screenshots."""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

CAPTION = "--- Zarvex RAM Purgix 2.00 ---"
ARGS = None
# Client points inside controls of the options page (which the memory table covers).
CHECK1 = (70, 102)   # interval release
CHECK2 = (70, 126)   # threshold release
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


class PurgixUnderWine(unittest.TestCase):
    """One running copy of Purgix for the whole class; each test looks at it."""

    @classmethod
    def setUpClass(cls):
        wine("--kill")  # a copy left running would take the start over (one copy at a time)
        cls.proc = subprocess.Popen([ARGS.wine_run, ARGS.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shown = probe("wait", CAPTION, "60000", check=False)
        if shown.returncode != 0:
            cls.proc.kill()
            raise AssertionError("the main window did not appear within 60 s")
        cls.shown_at = time.monotonic()
        cls.top = dump()[0]
        # No release may come by surprise: the interval and threshold options go off.
        for name, (x, y) in (("Check1", CHECK1), ("Check2", CHECK2)):
            state = probe("check", CAPTION, str(x), str(y), "0").stdout.strip()
            if state != "0":
                raise AssertionError(f"{name} stays ticked ({state}): automatic releases would run")

    @classmethod
    def tearDownClass(cls):
        if cls.proc.poll() is None:
            probe("close", CAPTION, check=False)
            try:
                cls.proc.wait(timeout=20)
            except subprocess.TimeoutExpired:
                wine("--kill")

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


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--artifacts", required=True)
    ARGS, rest = parser.parse_known_args()
    if not os.environ.get("DISPLAY"):
        print("e2e: no DISPLAY; tools/test starts Xvfb", file=sys.stderr)
        return 2
    result = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
