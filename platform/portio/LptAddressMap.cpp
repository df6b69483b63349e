#include "platform/portio/LptAddressMap.h"

namespace portio {

uint32_t LptAddressMap::Base(int number) const {
  if (number < 1 || number > Count()) return 0;
  return bases_[static_cast<size_t>(number - 1)];
}

std::optional<PortRegister> LptAddressMap::Locate(uint32_t address) const {
  for (size_t i = 0; i < bases_.size(); ++i) {
    uint32_t base = bases_[i];
    if (base == 0 || address < base || address - base > 2) continue;
    return PortRegister{static_cast<int>(i), static_cast<LptRegister>(address - base)};
  }
  return std::nullopt;
}

}  // namespace portio
