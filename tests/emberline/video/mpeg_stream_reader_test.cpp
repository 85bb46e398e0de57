// The reader on small hand-made streams: the places where a header can be
// split, padded or broken that encoders rarely produce but files do contain.

#include "video/mpeg_stream_reader.h"

#include <gtest/gtest.h>

#include "video_fixtures.h"

namespace emberline::video {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An MPEG-1 pack header with a mux rate of 3528 units.
Bytes pack() {
  return {0, 0, 1, 0xBA, 0x21, 0, 1, 0, 1, 0x80, 0x1B, 0x91};
}

// A PES packet with the MPEG-1 "no timestamps" header byte.
Bytes pes(std::uint8_t id, const Bytes& payload) {
  const std::size_t length = payload.size() + 1;
  Bytes p{0, 0, 1, id, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length), 0x0F};
  p.insert(p.end(), payload.begin(), payload.end());
  return p;
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// 352x288, 25 frame/s, 1150000 bit/s.
const Bytes kSequenceBody{0x16, 0x01, 0x20, 0x13, 0x02, 0xCE, 0xE0, 0xA0};

struct ReadOut {
  std::vector<MpegPack> packs;  // bytes spans are not kept
  std::vector<std::size_t> sizes;
  std::optional<AudioFrameHeader> audio;
  std::vector<MpegAudioStream> streams;
  std::uint64_t trailing = 0;
  std::string error;
};

ReadOut readAll(const Bytes& stream, std::size_t unitSize = 0) {
  ReadOut out;
  auto reader = MpegStreamReader::ofBytes(stream, "stream.mpg", unitSize);
  MpegPack p;
  for (;;) {
    auto more = reader.next(p);
    if (!more) {
      out.error = more.error().message;
      break;
    }
    if (!*more) break;
    out.sizes.push_back(p.bytes.size());
    p.bytes = {};
    out.packs.push_back(p);
  }
  out.audio = reader.audioHeader();
  out.streams = reader.audioStreams();
  out.trailing = reader.trailingBytes();
  return out;
}

// A 5-byte timestamp with its prefix and marker bits.
Bytes timestamp(std::uint8_t prefix, std::uint64_t t) {
  return {static_cast<std::uint8_t>(prefix << 4 | ((t >> 29) & 0x0E) | 1), static_cast<std::uint8_t>(t >> 22),
          static_cast<std::uint8_t>(((t >> 14) & 0xFE) | 1), static_cast<std::uint8_t>(t >> 7),
          static_cast<std::uint8_t>(((t << 1) & 0xFE) | 1)};
}

// A PES packet whose MPEG-1 header carries a presentation time.
Bytes timedPes(std::uint8_t id, std::uint64_t pts, const Bytes& payload) {
  const Bytes head = timestamp(2, pts);
  const std::size_t length = payload.size() + head.size();
  return Bytes{0, 0, 1, id, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)} + head + payload;
}

TEST(MpegStreamReader, FindsHeadersSplitAcrossPacks) {
  // The sequence header's start code begins at the end of pack 0 and ends
  // in pack 1; a picture header follows it whole. The audio frame header is
  // split over three packets.
  const Bytes stream = pack() + pes(0xE0, {0x55, 0x00, 0x00}) + pes(0xC0, {0x12, 0xFF}) + pack() +
                       pes(0xE0, Bytes{0x01, 0xB3} + kSequenceBody + Bytes{0, 0, 1, 0x00, 0x00, 0x08}) +
                       pes(0xC0, {0xFD}) + pes(0xC0, {0xB0, 0x00});
  const ReadOut r = readAll(stream);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.packs.size(), 2u);
  EXPECT_TRUE(r.packs[0].hasVideo);
  EXPECT_TRUE(r.packs[0].hasAudio);
  ASSERT_EQ(r.packs[1].videoEvents.size(), 2u);
  const MpegVideoEvent& seq = r.packs[1].videoEvents[0];
  EXPECT_EQ(seq.kind, MpegVideoEvent::Kind::SequenceHeader);
  EXPECT_EQ(seq.packIndex, 0u);  // where the start code began
  EXPECT_EQ(seq.sequence.width, 352);
  EXPECT_EQ(seq.sequence.height, 288);
  EXPECT_EQ(seq.sequence.frameRateCode, 3);
  EXPECT_EQ(seq.sequence.bitRate * 400, 1150000u);
  EXPECT_EQ(r.packs[1].videoEvents[1].kind, MpegVideoEvent::Kind::Picture);
  EXPECT_EQ(r.packs[1].videoEvents[1].pictureType, 1);
  EXPECT_EQ(r.packs[1].videoEvents[1].packIndex, 1u);
  ASSERT_TRUE(r.audio.has_value());
  EXPECT_EQ(r.audio->layer, 2);
  EXPECT_EQ(r.audio->bitRate, 224000u);
  EXPECT_EQ(r.audio->sampleRate, 44100u);
}

