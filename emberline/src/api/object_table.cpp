#include "api/object_table.h"

namespace emberline {

namespace {
// Tokens step by a pointer's alignment so they look like addresses to callers
// that print them, and never equal null.
constexpr std::uintptr_t kTokenStep = alignof(std::max_align_t);

std::uintptr_t tokenOf(const EmberlineObject* handle) {
  return reinterpret_cast<std::uintptr_t>(handle);
}
}  // namespace

EmberlineObject* ObjectTable::add(std::shared_ptr<EmberlineObject> object) {
  std::lock_guard lock(mutex_);
  lastToken_ += kTokenStep;
  objects_.emplace(lastToken_, std::move(object));
  return reinterpret_cast<EmberlineObject*>(lastToken_);
}

std::shared_ptr<EmberlineObject> ObjectTable::find(const EmberlineObject* handle) const {
  if (handle == nullptr) return nullptr;
  std::lock_guard lock(mutex_);
  const auto it = objects_.find(tokenOf(handle));
  return it == objects_.end() ? nullptr : it->second;
}

bool ObjectTable::remove(const EmberlineObject* handle) {
  std::shared_ptr<EmberlineObject> keep;  // declared first: freed after the lock is released
  std::lock_guard lock(mutex_);
  const auto it = objects_.find(tokenOf(handle));
  if (it == objects_.end()) return false;
  keep = std::move(it->second);
  objects_.erase(it);
  return true;
}

void ObjectTable::clear() {
  decltype(objects_) old;
  {
    std::lock_guard lock(mutex_);
    old.swap(objects_);
  }
}

std::size_t ObjectTable::size() const {
  std::lock_guard lock(mutex_);
  return objects_.size();
}

}  // namespace emberline
