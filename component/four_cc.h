// The FourCC a component answers for a format property: the host's own
// format name packed into 32 bits.
#pragma once

#include <cstdint>

namespace pellix {

// The first four characters of name in upper case, the first one in the least
// significant byte. A name that ends earlier contributes zero bytes for the
// missing characters; nothing after its terminating NUL is read.
uint32_t FourCCOf(const char* name);

}  // namespace pellix
