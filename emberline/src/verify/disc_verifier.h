#pragma once
/// @file
/// Reading a finished recording back and comparing it with what was meant to
/// be written: the tracks' block sources, opened again, supply the expected
/// side, so nothing of the recording is kept in memory or on disk.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "drive/drive.h"
#include "transport/scsi_transport.h"
#include "write/block_source.h"

namespace emberline::verify {

/// The file a sector belongs to and where in it the sector's data starts.
struct SectorOwner {
  std::string file;          ///< its path on the disc, or the image file's path
  std::uint64_t offset = 0;  ///< byte offset of the sector's first user data byte in the file
  /// Bytes of the file per sector: 2048, or 2324 for a Form 2 file.
  std::uint32_t bytesPerSector = 2048;
  /// `file` says which structure of the file system lies there ("the directory /a"), not a file.
  bool structure = false;
};

/// Who owns block @p block of a track, counted from the track's first block;
/// nullopt where nothing known lies (gaps, areas left zero).
using OwnerLookup = std::function<std::optional<SectorOwner>(std::uint32_t block)>;

/// One recorded track: where its first block lies and the source that made it.
/// A source of 2048-byte blocks is read back with READ(10); one of whole
/// 2352-byte sectors with READ CD, told the type the sectors were written as,
/// comparing each sector's subheader and user data as its form lays them out.
struct VerifyTrack {
  std::int32_t startLba = 0;
  std::unique_ptr<write::BlockSource> source;
  OwnerLookup owner;
  /// What lies in the blocks no file owns, for messages.
  std::string unowned = "the file system's structures";
};

struct VerifyContext {
  ScsiTransport& transport;
  std::function<bool()> cancelled;
  /// Bytes to compare in all, bytes compared so far.
  std::function<void(std::uint64_t total, std::uint64_t done)> progress;
};

/// A read that fails is tried this many times before the verify gives up.
inline constexpr int kReadAttempts = 4;

/// Compares every block of @p tracks with the disc; returns the sectors
/// compared. A difference fails with ErrorKind::Mismatch naming the first
/// differing sector, its file and the byte offset in it; a block that cannot
/// be read after kReadAttempts fails with the drive's sense, named the same way.
Result<std::uint64_t> verifyTracks(VerifyContext& context, std::vector<VerifyTrack>& tracks);

}  // namespace emberline::verify
