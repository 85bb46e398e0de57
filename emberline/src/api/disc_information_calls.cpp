// What is on the inserted medium: readiness, type, disc / track / TOC
// records, the volume label and the space used and left.

#include <atomic>

#include "api/device_call.h"
#include "api/export.h"
#include "api/medium_records.h"
#include "emberline/cdvd_writer.h"
#include "mmc/disc_information.h"

namespace emberline {

namespace {

constexpr std::uint64_t kUserBlockBytes = 2048;
constexpr std::uint32_t kUserDataBlockKind = 3;
constexpr std::int32_t kPrimaryDescriptorSector = 16;

std::atomic<bool> fastReadToc{true};

// The drive layer numbers medium types as the public enumeration does.
static_assert(static_cast<int>(MediumType::NoMedium) == DISC_TYPE_NO_MEDIA);
static_assert(static_cast<int>(MediumType::CdR) == DISC_TYPE_CDR);
static_assert(static_cast<int>(MediumType::DvdPlusR) == DISC_TYPE_DVDPLUSR);
static_assert(static_cast<int>(MediumType::HdDvdRw) == DISC_TYPE_HDDVDRW);

Result<std::string> readVolumeLabel(Drive& drive) {
  auto block = drive.readLastSessionBlock(kPrimaryDescriptorSector);
  if (!block.ok()) return fail(std::move(block).error());
  return volumeLabelFromDescriptor(*block);
}

Result<TocBlock> readTocBlock(Drive& drive) {
  const auto form = fastReadToc.load() ? mmc::AddressForm::Lba : mmc::AddressForm::Msf;
  auto response = drive.readTocResponse(form);
  if (!response.ok()) return fail(std::move(response).error());
  if (response->empty()) return TocBlock{};
  return encodeTocBlock(*response);
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_TestUnitReady(EmberlineHandle handle, char* text, int32_t size,
                                                            uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return device.drive().waitUntilReady(); });
}

EMBERLINE_EXPORT DISC_TYPE Emberline_CdvdWriter_GetInsertedDiscType(EmberlineHandle handle) {
  DISC_TYPE type = DISC_TYPE_UNKNOWN;
  runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    auto detected = device.drive().detectMediumType();
    if (!detected.ok()) return fail(std::move(detected).error());
    type = static_cast<DISC_TYPE>(*detected);
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
    const auto record = encodeDiscInformationRecord(*disc, device.drive().cdMedium());
    std::copy(record.begin(), record.end(), discInformation);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetTrackInformation(EmberlineHandle handle, char* text, int32_t size,
                                                                  uint32_t* status, EmberlineFailureInfo* failure,
                                                                  uint32_t track, uint8_t* trackInformation) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (trackInformation == nullptr) return fail(ErrorKind::InvalidArgument, "no buffer for the track information");
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
    auto block = readTocBlock(device.drive());
    if (!block.ok()) return fail(std::move(block).error());
    std::copy(block->begin(), block->end(), tocInformation);
    return {};
  });
}

EMBERLINE_EXPORT void Emberline_SetFastReadTOC(uint8_t fast) {
  fastReadToc.store(fast != 0);
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetVolumeLabel(EmberlineHandle handle, char* text, int32_t size,
                                                             uint32_t* status, EmberlineFailureInfo* failure,
                                                             char* label, int32_t labelSize) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (label == nullptr || labelSize <= 0) return fail(ErrorKind::InvalidArgument, "no buffer for the volume label");
    auto read = readVolumeLabel(device.drive());
    if (!read.ok()) return fail(std::move(read).error());
    copyText(label, labelSize, *read);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetVolumeCreationTime(EmberlineHandle handle, char* text, int32_t size,
                                                                    uint32_t* status, EmberlineFailureInfo* failure,
                                                                    int64_t* created) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    if (created == nullptr) return fail(ErrorKind::InvalidArgument, "no place for the creation time");
    auto block = device.drive().readLastSessionBlock(kPrimaryDescriptorSector);
    if (!block.ok()) return fail(std::move(block).error());
    auto read = volumeCreationTimeFromDescriptor(*block);
    if (!read.ok()) return fail(std::move(read).error());
    *created = *read;
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
    auto blocks = device.drive().freeBlocks();
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
    auto blocks = device.drive().recordedBlocks();
    if (!blocks.ok()) return fail(std::move(blocks).error());
    *usedSize = *blocks * kUserBlockBytes;
    return {};
  });
}

}  // extern "C"
