#pragma once
// One transaction of the console's link: after the poll said the programmer has a command,
// send the request, receive the command packet and run the console's handler for its code.
#include <cstdint>

#include "link/CommandHandlers.h"
#include "link/LinkPacket.h"

namespace qzlink {

// ABCProcessOne results.
inline constexpr int kTransactionDone = 0;
inline constexpr int kTransactionNoMemory = 1;
inline constexpr int kTransactionFailed = 7;
inline constexpr int kTransactionCrcMismatch = 8;

// Takes the request packet over and drops it once it is sent (or failed to send). A command
// packet is handed to its handler, except 0xA1 and codes without a handler, which are dropped
// here. A handler's own success or failure does not change the result.
int ABCProcessOne(LinkPacket request, uint32_t base, CommandHandlers& handlers);

}  // namespace qzlink
