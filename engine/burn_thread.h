#pragma once
// The data burn worker: one of the library's track-at-once, session-at-once
// or disc-at-once calls by the session's burning mode (and the disc read
// back when the session asks for it), or the copy of the file tree's image
// into a file.

#include "engine/custom_thread.h"

namespace ondrelle {

class TsbBurnThread : public TsbCustomThread {
 public:
  using TsbCustomThread::TsbCustomThread;

 protected:
  void Execute() override;

 private:
  void Burn(TsbBurner& burner);
  void CopyImage(TsbBurner& burner);
};

/// The text a burning mode is announced with ("Track-At-Once (from tree)").
QString BurnModeText(std::uint8_t mode);

}  // namespace ondrelle
