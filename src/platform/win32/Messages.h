#pragma once
// The window classes and messages by which Purgix's windows find and speak to
// each other, across copies of the program too. Named here once.
#include <windows.h>

namespace purgix::win32 {

inline constexpr wchar_t kFormClass[] = L"PurgixForm";
inline constexpr wchar_t kPictureClass[] = L"PurgixPicture";

// A second start of the program asks the running copy's forms to show themselves.
inline constexpr wchar_t kShowYourselfName[] = L"Quenlor.Purgix.ShowYourself";
// The shell's broadcast when the taskbar, and with it the notification area, is made anew.
inline constexpr wchar_t kTaskbarCreatedName[] = L"TaskbarCreated";

inline UINT ShowYourselfMessage() {
    static const UINT message = RegisterWindowMessageW(kShowYourselfName);
    return message;
}

inline UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(kTaskbarCreatedName);
    return message;
}

}  // namespace purgix::win32
