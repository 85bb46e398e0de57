#include "virtual/virtual_writer_config.h"

#include <algorithm>
#include <charconv>

namespace emberline::virt {

namespace {

constexpr std::uint32_t kMaxLatencyMs = 5000;

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  while (true) {
    std::size_t at = text.find(separator, from);
    parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) break;
    from = at + 1;
  }
  return parts;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

Unexpected bad(std::string_view writer, std::string_view piece, std::string_view why) {
  return fail(ErrorKind::InvalidArgument, "virtual writer configuration \"" + std::string(writer) + "\": \"" +
                                              std::string(piece) + "\" " + std::string(why));
}

std::optional<std::uint32_t> number(std::string_view s) {
  std::uint32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc{} || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return v;
}

/// The faults tied to one block, by the name a spec gives them.
std::optional<FaultSpec::Kind> blockFault(std::string_view name) {
  using Kind = FaultSpec::Kind;
  if (name == "write-error") return Kind::WriteError;
  if (name == "removed") return Kind::Removed;
  if (name == "corrupt") return Kind::Corrupt;
  if (name == "corrupt-subheader") return Kind::CorruptSubheader;
  if (name == "unreadable") return Kind::Unreadable;
  return std::nullopt;
}

std::optional<bool> flag(std::string_view s) {
  if (s == "1") return true;
  if (s == "0") return false;
  return std::nullopt;
}

// 1x CD = 176.4 KB/s, 1x DVD = 1385 KB/s; tables as common drives report them.
std::vector<std::uint32_t> defaultSpeeds(DriveKind drive, MediaKind media) {
  if (drive == DriveKind::Cd || traitsOf(media).cd) return {706, 1411, 2822, 4234, 5645, 7056, 8467};
  return {3324, 5540, 11080, 22160};
}

Status applyKey(WriterConfig& c, std::string_view writer, std::string_view key, std::string_view value,
                std::string_view piece, bool& driveGiven, bool& testGiven, bool& bufferGiven, bool& readGiven) {
  auto wantNumber = [&](std::uint32_t& out) -> Status {
    auto v = number(value);
    if (!v) return bad(writer, piece, "needs a whole number");
    out = *v;
    return {};
  };
  auto wantFlag = [&](bool& out) -> Status {
    auto v = flag(value);
    if (!v) return bad(writer, piece, "needs 0 or 1");
    out = *v;
    return {};
  };
  if (key == "drive") {
    if (value == "cd")
      c.drive = DriveKind::Cd;
    else if (value == "dvd")
      c.drive = DriveKind::Dvd;
    else
      return bad(writer, piece, "must be drive=cd or drive=dvd");
    driveGiven = true;
  } else if (key == "speeds") {
    c.writeSpeeds.clear();
    for (auto s : split(value, '/')) {
      auto v = number(s);
      if (!v || *v == 0) return bad(writer, piece, "needs speeds in KB/s separated by \"/\"");
      c.writeSpeeds.push_back(*v);
    }
    std::sort(c.writeSpeeds.begin(), c.writeSpeeds.end());
  } else if (key == "read-speed") {
    EMBERLINE_TRY(wantNumber(c.readSpeed));
    readGiven = true;
  } else if (key == "fixed-speed") {
    std::uint32_t v = 0;
    EMBERLINE_TRY(wantNumber(v));
    c.fixedSpeed = v;
  } else if (key == "realtime") {
    EMBERLINE_TRY(wantFlag(c.realtime));
  } else if (key == "latency") {
    EMBERLINE_TRY(wantNumber(c.latencyMs));
    // Every command waits this long: beyond a few seconds a burn would seem to hang.
    if (c.latencyMs > kMaxLatencyMs)
      return bad(writer, piece, "is too long: at most " + std::to_string(kMaxLatencyMs) + " ms");
  } else if (key == "bup") {
    EMBERLINE_TRY(wantFlag(c.bufferUnderrunProtection));
  } else if (key == "test-write") {
    EMBERLINE_TRY(wantFlag(c.testWrite));
    testGiven = true;
  } else if (key == "buffer") {
    EMBERLINE_TRY(wantNumber(c.bufferKb));
    if (c.bufferKb == 0) return bad(writer, piece, "needs a buffer of at least 1 KB");
    bufferGiven = true;
  } else if (key == "sessions") {
    std::uint32_t v = 0;
    EMBERLINE_TRY(wantNumber(v));
    if (v > 99) return bad(writer, piece, "asks for more than 99 sessions");
    c.sessions = static_cast<int>(v);
  } else if (key == "capacity") {
    std::uint32_t v = 0;
    EMBERLINE_TRY(wantNumber(v));
    // Whole ECC blocks on each layer of a two-layer disc.
    if (v < 64 || v % 32 != 0 || v > 0x7FFFFFF0u)
      return bad(writer, piece, "needs a number of blocks that is a multiple of 32, at least 64");
    c.capacity = static_cast<std::int32_t>(v);
  } else if (key == "appendable") {
    EMBERLINE_TRY(wantFlag(c.appendable));
  } else if (key == "label") {
    if (value.empty() || value.size() > 32) return bad(writer, piece, "needs 1 to 32 characters");
    c.label = std::string(value);
  } else if (key == "image") {
    if (value.empty()) return bad(writer, piece, "needs a file path");
    c.image = std::string(value);
  } else if (key == "trace") {
    if (value.empty()) return bad(writer, piece, "needs a file path");
    c.trace = std::string(value);
  } else if (key == "vendor") {
    c.vendor = std::string(value.substr(0, 8));
  } else if (key == "product") {
    c.product = std::string(value.substr(0, 16));
  } else if (key == "revision") {
    c.revision = std::string(value.substr(0, 4));
  } else if (key == "fault") {
    FaultSpec f;
    auto at = value.find('@');
    std::string_view name = value.substr(0, at);
    if (name == "not-ready" && at == std::string_view::npos) {
      f.kind = FaultSpec::Kind::NotReady;
    } else if (const auto kind = blockFault(name); kind && at != std::string_view::npos) {
      auto lba = number(value.substr(at + 1));
      if (!lba) return bad(writer, piece, "needs a block address after \"@\"");
      f.kind = *kind;
      f.lba = static_cast<std::int32_t>(*lba);
    } else {
      return bad(writer, piece,
                 "is not one of not-ready, write-error@LBA, removed@LBA, corrupt@LBA, corrupt-subheader@LBA, "
                 "unreadable@LBA");
    }
    c.faults.push_back(f);
  } else {
    return bad(writer, piece, "is not a known key");
  }
  return {};
}

Result<WriterConfig> parseWriter(std::string_view writer) {
  auto pieces = split(writer, ',');
  WriterConfig c;
  std::string_view mediaText = trim(pieces[0]);
  auto media = parseMediaKind(mediaText);
  if (!media) return bad(writer, mediaText, "is not a known medium");
  c.media = *media;
  bool driveGiven = false, testGiven = false, bufferGiven = false, readGiven = false;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    std::string_view piece = trim(pieces[i]);
    auto eq = piece.find('=');
    if (eq == std::string_view::npos) return bad(writer, piece, "is not key=value");
    EMBERLINE_TRY(applyKey(c, writer, piece.substr(0, eq), piece.substr(eq + 1), piece, driveGiven, testGiven,
                           bufferGiven, readGiven));
  }
  MediaTraits traits = traitsOf(c.media);
  if (!driveGiven) {
    if (c.media == MediaKind::None) return bad(writer, mediaText, "(an empty drive) needs drive=cd or drive=dvd");
    c.drive = defaultDriveFor(c.media);
  }
  if (c.drive == DriveKind::Cd && c.media != MediaKind::None && !traits.cd)
    return bad(writer, "drive=cd", "cannot hold a DVD medium");
  if (c.writeSpeeds.empty()) c.writeSpeeds = defaultSpeeds(c.drive, c.media);
  if (!readGiven) c.readSpeed = c.drive == DriveKind::Cd || traits.cd ? 8467 : 22160;
  if (!bufferGiven) c.bufferKb = c.drive == DriveKind::Cd ? 2048 : 4096;
  if (!testGiven) c.testWrite = true;
  if (c.product.empty()) c.product = c.drive == DriveKind::Cd ? "VIRTUAL CD-RW" : "VIRTUAL DVD+-RW";
  bool rom = c.media == MediaKind::CdRom || c.media == MediaKind::DvdRom;
  bool sessionable = rom || c.media == MediaKind::CdR || c.media == MediaKind::CdRw || c.media == MediaKind::DvdR ||
                     c.media == MediaKind::DvdRw || c.media == MediaKind::DvdPlusR;
  if ((c.sessions > 0 || !c.image.empty()) && !sessionable)
    return bad(writer, "sessions=", "applies only to cd-r, cd-rw, dvd-r, dvd-rw and dvd+r media");
  if (rom) c.sessions = 1;
  if (!c.image.empty() && c.sessions == 0) c.sessions = 1;
  if (c.capacity > traits.capacity && c.media != MediaKind::None)
    return bad(writer, "capacity=" + std::to_string(c.capacity),
               "is more than a " + std::string(mediaName(c.media)) + " disc holds");
  return c;
}

}  // namespace

