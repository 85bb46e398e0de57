// Images of a mixed tree, read back by the system's ISO 9660 readers.

#include <map>
#include <set>

#include "image_fixture.h"

namespace image_test {
namespace {

const std::string kLongName = "A file name well past thirty-one characters.document";
const std::string kUnicodeName =
    "\xc3\xbcn\xc3\xaf"
    "c\xc3\xb6"
    "d\xc3\xa9 \xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab.txt";

class MixedTree : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    const fs::path docs = source / "docs";
    writeFile(docs / "Readme.txt", "read me\n");
    writeFile(docs / kLongName, std::string(5000, 'L'));
    writeFile(docs / "lower case.txt", "lower\n");
    writeFile(docs / kUnicodeName, "unicode\n");
    writeFile(docs / "empty.bin", "");
    fs::create_directories(docs / "nothing");
    writeFile(docs / "a/b/c/d/e/f/deep.txt", "deep\n");  // level 8 is the deepest folder ISO allows
    writeFile(docs / "a+b.txt", "plus\n");
    writeFile(docs / "a_b.txt", "underscore\n");
    writeFile(docs / "A+B.txt", "upper plus\n");
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 131) >> 3);
    writeFile(docs / "big.dat", big);
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", docs.c_str()),
              EMBERLINE_OK)
        << text;
    ASSERT_EQ(build(), EMBERLINE_OK) << text;
    iso = dir / "mixed.iso";
    ASSERT_EQ(streamTo(iso), EMBERLINE_OK) << text;
  }

  fs::path iso;
};

TEST_F(MixedTree, DescriptorsNameTheVolumeAndJoliet) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  const std::string info = run("isoinfo -d -i " + quoted(iso));
  EXPECT_NE(info.find("Volume id: TESTVOL"), std::string::npos) << info;
  EXPECT_NE(info.find("Joliet with UCS level 3 found"), std::string::npos) << info;
  EXPECT_NE(info.find("Logical block size is: 2048"), std::string::npos) << info;
  EXPECT_NE(info.find("Volume size is: " + std::to_string(imageSize() / 2048)), std::string::npos) << info;
  EXPECT_EQ(info.find("El Torito"), std::string::npos) << info;
}

TEST_F(MixedTree, IsoNamesAreUpperCaseDCharacters) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  const std::string listing = run("isoinfo -l -i " + quoted(iso));
  EXPECT_NE(listing.find("LOWER_CASE.TXT;1"), std::string::npos) << listing;
  EXPECT_NE(listing.find("README.TXT;1"), std::string::npos) << listing;
  EXPECT_NE(listing.find("Directory listing of /DOCS/A/B/C/D/E/F/"), std::string::npos) << listing;
  EXPECT_NE(listing.find("Directory listing of /DOCS/NOTHING/"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("a+b"), std::string::npos) << listing;
}

TEST_F(MixedTree, JolietKeepsLongAndUnicodeNames) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  const std::string listing = run("isoinfo -J -l -i " + quoted(iso));
  EXPECT_NE(listing.find(kLongName), std::string::npos) << listing;
  EXPECT_NE(listing.find("lower case.txt"), std::string::npos) << listing;
  // Joliet names that differ only in case collide (Windows folds them), so the later one gets a counter.
  EXPECT_NE(listing.find("A+B.txt"), std::string::npos) << listing;
  EXPECT_NE(listing.find("a+b_1.txt"), std::string::npos) << listing;
  EXPECT_NE(listing.find("a_b.txt"), std::string::npos) << listing;
}

TEST_F(MixedTree, EveryFileExtractsByteForByte) {
  if (!haveTool("xorriso")) GTEST_SKIP() << "xorriso missing";
  const fs::path out = dir / "out";
  run("xorriso -joliet on -osirrox on -indev " + quoted(iso) + " -extract / " + quoted(out));
  ASSERT_TRUE(fs::exists(out / "docs")) << "nothing extracted";
  // Colliding names come back renamed, so those are matched by content within their folder.
  std::map<fs::path, std::multiset<std::string>> unmatched;
  for (const auto& entry : fs::recursive_directory_iterator(out))
    if (entry.is_regular_file()) unmatched[entry.path().parent_path()].insert(readFile(entry.path()));
  std::size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    if (!entry.is_regular_file()) continue;
    ++files;
    const fs::path extracted = out / fs::relative(entry.path(), source);
    auto& contents = unmatched[extracted.parent_path()];
    auto found = contents.find(readFile(entry.path()));
    ASSERT_NE(found, contents.end()) << "no byte-for-byte copy of " << entry.path();
    contents.erase(found);
  }
  EXPECT_EQ(files, 10u);
  EXPECT_TRUE(fs::is_directory(out / "docs/nothing"));
  EXPECT_EQ(fs::file_size(out / "docs/empty.bin"), 0u);
}

TEST_F(MixedTree, IsoinfoExtractsFromJoliet) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  EXPECT_EQ(run("isoinfo -J -x '/docs/lower case.txt' -i " + quoted(iso)), "lower\n");
  EXPECT_EQ(run("isoinfo -x '/DOCS/A/B/C/D/E/F/DEEP.TXT;1' -i " + quoted(iso)), "deep\n");
}

TEST_F(MixedTree, OtherReadersListTheTree) {
  if (haveTool("7z")) {
    const std::string listing = run("7z l " + quoted(iso));
    EXPECT_NE(listing.find("lower case.txt"), std::string::npos) << listing;
    EXPECT_NE(listing.find("big.dat"), std::string::npos) << listing;
    EXPECT_NE(listing.find(kUnicodeName), std::string::npos) << listing;
  }
  if (haveTool("iso-info")) {
    int code = 0;
    const std::string listing = run("iso-info -l -i " + quoted(iso), &code);
    EXPECT_EQ(code, 0) << listing;
    EXPECT_NE(listing.find("lower case.txt"), std::string::npos) << listing;
  }
  if (haveTool("xorriso")) {
    const std::string found = run("xorriso -joliet on -indev " + quoted(iso) + " -find / -type f");
    EXPECT_NE(found.find("/docs/a/b/c/d/e/f/deep.txt"), std::string::npos) << found;
  }
}

TEST_F(MixedTree, SeekToBeginReplaysTheSameImage) {
  std::vector<uint8_t> again(imageSize());
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(tree, text, sizeof text, &status), EMBERLINE_OK);
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, static_cast<uint32_t>(again.size()),
                                                 again.data()),
            EMBERLINE_OK)
      << text;
  const std::string stored = readFile(iso);
  const std::vector<uint8_t> first(stored.begin(), stored.end());
  ASSERT_EQ(first.size(), again.size());
  const auto differ = std::mismatch(again.begin(), again.end(), first.begin());
  EXPECT_EQ(differ.first, again.end()) << "first difference at byte " << (differ.first - again.begin());
  uint8_t oneMore = 0;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, 1, &oneMore),
            EMBERLINE_E_INVALID_ARGUMENT);
}

}  // namespace
}  // namespace image_test
