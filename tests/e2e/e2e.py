#!/usr/bin/env python3
"""End-to-end tests: the real Purgix.exe under Wine in an X display, driven
from outside through tests/e2e/probe.exe, xdotool and screenshots."""
import argparse
import json
import os
import re
import subprocess
import sys
import time
import unittest

CAPTION = "--- Zarvex RAM Purgix 2.00 ---"
ARGS = None


def wine(*argv, check=True, timeout=60):
    return subprocess.run([ARGS.wine_run, *argv], capture_output=True, text=True, check=check, timeout=timeout)


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
        wine("--start")
        cls.proc = subprocess.Popen([ARGS.wine_run, ARGS.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shown = wine(ARGS.probe, "wait", CAPTION, "60000", check=False, timeout=90)
        if shown.returncode != 0:
            state = "still running" if cls.proc.poll() is None else f"ended with {cls.proc.returncode}"
            wine("--kill")
            raise AssertionError(f"the main window did not appear within 60 s (the program {state})")
        cls.shown_at = time.monotonic()
        cls.top = dump()[0]

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

    def test_9_close_box_ends_the_program(self):
        probe("close", CAPTION)
        self.assertEqual(self.proc.wait(timeout=20), 0)

    def top_rect(self):
        return dump()[0]["rect"]


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
