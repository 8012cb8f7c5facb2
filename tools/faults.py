#!/usr/bin/env python3
"""Plants faults in src/ one at a time and records which tests catch each.

    tools/faults.py                 every fault, both tiers where they apply
    tools/faults.py app-wrap tray-nul   only these
    tools/faults.py 'w32-peer-*'        only those whose id matches (shell patterns)
    tools/faults.py --since main        only those added or changed since that commit
    tools/faults.py --list          the faults, one a line
    tools/faults.py --e2e ID...     these under the end-to-end case named for them

Each fault is one exact text replacement in one file. It is applied, the
unit tests (native) and the Win32 tests (under Wine, PURGIX_WINEPREFIX and
DISPLAY as for tools/wine-run) are built and run, the failing tests are
recorded, and the file is written back as it was: nothing planted stays. It may run in a
copy of the tree (without .git), so that work goes on beside it. Faults in
src/platform/win32 have no native build, so only the Win32 tier runs for
them. A fault no tier catches prints ESCAPED; the end-to-end tier's cases are
named in the table where they are the ones that catch it.

The table is the proof of the suite: a fault that escapes marks a missing
test, a test no fault trips is one to fold or delete.
"""
import fnmatch
import json
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
W = "src/platform/win32/"

# id, file, text as it is, text planted, what the fault is, and the end-to-end case
# that catches it too ("program.py:Class.test", or "" for none)
FAULTS = [
    # The main window: figures, graph, level bar, pages, keyboard and readers.
    ("app-swap-figure", "src/app/FrmMain.cpp", "lblTotalPageFile.SetCaption(figures_.totalPageFileText", "lblTotalPageFile.SetCaption(figures_.totalVirtualText", "page-file total shows the virtual total", ""),
    ("app-wrap", "src/app/FrmMain.cpp", "if (PicGraph.Bounds().width < graphX_)", "if (PicGraph.Bounds().width <= graphX_)", "graph wraps one column early", ""),
    ("app-hidden-tick", "src/app/FrmMain.cpp", "if (form.Visible()) ShowFigures();", "ShowFigures();", "a hidden tick touches the controls", ""),
    ("app-no-cls-on-wrap", "src/app/FrmMain.cpp", "if (std::exchange(graphCleared_, false)) PicGraph.Cls();", "std::exchange(graphCleared_, false);", "a wrapped graph is not cleared", ""),
    ("app-bar-colour", "src/app/FrmMain.cpp", "PicGrpPro.FilledBox(0, barH - f * barH, barW, barH, columnColor_);", "PicGrpPro.FilledBox(0, barH - f * barH, barW, barH, ui::kBlack);", "the level bar ignores the column colour", ""),
    ("app-status-line", "src/app/FrmMain.cpp", "mStPOP->SetCaption(figures_.popupStatus.View());", "mStPOP->SetCaption(figures_.graphCaption.View());", "the pop-up's status line shows the graph caption", ""),
    ("app-tab-order", "src/app/FrmMain.cpp", "area(ImgTab, 1,", "area(ImgTab, 2,", "the page switch and the logo share a Tab place", ""),
    ("app-option-name", "src/app/FrmMain.cpp", "c->accessibleName = o.caption.Caption();", "", "the options have no accessible name", ""),
    ("app-area-description", "src/app/FrmMain.cpp", "img.accessibleDescription = description;", "(void)description;", "the click areas have no description", ""),
    ("app-figure-names", "src/app/FrmMain.cpp", "for (const auto& [label, name] : figures) label->accessibleName = name;", "(void)figures;", "the figures are read without their row and column", ""),
    ("app-stacking", "src/app/FrmMain.cpp", "&PicTable, &PicChart, &Check2", "&PicChart, &PicTable, &Check2", "the table and the chart stacked the other way", ""),
    ("app-timer1-interval", "src/app/FrmMain.cpp", "Timer1(\"Timer1\", 500, true)", "Timer1(\"Timer1\", 1000, true)", "a sample every second, not twice", ""),
    ("app-percent-step", "src/app/FrmMain.cpp", "memory::kMaxReleasePercent, 10, 5)", "memory::kMaxReleasePercent, 10, 1)", "the release percent steps by 1", "e2e.py:StoredOptions"),
    ("app-access-key", "src/app/FrmMain.cpp", "{Label1, 'M', Check3,", "{Label1, 'S', Check3,", "Start minimized's access key", ""),
    # Options and pages.
    ("opt-indicator", "src/app/FrmMainOptions.cpp", "{88, 144, 128}", "{88, 128, 144}", "the page indicator stands beside the wrong page", ""),
    ("opt-two-pages", "src/app/FrmMainOptions.cpp", "if (pageIndex_ > 2) pageIndex_ = 0;", "if (pageIndex_ >= 2) pageIndex_ = 0;", "the options page is never reached", "e2e.py:StoredOptions"),
    ("opt-chart-front", "src/app/FrmMainOptions.cpp", "            PicChart.ZOrder();\n            PicChart.SetVisible(true);", "            PicChart.SetVisible(true);", "the chart page is not brought to the front", ""),
    ("opt-percent-sign", "src/app/FrmMainOptions.cpp", "Text2.SetText(std::to_string(VScroll2.Value()) + \"%\");", "Text2.SetText(std::to_string(VScroll2.Value()));", "the threshold text loses its percent sign", "e2e.py:StoredOptions"),
    ("opt-read-order", "src/app/FrmMainOptions.cpp", "    LoadSpinner(VScroll3, key::kPrecent, memory::kDefaultReleasePercent);\n    Check3.SetValue(ToInteger16(Setting(key::kMinimized, \"0\")));", "    Check3.SetValue(ToInteger16(Setting(key::kMinimized, \"0\")));\n    LoadSpinner(VScroll3, key::kPrecent, memory::kDefaultReleasePercent);", "Minimized read before Precent", ""),
    ("opt-save-swap", "src/app/FrmMainOptions.cpp", "SaveSetting(key::kLess, std::to_string(VScroll2.Value()));", "SaveSetting(key::kLess, std::to_string(VScroll1.Value()));", "Less saved from the interval spinner", "e2e.py:StoredOptions"),
    ("opt-save-boolean", "src/app/FrmMainOptions.cpp", "SaveSetting(key::kStayOnTop, settings::BooleanText(mStayOnTop->Checked()));", "SaveSetting(key::kStayOnTop, std::to_string(mStayOnTop->Checked()));", "StayOnTop saved as 1/0", "program.py:FirstRun"),
    ("opt-not-topmost", "src/app/FrmMainOptions.cpp", "platform_.zOrder.SetWindowPos(form.Handle(), strNotAlwaysOnTop - 1,", "platform_.zOrder.SetWindowPos(form.Handle(), strNotAlwaysOnTop - 2,", "stay-on-top restored as not topmost", ""),
    ("opt-minimized-box", "src/app/FrmMainOptions.cpp", "if (Check3.Value() == 1) {", "if (Check4.Value() == 1) {", "start hidden follows the wrong box", "e2e.py:HiddenStart"),
    ("opt-run-inverted", "src/app/FrmMainOptions.cpp", "if (Check4.Value() == 1)\n        startEntry_.Set();", "if (Check4.Value() == 0)\n        startEntry_.Set();", "the Run value set when the box is clear", "e2e.py:StoredOptions"),
    # The release and the two timers.
    ("rel-timer1-on", "src/app/FrmMainRelease.cpp", "        Timer1.SetEnabled(false);\n", "", "Timer1 ticks on during a release", ""),
    ("rel-half-block", "src/app/FrmMainRelease.cpp", "record.blockBytes = 2 * static_cast<std::uint64_t>(releaseSize_);", "record.blockBytes = static_cast<std::uint64_t>(releaseSize_);", "the block is one byte a character", "e2e.py:PurgixUnderWine"),
    ("rel-reentrant", "src/app/FrmMainRelease.cpp", "if (releasing_ || closing_) return;", "if (closing_) return;", "a command under the failure box starts a second release", ""),
    ("rel-after-close", "src/app/FrmMainRelease.cpp", "    // stopped it: the program is ending, its timers and windows are not to be touched.\n    if (closing_) return;", "", "a stopped release touches the ending program", ""),
    ("rel-threshold-equal", "src/app/FrmMainRelease.cpp", "figures_.comparedPercent < VScroll2.Value()", "figures_.comparedPercent <= VScroll2.Value()", "a share equal to the threshold releases", ""),
    ("rel-key-bit", "src/app/FrmMainRelease.cpp", "GetAsyncKeyState(virtualKey) < 0;", "GetAsyncKeyState(virtualKey) != 0;", "any key-state bit counts as held", ""),
    ("rel-interval-equal", "src/app/FrmMainRelease.cpp", "if (intervalSeconds_ >= limit) {", "if (intervalSeconds_ == limit) {", "a lowered interval never releases", ""),
    ("rel-threshold-box", "src/app/FrmMainRelease.cpp", "const int threshold = Check2.Value();", "const int threshold = Check1.Value();", "the threshold follows the interval box", "e2e.py:StoredOptions"),
    ("rel-pointer-stays", "src/app/FrmMainRelease.cpp", "    platform_.pointer.SetMousePointer(ui::MousePointer::Default);\n", "", "the hourglass stays after a release", ""),
    ("rel-timer2-off", "src/app/FrmMainRelease.cpp", "    Timer2.SetEnabled(true);\n    releasing_ = false;", "    releasing_ = false;", "Timer2 stays off after a release", ""),
    # Start-up, shutdown, tray, window commands.
    ("shell-no-tip", "src/app/FrmMainShell.cpp", "NewTray->TipText(form.Caption());", "", "the icon has no tooltip", ""),
    ("shell-order", "src/app/FrmMainShell.cpp", "    SaveOptions();\n    SaveStartWithWindows();", "    SaveStartWithWindows();\n    SaveOptions();", "the Run value saved before the options", ""),
    ("shell-no-stop", "src/app/FrmMainShell.cpp", "if (releasing_) platform_.blocks.StopFill();", "", "a release in progress is not stopped at shutdown", "program.py:LogOff"),
    ("shell-early-skin", "src/app/FrmMainShell.cpp", "if (skinsReached_) SaveSkin();", "SaveSkin();", "an early stop overwrites the saved skin", "program.py:HostileSkins.test_a_linked_picture_is_refused_and_an_early_stop_keeps_the_choice"),
    ("shell-icon-stays", "src/app/FrmMainShell.cpp", "    if (NewTray) NewTray->DeleteIcon();\n}", "}", "shutdown leaves the icon to the destructor", ""),
    ("shell-no-closing", "src/app/FrmMainShell.cpp", "    if (closing_) return false;\n    mShowPOP_Click();", "    mShowPOP_Click();", "the \"closing\" answer missing", "program.py:QuickRestart"),
    ("shell-left-up", "src/app/FrmMainShell.cpp", "NewTray->LButtonDown = [this]", "NewTray->LButtonUp = [this]", "the window shows on the button's release", ""),
    ("shell-help-quotes", "src/app/FrmMainShell.cpp", "if (file.find(' ') != std::string::npos) file =", "if (false) file =", "the help file's path not quoted", "program.py:HelpAndLogOff.test_contents_opens_a_help_window"),
    ("shell-on-top-toggle", "src/app/FrmMainShell.cpp", "strNotAlwaysOnTop = mStayOnTop->Checked() ? -1 : 0;", "strNotAlwaysOnTop = mStayOnTop->Checked() ? 0 : -1;", "stay-on-top toggles the wrong way", ""),
    ("shell-two-abouts", "src/app/FrmMainShell.cpp", "    if (about_ && !about_->Unloaded()) {\n        about_->form.ZOrder();\n        return;\n    }\n", "", "a second About window", ""),
    ("shell-taskbar", "src/app/FrmMainShell.cpp", "if (NewTray) ShowTrayIcon();\n    };", "if (NewTray) NewTray->ModifyIcon();\n    };", "Explorer's restart does not add the icon again", ""),
    ("shell-show-stale", "src/app/FrmMainShell.cpp", "void FrmMain::ShowWindow() {\n    ShowFigures();", "void FrmMain::ShowWindow() {", "showing the window leaves old figures", ""),
    ("shell-no-zorder", "src/app/FrmMainShell.cpp", "    ShowWindow();\n    form.ZOrder();", "    ShowWindow();", "Show does not bring the window forward", ""),
    ("shell-home-shown", "src/app/FrmMainShell.cpp", "settings::kHomePage, platform::kSwHide);", "settings::kHomePage, platform::kSwShowMinimized);", "the home page's command shows a window", ""),
    ("shell-scale-icon", "src/app/FrmMainShell.cpp", "        if (NewTray) NewTray->ModifyIcon();\n    };", "    };", "a new density does not redraw the icon", ""),
    ("shell-logo-hand", "src/app/FrmMainShell.cpp", "        ImgWebLink.SetMouseIcon(ImgCUR.Picture());\n", "", "no hand over the logo", ""),
    ("mem-fraction-raw", "src/memory/MemoryFigures.cpp", "f.availFraction = RoundSignificant15(physRatio);", "f.availFraction = physRatio;", "the graph's share unrounded", ""),
    # Skins.
    ("skin-ampersand", "src/app/FrmMainSkins.cpp", "if (c == '&') caption += '&';", "", "\"&\" not doubled in the menu", ""),
    ("skin-quotes", "src/app/FrmMainSkins.cpp", "        value = '\"' + value + '\"';", "        value = value;", "quoting of skin names dropped", "program.py:HostileSkins.test_names_outside_the_code_page_or_with_blanks_at_the_ends_are_remembered"),
    ("skin-user-copy", "src/app/FrmMainSkins.cpp", "    if (!user.empty() && platform_.files.FileExists(user)) {\n        if (!platform_.profiles.WriteProfile(", "    if (false) {\n        if (!platform_.profiles.WriteProfile(", "the user's own copy not written once it exists", ""),
    ("skin-letter-case", "src/app/FrmMainSkins.cpp", "if (File1.List(i) == saved)", "if (settings::EqualsIgnoringCase(File1.List(i), saved))", "a saved name of other letters applied", ""),
    ("skin-graph-start", "src/app/FrmMainSkins.cpp", "    PicGraph.Cls();\n    graphX_ = 0;", "    PicGraph.Cls();", "a new skin does not restart the graph", ""),
    ("skin-colour-swap", "src/app/FrmMainSkins.cpp", "chartColor_ = color(\"color_Back\");", "chartColor_ = color(\"color_Obj3D\");", "the chart's box takes the window colour", ""),
    ("skin-ini-outside", "src/app/FrmMainSkins.cpp", "return registry_.ReadProfileString(kSkinSection, key, skinFile(), File1.Path()); };", "return registry_.ReadProfileString(kSkinSection, key, skinFile()); };", "a skin's .ini read from outside its folder", ""),
    ("skin-read-user", "src/app/FrmMainSkins.cpp", "return !user.empty() && platform_.files.FileExists(user) ? user : InFolder(programFolder_, \"Config.inf\");", "return InFolder(programFolder_, \"Config.inf\");", "the user's copy never read", ""),
    ("skin-root-folder", "src/app/FrmMainSkins.cpp", "return !folder.empty() && folder.back() == '\\\\' ? folder + name : folder + \"\\\\\" + name;", "return folder + \"\\\\\" + name;", "a drive root's paths get two backslashes", ""),
    ("skin-menu-throws", "src/app/FrmMainSkins.cpp", "    try {\n        File1.SetListIndex(index);\n    } catch (const std::exception& e) {\n        // The placeholder item with no skin behind it: nothing to choose.\n        platform_.diagnostics.Trace(\"skin menu\", e.what());\n    }", "    File1.SetListIndex(index);", "the placeholder item throws", ""),
    # Switches and one copy per session.
    ("cmd-percent-digits", "src/app/CommandLine.cpp", "text.size() > 3", "text.size() > 2", "/release:100 refused", ""),
    ("cmd-many-switches", "src/app/CommandLine.cpp", "    if (args.size() > 1) return Bad(\"one switch at a time\");\n", "", "extra switches ignored", ""),
    ("cmd-stored-range", "src/app/CommandLine.cpp", "settings::ToBounded(text, kMinReleasePercent, kMaxReleasePercent, kDefaultReleasePercent)", "settings::ToBounded(text, 0, 1000, kDefaultReleasePercent)", "a stored percent out of range used", ""),
    ("cmd-mib-round", "src/app/CommandLine.cpp", "std::to_string((bytes + 524288) / 1048576)", "std::to_string(bytes / 1048576)", "mebibytes truncated", ""),
    ("cmd-share", "src/app/CommandLine.cpp", "std::to_string(2 * percent) + \" % of physical memory\"", "std::to_string(percent) + \" % of physical memory\"", "the share not doubled", "program.py:Switches"),
    ("cmd-ask-again", "src/app/CommandLine.cpp", "    instances.AskRunningCopyToShow();\n    return false;", "    return false;", "a copy still running after the wait not shown", ""),
    ("cmd-closing-ends", "src/app/CommandLine.cpp", "if (instances.AskRunningCopyToShow() == platform::ShowAnswer::Shown) return false;", "if (instances.AskRunningCopyToShow() != platform::ShowAnswer::None) return false;", "a closing copy ends the new start", "program.py:QuickRestart"),
    ("cmd-failed-code", "src/app/CommandLine.cpp", "        line = \"Purgix: the \" + Mebibytes(bytes) + \" block (\" + Share(used) + \") could not be had.\";\n        return kExitNoBlock;", "        line = \"Purgix: the \" + Mebibytes(bytes) + \" block (\" + Share(used) + \") could not be had.\";\n        return kExitReleased;", "a failed release exits 0", ""),
    ("cmd-wait", "src/app/CommandLine.h", "kWaitForClosingCopyMs = 15000", "kWaitForClosingCopyMs = 1500", "a closing copy waited for 1.5 s", ""),
    # Memory figures and the release size.
    ("mem-kb-half", "src/memory/MemoryFigures.cpp", "bytes % 1024 >= 512", "bytes % 1024 > 512", "half a kilobyte rounds down", ""),
    ("mem-groups", "src/memory/MemoryFigures.cpp", "(d.size() - i) % 3 == 0", "(d.size() - i) % 4 == 0", "digits grouped in fours", ""),
    ("mem-half-cent", "src/memory/MemoryFigures.cpp", "roundUp = pointAfter < 15 && s.digits[pointAfter] >= '5';", "roundUp = pointAfter < 15 && s.digits[pointAfter] > '5';", "halves of a hundredth round down", ""),
    ("mem-compared-raw", "src/memory/MemoryFigures.cpp", "f.comparedPercent = RoundSignificant15(physRatio * 100);", "f.comparedPercent = physRatio * 100;", "the threshold compares an unrounded share", ""),
    ("mem-zero-total", "src/memory/MemoryFigures.cpp", "f.usedPhysPercent = f.totalPhysKB == 0 ? 0.0 : (1 - physRatio) * 100;", "f.usedPhysPercent = (1 - physRatio) * 100;", "no memory shows 100 % used", ""),
    ("mem-half-even", "src/memory/Release.cpp", "return std::fmod(down, 2.0) == 0 ? down : down + 1;", "return down + 1;", "release size halves round up", ""),
    ("mem-max-size", "src/memory/Release.cpp", "if (size >= static_cast<double>(kMaxReleaseCharacters))", "if (size > static_cast<double>(kMaxReleaseCharacters))", "2^62 characters accepted", ""),
    ("mem-negative", "src/memory/Release.cpp", "    if (size < 0) throw ReleaseSizeError(\"release size is negative\");\n", "", "a negative size accepted", ""),
    # Settings and the registry.
    ("set-half-away", "src/settings/Settings.cpp", "const double rounded = std::nearbyint(value);  // the default", "const double rounded = std::round(value);  // the default", "stored halves round away from zero", ""),
    ("set-int16-min", "src/settings/Settings.cpp", "rounded >= -32768.0 && rounded <= 32767.0", "rounded >= -32767.0 && rounded <= 32767.0", "-32768 refused", ""),
    ("set-hex-digits", "src/settings/Settings.cpp", "if (digits.size() > 8) throw", "if (digits.size() > 9) throw", "nine hexadecimal digits accepted", ""),
    ("set-bool-case", "src/settings/Settings.cpp", "if (EqualsIgnoringCase(t, \"true\")) return true;", "if (t == \"True\") return true;", "\"tRUE\" is not true", ""),
    ("set-exponent", "src/settings/Settings.cpp", "        if (expDigits == 0) return false;\n", "", "an exponent without digits accepted", ""),
    ("set-root", "src/settings/Settings.cpp", "if (folder.size() == 2 && folder[1] == ':') return std::string(folder) + \"\\\\\";", "", "a drive root's folder lacks its backslash", ""),
    ("set-exe-dot", "src/settings/Settings.cpp", "const std::size_t dot = file.find_last_of('.');", "const std::size_t dot = file.find('.');", "the settings name cut at the first dot", ""),
    ("reg-one-char", "src/settings/Registry.cpp", "if (n > 1) buffer.resize", "if (n > 0) buffer.resize", "a one-character value cut to itself", ""),
    ("reg-any-type", "src/settings/Registry.cpp", "if (query == 0 && type == platform::kRegSz) {", "if (query == 0) {", "REG_EXPAND_SZ read as text", ""),
    ("reg-key-open", "src/settings/Registry.cpp", "    if (key != 0) api.CloseKey(key);\n    return result;", "    return result;", "a read leaves its key open", ""),
    ("reg-message", "src/settings/Registry.cpp", "std::to_string(e.code().value()) + \"- \"", "std::to_string(e.code().value()) + \" - \"", "the error message's format", ""),
    ("run-no-quotes", "src/settings/StartWithWindows.cpp", "return command_.find(' ') == std::string::npos ? command_ : \"\\\"\" + command_ + \"\\\"\";", "return command_;", "a Run value with a blank not quoted", ""),
    ("run-two-entries", "src/settings/StartWithWindows.cpp", "        registry_.DeleteRegistryValue(kHkeyCurrentUser, kRunKey, title_);\n    } else {", "    } else {", "the user's Run value kept beside the machine's", ""),
    ("run-machine-only", "src/settings/StartWithWindows.cpp", "for (platform::RegistryKey root : {kHkeyLocalMachine, kHkeyCurrentUser})", "for (platform::RegistryKey root : {kHkeyLocalMachine})", "the user's Run value not seen", "e2e.py:StoredOptions"),
    ("run-root", "src/settings/StartWithWindows.cpp", "if (command.empty() || command.back() != '\\\\') command += '\\\\';", "command += '\\\\';", "a drive root's command gets two backslashes", ""),
    # Skin names, pictures and colours.
    ("path-climb", "src/skins/PicturePath.cpp", "if (--depth < 0) return false;", "if (depth-- < 0) return false;", "one level above the folder allowed", ""),
    ("path-device-blank", "src/skins/PicturePath.cpp", "    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);\n", "", "\"com1 .png\" not a device", ""),
    ("path-control", "src/skins/PicturePath.cpp", "static_cast<unsigned char>(c) < 0x20 || ", "", "control characters allowed", ""),
    ("hdr-weigher", "src/skins/PictureHeader.cpp", "        return total_ <= kMaxPicturePixels;", "        return true;", "the weigher does not add up", ""),
    ("hdr-gif-frames", "src/skins/PictureHeader.cpp", "if (++frames > kMaxGifFrames || !weigher", "if (!++frames || !weigher", "any number of GIF frames", ""),
    ("hdr-bmp-planes", "src/skins/PictureHeader.cpp", "if (planes != 1u || !bits", "if (!planes || !bits", "a bitmap of two planes accepted", ""),
    ("hdr-ico-offset", "src/skins/PictureHeader.cpp", "*offset < images || ", "", "an icon image inside its directory accepted", ""),
    ("hdr-jpeg-short", "src/skins/PictureHeader.cpp", "            if (*length < 8) return std::nullopt;\n", "", "a short JPEG frame header accepted", ""),
    ("hdr-jpeg-c4", "src/skins/PictureHeader.cpp", "marker != 0xC4 && ", "", "a Huffman table taken for a frame", ""),
    ("hdr-png-length", "src/skins/PictureHeader.cpp", "r.Be(at + 8, 4) != 13u || ", "", "an IHDR of another length accepted", ""),
    ("hdr-bmp-rows", "src/skins/PictureHeader.cpp", "    if (!r.Has(*pixelsAt, pixelBytes)) return std::nullopt;", "    if (!r.Has(*pixelsAt, pixelBytes / 2)) return std::nullopt;", "a bitmap cut short accepted", ""),
    ("hdr-has-bound", "src/skins/PictureHeader.cpp", "return offset <= bytes_.size() && count <= bytes_.size() - offset;", "return offset <= bytes_.size() && count <= bytes_.size() - offset + 1;", "the reader one byte past the end", ""),
    ("hdr-progressive", "src/skins/PictureHeader.cpp", "return marker >= 0xC0 && marker <= 0xCF &&", "return marker >= 0xC0 && marker <= 0xC1 &&", "a progressive JPEG refused", ""),
    ("hdr-ico-256", "src/skins/PictureHeader.cpp", "w == 0 ? 256 : w, h == 0 ? 256 : h", "w, h", "an icon entry's 0 not read as 256", ""),
    ("hdr-gif87", "src/skins/PictureHeader.cpp", "if (r.Matches(0, \"GIF87a\") || r.Matches(0, \"GIF89a\")) return Gif(r);", "if (r.Matches(0, \"GIF89a\")) return Gif(r);", "GIF87a refused", ""),
    ("tray-63", "src/platform/Platform.h", "std::min(field.find('\\0'), kTipField - 1)", "std::min(field.find('\\0'), kTipField)", "the shell shows 64 characters", ""),
    ("mem-15-digits", "src/memory/MemoryFigures.cpp", "    for (char digit : s.digits) significand = significand * 10 + static_cast<unsigned>(digit - '0');\n    return DecimalToDouble(value < 0, significand, s.exponent - 14);", "    for (char digit : std::string_view(s.digits.data(), 14)) significand = significand * 10 + static_cast<unsigned>(digit - '0');\n    return DecimalToDouble(value < 0, significand, s.exponent - 13);", "the share rounded to 14 digits", ""),
    ("colour-nul", "src/skins/ColorNumber.cpp", "settings::ToInteger32(text.substr(0, text.find('\\0')))", "settings::ToInteger32(text)", "a colour read past its NUL", ""),
    # The tray icon.
    ("tray-nul", "src/tray/CTray.cpp", "    field.push_back('\\0');\n", "", "the tip field without its NUL", ""),
    ("tray-round", "src/tray/CTray.cpp", "static_cast<int>(std::lround(x / ui::kTwipsPerPixel))", "static_cast<int>(x / ui::kTwipsPerPixel)", "the mouse code truncated", ""),
    ("tray-busy", "src/tray/CTray.cpp", "    if (busy_) return;\n", "", "notifications during a handler not dropped", ""),
    ("tray-unbound", "src/tray/CTray.cpp", "    if (mPic == nullptr) return false;\n    shown_ = Tell(platform::kNimAdd);", "    shown_ = Tell(platform::kNimAdd);", "an icon without a box shown", ""),
    ("tray-change", "src/tray/CTray.cpp", "    record_.icon = mPic->Picture().get();\n    ModifyIcon();", "    record_.icon = mPic->Picture().get();", "a new picture does not reach the shell", ""),
    ("tray-destructor", "src/tray/CTray.cpp", "CTray::~CTray() {\n    DeleteIcon();", "CTray::~CTray() {", "the icon outlives its tray object", ""),
    ("tray-codes", "src/tray/CTray.cpp", "case kRButtonUp: event = &RButtonUp; break;", "case kRButtonUp: event = &RButtonDblClick; break;", "right button up taken for a double click", ""),
    # The About window.
    ("about-edge", "src/about/FrmAbout.cpp", "x > 650 && x < 2650", "x >= 650 && x < 2650", "the link area's left edge included", ""),
    ("about-between", "src/about/FrmAbout.cpp", "return InLinks(x, y) && y < 1200;", "return InLinks(x, y) && y <= 1200;", "between the lines opens mail", ""),
    ("about-not-top", "src/about/FrmAbout.cpp", "    platform_.zOrder.SetWindowPos(form.Handle(), platform::kHwndTopmost, 0, 0, 0, 0, platform::kSwpNoSizeNoMove);\n", "", "the About window not on top", ""),
    ("about-line-height", "src/about/FrmAbout.cpp", "constexpr int kLineHeight = 13;", "constexpr int kLineHeight = 12;", "lines 12 pixels apart", ""),
    ("about-icon", "src/about/FrmAbout.cpp", "void FrmAbout::Form_Activate() { form.SetIcon(mainIcon_); }", "void FrmAbout::Form_Activate() {}", "the About window without its icon", ""),
    ("about-no-cancel", "src/about/FrmAbout.cpp", "    Command1.isCancel = true;\n", "", "Esc does not close the About window", "program.py:Keyboard"),
    ("about-tab", "src/about/FrmAbout.cpp", "    Command1.tabIndex = 0;\n", "", "OK out of the Tab order", ""),
    ("about-mailto", "src/about/FrmAbout.cpp", "\"explorer.exe mailto: \"", "\"explorer.exe mailto:\"", "the mail link's command", ""),
    # The toolkit.
    ("ui-arrow-clamp", "src/ui/Controls.cpp", "std::clamp(up ? value_ + step_ : value_ - step_, lo, hi)", "(static_cast<void>(lo + hi), up ? value_ + step_ : value_ - step_)", "an arrow past the bound throws", ""),
    ("ui-check-range", "src/ui/Controls.cpp", "if (v < 0 || v > 2) throw", "if (v < 0 || v > 3) throw", "a check value of 3 accepted", ""),
    ("ui-covered", "src/ui/Control.cpp", "            if (std::find(kids.begin(), kids.end(), front) < std::find(kids.begin(), kids.end(), c)) return false;\n", "            (void)kids;\n", "controls under a page reachable", ""),
    ("ui-tab-sort", "src/ui/Control.cpp", "    std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tabIndex < b->tabIndex; });\n", "", "the Tab order by stacking, not by index", ""),
    ("ui-list-same", "src/ui/Controls.cpp", "    index_ = i;\n    if (Click) Click();", "    if (i == index_) return;\n    index_ = i;\n    if (Click) Click();", "choosing the same skin again does nothing", ""),
    ("ui-raster-round", "src/ui/PictureBox.cpp", "int Scaled(int design, double scale) { return std::max(static_cast<int>(std::lround(design * scale)), 0); }", "int Scaled(int design, double scale) { return std::max(static_cast<int>(design * scale), 0); }", "the raster's size truncated at a scale", ""),
    ("ui-back-clears", "src/ui/PictureBox.cpp", "    backColor_ = c;\n    surface_.Fill(c);", "    backColor_ = c;", "a new background keeps the old drawing", ""),
    ("ui-cls-unseen", "src/ui/PictureBox.cpp", "    if (Peer* p = GetPeer()) p->Drawn({0, 0, surface_.Width(), surface_.Height()});\n", "", "a cleared box is not repainted", ""),
    ("ui-caption-same", "src/ui/Controls.cpp", "void Label::SetCaption(std::string_view text) {\n    if (text == caption_) return;", "void Label::SetCaption(std::string_view text) {", "an unchanged caption repaints", ""),
    ("ui-menu-same", "src/ui/Menu.cpp", "void MenuItem::SetCaption(std::string_view text) {\n    if (text == caption_) return;", "void MenuItem::SetCaption(std::string_view text) {", "an unchanged status line repaints", ""),
    ("ui-span-round", "src/ui/PictureBox.cpp", "return static_cast<int>(std::floor(v + 0.5));", "return static_cast<int>(std::floor(v));", "a pixel covered by less than half its centre", ""),
    # The Windows layer: the release block.
    ("w32-fill-phase", W + "release/BlankBlock.cpp", "return offset % 2 == 0 ? 0x20 : 0x00;", "return offset % 2 == 0 ? 0x00 : 0x20;", "the blank's bytes swapped", ""),
    ("w32-fill-share", W + "release/BlankBlock.cpp", "pages / started + (i < pages % started ? 1 : 0)", "pages / started", "the last pages left unwritten", ""),
    ("w32-fill-no-stop", W + "release/BlankBlock.cpp", "at < s->bytes && !s->stop->load(std::memory_order_relaxed)", "at < s->bytes", "a release that does not stop", "program.py:LogOff"),
    ("w32-fill-first-serve", W + "release/BlankBlock.cpp", "    ServeSentAndPaint();  // what was already waiting", "    // what was already waiting", "a repaint due before the fill waits", ""),
    ("w32-fill-keys", W + "release/BlankBlock.cpp", "        if (!dropped[i]) kept.push_back(keys[i]);", "        if (!dropped[i] && false) kept.push_back(keys[i]);", "every key pressed during a release dropped", ""),
    ("w32-fill-order", W + "release/BlankBlock.cpp", "for (std::size_t j = i; j > 0 && age(kept[j]) < age(kept[j - 1]); --j)", "for (std::size_t j = i; j > 0 && age(kept[j]) > age(kept[j - 1]); --j)", "kept input out of order", ""),
    ("w32-fill-stop-nowait", W + "release/BlankBlock.cpp", "    fill->stop = true;\n    // The workers", "    fill->stop = true;\n    return;\n    // The workers", "a stop that does not wait for the workers", ""),
    ("w32-fill-result", W + "release/BlankBlock.cpp", "return fill.stop ? platform::BlockResult::Stopped : platform::BlockResult::Written;", "return platform::BlockResult::Written;", "a stopped fill reported written", ""),
    ("w32-fill-ticks", W + "release/BlankBlock.h", "return time - start <= end - start;", "return time >= start && time <= end;", "tick comparison across the wrap", ""),
    # Adapters.
    ("w32-memory-virtual", W + "adapters/MemoryAdapter.cpp", "record.totalVirtual = ms.ullTotalVirtual;", "record.totalVirtual = ms.ullTotalPhys;", "the virtual total from the physical one", ""),
    ("w32-input-hourglass", W + "adapters/InputAdapter.cpp", "        SetCursor(LoadCursorW(nullptr, IDC_WAIT));\n    else", "        ;\n    else", "no hourglass during a release", ""),
    ("w32-locale-swap", W + "adapters/LocaleAdapter.cpp", "LOCALE_STHOUSAND, buf, 8) > 0) s.thousands", "LOCALE_SDECIMAL, buf, 8) > 0) s.thousands", "the decimal separator groups thousands", ""),
    ("w32-shell-hidden", W + "adapters/FilesAdapter.cpp", "(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)", "(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM)", "hidden skins listed", ""),
    ("w32-shell-box-buttons", W + "adapters/ShellAdapter.cpp", "MB_OK | MB_TASKMODAL", "MB_OKCANCEL | MB_TASKMODAL", "the failure box has a Cancel button", ""),
    ("w32-shell-show-state", W + "adapters/ShellAdapter.cpp", "    si.dwFlags = STARTF_USESHOWWINDOW;\n", "", "a command's show state ignored", ""),
    ("w32-res-tray-size", W + "adapters/ResourceAdapter.cpp", "icon(Win32Picture::Type::Icon, IDI_TRAY, 16)", "icon(Win32Picture::Type::Icon, IDI_TRAY, 32)", "the tray icon's design size", ""),
    ("w32-pic-name-check", W + "pictures/PictureLoader.cpp", "    if (!skins::IsPlainRelativeName(name)) Fail(\"name outside the skin folder\");\n", "", "the name's own check skipped", ""),
    ("w32-pic-final-path", W + "pictures/PictureLoader.cpp", "    if (!FinallyInside(file.Get(), base)) Fail(\"the file lies outside the skin folder\");\n", "", "a linked picture loaded", "program.py:HostileSkins.test_a_linked_picture_is_refused_and_an_early_stop_keeps_the_choice"),
    ("w32-pic-file-cap", W + "pictures/PictureLoader.cpp", "size.QuadPart > kMaxFileBytes)", "size.QuadPart > kMaxFileBytes + 1)", "one byte over the file cap read", ""),
    ("w32-pic-twice-name", W + "pictures/PictureLoader.cpp", "return name.substr(0, stem) + \"@2x\" + name.substr(stem);", "return name.substr(0, stem) + name.substr(stem) + \"@2x\";", "the twice-size picture never found", ""),
    ("w32-pic-twice-size", W + "pictures/PictureLoader.cpp", "if (big.width == 2 * picture.width && big.height == 2 * picture.height)", "if (big.width >= picture.width)", "a twice-size picture of the wrong size kept", ""),
    ("w32-reg-utf8", W + "adapters/RegistryAdapter.cpp", "const std::wstring wide = Widen(std::string_view(data.data(), data.size()));", "std::wstring wide(data.begin(), data.end());", "text values stored byte by byte", ""),
    ("w32-reg-setting-type", W + "adapters/RegistryAdapter.cpp", "if (rc != ERROR_SUCCESS || type != REG_SZ) return def;", "if (rc != ERROR_SUCCESS) return def;", "a setting of another type read", ""),
    ("w32-reg-setting-key", W + "adapters/RegistryAdapter.cpp", "return L\"Software\\\\Quenlor\\\\\" + Widen(app)", "return L\"Software\\\\Quenlor\" + Widen(app)", "settings under the wrong key", "program.py:FirstRun"),
    ("w32-profile-cap", W + "adapters/ProfileAdapter.cpp", "size.QuadPart > static_cast<LONGLONG>(platform::kMaxProfileBytes)) return false;", "size.QuadPart >= static_cast<LONGLONG>(platform::kMaxProfileBytes)) return false;", "a 64 KiB profile refused", ""),
    ("w32-profile-ansi", W + "adapters/ProfileAdapter.cpp", "            if (bytes.size() >= 2 && std::memcmp(bytes.data(), kUtf16Mark, 2) == 0) return true;", "            if (!bytes.empty()) return true;", "an ANSI profile kept in ANSI", ""),
    ("w32-profile-utf8-cut", W + "adapters/ProfileAdapter.cpp", "    while (fit > 0 && fit < text.size() && (static_cast<unsigned char>(text[fit]) & 0xC0) == 0x80) --fit;\n", "", "a character cut in half", ""),
    ("w32-profile-within", W + "adapters/ProfileAdapter.cpp", "return within.empty() || FinallyInside(file, FullPath(Widen(within)));", "return within.empty() || true;", "a linked skin file read", ""),
    ("w32-tray-tip-field", W + "adapters/TrayIcon.cpp", "WidenInto(platform::ShownTip(data), nid.szTip", "WidenInto(data.tip, nid.szTip", "the whole tip field shown", ""),
    ("w32-tray-no-icon", W + "adapters/TrayIcon.cpp", "nid.hIcon = icon->IconAt(", "nid.hIcon = nullptr, (void)icon->IconAt(", "the tray record without its icon", "program.py:FirstRun"),
    ("w32-instance-lock", W + "adapters/InstanceAdapter.cpp", "owned_ = GetLastError() != ERROR_ALREADY_EXISTS;", "owned_ = true;", "a second start thinks itself the only copy", "program.py:HiddenStart.test_a_second_start_shows_the_running_copy_and_ends"),
    ("w32-memory-stop", W + "adapters/MemoryAdapter.cpp", "void MemoryAdapter::StopFill() { win32::StopFill(); }", "void MemoryAdapter::StopFill() {}", "the window's stop does not reach the fill", "program.py:LogOff"),
    ("w32-fill-leak", W + "release/BlankBlock.h", "if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);", "if (data_ == nullptr) VirtualFree(data_, 0, MEM_RELEASE);", "the block never given back", "e2e.py:PurgixUnderWine"),
    ("w32-paint-raster", W + "window/ContainerPeer.cpp", "    if (x1 > x0 && y1 > y0) {", "    if (false && x1 > x0 && y1 > y0) {", "a picture box's drawing not painted", ""),
    ("w32-peer-drawn", W + "window/ContainerPeer.cpp", "    if (hwnd == nullptr || !IsWindowVisible(hwnd)) return;\n    // Straight", "    if (hwnd != nullptr || r.width >= 0) return;\n    // Straight", "what is drawn does not reach the screen", ""),
    ("w32-load-icon-leak", W + "adapters/TrayLoadIcon.cpp", "    if (previous_ != nullptr) DestroyIcon(std::exchange(previous_, nullptr));", "    previous_ = nullptr;", "each load icon the shell has let go is kept", ""),
    ("w32-indicator-rows", W + "adapters/ResourceAdapter.cpp", "rows + (h - 1 - y) *", "rows + y *", "the page indicators upside down", ""),
    ("w32-fit-start", W + "window/LabelPeer.cpp", "    HFONT chosen = designFont_;", "    HFONT chosen = font != nullptr ? font : designFont_;", "a fitted figure keeps its small size", ""),
    ("w32-paint-bitmap-face", W + "window/Drawing.cpp", "const wchar_t* use = scale_.IsDesign() ? face.c_str()", "const wchar_t* use = scale_.IsDesign() || true ? face.c_str()", "the bitmap face at every density", ""),
    ("w32-pic-own-size", W + "pictures/PictureLoader.cpp", "const bool ownSize = header.format == skins::PictureFormat::Gif || header.format", "const bool ownSize = header.format", "a GIF frame held to its screen's size", ""),
    ("w32-pic-com", W + "pictures/Wic.h", "if (SUCCEEDED(hr_)) CoUninitialize();", "if (FAILED(hr_)) CoUninitialize();", "COM left initialised", ""),
    ("w32-files-handle", W + "pictures/Files.h", "if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);", "if (h_ == INVALID_HANDLE_VALUE) CloseHandle(h_);", "an opened file never closed", ""),
    ("w32-area-cursor", W + "window/Peers.cpp", "img.MouseIcon() != nullptr ? form.CursorAtDpi(*img.MouseIcon()) : nullptr;", "img.MouseIcon() != nullptr && false ? form.CursorAtDpi(*img.MouseIcon()) : nullptr;", "no hand over the click areas", ""),
    ("w32-area-busy", W + "window/Peers.cpp", "        if (form.Busy()) return LoadCursorW(nullptr, IDC_WAIT);\n", "", "the hand over an area during a release", ""),
    ("w32-taskbar-msg", W + "window/FormWindow.cpp", "taskbar != 0 && msg == taskbar) return Raise(Form().TaskbarCreated);", "taskbar != 0 && msg == taskbar) return 0;", "Explorer's restart not heard", ""),
    ("w32-dpi-msg", W + "window/FormScale.cpp", "if (fixedDpi_ == 0) ApplyDpi(", "if (fixedDpi_ != 0) ApplyDpi(", "a new monitor's density ignored", ""),
    ("w32-input-refresh", W + "adapters/InputAdapter.cpp", "    else\n        RefreshCursor();", "    else\n        (void)0;", "the hourglass stays after a release", ""),
    ("w32-label-font", W + "window/LabelPeer.cpp", "        gdi::ScopedSelectObject select(dc, font);", "        gdi::ScopedSelectObject select(dc, look.FormFont());", "a label drawn in the form's font, not its own", ""),
    ("w32-label-align", W + "window/LabelPeer.cpp", "const UINT align = a == ui::Align::Center ? DT_CENTER :", "const UINT align = a == ui::Align::Center ? DT_LEFT :", "centred figures drawn from the left", ""),
    ("w32-text-ground", W + "window/FormWindow.cpp", "    gdi::ScopedSelectObject select(dc, look_.FormFont());\n    SetBkMode(dc, TRANSPARENT);", "    gdi::ScopedSelectObject select(dc, look_.FormFont());", "printed lines on a ground of their own", ""),
    ("w32-keys-enter-area", W + "window/Keyboard.cpp", "return (focused != nullptr && focused->Press()) ||", "return (focused != nullptr && false) ||", "Enter does nothing on a click area", ""),
    ("w32-menu-update", W + "window/MenuBar.cpp", "    SetMenuItemInfoW(it->second.first, it->second.second, FALSE, &mii);\n", "", "the status line never reaches the menu", ""),
    ("w32-form-cursor", W + "window/FormWindow.cpp", "if (f.Pointer() == ui::MousePointer::Custom && f.MouseIcon() != nullptr) return", "if (false) return", "the About window's hand never shows", ""),
    ("w32-com-mta", W + "pictures/Wic.h", "return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE;", "return SUCCEEDED(hr_);", "no picture in a multithreaded apartment", ""),
    ("w32-peer-stack-top", W + "window/ControlPeer.cpp", "    Subclass();\n", "    Subclass();\n    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);\n", "each new child window stacked on top", ""),
    # The form window.
    ("w32-form-end-cancelled", W + "window/FormWindow.cpp", "    if (ending == 0) return 0;\n", "    (void)ending;\n", "a cancelled end of the session closes", ""),
    ("w32-form-unload-twice", W + "window/FormPeer.h", "        if (state_ != State::Open) return false;\n", "", "the shutdown runs twice", ""),
    ("w32-form-no-quit", W + "window/FormWindow.cpp", "    if (quitOnDestroy_) PostQuitMessage(0);\n", "", "the main window's end leaves the loop running", ""),
    ("w32-form-centre", W + "window/FormWindow.cpp", "y = work.top + (work.bottom - work.top - size.cy) / 2;", "y = work.top + (work.bottom - work.top - size.cx) / 2;", "the window not centred", ""),
    ("w32-form-activate", W + "window/FormWindow.cpp", "    if (Form().Activate) Form().Activate();\n", "", "activation not raised", ""),
    ("w32-form-restore", W + "window/FormWindow.cpp", "    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);\n", "", "Show leaves a minimised window minimised", ""),
    ("w32-form-owner", W + "window/FormWindow.cpp", "    if (!f.showInTaskbar) {", "    if (false) {", "the About window on the taskbar", ""),
    ("w32-form-closing-answer", W + "window/FormWindow.cpp", "return Form().ShowRequested() ? kAnswerShown : kAnswerClosing;", "Form().ShowRequested();\n    return kAnswerShown;", "the \"closing\" answer missing", "program.py:QuickRestart"),
    ("w32-form-timer-off", W + "window/FormTimers.cpp", "if (t->Enabled() && t->Tick) t->Tick();", "if (t->Tick) t->Tick();", "a switched-off timer's late tick runs", ""),
    # Peers, containers, keys, menus, paint, scale.
    ("w32-peer-check-role", W + "window/Peers.cpp", "facts.role = ROLE_SYSTEM_CHECKBUTTON;", "facts.role = ROLE_SYSTEM_PUSHBUTTON;", "a check box announced as a button", "program.py:Keyboard"),
    ("w32-peer-check-state", W + "window/Peers.cpp", "facts.addedState = Model().Value() == 1 ? STATE_SYSTEM_CHECKED", "facts.addedState = Model().Value() == 3 ? STATE_SYSTEM_CHECKED", "a ticked box not announced as checked", ""),
    ("w32-peer-spin-value", W + "window/Peers.cpp", "        facts.value = Widen(std::to_string(Model().Value()));\n", "", "a spinner without its value", "program.py:Keyboard"),
    ("w32-peer-spin-arrows", W + "window/Peers.cpp", "if (code == SB_LINEUP || code == SB_PAGEUP) Model().Arrow(true);", "if (code == SB_LINEUP || code == SB_PAGEUP) Model().Arrow(false);", "the upper arrow lowers", "e2e.py:StoredOptions"),
    ("w32-peer-double-click", W + "window/Peers.cpp", "if (code == BN_CLICKED || code == BN_DOUBLECLICKED) Press();", "if (code == BN_CLICKED) Press();", "a quick second click on an area dropped", ""),
    ("w32-peer-contrast-face", W + "window/Peers.cpp", "        if (HighContrast()) {\n            // Without", "        if (false) {\n            // Without", "no button face in high contrast", ""),
    ("w32-peer-button-name", W + "window/Peers.cpp", "if (c != '&') facts.name", "facts.name", "the OK button read as \"&OK\"", "program.py:Keyboard"),
    ("w32-peer-label-name", W + "window/LabelPeer.cpp", "label.accessibleName.empty() ? label.Caption() : label.accessibleName + \": \" + label.Caption()", "label.Caption()", "a figure read without its row and column", ""),
    ("w32-peer-no-fit", W + "window/LabelPeer.cpp", "WidenInto(Model().Caption(), text, 256);\n        FitFont(text);", "WidenInto(Model().Caption(), text, 256);", "a wide figure not fitted", ""),
    ("w32-peer-text-readonly", W + "window/Peers.cpp", "(box.readOnly ? ES_READONLY : 0u)", "0u", "the option texts editable", "e2e.py:StoredOptions"),
    ("w32-cont-twips", W + "window/ContainerPeer.cpp", "return Model().scaleMode == ui::ScaleMode::Twip ? pixels * ui::kTwipsPerPixel : pixels;", "return pixels;", "a hidden box's twips not converted", ""),
    ("w32-cont-hourglass", W + "window/ContainerPeer.cpp", "if (LOWORD(lp) == HTCLIENT && form.Busy()) {", "if (false) {", "the hourglass not kept over the form", ""),
    ("w32-scale-px", W + "Dpi.h", "int Px(int design) const { return MulDiv(design, dpi, kDesignDpi); }", "int Px(int design) const { return design * dpi / kDesignDpi; }", "edges truncated, not rounded", "program.py:HighDpi"),
    ("w32-scale-small-icon", W + "window/FormScale.cpp", "SendMessageW(hwnd, WM_SETICON, ICON_SMALL, at(SM_CXSMICON));", "SendMessageW(hwnd, WM_SETICON, ICON_SMALL, at(SM_CXICON));", "the small icon at the large size", ""),
    ("w32-scale-changed", W + "window/FormScale.cpp", "    if (Form().ScaleChanged) Form().ScaleChanged();\n", "", "a new density does not reach the tray icon", ""),
    ("w32-scale-fit-client", W + "window/FormScale.cpp", "    if (client.right != cw || client.bottom != ch)\n", "    if (false)\n", "a wrapped menu bar shrinks the client area", "e2e.py:PurgixUnderWine"),
    ("w32-keys-shift-tab", W + "window/Keyboard.cpp", "MoveFocus(GetKeyState(VK_SHIFT) >= 0);", "MoveFocus(true);", "Shift+Tab goes forward", ""),
    ("w32-keys-ampersand", W + "Text.cpp", "        if (*p == L'&') out += L'&';\n", "", "\"&\" not doubled beside an access key", ""),
    ("w32-keys-alt-tick", W + "window/LabelPeer.cpp", "        peer->CaptionKey();\n", "", "Alt and a letter do not tick the box", ""),
    ("w32-keys-getobject", W + "window/ControlPeer.cpp", "            if (const LRESULT answer = AnswerGetObject(h, wp, lp, peer->Facts())) return answer;", "            (void)AnswerGetObject;", "screen readers get the standard object only", "program.py:Keyboard"),
    ("w32-keys-default-focus", W + "window/Keyboard.cpp", "if (p.IsDefault() && p.hwnd != nullptr) SetFocus(p.hwnd);", "if (p.IsDefault() && false) SetFocus(p.hwnd);", "the About window opens without a focus", "program.py:Keyboard"),
    ("w32-menu-f9-text", W + "window/MenuBar.cpp", "? L\"\\tF9\"", "? L\"\\tF8\"", "the menu names F8", ""),
    ("w32-menu-repeat", W + "window/MenuBar.cpp", "    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && (msg.lParam & kRepeat) != 0) return false;\n", "    (void)kRepeat;\n", "a held F9 releases on every repeat", ""),
    ("w32-menu-null", W + "window/MenuBar.cpp", "    PostMessageW(owner, WM_NULL, 0, 0);\n", "", "the next pop-up opens only at a second click", ""),
    ("w32-menu-hidden-popup", W + "window/MenuBar.cpp", "if (&parent == &form_.Menu() && !item.Items().empty()) {", "if (false) {", "the hidden pop-up menu not kept", ""),
    ("w32-menu-checked", W + "window/MenuBar.cpp", "return (item.Checked() ? MFS_CHECKED : 0u) |", "return 0u |", "stay-on-top's tick not shown", ""),
    ("w32-menu-ctrl-h", W + "window/MenuBar.cpp", "{FVIRTKEY | FCONTROL, 'H',", "{FVIRTKEY, 'H',", "H alone hides the window", ""),
    ("w32-paint-contrast-ground", W + "window/Drawing.cpp", "ink == Ink::Ground ? COLOR_WINDOW :", "ink == Ink::Ground ? COLOR_WINDOWTEXT :", "high contrast's ground in the text colour", ""),
    ("w32-paint-above", W + "window/LabelPeer.cpp", "    PaintAbove(dc);\n    mem.CopyTo(item.hDC, rc);", "    mem.CopyTo(item.hDC, rc);", "the rules not drawn over the figures", ""),
    ("w32-paint-font-round", W + "window/Drawing.cpp", "static_cast<int>(std::lround(f.points * scale_.dpi / 72))", "static_cast<int>(f.points * scale_.dpi / 72)", "font sizes truncated", ""),
    ("w32-paint-printed", W + "window/FormWindow.cpp", "        TextOutW(dc, scale.Px(line.x), scale.Px(line.y), text, static_cast<int>(std::wcslen(text)));\n", "", "the printed image not painted", ""),
    ("w32-acc-state", W + "window/Accessible.cpp", "if (SUCCEEDED(hr) && IsSelf(child) && out->vt == VT_I4) out->lVal |= facts_.addedState;", "(void)facts_.addedState;", "added states dropped", ""),
    ("w32-acc-description", W + "window/Accessible.cpp", "? Text(facts_.description, out) : std_->get_accDescription", "? Text(facts_.name, out) : std_->get_accDescription", "the name read as the description", ""),
    ("w32-files-boundary", W + "pictures/Files.cpp", "full.size() > folder.size() + 1 && IsSeparator(full[folder.size()]) &&", "full.size() > folder.size() + 1 &&", "\"C:\\\\Skins2\" inside \"C:\\\\Skins\"", ""),
    ("w32-picture-once", W + "pictures/Win32Picture.cpp", "        scaledWidth_ = w;\n", "", "the art resampled at every paint", ""),
    ("w32-picture-blend", W + "pictures/Win32Picture.cpp", "if (bm.bmBitsPixel == 32) {", "if (false) {", "art with alpha not blended", ""),
    ("w32-switch-bad-code", W + "entry/Switches.cpp", "            return app::kExitBadSwitch;", "            return app::kExitReleased;", "a bad switch exits 0", "program.py:Switches"),
    ("w32-throws-message", "src/LibraryThrows.cpp", "        } else if (p[0] == '%' && p[1] == '%') {\n            out += '%';", "        } else if (p[0] == '%' && p[1] == '%') {\n            out += '%';\n            out += '%';", "a \"%%\" doubled in a library message", ""),
    ("reg-no-nul", "src/settings/Registry.cpp", "        bytes.push_back('\\0');\n", "", "REG_SZ written without its terminator", ""),
    ("reg-delete-missing-traced", "src/settings/Registry.cpp", "rc != 0 && rc != platform::kErrorFileNotFound)", "rc != 0)", "deleting a value that is not there is traced as a failure", ""),
    ("app-setting-refusal-silent", "src/app/FrmMainOptions.cpp", "    if (!platform_.settings.SaveSetting(", "    if (platform_.settings.SaveSetting(", "a setting the store refuses leaves no trace", ""),
    ("app-spinner-default", "src/settings/Settings.cpp", "    if (rounded > max) return {max, false};", "    if (rounded > max) return {def, false};", "a stored number above the bounds takes the default, not the bound", ""),
    ("app-box-shows-stored", "src/app/FrmMainShell.cpp", "    ShowSpinnerValues();\n", "", "a box keeps the design's or the stored text, not what exit writes", ""),
    ("app-tray-no-retry", "src/app/FrmMainShell.cpp", "    TrayTimer.SetEnabled(!NewTray->ShowIcon());", "    NewTray->ShowIcon();", "a refused tray icon is never offered again", ""),
    ("tray-refusal-silent", "src/tray/CTray.cpp", "(operation == platform::kNimAdd || shown_)", "shown_", "a refused add leaves no trace", ""),
    ("fig-tie-away", "src/memory/MemoryFigures.cpp", "(half == 0 && (out.digits.back() - '0') % 2 == 1)", "(half == 0)", "a sixteen-digit tie rounds away instead of to even", ""),
    ("w32-exit-unreachable-gone", W + "adapters/InstanceAdapter.cpp", "        if (error == ERROR_FILE_NOT_FOUND) return {true, {}};", "        return {true, {}};", "/exit counts a lock it cannot open as no copy", ""),
    ("w32-exit-timeout-gone", W + "adapters/InstanceAdapter.cpp", "const bool gone = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;", "const bool gone = r != WAIT_FAILED;", "/exit counts a copy that outlives the wait as gone", ""),
    ("w32-tray-icon-16", W + "adapters/TrayIcon.cpp", "icon->IconAt(SystemMetricForDpi(SM_CXSMICON, dpi))", "icon->IconAt(16 + 0 * dpi)", "the tray icon handed over at 16 px whatever the DPI", ""),
    ("w32-tray-tip-62", W + "adapters/TrayIcon.cpp", "WidenInto(platform::ShownTip(data), nid.szTip", "WidenInto(platform::ShownTip(data).substr(0, 62), nid.szTip", "the tooltip handed over cut at 62 characters", ""),
    ("w32-start-failure-silent", W + "entry/Program.cpp", "        MessageBoxW(nullptr, text.c_str(), L\"Purgix\", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);\n", "", "a main window that cannot be made ends without a word", ""),
    # Assistive events, focus drawn in the control's paint, the log window, the load and the notice, threshold
    # waits, F9 edges, the keys a release drops, the stop that serves nothing, the program's own decimals.
    ("w32-check-state-event", W + "window/Peers.cpp", "        SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(Model().Value()), 0);\n        Announce(EVENT_OBJECT_STATECHANGE);", "        SendMessageW(hwnd, BM_SETCHECK, static_cast<WPARAM>(Model().Value()), 0);", "a box ticked by the program not told to screen readers", ""),
    ("w32-text-value-event", W + "window/Peers.cpp", "        SetWindowTextW(hwnd, text);\n        Announce(EVENT_OBJECT_VALUECHANGE);", "        SetWindowTextW(hwnd, text);", "a text box's new text not told to screen readers", ""),
    ("w32-spin-value-event", W + "window/Peers.cpp", "        SetScrollPos(hwnd, SB_CTL, Model().Value(), TRUE);\n        Announce(EVENT_OBJECT_VALUECHANGE);", "        SetScrollPos(hwnd, SB_CTL, Model().Value(), TRUE);", "a spinner's new value not told to screen readers", ""),
    ("w32-menu-check-event", W + "window/MenuBar.cpp", "NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_MENU, i + 1);", "NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_MENU, i);", "a check mark's change told of the item above it", ""),
    ("w32-menu-event-every", W + "window/MenuBar.cpp", "if (known && ((was.fState ^ mii.fState) & MFS_CHECKED) != 0) {", "if (known) {", "every rewrite of the status item told as a change of state", ""),
    ("w32-focus-in-paint", W + "window/ControlPeer.cpp", "                DrawFocusRect(dc, &r);\n                EndPaint(h, &ps);", "                EndPaint(h, &ps);", "a focused spinner or box without its focus rectangle", ""),
    ("w32-area-focus-rect", W + "window/Peers.cpp", "            InflateRect(&inner, -1, -1);\n            DrawFocusRect(mem.Get(), &inner);", "            InflateRect(&inner, -1, -1);", "a focused click area without its focus rectangle", ""),
    ("w32-list-keeps-line", W + "window/Peers.cpp", "static_cast<WPARAM>(at == LB_ERR ? 0 : std::min(at, count - 1))", "static_cast<WPARAM>(at == LB_ERR ? 0 : std::min(at, count - 1) * 0)", "a new log line moves the reader back to the first line", ""),
    ("w32-close-during-unload", W + "window/FormWindow.cpp", "if (closing_.Unloaded() && hwnd != nullptr) DestroyWindow(hwnd);", "if (hwnd != nullptr) DestroyWindow(hwnd);", "a second close pulls the window from under the first one's unload", ""),
    ("w32-stop-serves", W + "release/BlankBlock.cpp", "if (fill->count > 0) WaitForMultipleObjects(fill->count, fill->threads, TRUE, INFINITE);", "if (fill->count > 0) WaitServingWindows(fill->threads, fill->count);", "a stop serves messages, so a second close runs inside the first's shutdown", ""),
    ("w32-fill-stopped-input", W + "release/BlankBlock.cpp", "    }  // freed by now: the release has given the memory back\n    DropReleaseInput(start);", "    }  // freed by now: the release has given the memory back\n    if (!fill.stop) DropReleaseInput(start);", "a stopped release leaves its clicks and keys queued", ""),
    ("w32-load-icon-hundred", W + "adapters/TrayLoadIcon.cpp", "if (percent >= 100) digits[n++] = percent / 100;", "if (percent > 100) digits[n++] = percent / 100;", "a full load drawn as \"00\"", ""),
    ("w32-load-icon-frame", W + "adapters/TrayLoadIcon.cpp", "    if (load.level == platform::LoadLevel::High)\n", "    if (load.level == platform::LoadLevel::Critical)\n", "no frame from 70 %", ""),
    ("w32-load-icon-contrast", W + "adapters/TrayLoadIcon.cpp", "size == size_ && load == load_ && contrast == contrast_) return current_;", "size == size_ && load == load_) return current_;", "high contrast turned on keeps the icon in its old colours", ""),
    ("w32-load-not-shown", W + "adapters/TrayIcon.cpp", "    if (data.load && operation != platform::kNimDelete) nid.hIcon = load_.For(", "    if (false && data.load && operation != platform::kNimDelete) nid.hIcon = load_.For(", "the load never reaches the notification area", ""),
    ("w32-notice-flags", W + "adapters/TrayIcon.cpp", "        nid.dwInfoFlags = data.infoFlags;\n", "", "the notice plays its sound in quiet time", ""),
    ("tray-load-same", "src/tray/CTray.cpp", "    if (load == record_.load) return;\n", "", "the shell told of the load at every tick", ""),
    ("tray-load-critical", "src/tray/TrayLoad.cpp", "percent >= kCriticalLoad ?", "percent > kCriticalLoad ?", "90 % not critical", ""),
    ("tray-notice-again", "src/tray/CTray.cpp", "    record_.flags &= ~platform::kNifInfo;\n", "", "the notice shown again at the next load or tooltip", ""),
    ("rel-notice-off", "src/app/FrmMainRelease.cpp", "if (mNotify->Checked() && NewTray) NewTray->Notice(", "if (NewTray) NewTray->Notice(", "a notice although the user switched it off", ""),
    ("rel-log-window-stale", "src/app/FrmMainRelease.cpp", "        if (FrmReleases* open = ReleasesWindow()) open->SetLines(ReleaseLines());\n", "", "the open log window misses the new release", ""),
    ("rel-log-two-windows", "src/app/FrmMainRelease.cpp", "    if (FrmReleases* open = ReleasesWindow()) {\n        open->form.ZOrder();\n        return;\n    }\n    releasesWindow_.reset();", "    releasesWindow_.reset();", "a second \"Release log...\" opens another window", ""),
    ("releases-placeholder", "src/app/FrmReleases.cpp", "lines_.empty() ? std::vector<std::string>{kNoReleaseYet} : lines_", "lines_", "an empty log shows an empty list", ""),
    ("releases-line-ends", "src/app/FrmReleases.cpp", "text += line + \"\\r\\n\";", "text += line + \"\\n\";", "copied lines end in a bare line feed", ""),
    ("releases-esc", "src/app/FrmReleases.cpp", "    cmdClose.isCancel = true;\n", "", "Esc does not close the log window", "program.py:ReleaseLog"),
    ("rel-threshold-wait-grows", "src/memory/ThresholdWait.cpp", "std::min(2 * next_, kLongestMs)", "std::min(next_, kLongestMs)", "under lasting pressure the waits do not grow", ""),
    ("rel-threshold-wait-reset", "src/app/FrmMainRelease.cpp", "    if (threshold != 1) thresholdWait_.Reset();\n", "", "the threshold turned off and on keeps the long wait", ""),
    ("rel-threshold-still-below", "src/app/FrmMainRelease.cpp", "thresholdWait_.Released(platform_.clock.Milliseconds(), releasedTo_ < VScroll2.Value());", "thresholdWait_.Released(platform_.clock.Milliseconds(), true);", "a release that lifts memory still lengthens the wait", ""),
    ("rel-f9-held", "src/app/FrmMainRelease.cpp", "const bool pressed = down && !f9Down_;", "const bool pressed = down;", "a held F9 releases on every tick", ""),
    ("rel-f9-menu-twice", "src/app/FrmMainRelease.cpp", "    if (mHotKey->Checked() && IsKeyDown(kVkF9)) f9Down_ = true;\n", "", "F9 through the menu's shortcut releases twice", ""),
    ("keys-sys-char", "src/ui/ReleaseKeys.cpp", "case KeyMessage::SysChar: drop = true; break;", "case KeyMessage::SysChar: drop = false; break;", "Alt's character kept after a release", ""),
    ("keys-up-follows-press", "src/ui/ReleaseKeys.cpp", "drop = p != None ? p == Dropped : message == KeyMessage::SysUp || StartsSomething(code);", "drop = (static_cast<void>(p), message == KeyMessage::SysUp || StartsSomething(code));", "the letting go of a kept key judged apart from its press", ""),
    ("keys-char-follows-press", "src/ui/ReleaseKeys.cpp", "drop = anyPress ? lastPress : PressesSomething(code);", "drop = (static_cast<void>(anyPress && lastPress), PressesSomething(code));", "a character judged apart from the press that made it", ""),
    ("dec-tie-even", "src/Decimal.cpp", "if (half > 0 || (half == 0 && (more || q % 2 == 1))) ++q;", "if (half > 0 || (half == 0 && more)) ++q;", "a tie between two doubles rounds down, not to even", ""),
    ("dec-tie-more", "src/Decimal.cpp", "if (half > 0 || (half == 0 && (more || q % 2 == 1))) ++q;", "if (half > 0 || (half == 0 && (static_cast<void>(more), q % 2 == 1))) ++q;", "digits past the 768th forgotten at a tie", ""),
    ("dec-subnormal", "src/Decimal.cpp", "const int bits = std::min(53, power + 1075);", "const int bits = std::min(53, power + 1074);", "the least doubles one bit short", ""),
    ("dec-short-way", "src/Decimal.cpp", "significand <= 1ull << 53 && exponent >= -22", "significand <= 1ull << 63 && exponent >= -22", "a significand past 2^53 taken the short way, rounded twice", ""),
]

