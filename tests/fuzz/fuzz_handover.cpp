// Arbitrary bytes as a hand-over from another process: never a crash, and whatever is taken
// is exactly the well-formed message that reads back the same.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "startup/Startup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto handOver = zv::DecodeHandOver(bytes)) {
    if (handOver->iniPath.empty() || handOver->paths.empty()) __builtin_trap();
    if (zv::EncodeHandOver(*handOver) != bytes) __builtin_trap();
  }
  return 0;
}
