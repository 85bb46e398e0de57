// What is on the inserted medium: readiness, type, disc / track / TOC
// records, the volume label and the space used and left.

#include <array>
#include <atomic>
#include <vector>

#include "api/device_call.h"
#include "api/export.h"
#include "api/medium_family.h"
#include "api/medium_records.h"
#include "emberline/cdvd_writer.h"
#include "mmc/disc_information.h"
#include "mmc/medium_kind.h"
#include "mmc/read_commands.h"
#include "mmc/toc.h"
#include "mmc/wait_until_ready.h"

namespace emberline {

namespace {

constexpr std::uint64_t kUserBlockBytes = 2048;
constexpr std::uint32_t kUserDataBlockKind = 3;
constexpr std::int32_t kPrimaryDescriptorSector = 16;

std::atomic<bool> fastReadToc{true};

bool isCdMedium(ScsiTransport& transport) {
  auto profile = currentProfile(transport);
  return profile.ok() && familyOfProfile(*profile) == MediumFamily::Cd;
}

Result<std::int32_t> lastSessionStart(ScsiTransport& transport, const mmc::DiscInformation& disc) {
  auto session = mmc::readSessionInfo(transport);
  if (session.ok()) return session->lastSessionStartLba;
  // Drives without TOC format 1 on this medium still know where the tracks start.
  auto track = mmc::readTrackInformation(transport, disc.firstTrackInLastSession);
  if (!track.ok()) return fail(std::move(track).error());
  return track->startAddress;
}

Result<std::string> readVolumeLabel(ScsiTransport& transport) {
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank)
    return fail(ErrorKind::NotSupported, "the disc holds no ISO 9660 volume: it is blank");
  auto start = lastSessionStart(transport, *disc);
  if (!start.ok()) return fail(std::move(start).error());
  std::vector<std::uint8_t> sector(kUserBlockBytes);
  auto read = mmc::read10(transport, *start + kPrimaryDescriptorSector, 1, sector);
  if (!read.ok()) return fail(std::move(read).error());
  return volumeLabelFromDescriptor(sector);
}

Result<std::uint32_t> freeBlocks(ScsiTransport& transport) {
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  // A finalised disc has no invisible track left to ask about.
  if (disc->discStatus == mmc::DiscStatus::Complete || disc->discStatus == mmc::DiscStatus::Other) return 0u;
  auto track = mmc::readTrackInformation(transport, mmc::kInvisibleTrack);
  if (!track.ok()) return fail(std::move(track).error());
  return track->freeBlocks;
}

std::uint64_t recordedBlocksOf(const mmc::TrackInformation& track) {
  if (track.blank) return 0;
  if (track.nextWritableAddressValid && track.nextWritableAddress >= track.startAddress)
    return static_cast<std::uint64_t>(track.nextWritableAddress - track.startAddress);
  return track.trackSize;
}

Result<std::uint64_t> recordedBlocks(ScsiTransport& transport) {
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank) return std::uint64_t{0};
  std::uint64_t blocks = 0;
  for (std::uint32_t number = disc->firstTrack; number <= disc->lastTrackInLastSession; ++number) {
    auto track = mmc::readTrackInformation(transport, number);
    if (!track.ok()) return fail(std::move(track).error());
    blocks += recordedBlocksOf(*track);
  }
  return blocks;
}

Result<TocBlock> readTocBlock(ScsiTransport& transport) {
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->discStatus == mmc::DiscStatus::Blank) return TocBlock{};
  const auto form = fastReadToc.load() ? mmc::AddressForm::Lba : mmc::AddressForm::Msf;
  auto toc = mmc::readToc(transport, form);
  if (!toc.ok()) return fail(std::move(toc).error());
  return encodeTocBlock(toc->response);
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_TestUnitReady(EmberlineHandle handle, char* text, int32_t size,
                                                             uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [](DeviceObject& device) {
    mmc::WaitOptions options;
    options.cancelled = cancelPredicate(device);
    return mmc::waitUntilReady(device.transport(), options);
  });
}

