#pragma once
// GET CONFIGURATION: the current profile (what the inserted medium is) and
// the features the drive offers for it.

#include <cstdint>
#include <optional>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Feature codes this library looks at.
namespace feature {
inline constexpr std::uint16_t kProfileList = 0x0000;
inline constexpr std::uint16_t kIncrementalStreamingWritable = 0x0021;
inline constexpr std::uint16_t kCdTrackAtOnce = 0x002D;
inline constexpr std::uint16_t kCdMastering = 0x002E;
inline constexpr std::uint16_t kDvdRWrite = 0x002F;
}  // namespace feature

struct ProfileEntry {
  std::uint16_t profile = 0;
  bool current = false;
};

struct FeatureDescriptor {
  std::uint16_t code = 0;
  std::uint8_t version = 0;
  bool persistent = false;
  bool current = false;
  std::vector<std::uint8_t> data;  ///< the feature-dependent bytes after the 4-byte header
};

/// Flags of the CD Track at Once feature (002Dh).
struct TrackAtOnceFeature {
  bool bufferUnderrunFree = false;
  bool rwRaw = false;
  bool rwPack = false;
  bool testWrite = false;
  bool cdRw = false;
  bool rwSubcode = false;
};

/// Flags of the CD Mastering feature (002Eh): session at once and raw.
struct MasteringFeature {
  bool bufferUnderrunFree = false;
  bool sessionAtOnce = false;
  bool rawMultiSession = false;
  bool raw = false;
  bool testWrite = false;
  bool cdRw = false;
  bool rw = false;
  std::uint32_t maximumCueSheetLength = 0;
};

struct Configuration {
  std::uint16_t currentProfile = 0;  ///< 0 when no medium gives the drive a profile
  std::vector<FeatureDescriptor> features;
  std::vector<ProfileEntry> profiles;  ///< from the Profile List feature

  const FeatureDescriptor* find(std::uint16_t code) const;
  bool hasFeature(std::uint16_t code) const { return find(code) != nullptr; }
  bool isCurrent(std::uint16_t code) const;
  bool supportsProfile(std::uint16_t profile) const;
  std::optional<TrackAtOnceFeature> trackAtOnce() const;
  std::optional<MasteringFeature> mastering() const;
};

/// Which features GET CONFIGURATION reports.
enum class FeatureRequest : std::uint8_t {
  All = 0x00,      ///< every feature from the starting one
  Current = 0x01,  ///< only features current for the medium
  One = 0x02,      ///< only the starting feature
};

Result<Configuration> getConfiguration(ScsiTransport& transport, FeatureRequest request = FeatureRequest::All,
                                       std::uint16_t startingFeature = 0);

/// Decodes a GET CONFIGURATION response (exposed for the virtual drive's tests).
Configuration parseConfiguration(std::span<const std::uint8_t> response);

}  // namespace emberline::mmc