bool WriterConfig::hasFault(FaultSpec::Kind kind) const {
  return std::any_of(faults.begin(), faults.end(), [kind](const FaultSpec& f) { return f.kind == kind; });
}

bool WriterConfig::hasFaultAt(FaultSpec::Kind kind, std::int32_t lba) const {
  return std::any_of(faults.begin(), faults.end(),
                     [kind, lba](const FaultSpec& f) { return f.kind == kind && f.lba == lba; });
}

Result<std::vector<WriterConfig>> parseWriterConfigs(std::string_view spec) {
  spec = trim(spec);
  if (spec.empty()) spec = "cd-r;dvd+r";
  std::vector<WriterConfig> writers;
  if (spec == "none") return writers;
  for (auto text : split(spec, ';')) {
    text = trim(text);
    if (text.empty()) return bad(spec, text, "is an empty writer entry");
    auto w = parseWriter(text);
    if (!w) return fail(std::move(w).error());
    writers.push_back(std::move(*w));
  }
  if (writers.size() > kMaxVirtualWriters)
    return bad(spec, std::to_string(writers.size()) + " writers", "is more than the 6 allowed");
  return writers;
}

std::filesystem::path virtualDirectory(const char* dirOverride, const char* home) {
  if (dirOverride && *dirOverride) return dirOverride;
  std::filesystem::path base = home && *home ? home : ".";
  return base / ".local/share/ondrelle/virtual-writer";
}

}  // namespace emberline::virt