EMBERLINE_EXPORT DISC_TYPE Emberline_CdvdWriter_GetInsertedDiscType(EmberlineHandle handle) {
  DISC_TYPE type = DISC_TYPE_UNKNOWN;
  runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    auto detected = mmc::detectDiscType(device.transport());
    if (!detected.ok()) return fail(std::move(detected).error());
    type = *detected;
    return {};
  });
  return type;
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetDiscInformation(EmberlineHandle handle, char* text, int32_t size,
                                                                 uint32_t* status, EmberlineFailureInfo* failure,
                                                                 uint8_t* discInformation) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (discInformation == nullptr) return fail(ErrorKind::InvalidArgument, "no buffer for the disc information");
    auto disc = mmc::readDiscInformation(device.transport());
    if (!disc.ok()) return fail(std::move(disc).error());
    const auto record = encodeDiscInformationRecord(*disc, isCdMedium(device.transport()));
    std::copy(record.begin(), record.end(), discInformation);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetTrackInformation(EmberlineHandle handle, char* text, int32_t size,
                                                                  uint32_t* status, EmberlineFailureInfo* failure,
                                                                  uint32_t track, uint8_t* trackInformation) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (trackInformation == nullptr)
      return fail(ErrorKind::InvalidArgument, "no buffer for the track information");
    auto info = mmc::readTrackInformation(device.transport(), track);
    if (!info.ok()) return fail(std::move(info).error());
    const auto record = encodeTrackInformationRecord(*info);
    std::copy(record.begin(), record.end(), trackInformation);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetTOCInformation(EmberlineHandle handle, char* text, int32_t size,
                                                                uint32_t* status, EmberlineFailureInfo* failure,
                                                                uint8_t* tocInformation) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (tocInformation == nullptr) return fail(ErrorKind::InvalidArgument, "no buffer for the table of contents");
    auto block = readTocBlock(device.transport());
    if (!block.ok()) return fail(std::move(block).error());
    std::copy(block->begin(), block->end(), tocInformation);
    return {};
  });
}

EMBERLINE_EXPORT void Emberline_SetFastReadTOC(uint8_t fast) { fastReadToc.store(fast != 0); }

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetVolumeLabel(EmberlineHandle handle, char* text, int32_t size,
                                                             uint32_t* status, EmberlineFailureInfo* failure,
                                                             char* label, int32_t labelSize) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (label == nullptr || labelSize <= 0) return fail(ErrorKind::InvalidArgument, "no buffer for the volume label");
    auto read = readVolumeLabel(device.transport());
    if (!read.ok()) return fail(std::move(read).error());
    copyText(label, labelSize, *read);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetDiscFreeSpace(EmberlineHandle handle, uint32_t blockKind,
                                                               uint32_t* freeCount, uint64_t* freeSize) {
  return runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    if (freeCount == nullptr || freeSize == nullptr)
      return fail(ErrorKind::InvalidArgument, "no place for the free space");
    if (blockKind != kUserDataBlockKind)
      return fail(ErrorKind::InvalidArgument, "free space is counted in 2048-byte blocks (kind 3) only");
    auto blocks = freeBlocks(device.transport());
    if (!blocks.ok()) return fail(std::move(blocks).error());
    *freeCount = *blocks;
    *freeSize = *blocks * kUserBlockBytes;
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetDiscUsedSpace(EmberlineHandle handle, char* text, int32_t size,
                                                               uint32_t* status, EmberlineFailureInfo* failure,
                                                               uint64_t* usedSize) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (usedSize == nullptr) return fail(ErrorKind::InvalidArgument, "no place for the used space");
    auto blocks = recordedBlocks(device.transport());
    if (!blocks.ok()) return fail(std::move(blocks).error());
    *usedSize = *blocks * kUserBlockBytes;
    return {};
  });
}

}  // extern "C"
