#include "engine/action_list.h"

#include <algorithm>

#include "engine/action.h"

namespace ondrelle {

TsbActionItem& TsbActionList::Add() {
  items_.push_back(std::make_unique<TsbActionItem>(*this));
  return *items_.back();
}

void TsbActionList::DeleteFromPage(std::int32_t page) {
  const auto first =
      std::find_if(items_.begin(), items_.end(), [page](const auto& item) { return item->PageOwner == page; });
  items_.erase(first, items_.end());
}

void TsbActionList::ApplyMessageHandler() {
  for (const auto& item : items_)
    if (item->Action != nullptr) item->Action->OnMessage = OnMessage;
}

}  // namespace ondrelle
