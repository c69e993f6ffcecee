#include "component/four_cc.h"

#include <cctype>

namespace pellix {

uint32_t FourCCOf(const char* name) {
  uint32_t code = 0;
  if (name == nullptr) return code;
  for (int i = 0; i < 4 && name[i] != '\0'; ++i) {
    const auto upper = static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(name[i])));
    code |= static_cast<uint32_t>(upper) << (8 * i);
  }
  return code;
}

}  // namespace pellix
