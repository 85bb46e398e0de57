// What the drive is and can do: identity, media it reads and writes, the
// recording and reading modes it offers, and its DVD region state.

#include "api/device_call.h"
#include "api/export.h"
#include "emberline/cdvd_writer.h"
#include "mmc/capabilities_page.h"
#include "mmc/region_key.h"
#include "mmc/unit_commands.h"

namespace emberline {

namespace {

constexpr std::uint32_t kBytesPerKb = 1024;
// INQUIRY fields are 8, 16 and 4 characters; callers size their buffers for that plus NUL.
constexpr std::int32_t kVendorBuffer = 9;
constexpr std::int32_t kProductBuffer = 17;
constexpr std::int32_t kRevisionBuffer = 5;

void put(std::uint8_t* out, bool value) {
  if (out != nullptr) *out = value ? 1 : 0;
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetDeviceInformation(EmberlineHandle handle, char* vendor, char* product,
                                                                   char* revision, uint32_t* bufferSize) {
  return runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    auto identity = mmc::inquiry(device.transport());
    if (!identity.ok()) return fail(std::move(identity).error());
    auto capabilities = mmc::readCapabilities(device.transport());
    if (!capabilities.ok()) return fail(std::move(capabilities).error());
    copyText(vendor, kVendorBuffer, identity->vendor);
    copyText(product, kProductBuffer, identity->product);
    copyText(revision, kRevisionBuffer, identity->revision);
    if (bufferSize != nullptr) *bufferSize = std::uint32_t{capabilities->bufferSizeKB} * kBytesPerKb;
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetSupportedMediaFormats(EmberlineHandle handle, uint8_t* cdrRead,
                                                                       uint8_t* cdrwRead, uint8_t* dvdromRead,
                                                                       uint8_t* dvdrRead, uint8_t* dvdramRead,
                                                                       uint8_t* testWrite, uint8_t* cdrWrite,
                                                                       uint8_t* cdrwWrite, uint8_t* dvdrWrite,
                                                                       uint8_t* dvdramWrite) {
  return runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    auto c = mmc::readCapabilities(device.transport());
    if (!c.ok()) return fail(std::move(c).error());
    put(cdrRead, c->readCdR);
    put(cdrwRead, c->readCdRw);
    put(dvdromRead, c->readDvdRom);
    put(dvdrRead, c->readDvdR);
    put(dvdramRead, c->readDvdRam);
    put(testWrite, c->testWrite && device.drive().mediumAllowsTestWrite());
    put(cdrWrite, c->writeCdR);
    put(cdrwWrite, c->writeCdRw);
    put(dvdrWrite, c->writeDvdR);
    put(dvdramWrite, c->writeDvdRam);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetSupportedMediaFormatsExEx(
    EmberlineHandle handle, uint8_t* dvdplusrRead, uint8_t* dvdplusrwRead, uint8_t* dvdplusrWrite,
    uint8_t* dvdplusrwWrite, uint8_t* dvdplusrDlRead, uint8_t* dvdplusrDlWrite) {
  return runDeviceCall(handle, ErrorOutputs{}, [&](DeviceObject& device) -> Status {
    auto support = device.drive().plusMediaSupport();
    if (!support.ok()) return fail(std::move(support).error());
    const PlusMediaSupport& s = *support;
    put(dvdplusrRead, s.dvdPlusRRead);
    put(dvdplusrwRead, s.dvdPlusRwRead);
    put(dvdplusrWrite, s.dvdPlusRWrite);
    put(dvdplusrwWrite, s.dvdPlusRwWrite);
    put(dvdplusrDlRead, s.dvdPlusRDlRead);
    put(dvdplusrDlWrite, s.dvdPlusRDlWrite);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_ProbeSupportedWriteModes(EmberlineHandle handle, char* text, int32_t size,
                                                                       uint32_t* status, EmberlineFailureInfo* failure,
                                                                       uint8_t* trackAtOnce, uint8_t* sessionAtOnce,
                                                                       uint8_t* discAtOncePQ,
                                                                       uint8_t* discAtOnceRawPW) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto modes = device.drive().probeWriteModes();
    if (!modes.ok()) return fail(std::move(modes).error());
    put(trackAtOnce, modes->trackAtOnce);
    put(sessionAtOnce, modes->sessionAtOnce);
    put(discAtOncePQ, modes->rawWithPq);
    put(discAtOnceRawPW, modes->rawWithPw);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_ProbeSupportedReadModes(EmberlineHandle handle, char* text, int32_t size,
                                                                      uint32_t* status, EmberlineFailureInfo* failure,
                                                                      uint8_t* mode2Form1, uint8_t* mode2Form2,
                                                                      uint8_t* cddaRead, uint8_t* cddaAccurate,
                                                                      uint8_t* subchannelRW, uint8_t* c2Pointers) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto c = mmc::readCapabilities(device.transport());
    if (!c.ok()) return fail(std::move(c).error());
    put(mode2Form1, c->mode2Form1);
    put(mode2Form2, c->mode2Form2);
    put(cddaRead, c->cddaRead);
    put(cddaAccurate, c->cddaAccurateStream);
    put(subchannelRW, c->rwSupported);
    put(c2Pointers, c->c2Pointers);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetRPC(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint8_t* typeCode,
                                                     uint8_t* vendorResets, uint8_t* userChanges, uint8_t* regionMask,
                                                     uint8_t* rpcScheme) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto rpc = mmc::reportRpcState(device.transport());
    if (!rpc.ok()) return fail(std::move(rpc).error());
    const auto set = [](std::uint8_t* out, std::uint8_t value) {
      if (out != nullptr) *out = value;
    };
    set(typeCode, rpc->typeCode);
    set(vendorResets, rpc->vendorResetsLeft);
    set(userChanges, rpc->userChangesLeft);
    set(regionMask, rpc->regionMask);
    set(rpcScheme, rpc->rpcScheme);
    return {};
  });
}

}  // extern "C"
