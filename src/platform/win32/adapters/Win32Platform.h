#pragma once
// The real operating system behind the platform interfaces: every adapter,
// built once and wired into the bundle behaviour is given.
#include <windows.h>

#include "platform/Platform.h"
#include "platform/win32/adapters/Adapters.h"
#include "ui/Form.h"

namespace purgix::win32 {

class Win32Platform;

// Makes the native windows of forms that behaviour opens at run time.
class WindowFactoryAdapter : public ui::WindowFactory {
public:
    explicit WindowFactoryAdapter(Win32Platform& platform) : platform_(platform) {}
    std::unique_ptr<ui::NativeWindow> CreateFormWindow(ui::Form& form) override;

private:
    Win32Platform& platform_;
};

class Win32Platform {
public:
    explicit Win32Platform(HINSTANCE instance) : resources(instance), instance_(instance) {}
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    HINSTANCE Instance() const { return instance_; }
    // Everything bundled for behaviour; the platform must outlive its users.
    platform::Platform Bundle();

    MemoryAdapter memory;
    InputAdapter input;
    ZOrderAdapter zOrder;
    LocaleAdapter locale;
    ShellAdapter shell;
    FilesAdapter files;
    ResourceAdapter resources;
    PictureLoader pictures;
    RegistryAdapter registry;
    ProfileAdapter profiles;
    TrayAdapter tray;
    InstanceAdapter instances;
    TraceAdapter diagnostics;
    ClockAdapter clock;
    WindowFactoryAdapter forms{*this};

private:
    HINSTANCE instance_;
};

}  // namespace purgix::win32
