#include "engine/custom_thread.h"

namespace ondrelle {

TsbCustomThread::TsbCustomThread(TsbBurner& burner)
    : Burner(&burner),
      worker_([this] { Execute(); },
              [this] {
                if (OnTerminate) OnTerminate(*this);
              }) {}

void TsbCustomThread::DoMessage(const QString& message, TsbLogItemType kind) {
  if (OnMessage) OnMessage(this, message, kind);
}

}  // namespace ondrelle
