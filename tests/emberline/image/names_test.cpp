// Name mapping into ISO 9660 and Joliet identifiers.

#include <gtest/gtest.h>

#include "image/iso_names.h"
#include "image/joliet_names.h"

namespace emberline::image {
namespace {

TEST(IsoNames, Level2KeepsThirtyCharactersAndTheExtension) {
  const std::string name = isoName("a very long document name for the archive.pdf", false, kLevel2Names);
  EXPECT_EQ(name, "A_VERY_LONG_DOCUMENT_NAME_F.PDF");
  EXPECT_EQ(name.size() - 1, 30u);  // the dot is not counted
}

TEST(IsoNames, FoldersHaveNoDotAndThirtyOneCharacters) {
  EXPECT_EQ(isoName("my.folder", true, kLevel2Names), "MY_FOLDER");
  EXPECT_EQ(isoName(std::string(40, 'f'), true, kLevel2Names).size(), 31u);
}

TEST(IsoNames, EveryCodePointBecomesOneCharacter) {
  EXPECT_EQ(isoName("\xc3\xa9t\xc3\xa9.txt", false, kLevel2Names), "_T_.TXT");
  EXPECT_EQ(isoName("README", false, kLevel2Names), "README.");
  EXPECT_EQ(isoName("archive.tar.gz", false, kLevel2Names), "ARCHIVE_TAR.GZ");
}

TEST(IsoNames, Level1IsEightDotThree) {
  EXPECT_EQ(isoName("longer file name.text", false, kLevel1Names), "LONGER_F.TEX");
  EXPECT_EQ(isoNameWithCounter("LONGER_F.TEX", false, 12, kLevel1Names), "LONGE_12.TEX");
  EXPECT_EQ(isoNameWithCounter("FOLDERNM", true, 3, kLevel1Names), "FOLDER_3");
}

TEST(IsoNames, IdentifiersSortAsIfPaddedWithSpaces) {
  EXPECT_TRUE(isoIdentifierLess("A.;1", "AB.;1"));
  EXPECT_TRUE(isoIdentifierLess("AB.C;1", "AB_.;1"));  // name part decides before the extension
  EXPECT_FALSE(isoIdentifierLess("B.;1", "A.Z;1"));
}

TEST(JolietNames, ForbiddenCharactersBecomeUnderscores) {
  EXPECT_EQ(jolietName(std::string_view("a*b:c;d?e\\f.txt")), u"a_b_c_d_e_f.txt");
}

TEST(JolietNames, LongNamesKeepTheirExtension) {
  const std::u16string name = jolietName(std::string(100, 'x') + ".jpeg");
  EXPECT_EQ(name.size(), kJolietMaxName);
  EXPECT_EQ(name.substr(name.size() - 5), u".jpeg");
  EXPECT_EQ(jolietNameWithCounter(name, 7).size(), kJolietMaxName);
}

TEST(JolietNames, CharactersBeyondUcs2AreReplaced) {
  EXPECT_EQ(jolietName(std::string_view("\xf0\x9f\x98\x80.txt")), u"_.txt");
  EXPECT_EQ(jolietName(std::string_view("\xff\xfe")), u"\xfffd\xfffd");
}

TEST(JolietNames, CaseOnlyDifferencesCollide) {
  EXPECT_TRUE(jolietNamesCollide(u"Readme.TXT", u"README.txt"));
  EXPECT_FALSE(jolietNamesCollide(u"readme.txt", u"readme.txt2"));
}

}  // namespace
}  // namespace emberline::image
