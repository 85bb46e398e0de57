#pragma once
// The operation log: the short, ordered lines that describe the burn job,
// each stamped with the wizard page that contributed it.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "log/log_item_type.h"

namespace ondrelle {

struct TsbLogItem {
  QString LogMessage;
  QDateTime LogTime;  ///< null when no time was recorded
  TsbLogItemType ItemType = TsbLogItemType::litInfo;
  std::int32_t PageOwner = 0;
};

class TsbLog {
 public:
  TsbLogItem& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  const TsbLogItem& Items(int index) const { return *items_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  void Clear() { items_.clear(); }

  /// Appends a line with the defaults; the caller fills it.
  TsbLogItem& Add();

  /// Removes the first line owned by `page` and every line after it.
  void DeleteFromPage(std::int32_t page);

 private:
  std::vector<std::unique_ptr<TsbLogItem>> items_;
};

}  // namespace ondrelle
