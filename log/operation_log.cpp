#include "log/operation_log.h"

#include <algorithm>

namespace ondrelle {

TsbLogItem& TsbLog::Add() {
  items_.push_back(std::make_unique<TsbLogItem>());
  return *items_.back();
}

void TsbLog::DeleteFromPage(std::int32_t page) {
  const auto first =
      std::find_if(items_.begin(), items_.end(), [page](const auto& item) { return item->PageOwner == page; });
  items_.erase(first, items_.end());
}

}  // namespace ondrelle
