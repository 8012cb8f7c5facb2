#pragma once
// The window classes and messages by which Purgix's windows find and speak to
// each other, across copies of the program too. Named here once.
#include <windows.h>

namespace purgix::win32 {

inline constexpr wchar_t kFormClass[] = L"PurgixForm";
inline constexpr wchar_t kPictureClass[] = L"PurgixPicture";

// A second start of the program asks the running copy's forms to show
// themselves; the main one answers that it did, or that it is closing.
inline constexpr wchar_t kShowYourselfName[] = L"Quenlor.Purgix.ShowYourself";
inline constexpr LRESULT kAnswerShown = 1;
inline constexpr LRESULT kAnswerClosing = 2;
// "Purgix.exe /exit" asks the running copy's main form to close, as Exit does.
inline constexpr wchar_t kExitName[] = L"Quenlor.Purgix.Exit";
// The lock the running copy holds for its whole life, one per user session.
inline constexpr wchar_t kRunningLockName[] = L"Local\\Quenlor.Purgix.Running";
// The shell's broadcast when the taskbar, and with it the notification area, is made anew.
inline constexpr wchar_t kTaskbarCreatedName[] = L"TaskbarCreated";

inline UINT ShowYourselfMessage() {
    static const UINT message = RegisterWindowMessageW(kShowYourselfName);
    return message;
}

inline UINT ExitMessage() {
    static const UINT message = RegisterWindowMessageW(kExitName);
    return message;
}

inline UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(kTaskbarCreatedName);
    return message;
}

}  // namespace purgix::win32
