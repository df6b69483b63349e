#pragma once
// A device that offers one command and, when it is a transfer, runs the device's side of it;
// every packet either way is kept.
#include <optional>
#include <vector>

#include "link/LinkPacket.h"
#include "programmer/DeviceLink.h"
#include "programmer/DeviceTransfer.h"

class TransferDevice : public programmer::WireListener {
 public:
  TransferDevice(programmer::DeviceLink& wire, programmer::DeviceTransfer transfer) : wire_(wire), transfer(transfer) {
    wire_.SetListener(this);
    wire_.QueueCommand(transfer.code(), transfer.CommandPayload());
  }
  // A command as it stands, maybe one no transfer would send; nothing answers the PC after it.
  TransferDevice(programmer::DeviceLink& wire, uint8_t code, const std::vector<uint8_t>& payload) : wire_(wire) {
    wire_.SetListener(this);
    wire_.QueueCommand(code, payload);
  }
  ~TransferDevice() override { wire_.SetListener(nullptr); }

  void OnSent(const qzlink::LinkPacket& packet) override {
    sent.push_back(packet);
    if (transfer && transfer->state() == programmer::DeviceTransfer::State::Offered) transfer->OnCommandSent();
  }
  void OnPacket(const qzlink::LinkPacket& packet) override {
    if (packet[0] == qzlink::kRequestCode) return;
    received.push_back(packet);
    if (transfer) transfer->OnPacket(packet, wire_);
  }

  programmer::DeviceLink& wire_;
  std::optional<programmer::DeviceTransfer> transfer;
  std::vector<qzlink::LinkPacket> sent;      // the command first
  std::vector<qzlink::LinkPacket> received;  // the PC's packets after its request
};
