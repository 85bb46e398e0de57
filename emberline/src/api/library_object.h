#pragma once
// What an EmberlineHandle points at: a device object or a file tree.

struct EmberlineObject {
  virtual ~EmberlineObject() = default;
};
