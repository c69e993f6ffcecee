// Format names as the host spells them at port creation, and their FourCC.
#pragma once

#include <cstdint>

#include "formats/pixel_format.h"

namespace pellix {

// The format named by the first four characters of name (case-sensitive;
// "IYUV" is another name for I420). PixelFormat::None when nothing matches,
// including a null name or one shorter than four characters.
PixelFormat ParseFormatName(const char* name);

// The first four characters of name in upper case, the first one in the least
// significant byte. A name that ends earlier contributes zero bytes for the
// missing characters; nothing after its terminating NUL is read.
uint32_t FourCCOf(const char* name);

}  // namespace pellix
