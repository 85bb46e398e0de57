#pragma once
/// @file
/// The configuration of the virtual writers: one spec string, writers
/// separated by ";", each "media[,key=value]...".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "virtual/media_kind.h"

namespace emberline::virt {

/// A fault the drive injects on purpose.
struct FaultSpec {
  /// Corrupt and CorruptSubheader record the block with changed bytes (user
  /// data, or a Mode 2 subheader) and report success; Unreadable lets the
  /// block be written but fails every read of it with a medium error.
  enum class Kind : std::uint8_t { NotReady, WriteError, Removed, Corrupt, CorruptSubheader, Unreadable };
  Kind kind = Kind::NotReady;
  std::int32_t lba = 0;  ///< every kind but NotReady: the block that triggers it

  bool stopsWriting() const { return kind == Kind::WriteError || kind == Kind::Removed; }
};

/// Everything one virtual writer is made of.
struct WriterConfig {
  MediaKind media = MediaKind::CdR;
  DriveKind drive = DriveKind::Cd;
  std::vector<std::uint32_t> writeSpeeds;  ///< KB/s, ascending, never empty after parsing
  std::uint32_t readSpeed = 0;             ///< KB/s
  std::optional<std::uint32_t> fixedSpeed;
  bool realtime = false;
  std::uint32_t latencyMs = 0;  ///< every command takes this long to answer (a slow drive)
  bool bufferUnderrunProtection = true;
  bool testWrite = true;  ///< the drive offers simulated writes on media that allow them
  std::uint32_t bufferKb = 2048;
  int sessions = 0;           ///< pre-recorded closed sessions
  bool appendable = false;    ///< pre-recorded disc left open for another session
  std::int32_t capacity = 0;  ///< blocks of a blank disc; 0 = the medium's own (a small disc for tests)
  std::string label = "VIRTUAL_DISC";
  std::string image;  ///< pre-recorded content from this ISO file
  /// When set, every command the drive receives is appended to this file as
  /// one line: the command block in hex, then "good" or the sense as KK/AA/QQ.
  std::string trace;
  std::string vendor = "ONDRELLE";
  std::string product;
  std::string revision = "1.00";
  std::vector<FaultSpec> faults;

  bool hasFault(FaultSpec::Kind kind) const;
  bool hasFaultAt(FaultSpec::Kind kind, std::int32_t lba) const;
};

constexpr std::size_t kMaxVirtualWriters = 6;

/// Parses the spec. Empty = "cd-r;dvd+r", "none" = no writers.
Result<std::vector<WriterConfig>> parseWriterConfigs(std::string_view spec);

/// The image folder: `dirOverride` when set and non-empty, else
/// $HOME/.local/share/ondrelle/virtual-writer (relative to "." without HOME).
std::filesystem::path virtualDirectory(const char* dirOverride, const char* home);

}  // namespace emberline::virt
