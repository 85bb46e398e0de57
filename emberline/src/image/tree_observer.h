#pragma once
/// @file What a file tree tells its owner while it is filled.

#include <optional>
#include <string>

namespace emberline::image {

/// Two entries of one folder that would share a name in one hierarchy.
struct NameCollision {
  bool joliet = false;        ///< the Joliet hierarchy; otherwise ISO 9660
  std::string isoName;        ///< the shared name (ISO 9660)
  std::u16string jolietName;  ///< the shared name (Joliet)
  std::string firstSource;    ///< the entry already in the folder
  bool firstFolder = false;
  std::string secondSource;  ///< the entry being added
  bool secondFolder = false;
};

enum class CollisionAnswer { KeepFirst, Rename, Merge };

struct CollisionDecision {
  CollisionAnswer answer = CollisionAnswer::Rename;
  std::string isoName;        ///< the new name for Rename (ISO 9660 collisions)
  std::u16string jolietName;  ///< the new name for Rename (Joliet collisions)
};

/// Receives every name added, removed or left out, and settles collisions.
class TreeObserver {
 public:
  virtual ~TreeObserver() = default;
  virtual void added(const std::string& treePath, const std::string& source) = 0;
  virtual void removed(const std::string& treePath, const std::string& source) = 0;
  virtual void ignored(const std::string& treePath, const std::string& reason) = 0;
  /// No answer means the tree settles the collision itself.
  virtual std::optional<CollisionDecision> collision(const NameCollision& collision) = 0;
  /// How a collision was settled in the end: for a rename, `outcome` holds the
  /// entry's name as the image records it (the answer's name made valid, or
  /// one with a counter when that was taken or there was no answer).
  virtual void settled(const NameCollision& collision, const CollisionDecision& outcome) {
    (void)collision;
    (void)outcome;
  }
};

}  // namespace emberline::image
