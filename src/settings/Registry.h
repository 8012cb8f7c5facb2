#pragma once
// The few registry and profile-file operations the program needs. Stateless:
// every call opens and closes its own key. Missing files, keys and values are
// not failures; they give the results described at each operation.
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace purgix::settings {

class Registry {
public:
    // The title captions the message box of a failed write.
    Registry(platform::Platform& platform, std::string title) : platform_(platform), title_(std::move(title)) {}

    // One value of a profile (INI) file, read into a 128-character buffer of
    // which 127 are offered. A value of two characters or more comes back as
    // read (cut to 126); otherwise the whole buffer comes back, NULs included,
    // which is what earlier versions returned and what their callers compare.
    // With `within`, a file that does not finally lie inside that folder reads as missing.
    std::string ReadProfileString(const std::string& section, const std::string& key, const std::string& file,
                                  const std::string& within = {});

    // A REG_SZ value's text up to its first NUL (all of it when it has none).
    // Any other type, or a missing key or value, gives nothing.
    std::optional<std::string> ReadRegistryString(platform::RegistryKey root, const std::string& subKey,
                                                  const std::string& name);

    // Creates the key when missing and stores a REG_SZ value. Failed result
    // codes are ignored; an error raised by a step is shown as
    // "number - description" and the next step still runs.
    void WriteRegistryString(platform::RegistryKey root, const std::string& subKey, const std::string& name,
                             const std::string& data);

    // Deleting a value that is not there is harmless.
    void DeleteRegistryValue(platform::RegistryKey root, const std::string& subKey, const std::string& name);

private:
    platform::Platform& platform_;
    std::string title_;
};

}  // namespace purgix::settings
