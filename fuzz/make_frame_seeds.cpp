// Writes the seeds of the packet and payload targets: the frames the programmer sends, made
// by the link's own frame builder, each laid out as its target reads its input.
//   make_frame_seeds <seeds dir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/LinkPacket.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Frame(uint8_t code, const Bytes& payload, qzlink::FrameRules rules) {
  return *qzlink::BuildPacket(code, payload, static_cast<uint32_t>(payload.size()) + 4, rules);
}

void Write(const std::filesystem::path& dir, const std::string& name, const Bytes& bytes) {
  std::filesystem::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<std::streamsize>(bytes.size()));
}

// link_packet_fuzz: the rules byte, the head and the body each behind a succeeding control
// byte, then the same frame's code and payload to build.
Bytes ReceiverInput(const Bytes& frame, bool console) {
  Bytes input = {static_cast<uint8_t>(console ? 1 : 0), 1};
  input.insert(input.end(), frame.begin(), frame.begin() + 5);
  input.push_back(1);
  input.insert(input.end(), frame.begin() + 5, frame.end());
  const size_t payload = frame.size() - 9;
  input.insert(input.end(), {frame[0], static_cast<uint8_t>(payload), static_cast<uint8_t>(payload >> 8)});
  input.insert(input.end(), frame.begin() + 5, frame.end() - 4);
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_frame_seeds <seeds dir>\n");
    return 2;
  }
  const std::filesystem::path seeds = argv[1];
  Bytes lcd = Text("  GANG PROGRAMMER   1.DEVICE  2.LOAD   3.PROGRAM 4.VERIFY  5.AUTO    6.SETUP   ");
  lcd.push_back(0x15);
  Bytes menu = Text("MAIN MENU");
  menu.resize(20, 0);
  menu.push_back(3);
  for (const char* item : {"DEVICE", "LOAD FROM PC", "PROGRAM"}) {
    Bytes text = Text(item);
    text.resize(20, 0);
    menu.insert(menu.end(), text.begin(), text.end());
  }
  const Bytes jobResult = {1, 1};
  const Bytes readAll = {0x00, 0x00, 0x01, 0x00, 0x10, 0x00};  // 64 KiB in blocks of 4 KiB
  const Bytes segment = {0x00, 0x01, 0x00, 0x20, 0x00};        // 32 bytes at 0x100
  Bytes data = Text("+");
  for (int i = 0; i < 32; ++i) data.push_back(static_cast<uint8_t>(i));

  const auto console = qzlink::kConsoleFrames;
  Write(seeds / "link_packet_fuzz", "lcd", ReceiverInput(Frame(0xA0, lcd, console), true));
  Write(seeds / "link_packet_fuzz", "menu", ReceiverInput(Frame(0xA4, menu, console), true));
  Write(seeds / "link_packet_fuzz", "read-all", ReceiverInput(Frame(0xA2, readAll, console), true));
  Write(seeds / "link_packet_fuzz", "data", ReceiverInput(Frame(qzlink::kReadyCode, data, console), true));

  Write(seeds / "console_commands_fuzz", "lcd", lcd);
  Write(seeds / "console_commands_fuzz", "menu", menu);
  Write(seeds / "console_commands_fuzz", "job-result", jobResult);
  Write(seeds / "console_commands_fuzz", "read-all", readAll);
  Write(seeds / "console_commands_fuzz", "segment", segment);
  Bytes dataInput = {32, 0};
  const Bytes dataFrame = Frame(qzlink::kReadyCode, data, console);
  dataInput.insert(dataInput.end(), dataFrame.begin(), dataFrame.end());
  Write(seeds / "console_commands_fuzz", "data", dataInput);

  // The update tool's replies: identity, wait request, block results.
  const auto update = qzlink::kUpdateFrames;
  Bytes identity = Text("OK");
  for (const char* field : {"QZ-FORMAT-01", "GANG-8 MODEL 2.1"}) {
    const Bytes text = Text(field);
    identity.insert(identity.end(), text.begin(), text.end());
  }
  const struct {
    const char* name;
    Bytes frame;
  } replies[] = {
      {"identity", Frame(0xE0, identity, update)},
      {"wait", Frame(0xE0, Text("9005"), update)},
      {"block-more", Frame(0xE0, Text("+00"), update)},
      {"block-last", Frame(0xE0, Text("-01"), update)},
      {"block-error", Frame(0xE0, Text("?00"), update)},
  };
  for (const auto& reply : replies) {
    Bytes input = {1};
    input.insert(input.end(), reply.frame.begin(), reply.frame.end());
    Write(seeds / "update_replies_fuzz", reply.name, input);
  }
  Write(seeds / "link_packet_fuzz", "identity", ReceiverInput(replies[0].frame, false));
  Write(seeds / "link_packet_fuzz", "wait", ReceiverInput(replies[1].frame, false));
  return 0;
}
