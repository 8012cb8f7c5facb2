// The bundle of adapters, and the native windows of forms opened at run time.
#include "platform/win32/adapters/Win32Platform.h"

#include "platform/win32/window/FormWindow.h"

namespace purgix::win32 {

platform::Platform Win32Platform::Bundle() {
    return {.memory = memory, .blocks = memory, .keyboard = input, .pointer = input, .zOrder = zOrder, .locale = locale,
            .shell = shell, .pictures = resources, .pictureFiles = pictures, .files = files, .registry = registry,
            .profiles = profiles, .settings = registry, .tray = tray, .instances = instances, .diagnostics = diagnostics,
            .clock = clock};
}

namespace {
struct FormHost : ui::NativeWindow {
    FormHost(ui::Form& form, Win32Platform& platform) : window(form, platform, false) {}
    FormWindow window;
};
}  // namespace

std::unique_ptr<ui::NativeWindow> WindowFactoryAdapter::CreateFormWindow(ui::Form& form) {
    return std::make_unique<FormHost>(form, platform_);
}

}  // namespace purgix::win32
