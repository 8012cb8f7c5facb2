// The user's number separators, as Control Panel sets them.
#include "platform/win32/adapters/Adapters.h"
#include "platform/win32/Text.h"

namespace purgix::win32 {

platform::NumberSeparators LocaleAdapter::Separators() {
    platform::NumberSeparators s;
    wchar_t buf[8];
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buf, 8) > 0) s.thousands = Narrow(buf);
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) > 0) s.decimal = Narrow(buf);
    return s;
}

}  // namespace purgix::win32
