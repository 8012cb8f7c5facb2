// Traces of the failures the program goes on after, for a debugger or DebugView.
#include <exception>

#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

void Trace(std::string_view where, std::string_view what) {
    // Cheap when nobody listens: one string, one call.
    std::string line = "Purgix: ";
    line.append(where).append(": ").append(what).append("\n");
    OutputDebugStringW(Widen(line).c_str());
}

void TraceCurrentError(std::string_view where) {
    try {
        throw;
    } catch (const std::exception& e) {
        Trace(where, e.what());
    } catch (...) {
        Trace(where, "an error of an unknown kind");
    }
}

void TraceAdapter::Trace(std::string_view where, std::string_view what) { win32::Trace(where, what); }

}  // namespace purgix::win32
