// Rock Ridge images of trees ISO 9660 alone cannot hold (deep folders, long
// paths and names, links, modes, old and far dates), read back by the
// system's readers.

#include <sys/stat.h>
#include <sys/time.h>
#include <utime.h>

#include <map>
#include <set>

#include "image_fixture.h"

namespace image_test {
namespace {

/// 127 two-byte characters and one more byte: the longest name a Linux file system takes.
std::string longUtf8Name() {
  std::string name;
  for (int i = 0; i < 127; ++i) name += "\xc3\xa9";
  return name + "x";
}

void setTimes(const fs::path& path, std::time_t when) {
  const timeval times[2] = {{when, 0}, {when, 0}};
  ASSERT_EQ(::lutimes(path.c_str(), times), 0) << path;
}

std::uint32_t rationalized(std::uint32_t mode) {
  if (S_ISDIR(mode)) return S_IFDIR | 0555;
  return (mode & S_IFMT) | 0444 | ((mode & 0111) != 0 ? 0111 : 0);
}

class RockRidgeTree : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    top = source / "top";
    // Twelve levels below the top folder, and paths well past 1,000 bytes.
    fs::path deep = top;
    for (int level = 1; level <= 12; ++level) deep /= "level" + std::to_string(level);
    writeFile(deep / "bottom.txt", "bottom\n");
    fs::path longPath = top;
    for (char c : std::string("abcde")) longPath /= std::string(200, c);
    writeFile(longPath / "end.txt", "a path of more than a thousand bytes\n");
    ASSERT_GT(longPath.string().size() - top.string().size(), 1000u);
    writeFile(top / longUtf8Name(), "long name\n");
    writeFile(top / "Case.txt", "mixed\n");
    writeFile(top / "CASE.txt", "upper\n");
    writeFile(top / "case.txt", "lower\n");
    writeFile(top / "sub/target.txt", "target\n");
    fs::create_symlink("sub/target.txt", top / "relative");
    fs::create_symlink("/etc/hostname", top / "absolute");
    fs::create_symlink("nowhere/at/all", top / "dangling");
    fs::create_symlink("loop-b", top / "loop-a");
    fs::create_symlink("loop-a", top / "loop-b");
    fs::create_symlink("../..", top / "sub/up");
    fs::create_symlink(".", top / "self");
    // Past one SL entry and the record, well within what every reader takes (isoinfo and isovfy stop at 1,024 bytes).
    fs::create_symlink(std::string(400, 'q') + "/" + std::string(249, 'r'), top / "long-link");
    writeFile(top / "hard-1", "hard\n");
    fs::create_hard_link(top / "hard-1", top / "hard-2");
    writeFile(top / "setuid", "#!/bin/sh\n");
    ::chmod((top / "setuid").c_str(), 04755);
    writeFile(top / "unreadable", "secret\n");
    ::chmod((top / "unreadable").c_str(), 0);
    writeFile(top / "old.txt", "1960\n");
    setTimes(top / "old.txt", -315619200);  // 1960-01-01
    writeFile(top / "future.txt", "2100\n");
    setTimes(top / "future.txt", 4102444800);  // 2100-01-01
    writeFile(top / "far.txt", "2200\n");
    setTimes(top / "far.txt", 7258118400);  // 2200-01-01: past the short form's years
    fs::create_directories(top / "sticky");
    ::chmod((top / "sticky").c_str(), 01777);
  }

  void add(std::uint32_t flags) {
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_SetRockRidge(tree, text, sizeof text, &status, flags), EMBERLINE_OK)
        << text;
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", top.c_str()),
              EMBERLINE_OK)
        << text;
    ASSERT_EQ(build(), EMBERLINE_OK) << text;
    iso = dir / "rr.iso";
    ASSERT_EQ(streamTo(iso), EMBERLINE_OK) << text;
  }

  /// The image as xorriso extracts it.
  fs::path extracted() {
    const fs::path out = dir / "extracted";
    run("xorriso -osirrox on -indev " + quoted(iso) + " -extract / " + quoted(out));
    return out / "top";
  }

  /// Every difference between the source and what was extracted; `keep`: modes as the source's.
  std::vector<std::string> differences(const fs::path& copy, bool keep) {
    std::vector<std::string> found;
    compare(top, copy, keep, found);
    return found;
  }

  // Walked by hand: the library's iterator stats the looping links and gives up.
  void compare(const fs::path& folder, const fs::path& copy, bool keep, std::vector<std::string>& found) {
    for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
      const fs::path relative = item.path().lexically_relative(top);
      const fs::path other = copy / relative;
      struct stat a {
      }, b{};
      ::lstat(item.path().c_str(), &a);
      if (::lstat(other.c_str(), &b) != 0) {
        found.push_back("missing: " + relative.string().substr(0, 80));
        continue;
      }
      const std::uint32_t wanted = keep ? a.st_mode : rationalized(a.st_mode);
      if ((a.st_mode & S_IFMT) != (b.st_mode & S_IFMT)) found.push_back("type: " + relative.string());
      if (!S_ISLNK(a.st_mode) && b.st_mode != wanted) found.push_back("mode: " + relative.string());
      if (S_ISLNK(a.st_mode) && fs::read_symlink(item.path()) != fs::read_symlink(other))
        found.push_back("link: " + relative.string());
      if (S_ISREG(a.st_mode)) {
        if (readFile(item.path()) != readFile(other)) found.push_back("content: " + relative.string());
        if (a.st_mtime != b.st_mtime) found.push_back("time: " + relative.string());
      }
      if (S_ISDIR(a.st_mode)) compare(item.path(), copy, keep, found);
    }
  }

  fs::path top;
  fs::path iso;
};

