#pragma once
// What the port driver operations run on: a set of parallel ports, numbered from 1, whose
// registers are reached by I/O address. The real ports and the virtual one are backends.
#include <cstdint>

namespace portio {

class PortBackend {
 public:
  virtual ~PortBackend() = default;
  // The driver's open and close: take the ports up again after Close / let go of every
  // port and device the backend holds.
  virtual void Open() {}
  virtual void Close() {}
  virtual bool IsActive() const = 0;
  virtual int LptCount() const = 0;
  // Base address of port `number` (from 1); 0 when there is no such port.
  virtual uint32_t LptBase(int number) const = 0;
  // Addresses that belong to no port read 0xFF and ignore writes.
  virtual uint8_t Read(uint32_t address) = 0;
  virtual void Write(uint32_t address, uint8_t value) = 0;
};

}  // namespace portio
