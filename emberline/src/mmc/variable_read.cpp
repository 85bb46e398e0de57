#include "mmc/variable_read.h"

#include <algorithm>
#include <string>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
std::size_t announcedTotal(std::span<const std::uint8_t> data, LengthField field) {
  const std::size_t length = field.width == 4 ? be::get32(data, field.offset) : be::get16(data, field.offset);
  return length + field.uncounted();
}
}  // namespace

Result<std::vector<std::uint8_t>> readVariableLength(ScsiTransport& transport, const CommandBuilder& build,
                                                     LengthField field, std::size_t firstAllocation, std::size_t cap,
                                                     std::string_view name) {
  std::vector<std::uint8_t> buffer(std::clamp(firstAllocation, field.uncounted(), cap));
  for (int attempt = 0; attempt < 2; ++attempt) {
    auto transferred = runCommand(transport, build(buffer), name);
    if (!transferred.ok()) return fail(std::move(transferred).error());
    if (*transferred < field.uncounted())
      return fail(ErrorKind::Transport,
                  std::string(name) + " failed: response too short (" + std::to_string(*transferred) + " bytes)");
    const std::size_t wanted = std::min(announcedTotal(buffer, field), cap);
    if (wanted <= buffer.size() || attempt == 1) {
      buffer.resize(std::min({wanted, *transferred, buffer.size()}));
      return buffer;
    }
    buffer.assign(wanted, 0);
  }
  return buffer;  // not reached: the second attempt always returns
}

}  // namespace emberline::mmc
