// One copy per user session: the lock the running copy holds, and the running
// copy asked to show itself or to end through its shutdown.
#include <string>
#include <vector>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Messages.h"

namespace purgix::win32 {

namespace {

// The forms of other copies of the program; only a main form answers what is asked here.
std::vector<HWND> OtherCopiesForms() {
    std::vector<HWND> forms;
    for (HWND h = FindWindowExW(nullptr, nullptr, kFormClass, nullptr); h != nullptr; h = FindWindowExW(nullptr, h, kFormClass, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        if (process != GetCurrentProcessId()) forms.push_back(h);
    }
    return forms;
}

DWORD Remaining(DWORD until) {
    const auto left = static_cast<LONG>(until - GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

}  // namespace

InstanceAdapter::~InstanceAdapter() {
    if (lock_ == nullptr) return;
    // Released by the thread that took it, once the copy is done: the next start may run.
    if (owned_) ReleaseMutex(lock_);
    CloseHandle(lock_);
}

bool InstanceAdapter::TakeLock() {
    lock_ = CreateMutexW(nullptr, TRUE, kRunningLockName);
    // Without a lock to be had, running beats never running.
    if (lock_ == nullptr) return true;
    owned_ = GetLastError() != ERROR_ALREADY_EXISTS;
    return owned_;
}

bool InstanceAdapter::WaitForLock(unsigned milliseconds) {
    if (lock_ == nullptr) return true;
    // A copy that ended without letting go leaves the lock abandoned: it is ours all the same.
    const DWORD r = WaitForSingleObject(lock_, milliseconds);
    owned_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    return owned_;
}

platform::ShowAnswer InstanceAdapter::AskRunningCopyToShow() {
    platform::ShowAnswer answer = platform::ShowAnswer::None;
    for (HWND h : OtherCopiesForms()) {
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        // Only the foreground program may hand the foreground on: this one, just started by the user.
        AllowSetForegroundWindow(process);
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(h, ShowYourselfMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000, &result) == 0) continue;
        if (result == static_cast<DWORD_PTR>(kAnswerShown)) answer = platform::ShowAnswer::Shown;
        if (result == static_cast<DWORD_PTR>(kAnswerClosing) && answer == platform::ShowAnswer::None) answer = platform::ShowAnswer::Closing;
    }
    return answer;
}

platform::ExitAnswer InstanceAdapter::AskRunningCopyToExit(unsigned milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    std::vector<HANDLE> processes;
    for (HWND h : OtherCopiesForms()) {
        DWORD process = 0;
        GetWindowThreadProcessId(h, &process);
        if (HANDLE p = OpenProcess(SYNCHRONIZE, FALSE, process)) processes.push_back(p);
        // Answered once the form has run its shutdown; a release in progress stops for it.
        SendMessageTimeoutW(h, ExitMessage(), 0, 0, SMTO_ABORTIFHUNG, Remaining(until), nullptr);
    }
    if (!processes.empty())
        WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE, Remaining(until));
    for (HANDLE p : processes) CloseHandle(p);
    // The lock decides: the running copy holds it for its whole life, a copy still starting already holds it,
    // and only a lock that does not exist means that no copy runs.
    HANDLE lock = OpenMutexW(SYNCHRONIZE, FALSE, kRunningLockName);
    if (lock == nullptr) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {true, {}};
        // A copy started by another user or with higher rights: it may run on, unreached.
        return {false, "it cannot be reached (" + SystemError(error) + ")"};
    }
    const DWORD r = WaitForSingleObject(lock, Remaining(until));
    const bool gone = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    if (gone) ReleaseMutex(lock);
    CloseHandle(lock);
    if (gone) return {true, {}};
    return {false, "it still runs after " + std::to_string(milliseconds / 1000) + " s"};
}

}  // namespace purgix::win32