TEST_F(RockRidgeTree, XorrisoExtractsTheSourceWithReadableModes) {
  if (!haveTool("xorriso")) GTEST_SKIP() << "xorriso missing";
  add(EMBERLINE_ROCK_RIDGE);
  EXPECT_EQ(differences(extracted(), false), std::vector<std::string>());
}

TEST_F(RockRidgeTree, KeptOwnersAndModesComeBackAsTheSourceHasThem) {
  if (!haveTool("xorriso") || !haveTool("isoinfo")) GTEST_SKIP() << "xorriso or isoinfo missing";
  add(EMBERLINE_ROCK_RIDGE | EMBERLINE_ROCK_RIDGE_KEEP_OWNERS);
  EXPECT_EQ(differences(extracted(), true), std::vector<std::string>());
  EXPECT_NE(run("isoinfo -R -l -i " + quoted(iso)).find("----------   1"), std::string::npos);
  if (haveTool("iso-info")) {  // isoinfo shows no set-ID bits; iso-info does
    EXPECT_NE(run("iso-info --no-joliet --no-header -l -i " + quoted(iso)).find("-rwsr-xr-x"), std::string::npos);
  }
}

TEST_F(RockRidgeTree, IsoinfoListsNamesLinksAndHardLinkCounts) {
  if (!haveTool("isoinfo") || !haveTool("isovfy")) GTEST_SKIP() << "isoinfo or isovfy missing";
  add(EMBERLINE_ROCK_RIDGE);
  const std::string listing = run("isoinfo -R -l -i " + quoted(iso));
  for (const std::string& line :
       {std::string("dangling -> nowhere/at/all"), std::string("relative -> sub/target.txt"),
        std::string("absolute -> /etc/hostname"), std::string("loop-a -> loop-b"), std::string("self -> ."),
        std::string("up -> ../.."), longUtf8Name(), std::string("Case.txt"), std::string("CASE.txt"),
        std::string("case.txt"), std::string("bottom.txt"), std::string("end.txt"),
        std::string(400, 'q') + "/" + std::string(249, 'r')})
    EXPECT_NE(listing.find(line), std::string::npos) << line.substr(0, 60);
  // Both names of the hard link: one file, counted twice, its data once.
  std::set<std::string> extents;
  for (std::size_t at = listing.find("-r--r--r--   2"); at != std::string::npos;
       at = listing.find("-r--r--r--   2", at + 1)) {
    const std::size_t open = listing.find('[', at);
    extents.insert(listing.substr(open, listing.find(']', open) - open));
  }
  EXPECT_EQ(extents.size(), 1u) << listing;
  // Write, set-ID and sticky bits are gone; executables stay executable by all.
  EXPECT_EQ(listing.find("rws"), std::string::npos);
  EXPECT_EQ(listing.find("rwt"), std::string::npos);
  EXPECT_NE(listing.find("-r-xr-xr-x   1    0    0"), std::string::npos) << listing;
  const std::string check = run("sh -c 'isovfy \"$0\" 2>&1' " + quoted(iso));
  EXPECT_NE(check.find("No errors found"), std::string::npos) << check;
}

TEST_F(RockRidgeTree, ReadersThatStayInTheRecordSeeTheStartOfLongNames) {
  if (!haveTool("iso-info")) GTEST_SKIP() << "iso-info missing";
  add(EMBERLINE_ROCK_RIDGE);
  // iso-info reads the name in the record and no continuation: the name starts there.
  const std::string listing = run("iso-info --no-joliet --no-header -l -i " + quoted(iso));
  EXPECT_NE(listing.find(longUtf8Name().substr(0, 40)), std::string::npos) << listing;
  EXPECT_NE(listing.find("bottom.txt"), std::string::npos);
  EXPECT_NE(listing.find("end.txt"), std::string::npos);
  EXPECT_NE(listing.find("CASE.txt"), std::string::npos);
}

