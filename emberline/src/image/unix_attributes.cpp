#include "image/unix_attributes.h"

namespace emberline::image {

const UnixAttributes* UnixAttributeTable::find(const TreeNode& node) const {
  const auto at = attributeIndex_.find(&node, [this](std::uint32_t i) { return attributes_[i].node; });
  return at ? &attributes_[*at].attributes : nullptr;
}

std::optional<std::string_view> UnixAttributeTable::linkTarget(const TreeNode& node) const {
  const auto at = linkIndex_.find(&node, [this](std::uint32_t i) { return links_[i].node; });
  if (!at) return std::nullopt;
  return links_[*at].target;
}

void UnixAttributeTable::set(const TreeNode& node, const UnixAttributes& attributes) {
  const auto nodeOf = [this](std::uint32_t i) { return attributes_[i].node; };
  if (const auto at = attributeIndex_.find(&node, nodeOf)) {
    attributes_[*at].attributes = attributes;
    return;
  }
  attributes_.push_back(Entry{&node, attributes});
  attributeIndex_.insert(&node, static_cast<std::uint32_t>(attributes_.size() - 1), nodeOf);
}

void UnixAttributeTable::setLinkTarget(const TreeNode& node, std::string_view target) {
  const auto nodeOf = [this](std::uint32_t i) { return links_[i].node; };
  links_.push_back(Link{&node, targets_.store(target)});
  linkIndex_.insert(&node, static_cast<std::uint32_t>(links_.size() - 1), nodeOf);
}

void UnixAttributeTable::forget(const TreeNode& node) {
  for (const auto& child : node.children) forget(*child);
  // The entries stay, owned by no node: a later node at the same address must not find them.
  if (const auto at = attributeIndex_.find(&node, [this](std::uint32_t i) { return attributes_[i].node; }))
    attributes_[*at].node = nullptr;
  if (const auto at = linkIndex_.find(&node, [this](std::uint32_t i) { return links_[i].node; }))
    links_[*at].node = nullptr;
}

std::uint32_t UnixAttributeTable::serialOf(dev_t device, ino_t inode, bool mayBeLinked) {
  if (!mayBeLinked) return freshSerial();
  const auto [it, added] = linked_.try_emplace(Identity{device, inode}, 0);
  if (added) it->second = freshSerial();
  return it->second;
}

}  // namespace emberline::image