TEST(MpegStreamReader, ZeroPaddingEndCodeAndTrailingBytes) {
  // Zero bytes between packets belong to the pack; so does the end code.
  const Bytes padded = pack() + pes(0xBE, {0xFF, 0xFF}) + Bytes(5, 0) + pack() + Bytes(3, 0);
  const ReadOut a = readAll(padded);
  ASSERT_EQ(a.error, "");
  ASSERT_EQ(a.packs.size(), 2u);
  EXPECT_EQ(a.packs[1].offset, 12u + 9 + 5);

  const Bytes ended = pack() + pes(0xE0, {1, 2, 3}) + Bytes{0, 0, 1, 0xB9} + Bytes{'j', 'u', 'n', 'k'};
  const ReadOut b = readAll(ended);
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.packs.size(), 1u);
  EXPECT_TRUE(b.packs[0].endsProgram);
  EXPECT_EQ(b.trailing, 4u);

  // Several programs one after the other are read through.
  const ReadOut c = readAll(ended.size() > 4 ? Bytes(ended.begin(), ended.end() - 4) + pack() : Bytes{});
  ASSERT_EQ(c.error, "");
  EXPECT_EQ(c.packs.size(), 2u);
}

TEST(MpegStreamReader, ZerosPastTheUnitSizeAreEmptyUnits) {
  // Encoders for discs write whole zero sectors between packs.
  const Bytes stream = pack() + pes(0xBE, Bytes(11, 0xFF)) + Bytes(70, 0) + pack() + pes(0xE0, {1});
  const ReadOut unit = readAll(stream, 30);
  ASSERT_EQ(unit.error, "");
  EXPECT_EQ(unit.sizes, (std::vector<std::size_t>{30, 30, 30, 10, 20}));
  ASSERT_EQ(unit.packs.size(), 5u);
  EXPECT_FALSE(unit.packs[0].empty);
  EXPECT_TRUE(unit.packs[1].empty && unit.packs[2].empty && unit.packs[3].empty);
  EXPECT_EQ(unit.packs[4].offset, 100u);
  EXPECT_TRUE(unit.packs[4].hasVideo);

  // Without a unit size the zeros stay with their pack.
  EXPECT_EQ(readAll(stream).sizes, (std::vector<std::size_t>{100, 20}));
}

TEST(MpegStreamReader, DamageIsReportedWhereItIs) {
  EXPECT_EQ(readAll(pack() + pes(0xE0, {1, 2}) + Bytes{7, 7, 7, 7} + pack()).error,
            "no start code at byte 21: the stream is damaged");
  EXPECT_EQ(readAll(pack() + Bytes{0, 0, 1, 0xB3, 1, 2, 3, 4}).error,
            "an unexpected start code 0xB3 at byte 12: the stream is damaged");
  EXPECT_EQ(readAll(pack() + Bytes{0, 0, 1, 0xE0, 0, 0}).error,
            "a packet of unbounded length at byte 12: the stream is damaged");
  EXPECT_EQ(readAll(pack() + Bytes{0, 0, 1, 0xE0, 0, 3, 0x80, 0x80, 0x05}).error,
            "a malformed packet header at byte 12: the stream is damaged");
  // A packet that claims more bytes than the file holds.
  EXPECT_EQ(readAll(pack() + Bytes{0, 0, 1, 0xE0, 0x10, 0x00, 0x0F}).error, "the stream ends inside a pack at byte 19");
  EXPECT_EQ(readAll(Bytes{0, 0, 1, 0xBA, 0x21}).error, "the stream ends inside a pack at byte 5");
}

}  // namespace
}  // namespace emberline::video

