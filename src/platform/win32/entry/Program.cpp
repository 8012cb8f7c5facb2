// The main form and its window, made under one trap: what fails there is told, not a silent end.
#include "platform/win32/entry/Program.h"

#include <exception>
#include <optional>
#include <string>

#include "app/FrmMain.h"
#include "platform/win32/window/FormWindow.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

int RunProgram(Win32Platform& win32) {
    platform::Platform platform = win32.Bundle();
    std::optional<app::FrmMain> frmMain;
    std::optional<FormWindow> window;
    try {
        frmMain.emplace(platform, win32.forms);
        window.emplace(frmMain->form, win32, true);
    } catch (const std::exception& e) {
        Trace("main window", e.what());
        const std::wstring text = Widen(std::string("Purgix cannot start: ") + e.what() + ".");
        MessageBoxW(nullptr, text.c_str(), L"Purgix", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        return kExitCannotStart;
    }
    frmMain->Load();
    return RunMessageLoop(*window);
}

}  // namespace purgix::win32
