#pragma once
// Command handlers that only record which one ran and with what packet.
#include <string>
#include <vector>

#include "link/CommandHandlers.h"

namespace linktest {

using qzlink::LinkPacket;

struct HandlerCall {
  std::string name;
  LinkPacket packet;
};

class RecordingHandlers : public qzlink::CommandHandlers {
 public:
  void ReShowLCDCommand(LinkPacket p) override { Record("ReShowLCDCommand", std::move(p)); }
  void GetKeyCodeCommand() override { Record("GetKeyCodeCommand", {}); }
  void QZSendReadDataCommand(LinkPacket p) override { Record("QZSendReadDataCommand", std::move(p)); }
  void QZGetProgramDataCommand(LinkPacket p) override { Record("QZGetProgramDataCommand", std::move(p)); }
  void QZSendMenuDataCommand(LinkPacket p) override { Record("QZSendMenuDataCommand", std::move(p)); }
  void QZSendReadDataSegmentCommand(LinkPacket p) override { Record("QZSendReadDataSegmentCommand", std::move(p)); }
  void QZGetProgramDataSegmentCommand(LinkPacket p) override {
    Record("QZGetProgramDataSegmentCommand", std::move(p));
  }
  void QZSendStatusDataCommandA7(LinkPacket p) override { Record("QZSendStatusDataCommandA7", std::move(p)); }

  std::vector<HandlerCall> calls;

 private:
  void Record(std::string name, LinkPacket packet) { calls.push_back({std::move(name), std::move(packet)}); }
};

}  // namespace linktest
