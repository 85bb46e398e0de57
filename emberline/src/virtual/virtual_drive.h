#pragma once
/// @file
/// One virtual MMC writer: answers SCSI command blocks like a real CD/DVD
/// writer and records what is written into image files.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "transport/scsi_transport.h"
#include "virtual/command_trace.h"
#include "virtual/disc_image.h"
#include "virtual/disc_layout.h"
#include "virtual/interruptor.h"
#include "virtual/virtual_writer_config.h"

namespace emberline::virt {

/// The write parameters mode page (05h) as the drive keeps it.
struct WriteParameters {
  std::uint8_t writeType = 1;  ///< 0 packet, 1 TAO, 2 SAO, 3 raw
  bool testWrite = false;
  bool bufferUnderrunFree = false;
  std::uint8_t multiSession = 0;  ///< 0 closes the disc, 3 leaves it open
  std::uint8_t trackMode = 4;
  std::uint8_t dataBlockType = 8;
  std::uint8_t sessionFormat = 0;
};

/// One position of a cue sheet the drive accepted.
struct CueTrack {
  int number = 0;
  std::int32_t pregapStart = 0;
  std::int32_t start = 0;
  std::uint8_t dataForm = 0x10;
};

class VirtualDrive {
 public:
  /// `index` is k in "CdRom"+(16+k); images go to `directory`.
  VirtualDrive(WriterConfig config, int index, std::filesystem::path directory);
  ~VirtualDrive();
  VirtualDrive(const VirtualDrive&) = delete;
  VirtualDrive& operator=(const VirtualDrive&) = delete;

  /// Runs one command; `interruptor` cuts realtime waits short.
  ScsiReply execute(const ScsiCommand& command, Interruptor& interruptor);

  const std::string& name() const { return name_; }
  int index() const { return index_; }
  const WriterConfig& config() const { return config_; }
  /// Paths of the images finished so far (eject, removal, shut-down).
  std::vector<std::string> finishedImages() const;
  /// Finishes the images of the loaded medium (library shut-down).
  void shutDown();

 private:
  using Bytes = std::span<const std::uint8_t>;

  // dispatch helpers (virtual_drive.cpp)
  ScsiReply good(const ScsiCommand& c, Bytes reply = {});
  ScsiReply check(SenseData sense);
  bool mediumCommand(std::uint8_t opcode) const;
  ScsiReply dispatch(const ScsiCommand& c);
  ScsiReply testUnitReady();
  ScsiReply requestSense(const ScsiCommand& c);
  ScsiReply preventAllow(const ScsiCommand& c);
  ScsiReply startStop(const ScsiCommand& c);
  void loadMedium(bool fresh);
  void finishMedium();
  Status prerecord();

  // identity (drive_identity.cpp)
  ScsiReply inquiry(const ScsiCommand& c);
  ScsiReply getConfiguration(const ScsiCommand& c);
  ScsiReply modeSense(const ScsiCommand& c);
  ScsiReply modeSelect(const ScsiCommand& c);
  ScsiReply reportKey(const ScsiCommand& c);
  std::vector<std::uint8_t> capabilitiesPage() const;
  std::vector<std::uint8_t> writeParametersPage() const;

  // disc information (drive_disc_info.cpp)
  ScsiReply readDiscInformation(const ScsiCommand& c);
  ScsiReply readTrackInformation(const ScsiCommand& c);
  ScsiReply readToc(const ScsiCommand& c);
  ScsiReply readCapacity(const ScsiCommand& c);
  ScsiReply read10(const ScsiCommand& c);
  /// READ CD of recorded CD sectors: whole 2352-byte sectors (flags F8h) or their user data (10h).
  ScsiReply readCd(const ScsiCommand& c);

  // writing (drive_writing.cpp)
  ScsiReply write10(const ScsiCommand& c, Interruptor& interruptor, std::unique_lock<std::mutex>& lock);
  ScsiReply synchronizeCache(const ScsiCommand& c);
  ScsiReply closeTrackSession(const ScsiCommand& c);
  ScsiReply reserveTrack(const ScsiCommand& c);
  ScsiReply sendCueSheet(const ScsiCommand& c);
  ScsiReply blank(const ScsiCommand& c);
  ScsiReply sendOpc(const ScsiCommand& c);
  ScsiReply readBufferCapacity(const ScsiCommand& c);
  std::size_t hostBlockSize(std::int32_t lba) const;
  /// Encodes one host block as the raw sector the CD image stores.
  void encodeBlock(std::int32_t lba, Bytes block, std::span<std::uint8_t, 2352> raw) const;
  /// Stores @p count blocks of @p blockSize bytes from @p lba on.
  Status storeBlocks(std::int32_t lba, std::int32_t count, Bytes data, std::size_t blockSize);
  /// fault=corrupt@ and fault=corrupt-subheader@: changes the recorded block at @p lba.
  Status corruptRecorded(std::int32_t lba, bool subheader);
  int longOperationPolls() const;
  void drainBuffer();
  void endTestWrite();

  // medium structures (drive_structures.cpp)
  ScsiReply formatUnit(const ScsiCommand& c);
  /// Format 20h of a two-layer medium: where layer 0 ends and whether that may still change.
  ScsiReply readDvdStructure(const ScsiCommand& c);
  /// Format 20h: the host moves the layer boundary before the first write.
  ScsiReply sendDvdStructure(const ScsiCommand& c);

  // speeds (drive_speed.cpp)
  ScsiReply setCdSpeed(const ScsiCommand& c);
  ScsiReply setStreaming(const ScsiCommand& c);
  ScsiReply getPerformance(const ScsiCommand& c);
  std::uint32_t settleWriteSpeed(std::uint32_t requested) const;
  std::chrono::microseconds writeDuration(std::int32_t blocks) const;

  bool isDvdDrive() const { return config_.drive == DriveKind::Dvd; }
  bool testWriteAllowed() const;

  WriterConfig config_;
  int index_;
  std::string name_;
  std::filesystem::path directory_;
  mutable std::mutex mutex_;
  CommandTrace trace_;

  // medium
  std::optional<DiscLayout> disc_;  ///< nullopt: no medium
  std::unique_ptr<DiscImage> image_;
  std::optional<DiscLayout> beforeTest_;  ///< layout to restore when a simulated write ends
  bool hostWrote_ = false;
  bool writeFailed_ = false;
  int imageCounter_ = 0;
  std::vector<std::string> finished_;

  // drive state
  SenseData lastSense_{};
  int becomingReadyPolls_ = 0;
  bool mediumChangedPending_ = false;
  int longWritePolls_ = 0;
  int formatPolls_ = 0;  ///< TEST UNIT READY answers "format in progress" this often
  bool locked_ = false;
  WriteParameters params_;
  std::vector<CueTrack> cue_;
  std::int32_t cueLeadOut_ = 0;
  std::int32_t saoNext_ = 0;      ///< where the next session-at-once write must start
  std::uint32_t writeSpeed_ = 0;  ///< KB/s
  std::uint32_t readSpeed_ = 0;
  std::uint64_t bufferFill_ = 0;  ///< bytes
  std::chrono::steady_clock::time_point bufferStamp_{};
  std::vector<std::uint8_t> batch_;  ///< one command's raw sectors, reused
};

/// "CdRom" + (16 + index).
std::string virtualWriterName(int index);

}  // namespace emberline::virt
