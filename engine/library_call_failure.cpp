#include "engine/library_call_failure.h"

#include "devices/library_result.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

const QString& RecordLibraryFailure(TsbBurner& burner, const char* function, TsbFailureEnding ending) {
  burner.LastMessage =
      EmberlineFailureText(function, burner.ExceptionCode, burner.SystemStatus, burner.ExceptionText.data());
  if (ending == TsbFailureEnding::BackslashN) burner.LastMessage += QStringLiteral("\\n");
  Logger().WriteLog(burner.LastMessage);
  return burner.LastMessage;
}

void RaiseLibraryFailure(TsbBurner& burner, const char* function, TsbFailureEnding ending) {
  throw TsbError(RecordLibraryFailure(burner, function, ending));
}

}  // namespace ondrelle
