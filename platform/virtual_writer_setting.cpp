#include "platform/virtual_writer_setting.h"

#include <cstdlib>

namespace ondrelle::platform {

void OfferNoVirtualWriters() {
  ::setenv("ONDRELLE_VIRTUAL_WRITERS", "none", 1);
}

}  // namespace ondrelle::platform
