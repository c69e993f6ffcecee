// The x87 tag word, which tells whether MMX code left the register file
// marked in use (it must execute EMMS before returning).
#pragma once

#include <cstdint>

namespace pellix::test {

// 0xFFFF when every x87 register is empty.
uint16_t X87TagWord();

// Touches an MMX register without EMMS, so tests can prove the probe sees it.
void LeaveMmxRegistersInUse();

// EMMS.
void EmptyMmxState();

}  // namespace pellix::test
