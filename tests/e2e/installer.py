#!/usr/bin/env python3
"""End-to-end tests of the setup and its uninstaller: Purgix-<version>-setup.exe
run silently under Wine, each case in a fresh prefix, checked against the files
of the zip it is built beside."""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

import e2e
import program
from e2e import CAPTION, OPTIONS_KEY, RUN_KEY, STORED_KEYS, probe, reg_values, wine

ARGS = None
ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir))
UNINSTALL_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Purgix"


def version():
    return re.search(r"Purgix-(.+)-setup\.exe$", ARGS.setup).group(1)


def shipped():
    """{path in the install folder: bytes} for every file of the zip."""
    with zipfile.ZipFile(ARGS.zip) as z:
        return {i.filename: z.read(i) for i in z.infolist() if not i.is_dir()}


def unix(path):
    return wine("winepath", "-u", path).stdout.strip()


def running(name):
    """Whether a program of that name runs in this case's prefix."""
    wanted = ("WINEPREFIX=" + os.environ["PURGIX_WINEPREFIX"]).encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/comm") as f, open(f"/proc/{pid}/environ", "rb") as env:
                if f.read().strip() == name and wanted in env.read().split(b"\0"):
                    return True
        except OSError:
            pass
    return False


class SetupFile(unittest.TestCase):
    """The setup as a file, without Wine."""

    def test_manifest_version_record_and_icon(self):
        with open(ARGS.setup, "rb") as f:
            data = f.read()
        levels = re.findall(rb'requestedExecutionLevel\s+level="(\w+)"', data)
        self.assertEqual(set(levels), {b"asInvoker"}, "the setup must not ask for elevation")
        for key, value in (("ProductName", "Purgix"), ("CompanyName", "Quenlor"), ("ProductVersion", version()),
                           ("FileVersion", version()), ("LegalCopyright", "Copyright (c) 2026 Quenlor")):
            self.assertRegex(data, re.escape(key.encode("utf-16-le")) + b"(\0\0)+" + re.escape(value.encode("utf-16-le")))
        self.assertTrue(all(image in data for image in icon_images()), "the setup does not carry Purgix.ico")

    def test_two_packagings_give_the_same_bytes_and_sums(self):
        sums, ended = [], None
        for _ in range(2):
            # The setup keeps file times to two seconds: the second packaging starts in a later
            # pair of seconds than the first ended in, so a time taken from the clock would show.
            while ended is not None and time.time() // 2 == ended:
                time.sleep(0.05)
            out = tempfile.mkdtemp(prefix="purgix-dist-")
            self.addCleanup(shutil.rmtree, out, True)
            subprocess.run([os.path.join(ROOT, "tools", "package"), "--no-build", "--dist", out], check=True,
                           stdout=subprocess.DEVNULL, timeout=120)
            ended = time.time() // 2
            with open(os.path.join(out, "SHA256SUMS")) as f:
                sums.append(f.read())
            for line in sums[-1].splitlines():
                digest, name = line.split("  ")
                with open(os.path.join(out, name), "rb") as f:
                    self.assertEqual(hashlib.sha256(f.read()).hexdigest(), digest, name)
        self.assertEqual(sums[0], sums[1])
        self.assertEqual([line.split("  ")[1] for line in sums[0].splitlines()],
                         [f"Purgix-{version()}-setup.exe", f"Purgix-{version()}-win64.zip"])


def icon_images():
    """The images of res/Purgix.ico, which the setup and the uninstaller carry as they are."""
    with open(os.path.join(ROOT, "res", "Purgix.ico"), "rb") as f:
        ico = f.read()
    count = int.from_bytes(ico[4:6], "little")
    entries = [ico[6 + 16 * i:22 + 16 * i] for i in range(count)]
    return [ico[int.from_bytes(e[12:16], "little"):][:int.from_bytes(e[8:12], "little")] for e in entries]


