// The virtual writers' configuration, as ONDRELLE_VIRTUAL_WRITERS gives it.
// A spec that parses describes writers the library can start.

#include <cstdint>
#include <string_view>

#include "fuzz_files.h"
#include "virtual/virtual_writer_config.h"

using namespace emberline::virt;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view spec(reinterpret_cast<const char*>(data), size);
  auto writers = parseWriterConfigs(spec);
  if (!writers) return 0;
  if (writers->size() > kMaxVirtualWriters) fuzz::broken("more writers than the library offers");
  for (const WriterConfig& writer : *writers) {
    if (writer.writeSpeeds.empty()) fuzz::broken("a writer without write speeds");
    for (std::size_t i = 1; i < writer.writeSpeeds.size(); ++i)
      if (writer.writeSpeeds[i] < writer.writeSpeeds[i - 1]) fuzz::broken("write speeds out of order");
  }
  return 0;
}
