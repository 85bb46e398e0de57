// The MPEG source of a Video CD or Super Video CD: the stream reader as the
// authoring walks it, and the check a source passes before a burn, for both
// disc kinds. Whatever the bytes, they end in facts or a refusal.

#include <cstdint>
#include <span>

#include "fuzz_files.h"
#include "video/mpeg_stream_check.h"
#include "video/mpeg_stream_reader.h"

using namespace emberline::video;

namespace {

// Packs come in file order, inside the file, and never overlap.
void readThrough(const std::string& path, std::size_t size, std::size_t unitSize) {
  auto reader = MpegStreamReader::open(path, unitSize);
  if (!reader) return;
  MpegPack pack;
  std::uint64_t nextOffset = 0;
  for (;;) {
    auto more = reader->next(pack);
    if (!more || !*more) break;
    if (pack.offset < nextOffset) fuzz::broken("a pack starts inside the one before");
    if (pack.offset + pack.bytes.size() > size) fuzz::broken("a pack reaches past the end of the file");
    if (pack.bytes.size() > MpegStreamReader::kMaxPackSize) fuzz::broken("a pack larger than the reader holds");
    nextOffset = pack.offset + pack.bytes.size();
  }
  if (reader->trailingBytes() > size) fuzz::broken("more trailing bytes than the file has");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::MemoryFile file;
  const std::string& path = file.hold({data, size});
  readThrough(path, size, 0);
  readThrough(path, size, kSectorPackSize);
  for (VideoDiscKind kind : {VideoDiscKind::VideoCd, VideoDiscKind::SuperVideoCd}) {
    auto facts = checkMpegStream(path, kind);
    if (!facts) continue;
    if (facts->fileSize != size) fuzz::broken("the facts give another file size");
    if (facts->packCount == 0) fuzz::broken("a stream without packs passed");
    if (facts->largestPack > kSectorPackSize) fuzz::broken("a pack larger than a sector passed");
  }
  return 0;
}
