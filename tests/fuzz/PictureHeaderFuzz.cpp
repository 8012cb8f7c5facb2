// Any bytes a downloaded skin may carry go through the header check first:
// it must answer without reading past them, and what it accepts must be a
// size the loader can afford to decode.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "skins/PictureHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto header = purgix::skins::ReadPictureHeader({data, size});
    if (header && !purgix::skins::IsAcceptableSize(header->width, header->height)) std::abort();
    return 0;
}
