#include "engine/session_record.h"

#include <cstring>

namespace ondrelle {

namespace {
void Put32(std::uint8_t* at, std::uint32_t value) {
  std::memcpy(at, &value, sizeof value);
}
}  // namespace

TsbSessionRecord TsbSessionRecord::ForTree(EmberlineHandle tree) {
  TsbSessionRecord record;
  Put32(record.Bytes.data(), 1);
  // The library's handles are 32-bit tokens, so the field holds them whole.
  Put32(record.Bytes.data() + 4 + kTreeOffset, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(tree)));
  return record;
}

std::optional<TsbSessionRecord> TsbSessionRecord::ForFiles(const QStringList& files, QString& error) {
  if (static_cast<std::size_t>(files.size()) > kMaxTracks) {
    error = QStringLiteral("Session-At-Once takes at most %1 source files; %2 were given")
                .arg(kMaxTracks)
                .arg(files.size());
    return std::nullopt;
  }
  TsbSessionRecord record;
  Put32(record.Bytes.data(), static_cast<std::uint32_t>(files.size()));
  for (qsizetype k = 0; k < files.size(); ++k) {
    const QByteArray name = files.at(k).toLocal8Bit();
    if (static_cast<std::size_t>(name.size()) >= kNameCapacity) {
      error = QStringLiteral("The file name \"%1\" is too long for Session-At-Once (at most %2 bytes)")
                  .arg(files.at(k))
                  .arg(kNameCapacity - 1);
      return std::nullopt;
    }
    std::memcpy(record.Bytes.data() + 4 + kEntrySize * static_cast<std::size_t>(k) + kNameOffset, name.constData(),
                static_cast<std::size_t>(name.size()));
  }
  return record;
}

}  // namespace ondrelle
