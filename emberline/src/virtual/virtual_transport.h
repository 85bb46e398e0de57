#pragma once
/// @file
/// The ScsiTransport of a virtual writer: one device object opened on a
/// drive that outlives it.

#include <memory>

#include "transport/scsi_transport.h"
#include "virtual/disc_image.h"
#include "virtual/interruptor.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {

class VirtualTransport final : public ScsiTransport {
 public:
  /// `claim`: the writer's lock file, held while this object lives (none for a shared open).
  explicit VirtualTransport(std::shared_ptr<VirtualDrive> drive, FileHandle claim = {})
      : drive_(std::move(drive)), claim_(std::move(claim)) {}

  Result<ScsiReply> execute(const ScsiCommand& command) override;
  std::string describe() const override;
  /// Makes a command waiting in realtime return promptly with 0B/00/00; callable from any thread.
  void interrupt() override { interruptor_.interrupt(); }
  void clearInterrupt() override { interruptor_.clear(); }
  VirtualDrive& drive() { return *drive_; }

 private:
  std::shared_ptr<VirtualDrive> drive_;
  Interruptor interruptor_;
  FileHandle claim_;
};

}  // namespace emberline::virt
