#include "platform/portio/FloatingPort.h"

namespace portio {

uint8_t FloatingPort::Read(LptRegister reg) {
  switch (reg) {
    case LptRegister::Data: return data_;
    case LptRegister::Control: return control_;
    case LptRegister::Status: break;
  }
  return kFloatingStatus;
}

void FloatingPort::Write(LptRegister reg, uint8_t value) {
  if (reg == LptRegister::Data) data_ = value;
  if (reg == LptRegister::Control) control_ = value;
}

}  // namespace portio