# Faults that change nothing the program does, kept apart so that nobody plants
# them again looking for a test: a branch the program never takes, a value no
# caller looks at, a case no file system allows (two names that differ only in
# their letters' case), or (the settings' REG_SZ terminator) one Wine supplies
# itself, so that only Windows would show it.
EQUIVALENT = [
    ("w32-shell-sort-case", W + "adapters/FilesAdapter.cpp", "LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, a.c_str()", "LOCALE_NAME_USER_DEFAULT, 0, a.c_str()", "skins sorted by letter case", ""),
    ("w32-reg-setting-nul", W + "adapters/RegistryAdapter.cpp", "static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))", "static_cast<DWORD>(text.size() * sizeof(wchar_t))", "settings stored without a terminator", ""),
    ("w32-instance-closing", W + "adapters/InstanceAdapter.cpp", "result == static_cast<DWORD_PTR>(kAnswerClosing) && answer", "result == static_cast<DWORD_PTR>(kAnswerClosing) && false && answer", "a closing copy's answer ignored", "program.py:QuickRestart"),
    ("w32-cont-middle", W + "window/ContainerPeer.cpp", "((keys & MK_MBUTTON) != 0 ? 4 : 0)", "((keys & MK_MBUTTON) != 0 ? 2 : 0)", "the middle button taken for the right", ""),
    ("ui-scroll-change", "src/ui/Controls.cpp", "    if (v == value_) return;\n    value_ = v;\n    Notify(Change::Value);\n    if (Change) Change();", "    value_ = v;\n    Notify(Change::Value);\n    if (Change) Change();", "an unchanged spinner raises Change", ""),
    ("ui-front-swap", "src/ui/Control.cpp", "std::rotate(children_.begin(), it, it + 1);", "std::iter_swap(children_.begin(), it);", "bringing to the front reorders the others", ""),
    ("w32-cont-press-release", W + "window/ContainerPeer.cpp", "if (img != nullptr && img == was && img->Click)", "if (img != nullptr && (img == was || true) && img->Click)", "a release alone clicks", ""),
    ("w32-scale-style", W + "window/FormScale.cpp", "if (f.borderStyle != ui::BorderStyle::FixedDialog && f.minButton)", "if (f.minButton)", "the About window gets a minimize box", ""),
    ("w32-keys-hidden-access", W + "window/LabelPeer.cpp", " || !named->Reachable()) return false;", ") return false;", "access keys reach the options under a page", ""),
    ("w32-keys-escape", W + "window/Keyboard.cpp", "return pressButton(&ControlPeer::IsCancel);", "return pressButton(&ControlPeer::IsDefault);", "Esc presses the default button", ""),
    ("w32-menu-disabled", W + "window/MenuBar.cpp", "if (item->Enabled() && item->Click) item->Click();", "if (item->Click) item->Click();", "a disabled item runs", ""),
    ("w32-paint-line-lit", W + "window/Peers.cpp", "return a < b ? std::pair(a, b - 1) : a > b ? std::pair(b + 1, a) : std::pair(a, a);", "return a < b ? std::pair(a, b) : a > b ? std::pair(b, a) : std::pair(a, a);", "a scaled rule one pixel long", ""),
]

