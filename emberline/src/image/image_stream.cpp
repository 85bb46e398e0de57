#include "image/image_stream.h"

#include <algorithm>
#include <cstring>

namespace emberline::image {

void ImageStream::seekToBegin() {
  position_ = 0;
  segment_ = 0;
  reader_.close();
}

Status ImageStream::read(std::span<std::uint8_t> out) {
  if (out.size() > size() - position_)
    return fail(ErrorKind::InvalidArgument, "read of " + std::to_string(out.size()) +
                                                " bytes past the end of the image (" +
                                                std::to_string(size() - position_) + " bytes left)");
  const auto& segments = contents_.segments();
  std::uint64_t at = position_;
  std::size_t done = 0;
  std::size_t index = segment_;
  while (done < out.size()) {
    if (index >= segments.size() || at < segments[index].offset) index = 0;
    while (at >= segments[index].offset + segments[index].length) ++index;
    const ImageSegment& segment = segments[index];
    const std::uint64_t inside = at - segment.offset;
    const std::size_t chunk =
        static_cast<std::size_t>(std::min<std::uint64_t>(out.size() - done, segment.length - inside));
    std::span<std::uint8_t> target = out.subspan(done, chunk);
    const std::uint64_t stored = segment.kind == ImageSegment::Kind::Zeros ? 0 : segment.stored;
    const std::size_t fromSource =
        inside >= stored ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(chunk, stored - inside));
    if (fromSource > 0) {
      if (segment.kind == ImageSegment::Kind::File) {
        EMBERLINE_TRY(reader_.read(contents_.sourceOf(segment), segment.stored, inside, target.first(fromSource)));
      } else if (segment.kind == ImageSegment::Kind::Generated) {
        EMBERLINE_TRY(contents_.fill(segment, inside, target.first(fromSource)));
      } else {
        std::memcpy(target.data(), contents_.bytesOf(segment).data() + inside, fromSource);
      }
    }
    std::fill(target.begin() + static_cast<std::ptrdiff_t>(fromSource), target.end(), std::uint8_t{0});
    done += chunk;
    at += chunk;
  }
  position_ = at;
  segment_ = index;
  return {};
}

}  // namespace emberline::image
