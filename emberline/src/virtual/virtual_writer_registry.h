#pragma once
/// @file
/// The process-wide set of virtual writers, built from the configuration at
/// library start-up. Drives (and their media) live until shut-down, so
/// reopening a device sees the same disc.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "transport/linux_sg_transport.h"
#include "transport/scsi_transport.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {

/// Host (PortID) number virtual writers appear on.
constexpr std::uint8_t kVirtualHost = 255;

class VirtualWriterRegistry {
 public:
  static VirtualWriterRegistry& instance();

  /// Creates the writers of `spec` recording into `directory`; replaces earlier ones.
  Status start(std::string_view spec, const std::filesystem::path& directory);
  /// start() from ONDRELLE_VIRTUAL_WRITERS and ONDRELLE_VIRTUAL_DIR.
  Status startFromEnvironment();
  /// Finishes every loaded medium's images and drops the writers.
  void shutDown();

  std::vector<std::string> names() const;
  std::shared_ptr<VirtualDrive> findByName(std::string_view name) const;
  std::shared_ptr<VirtualDrive> findByAddress(std::uint8_t host, std::uint8_t channel, std::uint8_t target,
                                              std::uint8_t lun) const;
  /// A device object on the named writer. An exclusive one holds the
  /// writer's lock file for as long as it lives, so a second burn on the
  /// same writer (from this process or another) is refused as busy at once.
  Result<std::unique_ptr<ScsiTransport>> open(std::string_view name, OpenMode mode = OpenMode::Shared) const;
  /// Images finished by every writer so far.
  std::vector<std::string> finishedImages() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<VirtualDrive>> drives_;
  std::filesystem::path directory_;
};

}  // namespace emberline::virt
