#pragma once
/**
 * @file
 * Rock Ridge entries of the ISO 9660 hierarchy's records: POSIX attributes
 * (PX), whole names (NM), symbolic links (SL), times (TF), and the links of
 * relocated folders (CL, PL, RE); the root's own record announces the
 * sharing protocol (SP) and the extension (ER).
 */

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "image/system_use.h"
#include "image/unix_attributes.h"

namespace emberline::image {

struct RockRidgeOptions {
  /// Owners and modes as the sources have them; otherwise owners are 0,
  /// everything is readable by all, executables and folders searchable by
  /// all, and nothing writable, set-ID or sticky.
  bool keepOwners = false;
};

class RockRidgePlanner final : public SystemUsePlanner {
 public:
  RockRidgePlanner(const UnixAttributeTable& attributes, RockRidgeOptions options)
      : attributes_(attributes), options_(options), nextOwnSerial_(attributes.lastSerial() + 3) {}

  void entries(const SystemUseRecord& record, SystemUseEntries& out) override;

 private:
  struct Posix {
    std::uint32_t mode, links, uid, gid, serial;
  };
  Posix posixOf(const SystemUseRecord& record);
  std::uint32_t ownSerial(const TreeNode* node, bool directory);

  const UnixAttributeTable& attributes_;
  RockRidgeOptions options_;
  /// Numbers of the folders and files that have no source (the root, folders made in the tree):
  /// their own record and their parent's entry must give the same.
  std::unordered_map<const TreeNode*, std::uint32_t> ownSerials_;
  std::uint32_t nextOwnSerial_;
};

/// A mode as the default rules record it: see RockRidgeOptions.
std::uint32_t rationalizedMode(std::uint32_t mode);

}  // namespace emberline::image
