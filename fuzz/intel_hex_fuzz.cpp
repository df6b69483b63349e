// The Intel Hex detector and reader on any text, with a buffer size taken from the input.
#include "buffer/formats/IntelHex.h"
#include "fuzz/FuzzSupport.h"

namespace {

// Answers the start-address question with a base from the input, as a user could type.
class InputChooser : public formats::SegmentBaseChooser {
 public:
  explicit InputChooser(uint32_t base) : base_(base) {}
  uint32_t ChooseSegmentBase(uint32_t) override { return base_; }

 private:
  uint32_t base_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const int32_t bufSize = data[0] | data[1] << 8;
  InputChooser chooser(data[2] % 3 == 0 ? 0 : static_cast<uint32_t>(data[3]) << 16);
  auto file = fuzz::Image(data + 4, size - 4);
  formats::DetectIntelHex(2, file);
  auto result = formats::ParseIntelHex(nullptr, 0xFF, std::move(file), bufSize, chooser);
  if (result && result->image.size() < static_cast<size_t>(result->highest) + 1) std::abort();
  return 0;
}
