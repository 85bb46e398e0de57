#pragma once
/// @file
/// One opened drive as the layers above see it: what the inserted medium is
/// (its profile is read once per call and mapped once), and the questions and
/// settings that take several commands and depend on the medium family.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/result.h"
#include "drive/medium_profile.h"
#include "mmc/toc.h"
#include "transport/scsi_transport.h"

namespace emberline {

struct DriveSpeeds {
  std::uint32_t currentRead = 0;  ///< KB/s (1000 bytes)
  std::uint32_t maximumRead = 0;
  std::uint32_t currentWrite = 0;
  std::uint32_t maximumWrite = 0;
};

struct BufferProtection {
  bool enabled = false;
  bool supported = false;
  bool switchable = false;  ///< the medium has a write parameters page to switch it in
};

struct WriteModeSupport {
  bool trackAtOnce = false;
  bool sessionAtOnce = false;
  bool rawWithPq = false;  ///< raw 2352 + 16 bytes of P-Q sub-channel (data block type 1)
  bool rawWithPw = false;  ///< raw 2352 + 96 bytes of raw P-W sub-channel (data block type 3)
};

struct PlusMediaSupport {
  bool dvdPlusRRead = false;
  bool dvdPlusRwRead = false;
  bool dvdPlusRWrite = false;
  bool dvdPlusRwWrite = false;
  bool dvdPlusRDlRead = false;
  bool dvdPlusRDlWrite = false;
};

class Drive {
 public:
  /// @p cancelled, when given, ends the waits a cancel may end.
  explicit Drive(ScsiTransport& transport, std::function<bool()> cancelled = {})
      : transport_(transport), cancelled_(std::move(cancelled)) {}

  ScsiTransport& transport() { return transport_; }
  bool cancelRequested() const { return cancelled_ && cancelled_(); }

  /// The medium may have changed since the last question: ask the drive again.
  void forgetMedium() { profile_.reset(); }

  /// The current profile from GET CONFIGURATION; 0 when the drive names none.
  Result<std::uint16_t> currentProfile();
  /// The family of the current profile; None when the drive cannot tell.
  MediumFamily family();
  bool cdMedium() { return family() == MediumFamily::Cd; }
  /// TEST UNIT READY, then the current profile. "Medium not present" is
  /// NoMedium; a drive without GET CONFIGURATION is Unknown.
  Result<MediumType> detectMediumType();

  /// Polls until the drive is ready; a cancel ends the wait.
  Status waitUntilReady(std::optional<std::chrono::milliseconds> limit = std::nullopt);

  /// Blocks that can still be recorded (0 on a finalised disc).
  Result<std::uint32_t> freeBlocks();
  /// Blocks recorded in all tracks.
  Result<std::uint64_t> recordedBlocks();
  /// The READ TOC format 0 response; empty for a blank disc.
  Result<std::vector<std::uint8_t>> readTocResponse(mmc::AddressForm form);
  /// The 2048-byte block @p offset blocks into the last session.
  Result<std::vector<std::uint8_t>> readLastSessionBlock(std::int32_t offset);

  /// Page 2Ah speaks for the drive; a simulated write also needs a medium that has one.
  bool mediumAllowsTestWrite();

  /// SET STREAMING on DVD media, SET CD SPEED on CD; KB/s, FFFFh for the fastest.
  Status setSpeeds(std::uint32_t readKBps, std::uint32_t writeKBps);
  Result<DriveSpeeds> speeds();

  Result<BufferProtection> bufferProtection();
  Status setBufferProtection(bool enable);

  /// Offers each mode the medium family can take and restores the drive's page afterwards.
  Result<WriteModeSupport> probeWriteModes();
  /// Reading follows the profile list (or the medium's feature); writing needs
  /// the medium's feature with its Write bit set.
  Result<PlusMediaSupport> plusMediaSupport();

  /// Flushes the cache and closes what a recording left open, as the medium requires.
  Status closeSession();

 private:
  /// Runs a command started with Immed and waits until the drive has done it.
  Status runAndWait(const Status& started);

  ScsiTransport& transport_;
  std::function<bool()> cancelled_;
  std::optional<std::uint16_t> profile_;
};

}  // namespace emberline
