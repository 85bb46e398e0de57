#include "mmc/configuration.h"

#include <algorithm>

#include "core/big_endian.h"
#include "mmc/command_runner.h"
#include "mmc/variable_read.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kDescriptorHeader = 4;
// The allocation length is a 16-bit field; stay clear of drives that choke on FFFFh.
constexpr std::size_t kMaximumResponse = 65530;

bool bit(std::uint8_t byte, int n) {
  return ((byte >> n) & 1) != 0;
}
}  // namespace

const FeatureDescriptor* Configuration::find(std::uint16_t code) const {
  const auto it = std::find_if(features.begin(), features.end(), [code](const auto& f) { return f.code == code; });
  return it == features.end() ? nullptr : &*it;
}

bool Configuration::isCurrent(std::uint16_t code) const {
  const auto* f = find(code);
  return f != nullptr && f->current;
}

bool Configuration::supportsProfile(std::uint16_t profile) const {
  return std::any_of(profiles.begin(), profiles.end(), [profile](const auto& p) { return p.profile == profile; });
}

std::optional<TrackAtOnceFeature> Configuration::trackAtOnce() const {
  const auto* f = find(feature::kCdTrackAtOnce);
  if (f == nullptr || f->data.empty()) return std::nullopt;
  const std::uint8_t flags = f->data[0];
  return TrackAtOnceFeature{bit(flags, 6), bit(flags, 4), bit(flags, 3), bit(flags, 2), bit(flags, 1), bit(flags, 0)};
}

std::optional<MasteringFeature> Configuration::mastering() const {
  const auto* f = find(feature::kCdMastering);
  if (f == nullptr || f->data.empty()) return std::nullopt;
  const std::uint8_t flags = f->data[0];
  MasteringFeature m{bit(flags, 6), bit(flags, 5), bit(flags, 4), bit(flags, 3),
                     bit(flags, 2), bit(flags, 1), bit(flags, 0), 0};
  if (f->data.size() >= 4) m.maximumCueSheetLength = be::get24(f->data, 1);
  return m;
}

Configuration parseConfiguration(std::span<const std::uint8_t> response) {
  Configuration out;
  if (response.size() < kHeaderLength) return out;
  out.currentProfile = be::get16(response, 6);
  std::size_t at = kHeaderLength;
  while (at + kDescriptorHeader <= response.size()) {
    FeatureDescriptor f;
    f.code = be::get16(response, at);
    f.version = static_cast<std::uint8_t>((response[at + 2] >> 2) & 0x0F);
    f.persistent = bit(response[at + 2], 1);
    f.current = bit(response[at + 2], 0);
    const std::size_t length = response[at + 3];
    const std::size_t end = std::min(at + kDescriptorHeader + length, response.size());
    f.data.assign(response.begin() + static_cast<std::ptrdiff_t>(at + kDescriptorHeader),
                  response.begin() + static_cast<std::ptrdiff_t>(end));
    if (f.code == feature::kProfileList) {
      for (std::size_t p = 0; p + 4 <= f.data.size(); p += 4)
        out.profiles.push_back(ProfileEntry{be::get16(f.data, p), bit(f.data[p + 2], 0)});
    }
    out.features.push_back(std::move(f));
    at += kDescriptorHeader + length;
  }
  return out;
}

Result<Configuration> getConfiguration(ScsiTransport& transport, FeatureRequest request,
                                       std::uint16_t startingFeature) {
  const CommandBuilder build = [&](std::span<std::uint8_t> buffer) {
    ScsiCommand command = makeCommand(0x46, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
    command.cdb[1] = static_cast<std::uint8_t>(request);
    be::put16(command.cdb, 2, startingFeature);
    be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
    return command;
  };
  auto response =
      readVariableLength(transport, build, LengthField{0, 4}, kHeaderLength, kMaximumResponse, "GET CONFIGURATION");
  if (!response.ok()) return fail(std::move(response).error());
  return parseConfiguration(*response);
}

}  // namespace emberline::mmc
