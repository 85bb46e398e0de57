#pragma once
// A burn as an ordered list of actions. Each item points to an action it
// does not own and records the wizard page that contributed it.

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/burn_step.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TsbAction;
class TsbActionList;
class TsbBurner;

class TsbActionItem {
 public:
  explicit TsbActionItem(TsbActionList& collection) : collection_(&collection) {}
  /// Copies the action reference and the page index.
  void Assign(const TsbActionItem& source) {
    Action = source.Action;
    PageOwner = source.PageOwner;
  }
  TsbActionList& Collection() const { return *collection_; }

  TsbAction* Action = nullptr;  ///< not owned
  std::int32_t PageOwner = 0;

 private:
  TsbActionList* collection_;
};

struct TsbActionOptions {
  std::int32_t Flags = 0;
  QString FileName;  ///< source file the burn-at-once action reads
  std::int32_t Reserved = 0;
};

class TsbActionList {
 public:
  TsbActionList() = default;
  TsbActionList(const TsbActionList&) = delete;
  TsbActionList& operator=(const TsbActionList&) = delete;

  TsbActionItem& Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }
  int Count() const { return static_cast<int>(items_.size()); }
  TsbActionItem& Add();
  void Clear() { items_.clear(); }

  /// Removes the first item owned by `page` and every item after it.
  void DeleteFromPage(std::int32_t page);
  /// Gives every item's action the list's message handler.
  void ApplyMessageHandler();

  TsbBurner* Burner = nullptr;  ///< set only while the list runs; not owned
  TsbMessageEvent OnMessage;
  /// Told, on the job's worker, each time an action enters a step of the burn.
  std::function<void(TsbBurnStep)> OnStep;
  bool Verbose = true;
  TsbActionOptions Options;

 private:
  std::vector<std::unique_ptr<TsbActionItem>> items_;
};

}  // namespace ondrelle
