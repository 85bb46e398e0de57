#pragma once
// The library's live objects. Handles are looked up here before use, so a
// stale or foreign handle is refused instead of followed, and an object
// destroyed on one thread stays alive for a call still using it on another.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "api/library_object.h"

namespace emberline {

/// Hands out opaque handles for library objects and resolves them again.
///
/// A handle is a token, never the object's address: memory reused by a later
/// object cannot make an old handle valid again.
class ObjectTable {
 public:
  /// Takes shared ownership of @p object and returns its new handle.
  EmberlineObject* add(std::shared_ptr<EmberlineObject> object);
  /// The object of a handle, or null when the handle is not ours.
  std::shared_ptr<EmberlineObject> find(const EmberlineObject* handle) const;
  template <class T>
  std::shared_ptr<T> findAs(const EmberlineObject* handle) const {
    return std::dynamic_pointer_cast<T>(find(handle));
  }
  /// Forgets the object; it is freed when its last user lets go.
  bool remove(const EmberlineObject* handle);
  void clear();
  std::size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::uintptr_t lastToken_ = 0;
  std::unordered_map<std::uintptr_t, std::shared_ptr<EmberlineObject>> objects_;
};

}  // namespace emberline
