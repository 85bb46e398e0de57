#include "drive/drive.h"

#include "mmc/configuration.h"
#include "mmc/disc_information.h"
#include "mmc/read_commands.h"
#include "mmc/unit_commands.h"
#include "mmc/wait_until_ready.h"
#include "transport/sense_codes.h"

namespace emberline {

namespace {

constexpr std::size_t kUserBlockBytes = 2048;

std::uint64_t recordedBlocksOf(const mmc::TrackInformation& track) {
  if (track.blank) return 0;
  if (track.nextWritableAddressValid && track.nextWritableAddress >= track.startAddress)
    return static_cast<std::uint64_t>(track.nextWritableAddress - track.startAddress);
  return track.trackSize;
}

Result<std::int32_t> lastSessionStart(ScsiTransport& transport, const mmc::DiscInformation& disc) {
  auto session = mmc::readSessionInfo(transport);
  if (session.ok()) return session->lastSessionStartLba;
  // Drives without TOC format 1 on this medium still know where the tracks start.
  auto track = mmc::readTrackInformation(transport, disc.firstTrackInLastSession);
  if (!track.ok()) return fail(std::move(track).error());
  return track->startAddress;
}

}  // namespace

Result<std::uint16_t> Drive::currentProfile() {
  if (profile_) return *profile_;
  auto configuration = mmc::getConfiguration(transport_, mmc::FeatureRequest::One, mmc::feature::kProfileList);
  if (!configuration.ok()) return fail(std::move(configuration).error());
  profile_ = configuration->currentProfile;
  return *profile_;
}

MediumFamily Drive::family() {
  auto profile = currentProfile();
  return profile.ok() ? familyOfProfile(*profile) : MediumFamily::None;
}

Result<MediumType> Drive::detectMediumType() {
  auto readiness = mmc::testUnitReady(transport_);
  if (!readiness.ok()) return fail(std::move(readiness).error());
  if (!readiness->ready && readiness->sense.asc == sense::kNoMediumAsc) return MediumType::NoMedium;
  auto profile = currentProfile();
  if (!profile.ok()) {
    const Error& e = profile.error();
    if (sense::sameCondition(e, sense::kInvalidOpcode)) return MediumType::Unknown;
    if (e.asc == sense::kNoMediumAsc) return MediumType::NoMedium;
    return fail(e);
  }
  return mediumTypeOfProfile(*profile);
}

Status Drive::waitUntilReady(std::optional<std::chrono::milliseconds> limit) {
  mmc::WaitOptions options;
  if (limit) options.limit = *limit;
  options.cancelled = [this] { return cancelRequested(); };
  return mmc::waitUntilReady(transport_, options);
}

Result<std::uint32_t> Drive::freeBlocks() {
  auto disc = mmc::readDiscInformation(transport_);
  if (!disc.ok()) return fail(std::move(disc).error());
  // A finalised disc has no invisible track left to ask about.
  if (disc->discStatus == mmc::DiscStatus::Complete || disc->discStatus == mmc::DiscStatus::Other) return 0u;
  auto track = mmc::readTrackInformation(transport_, mmc::kInvisibleTrack);
  if (!track.ok()) return fail(std::move(track).error());
  return track->freeBlocks;
}

Result<std::uint64_t> Drive::recordedBlocks() {
  auto disc = mmc::readDiscInformation(transport_);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank) return std::uint64_t{0};
  std::uint64_t blocks = 0;
  for (std::uint32_t number = disc->firstTrack; number <= disc->lastTrackInLastSession; ++number) {
    auto track = mmc::readTrackInformation(transport_, number);
    if (!track.ok()) {
      // Reading drives need not know READ TRACK INFORMATION; for a finished
      // disc the recorded capacity is the same count.
      if (sense::sameCondition(track.error(), sense::kInvalidOpcode) && disc->discStatus == mmc::DiscStatus::Complete) {
        auto capacity = mmc::readCapacity(transport_);
        if (!capacity.ok()) return fail(std::move(capacity).error());
        return capacity->blocks();
      }
      return fail(std::move(track).error());
    }
    blocks += recordedBlocksOf(*track);
  }
  return blocks;
}

Result<std::vector<std::uint8_t>> Drive::readTocResponse(mmc::AddressForm form) {
  auto disc = mmc::readDiscInformation(transport_);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank) return std::vector<std::uint8_t>{};
  auto toc = mmc::readToc(transport_, form);
  if (!toc.ok()) return fail(std::move(toc).error());
  return std::move(toc->response);
}

Result<std::vector<std::uint8_t>> Drive::readLastSessionBlock(std::int32_t offset) {
  auto disc = mmc::readDiscInformation(transport_);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank)
    return fail(ErrorKind::NotSupported, "the disc holds no ISO 9660 volume: it is blank");
  auto start = lastSessionStart(transport_, *disc);
  if (!start.ok()) return fail(std::move(start).error());
  std::vector<std::uint8_t> block(kUserBlockBytes);
  auto read = mmc::read10(transport_, *start + offset, 1, block);
  if (!read.ok()) return fail(std::move(read).error());
  return block;
}

bool Drive::mediumAllowsTestWrite() {
  auto profile = currentProfile();
  if (!profile.ok()) return true;
  const MediumFamily f = familyOfProfile(*profile);
  return f == MediumFamily::None || f == MediumFamily::Cd || f == MediumFamily::DvdSequential;
}

}  // namespace emberline