class Installed(unittest.TestCase):
    """One case: a fresh prefix and the setup run silently in it."""
    FOLDER = None  # the /D= folder; None takes the default

    def setUp(self):
        program.fresh_prefix(self.addCleanup)
        wine("--start")
        # The setup's own path must not need quotes, and /D= cannot have them: copy it to C:\.
        shutil.copy(ARGS.setup, unix(r"C:\setup.exe"))
        self.assertEqual(self.install(), 0)
        self.location = reg_values(UNINSTALL_KEY)["InstallLocation"][1]
        self.folder = unix(self.location)
        self.exe = os.path.join(self.folder, "Purgix.exe")

    def tearDown(self):
        wine("--kill")

    def install(self, *switches, folder=True):
        chosen = [f"/D={self.FOLDER}"] if self.FOLDER and folder else []
        return wine("cmd", "/c", " ".join([r"C:\setup.exe", "/S", *switches, *chosen]), check=False, timeout=120).returncode

    def start(self):
        proc = subprocess.Popen([ARGS.wine_run, self.exe], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(probe("wait", CAPTION, "60000", check=False).returncode, 0, "the installed Purgix did not start")
        return proc

    def read(self, name):
        with open(os.path.join(self.folder, *name.split("/")), "rb") as f:
            return f.read()

    def shortcut(self):
        return unix(wine("cmd", "/c", "echo", "%APPDATA%").stdout.strip() + r"\Microsoft\Windows\Start Menu\Programs\Purgix.lnk")

    def uninstall(self):
        """Runs the uninstaller silently, waits for the copy of itself it hands the work to,
        and checks what must be gone whatever the user left."""
        uninstaller = os.path.join(self.folder, "Uninstall.exe")
        wine(uninstaller, "/S")
        # The copy has surely started once it has deleted the original.
        done = program.wait(lambda: not os.path.exists(uninstaller) and not running("Un.exe"), 60, 0.1)
        self.assertTrue(done, "the uninstaller did not end")
        self.assertFalse(os.path.exists(self.shortcut()))
        self.assertEqual(reg_values(UNINSTALL_KEY), {})
        for root in ("HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"):
            self.assertEqual(reg_values(f"{root}\\{RUN_KEY}", "Purgix"), {}, root)


class DefaultFolder(Installed):
    def test_files_shortcut_entry_start_and_a_clean_uninstall(self):
        self.assertEqual(self.location, wine("cmd", "/c", "echo", r"%LOCALAPPDATA%\Programs\Purgix").stdout.strip())
        for name, data in shipped().items():
            self.assertEqual(self.read(name), data, name)
        self.assertTrue(all(image in self.read("Uninstall.exe") for image in icon_images()))
        with open(self.shortcut(), "rb") as f:
            self.assertIn(self.location.encode() + b"\\Purgix.exe", f.read())
        values = reg_values(UNINSTALL_KEY)
        size_type, size = values.pop("EstimatedSize")
        uninstaller = f'"{self.location}\\Uninstall.exe"'
        self.assertEqual(values, {
            "DisplayName": ("REG_SZ", "Purgix"), "DisplayVersion": ("REG_SZ", version()), "Publisher": ("REG_SZ", "Quenlor"),
            "DisplayIcon": ("REG_SZ", self.location + r"\Purgix.exe"), "InstallLocation": ("REG_SZ", self.location),
            "URLInfoAbout": ("REG_SZ", "https://www.quenlor.com/purgix/"), "UninstallString": ("REG_SZ", uninstaller),
            "QuietUninstallString": ("REG_SZ", uninstaller + " /S"),
            "NoModify": ("REG_DWORD", "0x1"), "NoRepair": ("REG_DWORD", "0x1")})
        on_disk = sum(os.path.getsize(os.path.join(d, n)) for d, _, names in os.walk(self.folder) for n in names)
        self.assertEqual(size_type, "REG_DWORD")
        self.assertAlmostEqual(int(size, 16), on_disk / 1024, delta=len(shipped()) + 1)
        proc = self.start()
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)

        e2e.seed({}, run_machine="x", run_user="x")
        self.uninstall()
        self.assertFalse(os.path.exists(self.folder), "an emptied folder stays")


class FolderWithABlank(Installed):
    FOLDER = r"C:\Some Folder\Purgix"

    def test_an_upgrade_goes_there_and_uninstall_ends_it_and_keeps_the_users_file_and_settings(self):
        self.assertEqual(self.location, self.FOLDER)
        self.assertEqual(self.read("Purgix.exe"), shipped()["Purgix.exe"])
        self.assertEqual(self.install(folder=False), 0)
        self.assertEqual(reg_values(UNINSTALL_KEY)["InstallLocation"][1], self.FOLDER)
        # "Start with Windows" on: the running copy's shutdown writes the Run value again.
        e2e.seed({"Precent": "45"}, run_user=f'"{self.location}\\Purgix.exe"')
        with open(os.path.join(self.folder, "Notes.txt"), "w") as f:
            f.write("mine")
        proc = self.start()

        self.uninstall()
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(sorted(os.listdir(self.folder)), ["Notes.txt"])
        stored = reg_values(OPTIONS_KEY)
        self.assertEqual(set(stored), set(STORED_KEYS), "it ended without its shutdown, or the settings went")
        self.assertEqual(stored["Precent"], ("REG_SZ", "45"))


