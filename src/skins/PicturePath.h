#pragma once
// Whether a skin's picture name, as written in the skin, names a file inside
// the skin's folder. The Windows loader resolves the name afterwards and checks
// the result again; this is the check on the text itself, before Windows reads
// anything into it.
#include <string_view>

namespace purgix::skins {

// True for a relative path ('/' and '\' both separate) whose ".." never climb
// above its start, without a drive, stream, wildcard or control character,
// without a component of dots and blanks only (Windows trims those into
// ".."), and without a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$,
// CONOUT$, with any extension). UTF-8: every byte these rules look at is ASCII.
bool IsPlainRelativeName(std::string_view name);

}  // namespace purgix::skins
