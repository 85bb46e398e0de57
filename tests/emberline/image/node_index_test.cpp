// The index from tree node to the caller's entry: every node found through
// its growth, nodes never added not found, entries without a node skipped.

#include "image/node_index.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using emberline::image::NodeIndex;
using emberline::image::TreeNode;

TEST(NodeIndex, FindsEveryNodeThroughGrowthAndNoOther) {
  std::vector<std::unique_ptr<TreeNode>> nodes;
  for (int n = 0; n < 5000; ++n) nodes.push_back(std::make_unique<TreeNode>());
  const auto stranger = std::make_unique<TreeNode>();

  std::vector<const TreeNode*> list;  // the caller's entries; every tenth has no node
  const auto nodeOf = [&](std::uint32_t entry) { return list[entry]; };
  NodeIndex index;
  index.reserve(100, 0, nodeOf);  // far too little: the table grows as entries come
  for (const auto& node : nodes) {
    if (list.size() % 10 == 9) list.push_back(nullptr);
    list.push_back(node.get());
    index.insert(node.get(), static_cast<std::uint32_t>(list.size() - 1), nodeOf);
  }
  for (std::uint32_t entry = 0; entry < list.size(); ++entry) {
    if (list[entry] == nullptr) continue;
    const auto found = index.find(list[entry], nodeOf);
    ASSERT_TRUE(found.has_value()) << "entry " << entry;
    EXPECT_EQ(*found, entry);
  }
  EXPECT_FALSE(index.find(stranger.get(), nodeOf).has_value());
  EXPECT_FALSE(NodeIndex().find(stranger.get(), nodeOf).has_value());
}

}  // namespace
