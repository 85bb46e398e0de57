#include "engine/run_cancelled.h"

#include "engine/burner.h"
#include "strings/string_table.h"

namespace ondrelle {

TsbRunCancelled::TsbRunCancelled() : TsbError(LoadStr(15173)) {}

void ThrowIfCancelled(const TsbBurner& burner) {
  if (burner.Cancelled) throw TsbRunCancelled();
}

}  // namespace ondrelle