namespace emberline::video {
namespace {

TEST(MpegStreamReader, BrokenMarkerBitsAreDamageAtTheirHeader) {
  Bytes clock = pack() + pes(0xE0, {1}) + pack();
  clock[20 + 8] &= 0xFE;  // the second pack's last clock marker
  EXPECT_EQ(readAll(clock).error, "broken marker bits in a pack's clock reference at byte 20: the stream is damaged");

  Bytes time = pack() + pes(0xE0, {1}) + timedPes(0xE0, 90000, {0, 0, 1, 0, 0, 8});
  const ReadOut whole = readAll(time);
  ASSERT_EQ(whole.error, "");
  ASSERT_EQ(whole.packs[0].timestamps.size(), 1u);
  EXPECT_EQ(whole.packs[0].timestamps[0].pts, 90000u);
  EXPECT_EQ(whole.packs[0].timestamps[0].offset, 20u);
  ASSERT_EQ(whole.packs[0].videoEvents.size(), 1u);
  EXPECT_EQ(whole.packs[0].videoEvents[0].pts, std::optional<std::uint64_t>(90000));
  for (const std::size_t marker : {0u, 2u, 4u}) {
    Bytes broken = time;
    broken[20 + 6 + marker] &= 0xFE;
    EXPECT_EQ(readAll(broken).error, "broken marker bits in a packet's timestamp at byte 20: the stream is damaged")
        << marker;
  }
  // A decoding time alone is a form the MPEG-2 header forbids.
  const Bytes dtsOnly = pack() + Bytes{0, 0, 1, 0xE0, 0, 8, 0x80, 0x40, 5} + timestamp(1, 0);
  EXPECT_EQ(readAll(dtsOnly).error, "broken marker bits in a packet's timestamp at byte 12: the stream is damaged");
}

TEST(MpegStreamReader, TellsAudioStreamsAndSystemHeadersApart) {
  // A system header that lists only audio (C0), then packets of two audio
  // streams and a private stream.
  const Bytes systemHeader{0, 0, 1, 0xBB, 0, 9, 0x80, 0x1B, 0x91, 0x04, 0xE1, 0xFF, 0xC0, 0xC0, 0x20};
  const Bytes frame{0xFF, 0xFD, 0xB0, 0x00};  // Layer II, 224 kbit/s, 44.1 kHz, stereo
  const Bytes stream = pack() + systemHeader + pack() + pes(0xC1, frame) + pack() + pes(0xC0, frame) + pes(0xC1, {0}) +
                       pack() + pes(0xBD, {0x80, 1, 0});
  const ReadOut r = readAll(stream);
  ASSERT_EQ(r.error, "");
  ASSERT_EQ(r.packs.size(), 4u);
  EXPECT_TRUE(r.packs[0].hasSystemHeader && r.packs[0].systemHeaderAudio);
  EXPECT_FALSE(r.packs[0].systemHeaderVideo);
  EXPECT_EQ(r.packs[1].audioStream, 0xC1);
  EXPECT_EQ(r.packs[2].audioStream, 0xC0) << "the pack's first audio packet";
  ASSERT_EQ(r.streams.size(), 2u);
  EXPECT_EQ(r.streams[0].streamId, 0xC1) << "streams in the order they first appear";
  EXPECT_EQ(r.streams[1].streamId, 0xC0);
  EXPECT_TRUE(r.streams[0].header && r.streams[1].header);
  EXPECT_EQ(r.packs[3].privateSubstream, std::optional<std::uint8_t>(0x80));
  EXPECT_FALSE(r.packs[3].hasAudio) << "a private stream is not MPEG audio";
}

}  // namespace
}  // namespace emberline::video
