#pragma once
// Which port and register an I/O address names. Only the three registers of a detected
// port with a nonzero base are anything; every other address is nobody's.
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/portio/PortDevice.h"

namespace portio {

struct PortRegister {
  int index;  // position in the list of bases, from 0
  LptRegister reg;
};

class LptAddressMap {
 public:
  explicit LptAddressMap(std::vector<uint32_t> bases) : bases_(std::move(bases)) {}

  int Count() const { return static_cast<int>(bases_.size()); }
  uint32_t Base(int number) const;  // from 1; 0 when out of range
  std::optional<PortRegister> Locate(uint32_t address) const;

 private:
  std::vector<uint32_t> bases_;
};

}  // namespace portio
