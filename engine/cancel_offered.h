#pragma once
// The wizard's Cancel button is offered for as long as one of these lives:
// around a write and its read-back, where a cancel is carried out at once.

#include "log/callback_eventer.h"

namespace ondrelle {

class TsbCancelOffered {
 public:
  TsbCancelOffered() { CallBackEventer().DoCancelEnabled(true); }
  ~TsbCancelOffered() { CallBackEventer().DoCancelEnabled(false); }
  TsbCancelOffered(const TsbCancelOffered&) = delete;
  TsbCancelOffered& operator=(const TsbCancelOffered&) = delete;
};

}  // namespace ondrelle
