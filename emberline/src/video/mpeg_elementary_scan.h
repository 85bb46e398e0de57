#pragma once
/// @file
/// Scanners that follow the elementary streams inside PES payloads: the
/// video scanner finds sequence headers, extensions, groups of pictures and
/// pictures; the audio scanner finds the first audio frame header. Both
/// carry their state across payloads, so a header split between two packets
/// (or two packs) is still found. Pictures are never decoded.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "video/mpeg_syntax.h"

namespace emberline::video {

/// One header found in the video stream.
struct MpegVideoEvent {
  enum class Kind : std::uint8_t {
    SequenceHeader,
    SequenceExtension,
    PictureCodingExtension,
    GroupOfPictures,
    Picture
  };
  Kind kind = Kind::Picture;
  /// The pack that holds the first byte of the header's start code.
  std::uint64_t packIndex = 0;
  SequenceHeader sequence;               ///< SequenceHeader
  SequenceExtension sequenceExtension;   ///< SequenceExtension
  PictureCodingExtension pictureCoding;  ///< PictureCodingExtension
  GroupOfPictures group;                 ///< GroupOfPictures
  std::uint8_t pictureType = 0;          ///< Picture: 1 I, 2 P, 3 B
  std::uint16_t temporalReference = 0;   ///< Picture: display order within the group
  /// Picture: the presentation time of the packet it begins in, when that
  /// packet gives one (the reader fills it in).
  std::optional<std::uint64_t> pts;
};

class MpegVideoScanner {
 public:
  /// Scans one payload of the video stream, carried in pack @p packIndex,
  /// and appends the headers that end in it to @p events.
  void feed(std::span<const std::uint8_t> payload, std::uint64_t packIndex, std::vector<MpegVideoEvent>& events);

 private:
  void begin(std::uint8_t code, std::uint64_t packIndex);
  void finish(std::vector<MpegVideoEvent>& events);

  std::array<std::uint8_t, 2> tail_{0xFF, 0xFF};  ///< the last two bytes scanned
  std::uint64_t tailPack_ = 0;
  bool codeNext_ = false;  ///< a start code prefix ended the last payload
  std::uint64_t codePack_ = 0;
  std::uint8_t code_ = 0;
  std::size_t need_ = 0;  ///< header bytes still to collect
  std::size_t have_ = 0;
  std::array<std::uint8_t, kSequenceHeaderBytes> bytes_{};
};

class MpegAudioScanner {
 public:
  /// Looks for the first valid frame header; once found, further payloads are ignored.
  void feed(std::span<const std::uint8_t> payload);
  const std::optional<AudioFrameHeader>& header() const { return header_; }

 private:
  std::array<std::uint8_t, 3> tail_{};
  std::size_t tailSize_ = 0;
  std::optional<AudioFrameHeader> header_;
};

}  // namespace emberline::video
