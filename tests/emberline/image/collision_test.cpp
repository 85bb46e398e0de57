// Name collisions: the record handed to callback 3, what each answer does,
// and what callback 4 says became of it.

#include <algorithm>

#include "image_fixture.h"

namespace image_test {
namespace {

class Collisions : public ImageTest {
 protected:
  uint8_t addFile(const char* folder, const fs::path& file, const char* name) {
    return Emberline_ISO9660JolietFileTree_AddFile(tree, text, sizeof text, &status, folder, file.c_str(), name);
  }
  std::string isoListing() {
    const fs::path iso = dir / "c.iso";
    if (build() != EMBERLINE_OK || streamTo(iso) != EMBERLINE_OK) return "build failed: " + std::string(text);
    return run("isoinfo -l -i " + quoted(iso));
  }
};

TEST_F(Collisions, RecordNamesTheIsoNameAndBothEntries) {
  writeFile(source / "one.txt", "1");
  writeFile(source / "two.txt", "2");
  reports.answer = EMBERLINE_COLLISION_KEEP_FIRST;
  ASSERT_EQ(addFile("/", source / "one.txt", "a+b.txt"), EMBERLINE_OK) << text;
  ASSERT_EQ(addFile("/", source / "two.txt", "a b.txt"), EMBERLINE_OK) << text;
  ASSERT_EQ(reports.collisionNames.size(), 1u);
  EXPECT_FALSE(reports.collisionJoliet[0]);
  EXPECT_EQ(reports.collisionNames[0], "A_B.TXT");
  EXPECT_EQ(reports.firstEntries[0], (source / "one.txt").string());
  EXPECT_EQ(reports.secondEntries[0], (source / "two.txt").string());
  EXPECT_EQ(reports.firstAttributes[0], 0u);
  // Keeping the first reports the second as left out, never silently.
  ASSERT_EQ(reports.ignored.size(), 1u);
  EXPECT_NE(reports.ignored[0].find("/a b.txt"), std::string::npos) << reports.ignored[0];
  EXPECT_NE(reports.ignored[0].find("its ISO 9660 name A_B.TXT is already used by /a+b.txt"), std::string::npos)
      << reports.ignored[0];
  EXPECT_EQ(reports.added.size(), 1u);
  EXPECT_EQ(reports.settledNames, std::vector<std::string>{"1 A_B.TXT"});
}

TEST_F(Collisions, KeepingTheFirstOfAJolietCollisionLeavesTheSecondOut) {
  writeFile(source / "x", "x");
  reports.answer = EMBERLINE_COLLISION_KEEP_FIRST;
  ASSERT_EQ(addFile("/", source / "x", "name_1"), EMBERLINE_OK);
  // Distinct ISO 9660 names; only Joliet maps ';' to '_' and collides.
  ASSERT_EQ(addFile("/", source / "x", "name;1"), EMBERLINE_OK);
  ASSERT_EQ(reports.collisionNames.size(), 1u);
  EXPECT_TRUE(reports.collisionJoliet[0]);
  ASSERT_EQ(reports.ignored.size(), 1u);
  EXPECT_NE(reports.ignored[0].find("/name;1"), std::string::npos) << reports.ignored[0];
  EXPECT_NE(reports.ignored[0].find("its Joliet name is already used by /name_1"), std::string::npos)
      << reports.ignored[0];
  EXPECT_EQ(reports.added, std::vector<std::string>{"/name_1"});
  EXPECT_EQ(reports.settledNames, std::vector<std::string>{"1 name_1"});
}

TEST_F(Collisions, JolietOnlyCollisionComesAsUcs2) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "x", "x");
  reports.answer = EMBERLINE_COLLISION_RENAME;
  reports.renameTo = "other;name";  // ';' is not allowed in Joliet: mapped again
  ASSERT_EQ(addFile("/", source / "x", "name_1"), EMBERLINE_OK);
  // ISO 9660 sees NAME_1. and NAME. here; only Joliet maps ';' to '_' and collides.
  ASSERT_EQ(addFile("/", source / "x", "name;1"), EMBERLINE_OK);
  ASSERT_EQ(reports.collisionNames.size(), 1u);
  EXPECT_TRUE(reports.collisionJoliet[0]);
  EXPECT_EQ(reports.collisionNames[0], "name_1");
  const fs::path iso = dir / "j.iso";
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK);
  const std::string listing = run("isoinfo -J -l -i " + quoted(iso));
  EXPECT_NE(listing.find("other_name"), std::string::npos) << listing;
  EXPECT_NE(listing.find("name_1"), std::string::npos) << listing;
  // The settled name is the one written, not the one the callee asked for.
  EXPECT_EQ(reports.settledNames, std::vector<std::string>{"2 other_name"});
}