ANSI = re.compile(r"\x1b\[[0-9;]*m")


def sh(cmd, timeout):
    try:
        p = subprocess.run(cmd, cwd=ROOT, shell=True, capture_output=True, text=True, timeout=timeout, errors="replace")
        return p.returncode, p.stdout + p.stderr
    except subprocess.TimeoutExpired as e:
        out = (e.stdout or b"") + (e.stderr or b"")
        return -1, out.decode(errors="replace") if isinstance(out, bytes) else out


def failures(rc, out):
    """The failing tests of a GoogleTest run; a crash or a hang names the test it stopped in."""
    out = ANSI.sub("", out)
    failed = sorted(set(re.findall(r"^\[  FAILED  \] (\S+\.\S+) \(", out, re.M)))
    if rc != 0 and not failed:
        running = re.findall(r"^\[ RUN      \] (\S+)", out, re.M)
        done = set(re.findall(r"^\[       OK \] (\S+)", out, re.M))
        stuck = [t for t in running if t not in done]
        failed = [("hang in " if rc == -1 else "crash in ") + (stuck[-1] if stuck else "(no test)")]
    return failed


def run(fault):
    ident, path, old, new, what, e2e = fault
    file = os.path.join(ROOT, path)
    with open(file, encoding="utf-8") as f:
        text = f.read()
    if text.count(old) != 1:
        return {"id": ident, "error": f"the text to replace occurs {text.count(old)} times"}
    with open(file, "w", encoding="utf-8") as f:
        f.write(text.replace(old, new))
    result = {"id": ident, "file": path, "what": what, "e2e": e2e, "unit": None, "win32": None}
    try:
        if not path.startswith(W):
            rc, out = sh("cmake --build --preset linux --target unit_tests", 600)
            result["unit"] = ["build failed"] if rc != 0 else failures(*sh("build/linux/unit_tests", 300))
        rc, out = sh("cmake --build --preset windows --target win32_tests", 900)
        if rc != 0:
            result["win32"] = ["build failed"]
        else:
            rc, out = sh("tools/wine-run build/windows/win32_tests.exe", 300)
            result["win32"] = failures(rc, out)
            if rc == -1:
                sh("tools/wine-run --kill", 60)
    finally:
        with open(file, "w", encoding="utf-8") as f:
            f.write(text)
    return result


