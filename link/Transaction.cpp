#include "link/Transaction.h"

#include <array>

#include "link/LinkLog.h"

namespace qzlink {

namespace {

using PacketHandler = void (CommandHandlers::*)(LinkPacket);

constexpr PacketCode kFirstCommand = 0xA0;
constexpr PacketCode kKeyRequest = 0xA1;

// Handlers of the commands 0xA0..0xA7 that take the packet; 0xA1 takes none.
constexpr std::array<PacketHandler, 8> kPacketHandlers = {
    &CommandHandlers::ReShowLCDCommand,
    nullptr,
    &CommandHandlers::QZSendReadDataCommand,
    &CommandHandlers::QZGetProgramDataCommand,
    &CommandHandlers::QZSendMenuDataCommand,
    &CommandHandlers::QZSendReadDataSegmentCommand,
    &CommandHandlers::QZGetProgramDataSegmentCommand,
    &CommandHandlers::QZSendStatusDataCommandA7,
};

void Dispatch(LinkPacket packet, CommandHandlers& handlers) {
  const PacketCode code = packet[0];
  if (code == kKeyRequest) {
    handlers.GetKeyCodeCommand();
    return;
  }
  const unsigned index = static_cast<unsigned>(code - kFirstCommand);
  if (code < kFirstCommand || index >= kPacketHandlers.size()) return;
  (handlers.*kPacketHandlers[index])(std::move(packet));
}

}  // namespace

int ABCProcessOne(LinkPacket request, uint32_t base, CommandHandlers& handlers) {
  const int sent = SendPacket(request, base);
  LinkPacket().swap(request);
  if (sent != 1) {
    LogLinkError("ABCProcessOne() : A Procedure Fail!");
    return kTransactionFailed;
  }

  LinkPacket command;
  const int received = PcGetQz710Data(base, command);
  if (received != kReceived) {
    LogLinkError("ABCProcessOne() : B Procedure Fail!");
    if (received == kReceiveNoMemory) {
      LogLinkError("ABCProcessOne() : Memory not enough!");
      return kTransactionNoMemory;
    }
    if (received == kReceiveCrcMismatch) {
      LogLinkError("ABCProcessOne() : Check sum error.");
      return kTransactionCrcMismatch;
    }
    return kTransactionFailed;
  }
  Dispatch(std::move(command), handlers);
  return kTransactionDone;
}

}  // namespace qzlink