TEST_F(Collisions, RenameAnswerIsValidatedAndUsed) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "x", "x");
  reports.answer = EMBERLINE_COLLISION_RENAME;
  reports.renameTo = "renamed file.txt";  // not d-characters: mapped again
  ASSERT_EQ(addFile("/", source / "x", "a+b.txt"), EMBERLINE_OK);
  ASSERT_EQ(addFile("/", source / "x", "a-b.txt"), EMBERLINE_OK);
  const std::string listing = isoListing();
  EXPECT_NE(listing.find("A_B.TXT;1"), std::string::npos) << listing;
  EXPECT_NE(listing.find("RENAMED_FILE.TXT;1"), std::string::npos) << listing;
}

TEST_F(Collisions, RenameToATakenNameFallsBackToACounter) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "x", "x");
  reports.answer = EMBERLINE_COLLISION_RENAME;
  reports.renameTo = "A_B.TXT";  // still the colliding name
  ASSERT_EQ(addFile("/", source / "x", "a+b.txt"), EMBERLINE_OK);
  ASSERT_EQ(addFile("/", source / "x", "a-b.txt"), EMBERLINE_OK);
  const std::string listing = isoListing();
  EXPECT_NE(listing.find("A_B_1.TXT;1"), std::string::npos) << listing;
  EXPECT_EQ(reports.settledNames, std::vector<std::string>{"2 A_B_1.TXT"});
}

TEST_F(Collisions, ANewTreeNameIsSettledInBothNameSpaces) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "one/same.txt", "1");
  writeFile(source / "two/same.txt", "2");
  reports.answer = EMBERLINE_COLLISION_RENAME;
  reports.renameTo = "OTHER.TXT";
  ASSERT_EQ(addFile("/", source / "one/same.txt", nullptr), EMBERLINE_OK);
  ASSERT_EQ(addFile("/", source / "two/same.txt", nullptr), EMBERLINE_OK);
  // One entry, two names changed: the ISO 9660 one asked for, and the Joliet one that follows it.
  EXPECT_EQ(reports.settledNames, (std::vector<std::string>{"2 OTHER.TXT", "2 OTHER.TXT"}));
  const fs::path iso = dir / "t.iso";
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK);
  EXPECT_NE(run("isoinfo -J -l -i " + quoted(iso)).find(" OTHER.TXT"), std::string::npos);
}

TEST_F(Collisions, WithoutCallbackACounterSettlesIt) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  EmberlineHandle quiet = nullptr;
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_Create(&quiet, text, sizeof text, &status, nullptr, nullptr), EMBERLINE_OK);
  tree = quiet;
  writeFile(source / "x", "x");
  for (const char* name : {"a+b.txt", "a-b.txt", "a=b.txt"}) ASSERT_EQ(addFile("/", source / "x", name), EMBERLINE_OK);
  const std::string listing = isoListing();
  for (const char* iso : {"A_B.TXT;1", "A_B_1.TXT;1", "A_B_2.TXT;1"})
    EXPECT_NE(listing.find(iso), std::string::npos) << iso << "\n" << listing;
}

TEST_F(Collisions, MergeAnswerJoinsFolders) {
  writeFile(source / "left/Docs/a.txt", "a");
  writeFile(source / "right/DOCS/b.txt", "b");
  reports.answer = EMBERLINE_COLLISION_MERGE;
  ASSERT_EQ(
      Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", (source / "left/Docs").c_str()),
      EMBERLINE_OK);
  ASSERT_EQ(
      Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", (source / "right/DOCS").c_str()),
      EMBERLINE_OK);
  ASSERT_EQ(reports.collisionNames.size(), 1u);
  EXPECT_EQ(reports.settledNames.size(), 1u);
  EXPECT_EQ(reports.firstAttributes[0], EMBERLINE_ATTRIBUTE_FOLDER);
  EXPECT_EQ(reports.entryKinds[0], 1u);
  EXPECT_NE(std::find(reports.added.begin(), reports.added.end(), "/Docs/b.txt"), reports.added.end());
}

TEST_F(Collisions, RemoveReportsEveryName) {
  writeFile(source / "f/a.txt", "a");
  writeFile(source / "f/g/b.txt", "b");
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/x", (source / "f").c_str()),
            EMBERLINE_OK);
  EXPECT_EQ(reports.added.size(), 5u);  // /x, /x/f, /x/f/a.txt, /x/f/g, /x/f/g/b.txt
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_Remove(tree, text, sizeof text, &status, "/x/f"), EMBERLINE_OK);
  EXPECT_EQ(reports.removed.size(), 4u);
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_Remove(tree, text, sizeof text, &status, "/x/f"),
            EMBERLINE_E_INVALID_ARGUMENT);
}

}  // namespace
}  // namespace image_test