def run_e2e(fault):
    """The fault planted in Purgix.exe, under its end-to-end case: caught when the case fails."""
    ident, path, old, new, what, case = fault
    file = os.path.join(ROOT, path)
    with open(file, encoding="utf-8") as f:
        text = f.read()
    with open(file, "w", encoding="utf-8") as f:
        f.write(text.replace(old, new))
    try:
        rc, out = sh("cmake --build --preset windows --target Purgix probe", 900)
        if rc != 0:
            return "build failed"
        script, test = case.split(":")
        b = "build/windows"
        rc, out = sh(f"python3 tests/e2e/{script} --exe {b}/Purgix.exe --probe {b}/probe.exe --wine-run tools/wine-run "
                     f"--artifacts {b}/artifacts" + (f" --zip {b}/none.zip" if script == "program.py" else "") + f" {test}", 1800)
        return "caught by " + case if rc != 0 else "ESCAPED " + case
    finally:
        with open(file, "w", encoding="utf-8") as f:
            f.write(text)
        sh("cmake --build --preset windows --target Purgix", 900)


def changed_since(ref):
    """The faults that are new or differ from the table as it stood at ref."""
    old = subprocess.run(["git", "show", f"{ref}:tools/faults.py"], cwd=ROOT, capture_output=True, text=True, check=True).stdout
    was = {"__file__": os.path.join(ROOT, "tools", "faults.py")}
    exec(compile(old.split("\nANSI = ")[0], "faults@" + ref, "exec"), was)
    before = set(was["FAULTS"])
    return [f for f in FAULTS if f not in before]