class Upgrade(Installed):
    def test_skin_choice_kept_while_its_skin_ships_and_every_shipped_file_replaced(self):
        default = shipped()["Config.inf"]
        # The user's own skin, named outside the code page: the program writes such a choice as
        # UTF-16, quoted for its blank, which the setup's profile reading takes as it is.
        shutil.copy(os.path.join(self.folder, "Skin", "Meadow.ini"), os.path.join(self.folder, "Skin", "Łąka 2.ini"))
        chosen = '\ufeff[CONFIGSKIN]\r\nSKIN="Łąka 2.ini"\r\n'.encode("utf-16-le")
        for config, expected in ((chosen, chosen), (b"[CONFIGSKIN]\r\nSKIN=Gone.ini\r\n", default)):
            with open(os.path.join(self.folder, "Config.inf"), "wb") as f:
                f.write(config)
            with open(os.path.join(self.folder, "README.txt"), "ab") as f:
                f.write(b"changed")
            self.assertEqual(self.install(), 0)
            self.assertEqual(self.read("Config.inf"), expected)
            self.assertEqual(self.read("README.txt"), shipped()["README.txt"])


class Reinstall(Installed):
    def test_an_uninstall_that_keeps_the_settings_keeps_the_skin_choice_for_the_next_install(self):
        e2e.seed({})
        proc = self.start()
        program.Program.menu_keys(self, "alt+s", "k", "Down", "Return")  # the Graphite skin, saved at shutdown
        self.uninstall()
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(self.install(), 0)
        # The next run starts with the skin chosen before: its own shutdown writes back the skin it runs with.
        proc = self.start()
        probe("close", CAPTION)
        self.assertEqual(proc.wait(timeout=30), 0)
        own = unix(wine("cmd", "/c", "echo", r"%APPDATA%\Quenlor\Purgix\Config.inf").stdout.strip())
        self.assertRegex(e2e.read_profile_text(own), r'SKIN="?Graphite\.ini')


class RunningCopy(Installed):
    def test_exit_switch_with_and_without_a_running_copy(self):
        self.assertEqual(wine(self.exe, "/exit", check=False).returncode, 0, "with no copy running")
        e2e.seed({})
        proc = self.start()
        self.assertEqual(wine(self.exe, "/exit", check=False).returncode, 0)
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(set(reg_values(OPTIONS_KEY)), set(STORED_KEYS), "it ended without its shutdown")

    def test_upgrade_ends_it_through_its_shutdown_and_starts_it_again_only_with_run(self):
        e2e.seed({})
        proc = self.start()
        program.Program.menu_keys(self, "alt+s", "k", "Down", "Return")  # the Graphite skin, saved at shutdown
        with open(os.path.join(self.folder, "README.txt"), "ab") as f:
            f.write(b"changed")

        self.assertEqual(self.install("/RUN"), 0)
        self.assertEqual(proc.wait(timeout=30), 0)
        self.assertEqual(set(reg_values(OPTIONS_KEY)), set(STORED_KEYS), "it ended without its shutdown")
        self.assertRegex(e2e.read_profile_text(os.path.join(self.folder, "Config.inf")), r'SKIN="?Graphite\.ini')
        self.assertEqual(self.read("README.txt"), shipped()["README.txt"])
        self.assertEqual(probe("wait", CAPTION, "60000", check=False).returncode, 0, "/RUN did not start it again")

        self.assertEqual(self.install(), 0)
        self.assertTrue(program.wait(lambda: not running("Purgix.exe"), 10), "started again without /RUN")


def main():
    global ARGS
    ARGS, rest = e2e.parse_args("--setup", "--zip")
    e2e.ARGS = ARGS
    # A shortcut in the Start menu would have Wine write menu entries into this machine's own desktop.
    os.environ["WINEDLLOVERRIDES"] = "winemenubuilder.exe=d"
    return e2e.run_tests(rest)


if __name__ == "__main__":
    sys.exit(main())
