#pragma once
/// @file
/// What is recorded on a medium, as plain values: tracks grouped into
/// sessions, the open session, and where the next block may go. The TOC,
/// disc information and track information are all derived from this.

#include <cstdint>
#include <optional>
#include <vector>

#include "virtual/media_kind.h"

namespace emberline::virt {

enum class SectorLayout : std::uint8_t { Mode1, Mode2, Audio };

struct Track {
  int number = 1;
  int session = 1;
  std::int32_t start = 0;
  std::int32_t recorded = 0;  ///< blocks written from start
  std::int32_t reserved = 0;  ///< RESERVE TRACK size; 0 = grows into the free space
  std::int32_t pregap = 0;    ///< blocks of index 0 before start (recorded within the track before)
  bool closed = false;
  SectorLayout layout = SectorLayout::Mode1;

  std::int32_t end() const { return start + recorded; }
  /// Blocks the track occupies on the disc (its reservation when it has one).
  std::int32_t extent() const { return reserved > 0 ? reserved : recorded; }
};

enum class DiscStatus : std::uint8_t { Blank = 0, Appendable = 1, Complete = 2 };

/// The layout of one medium.
class DiscLayout {
 public:
  explicit DiscLayout(MediaKind kind);

  MediaKind kind() const { return kind_; }
  const MediaTraits& traits() const { return traits_; }
  const std::vector<Track>& tracks() const { return tracks_; }
  DiscStatus status() const;
  int closedSessions() const { return closedSessions_; }
  bool finalized() const { return finalized_; }
  std::int32_t capacity() const { return capacity_; }
  /// A smaller disc than the kind's own (tests); on two layers each layer takes half.
  void setCapacity(std::int32_t blocks);

  /// Two-layer media: blocks of layer 0, where layer 1 begins; 0 on one layer.
  std::int32_t layer0Capacity() const { return layer0_; }
  /// The most layer 0 can hold: the physical layer.
  std::int32_t layer0Maximum() const { return layer0Maximum_; }
  /// Once anything is recorded or reserved the layer boundary stays where it is.
  bool layerBoundaryFixed() const { return !tracks_.empty(); }
  /// Moves the boundary to @p blocks; layer 1 runs back to the inner radius
  /// from where layer 0 ends, so it holds as much as layer 0 at most. False
  /// when the boundary is fixed or @p blocks is no place for it: past the
  /// most layer 0 holds, or not on an ECC block boundary.
  bool setLayerBoundary(std::int32_t blocks);
  /// The host set the boundary (otherwise layer 0 ends where the medium's own boundary is).
  bool layerBoundarySet() const { return layerBoundarySet_; }

  /// Overwritable media that must be formatted before the first write (DVD+RW).
  bool formatted() const { return formatted_ || !traits_.randomWritable; }
  /// Formats the whole medium: whatever was recorded is gone.
  void format();

  /// The session that can still take data (0 when the disc is complete).
  int openSession() const { return finalized_ ? 0 : closedSessions_ + 1; }
  /// Where the first block of a session goes (for the open session: where it will go).
  std::int32_t sessionStart(int session) const;
  /// The lead-out start of a closed session.
  std::int32_t leadOutOf(int session) const;
  /// Number of the invisible (not yet started) track, start and free blocks; nullopt on a complete disc.
  struct Invisible {
    int number;
    std::int32_t start;
    std::int32_t free;
  };
  std::optional<Invisible> invisibleTrack() const;

  /// The track still being written, if any (first unclosed track of the open session).
  const Track* writingTrack() const;
  /// The next writable address, nullopt when nothing more can be written.
  std::optional<std::int32_t> nextWritable() const;
  /// Blocks still free from the next writable address on.
  std::int32_t freeBlocks() const;
  /// The track holding a block that has been recorded.
  const Track* trackAt(std::int32_t lba) const;
  const Track* track(int number) const;
  /// The last recorded block, -1 on a blank disc.
  std::int32_t lastRecorded() const;

  /// Accounts for `count` blocks written at `lba`, which must equal nextWritable()
  /// (or lie within the recorded area on random-writable media). False when it does not.
  bool record(std::int32_t lba, std::int32_t count, SectorLayout layout);
  bool reserve(std::int32_t blocks);
  /// Notes the pregap (index 0) of the track being written, as a cue sheet gave it.
  void setPregap(std::int32_t blocks);
  /// Closes the track being written. False when none is open.
  bool closeTrack();
  /// Closes the open session; `leaveAppendable` false finalizes the disc. False when the session is empty.
  bool closeSession(bool leaveAppendable);
  /// Adds a closed, fully recorded session (pre-recorded content).
  void addClosedSession(std::int32_t blocks, SectorLayout layout);
  void finalize() { finalized_ = true; }
  void erase();

 private:
  Track* openTrack();

  MediaKind kind_;
  MediaTraits traits_;
  std::int32_t capacity_;
  std::int32_t layer0_ = 0;
  std::int32_t layer0Maximum_ = 0;
  bool layerBoundarySet_ = false;
  bool formatted_ = false;
  std::vector<Track> tracks_;
  int closedSessions_ = 0;
  bool finalized_ = false;
};

/// CD: the first session's lead-out and the next lead-in and pregap take 11400 blocks, later ones 6900.
constexpr std::int32_t kCdFirstSessionGap = 11400;
constexpr std::int32_t kCdLaterSessionGap = 6900;
/// DVD sessions start on the next 16-block ECC block after a border zone.
constexpr std::int32_t kDvdEccBlock = 16;

}  // namespace emberline::virt
