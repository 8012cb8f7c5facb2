// libstdc++'s one out-of-line helper of make_shared, defined for Purgix.exe alone.
//
// Built without RTTI, every object make_shared makes asks it whether a
// type_info is make_shared's tag (only std::get_deleter ever asks). The
// library keeps it in the object of std::atomic<shared_ptr>'s lock pool and
// bad_weak_ptr, which a static link would then carry whole. The tag's
// type_info exists only in that object, which this program never links (a
// build that did would fail on this second definition), so no type_info the
// program can hold is the tag's.
#include <memory>

#if defined(__GLIBCXX__) && !defined(__cpp_rtti)
bool std::_Sp_make_shared_tag::_S_eq(const std::type_info&) noexcept { return false; }
#endif
