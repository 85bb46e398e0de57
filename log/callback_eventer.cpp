#include "log/callback_eventer.h"

namespace ondrelle {

TsbCallBackEventer& CallBackEventer() {
  static TsbCallBackEventer eventer;
  return eventer;
}

}  // namespace ondrelle
