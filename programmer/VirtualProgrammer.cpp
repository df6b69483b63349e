#include "programmer/VirtualProgrammer.h"

namespace programmer {

uint8_t VirtualProgrammer::Read(portio::LptRegister reg) {
  switch (reg) {
    case portio::LptRegister::Data: return data_;
    case portio::LptRegister::Control: return control_;
    case portio::LptRegister::Status: break;
  }
  // Silent: a status no handshake waits for.
  return 0x07;
}

void VirtualProgrammer::Write(portio::LptRegister reg, uint8_t value) {
  if (reg == portio::LptRegister::Data) data_ = value;
  if (reg == portio::LptRegister::Control) control_ = value;
}

}  // namespace programmer
