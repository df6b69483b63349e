#pragma once
// The console's handlers of the programmer's commands, as the link dispatcher calls them. The
// console's main form implements this; the link itself knows nothing of what the commands do.
#include "link/LinkPacket.h"

namespace qzlink {

class CommandHandlers {
 public:
  virtual ~CommandHandlers() = default;
  // Each handler that takes a packet owns it from the call on.
  virtual void ReShowLCDCommand(LinkPacket packet) = 0;                // 0xA0
  virtual void GetKeyCodeCommand() = 0;                                // 0xA1
  virtual void QZSendReadDataCommand(LinkPacket packet) = 0;           // 0xA2
  virtual void QZGetProgramDataCommand(LinkPacket packet) = 0;         // 0xA3
  virtual void QZSendMenuDataCommand(LinkPacket packet) = 0;           // 0xA4
  virtual void QZSendReadDataSegmentCommand(LinkPacket packet) = 0;    // 0xA5
  virtual void QZGetProgramDataSegmentCommand(LinkPacket packet) = 0;  // 0xA6
  virtual void QZSendStatusDataCommandA7(LinkPacket packet) = 0;       // 0xA7
};

}  // namespace qzlink