def main():
    args = sys.argv[1:]
    if args[:1] == ["--e2e"]:
        for f in (f for f in FAULTS if f[0] in args[1:] and f[5]):
            print(f"{f[0]:36} {run_e2e(f)}", flush=True)
        return 0
    if args == ["--list"]:
        for f in FAULTS:
            print(f"{f[0]:32} {f[1]:42} {f[4]}")
        return 0
    if os.path.exists(os.path.join(ROOT, ".git")) and subprocess.run(["git", "diff", "--quiet", "--", "src"], cwd=ROOT).returncode != 0:
        print("src/ has changes of its own: plant faults only in a clean tree", file=sys.stderr)
        return 2
    if args[:1] == ["--since"]:
        chosen = changed_since(args[1])
    else:
        chosen = [f for f in FAULTS if not args or any(fnmatch.fnmatchcase(f[0], a) for a in args)]
    results, escaped = [], 0
    for fault in chosen:
        r = run(fault)
        results.append(r)
        caught = [t for t in (r.get("unit") or []) + (r.get("win32") or []) if t != "build failed"]
        status = r.get("error") or ("caught by " + ", ".join(caught) if caught else
                                    "build failed" if "build failed" in (r.get("unit") or []) + (r.get("win32") or []) else
                                    f"ESCAPED (e2e: {r['e2e']})" if r["e2e"] else "ESCAPED")
        escaped += not caught
        print(f"{r['id']:36} {status}", flush=True)
    # Built again as it is, so that what the tiers run next is the real program.
    sh("cmake --build --preset linux --target unit_tests", 600)
    sh("cmake --build --preset windows --target win32_tests win32_library_throws", 900)
    out = os.path.join(ROOT, "build", "faults.json")
    with open(out, "w") as f:
        json.dump(results, f, indent=1)
    print(f"{len(chosen) - escaped} of {len(chosen)} caught; {out}")
    return 0 if escaped == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