TEST_F(RockRidgeTree, JolietKeepsNamesThatDifferInCaseOnly) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  add(EMBERLINE_ROCK_RIDGE);
  // Readers that take Joliet (7z, say) list the names as the source has them, not renamed.
  const std::string listing = run("isoinfo -J -f -i " + quoted(iso));
  for (const char* name : {"/top/Case.txt\n", "/top/CASE.txt\n", "/top/case.txt\n"})
    EXPECT_NE(listing.find(name), std::string::npos) << name << listing;
  EXPECT_EQ(run("isoinfo -J -i " + quoted(iso) + " -x /top/CASE.txt"), "upper\n");
}

TEST_F(RockRidgeTree, DirectoriesReadTheSameInAnyOrderAndPieces) {
  add(EMBERLINE_ROCK_RIDGE | EMBERLINE_ROCK_RIDGE_KEEP_OWNERS);
  // The directories are made as they are read: read again from the start,
  // in pieces that cut blocks and records, they come out byte for byte the same.
  const std::string whole = readFile(iso);
  ASSERT_EQ(whole.size(), imageSize());
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(tree, text, sizeof text, &status), EMBERLINE_OK) << text;
  std::string again;
  std::vector<uint8_t> piece(1000);
  while (again.size() < whole.size()) {
    const auto count = static_cast<uint32_t>(std::min<std::size_t>(piece.size(), whole.size() - again.size()));
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, count, piece.data()), EMBERLINE_OK)
        << text;
    again.append(piece.begin(), piece.begin() + count);
  }
  EXPECT_TRUE(again == whole) << "the second reading differs";
}

TEST_F(RockRidgeTree, FollowedLinksBecomeWhatTheyPointTo) {
  if (!haveTool("xorriso")) GTEST_SKIP() << "xorriso missing";
  // A followed tree cannot hold links that point nowhere or into themselves.
  for (const char* link : {"dangling", "loop-a", "loop-b", "long-link", "self", "sub/up", "absolute"})
    fs::remove(top / link);
  add(EMBERLINE_ROCK_RIDGE | EMBERLINE_ROCK_RIDGE_FOLLOW_LINKS);
  const fs::path copy = extracted();
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(copy / "relative")));
  EXPECT_EQ(readFile(copy / "relative"), "target\n");
}

TEST_F(ImageTest, RockRidgeIsChosenBeforeTheTreeIsFilled) {
  writeFile(source / "a.txt", "a\n");
  EXPECT_NE(Emberline_ISO9660JolietFileTree_SetRockRidge(tree, text, sizeof text, &status, 0x80), EMBERLINE_OK);
  EXPECT_NE(std::string(text).find("unknown Rock Ridge flags"), std::string::npos) << text;
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", source.c_str()),
            EMBERLINE_OK);
  EXPECT_NE(Emberline_ISO9660JolietFileTree_SetRockRidge(tree, text, sizeof text, &status, EMBERLINE_ROCK_RIDGE),
            EMBERLINE_OK);
  EXPECT_NE(std::string(text).find("before the first folder or file"), std::string::npos) << text;
}

TEST_F(ImageTest, WithoutRockRidgeDeepFoldersAreStillRefused) {
  fs::path deep = source;
  for (int level = 1; level <= 9; ++level) deep /= "d" + std::to_string(level);
  writeFile(deep / "f.txt", "f\n");
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", source.c_str()),
            EMBERLINE_OK);
  EXPECT_NE(build(), EMBERLINE_OK);
  EXPECT_NE(std::string(text).find("lies deeper than the 8 levels ISO 9660 allows"), std::string::npos) << text;
}

}  // namespace
}  // namespace image_test

namespace image_test {
namespace {

TEST_F(ImageTest, ContinuationAreasRunOverSeveralBlocks) {
  if (!haveTool("xorriso") || !haveTool("isovfy")) GTEST_SKIP() << "xorriso or isovfy missing";
  // Forty names of 200 bytes: each goes on in a continuation area, and one folder's areas fill several blocks.
  std::set<std::string> names;
  for (int i = 0; i < 40; ++i) {
    std::string name = std::to_string(i) + "-" + std::string(200, 'n');
    name.resize(200);
    writeFile(source / "many" / name, name);
    names.insert(name);
  }
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SetRockRidge(tree, text, sizeof text, &status, EMBERLINE_ROCK_RIDGE),
            EMBERLINE_OK);
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_AddFolder(tree, text, sizeof text, &status, "/", (source / "many").c_str()),
            EMBERLINE_OK)
      << text;
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  const fs::path iso = dir / "many.iso";
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK) << text;
  const fs::path out = dir / "out";
  run("xorriso -osirrox on -indev " + quoted(iso) + " -extract /many " + quoted(out));
  std::set<std::string> found;
  for (const auto& item : fs::directory_iterator(out)) {
    found.insert(item.path().filename().string());
    EXPECT_EQ(readFile(item.path()), item.path().filename().string());
  }
  EXPECT_EQ(found, names);
  EXPECT_NE(run("sh -c 'isovfy \"$0\" 2>&1' " + quoted(iso)).find("No errors found"), std::string::npos);
}

}  // namespace
}  // namespace image_test
