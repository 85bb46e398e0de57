#include "devices/name_collision.h"

#include <gtest/gtest.h>

#include <cstring>

#include "devices/library_callback.h"
#include "log/callback_eventer.h"

using namespace ondrelle;

namespace {

std::string IsoRename(const char* name, std::int32_t counter) {
  ISO9660RenameCounter = counter;
  char field[EMBERLINE_COLLISION_NAME_SIZE] = {};
  std::strcpy(field, name);
  RenameISO9660(field, sizeof field);
  return field;
}

QString JolietRename(const QString& name, std::size_t capacity = EMBERLINE_COLLISION_NAME_SIZE / 2) {
  std::vector<char16_t> field(capacity + 8, u'#');  // the guard after the field must survive
  std::memcpy(field.data(), name.utf16(), static_cast<std::size_t>(name.size()) * 2);
  field[static_cast<std::size_t>(name.size())] = 0;
  const QDateTime when(QDate(2026, 12, 7), QTime(9, 5, 0));
  RenameJoliet(field.data(), capacity, when, QLocale(QLocale::English, QLocale::UnitedKingdom));
  for (std::size_t i = capacity; i < field.size(); ++i) EXPECT_EQ(field[i], u'#') << "written past the field";
  return QString::fromUtf16(field.data());
}

EmberlineNameCollision Collision(bool joliet, std::uint32_t firstAttributes, std::uint32_t secondAttributes,
                                 const std::string& firstPath, const std::string& secondPath = {}) {
  static std::string entry;
  static std::string second;
  entry = std::string(1, '\0') + firstPath;
  second = std::string(1, '\0') + secondPath;
  EmberlineNameCollision c{};
  c.joliet = joliet ? 1 : 0;
  if (joliet) {
    const char16_t name[] = u"Report.doc";
    std::memcpy(c.name, name, sizeof name);
  } else {
    std::strcpy(reinterpret_cast<char*>(c.name), "REPORT.DOC;1");
  }
  c.firstEntry = reinterpret_cast<const std::uint8_t*>(entry.c_str());
  c.firstAttributes = firstAttributes;
  c.secondEntry = reinterpret_cast<const std::uint8_t*>(second.c_str());
  c.secondAttributes = secondAttributes;
  return c;
}

}  // namespace

TEST(RenameISO9660, KeepsTheExtensionAndVersionAndCountsUp) {
  EXPECT_EQ(IsoRename("LONGFILENAME.TXT;1", 1), "LONGFIL1.TXT;1");
  EXPECT_EQ(ISO9660RenameCounter, 2);
  EXPECT_EQ(IsoRename("README.TXT;1", 2), "README2.TXT;1");
  EXPECT_EQ(IsoRename("A", 1), "A01");
  EXPECT_EQ(IsoRename("NOEXTENSIONATALL", 5), "NOEXTEN5");
}

TEST(RenameISO9660, ADotBeyondFourCharactersIsNotAnExtension) {
  // Only the version suffix is kept; the name is cut to seven characters before the counter.
  EXPECT_EQ(IsoRename("NAME.ABCD;1", 3), "NAME.AB3;1");
  EXPECT_EQ(IsoRename("LONGNAME.ABC;123", 3), "LONGNAM3");
}

TEST(RenameJoliet, AddsDateAndTimeAndTurnsSeparatorsIntoUnderscoresButKeepsTheExtension) {
  EXPECT_EQ(JolietRename(QStringLiteral("report.doc")), QStringLiteral("report_07/12/2026_09_05_00.doc"));
  EXPECT_EQ(JolietRename(QStringLiteral("my notes.v2.txt")), QStringLiteral("my_notes_v2_07/12/2026_09_05_00.txt"));
  EXPECT_EQ(JolietRename(QStringLiteral("x")), QStringLiteral("x0_07/12/2026_09_05_00"));
}

TEST(RenameJoliet, ALongNameIsShortenedToFitItsField) {
  const QString renamed = JolietRename(QString(255, QLatin1Char('n')) + QStringLiteral(".txt"));
  EXPECT_EQ(renamed.size(), EMBERLINE_COLLISION_NAME_SIZE / 2 - 1);
  EXPECT_TRUE(renamed.endsWith(QStringLiteral("_07/12/2026_09_05_00.txt"))) << renamed.toStdString();
  const QString tiny = JolietRename(QStringLiteral("report.doc"), 12);
  EXPECT_EQ(tiny.size(), 11);
}

TEST(NameCollision, JolietFoldersOfTheSameNameMergeWhileIsoFoldersAreRenamed) {
  std::vector<QString> warnings;
  CallBackEventer().OnWarning = [&](TsbCallBackEventer&, const QString& text) { warnings.push_back(text); };
  EmberlineNameCollision joliet = Collision(true, 0x10, 0x10, "a/docs/Report.doc", "b/docs/Report.doc");
  EmberlineCallBack(3, nullptr, &joliet, nullptr);
  EXPECT_TRUE(warnings.empty()) << "told once the library has settled it";
  EmberlineCallBack(4, nullptr, &joliet, nullptr);
  EXPECT_EQ(joliet.answer, EMBERLINE_COLLISION_MERGE);
  char16_t name[EMBERLINE_COLLISION_NAME_SIZE / 2];
  std::memcpy(name, joliet.name, sizeof name);  // the field sits at an odd offset
  EXPECT_EQ(std::u16string(name), u"Report.doc") << "merged names stay";

  ISO9660RenameCounter = 1;
  EmberlineNameCollision iso = Collision(false, 0x10, 0x10, "docs/REPORT.DOC");
  EmberlineCallBack(3, nullptr, &iso, nullptr);
  EXPECT_EQ(iso.answer, EMBERLINE_COLLISION_RENAME);
  EXPECT_STREQ(reinterpret_cast<const char*>(iso.name), "REPORT1.DOC;1");
  // The warning names what the library settled on, which need not be the name asked for.
  std::strcpy(reinterpret_cast<char*>(iso.name), "REPORT_1.DOC");
  EmberlineCallBack(4, nullptr, &iso, nullptr);
  CallBackEventer().OnWarning = nullptr;
  ASSERT_EQ(warnings.size(), 2u) << "nothing changes name silently";
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("are merged into one")));
  EXPECT_EQ(warnings[1], QStringLiteral("The ISO 9660 name of \"\" collides with \"docs/REPORT.DOC\"; it is renamed to "
                                        "\"REPORT_1.DOC\""));
}

TEST(NameCollision, FoldersThatOnlyMeetAfterCaseFoldingOrTheCutAreRenamedNotMerged) {
  for (const auto& [first, second] :
       {std::pair<std::string, std::string>{"src/Docs", "src/docs"},
        std::pair{"a/" + std::string(64, 'n') + "1", "a/" + std::string(64, 'n') + "2"}}) {
    QString warning;
    CallBackEventer().OnWarning = [&](TsbCallBackEventer&, const QString& text) { warning = text; };
    EmberlineNameCollision c = Collision(true, 0x10, 0x10, first, second);
    EmberlineCallBack(3, nullptr, &c, nullptr);
    EmberlineCallBack(4, nullptr, &c, nullptr);
    CallBackEventer().OnWarning = nullptr;
    EXPECT_EQ(c.answer, EMBERLINE_COLLISION_RENAME) << second;
    char16_t name[EMBERLINE_COLLISION_NAME_SIZE / 2];
    std::memcpy(name, c.name, sizeof name);
    EXPECT_TRUE(QString::fromUtf16(name).startsWith(QStringLiteral("Report_"))) << second;
    EXPECT_TRUE(warning.startsWith(
        QStringLiteral("The Joliet name of \"%1\" collides with").arg(QString::fromStdString(second))))
        << warning.toStdString();
  }
}

TEST(NameCollision, ABootImageKeepsTheFirstEntryInAnyCaseButIsStillRenamed) {
  for (const char* path : {"boot/BOOT.IMG", "c:boot.img", "x\\Boot.Img"}) {
    ISO9660RenameCounter = 4;
    EmberlineNameCollision c = Collision(false, 0, 0, path);
    EmberlineCallBack(3, nullptr, &c, nullptr);
    EXPECT_EQ(c.answer, EMBERLINE_COLLISION_KEEP_FIRST) << path;
    EXPECT_STREQ(reinterpret_cast<const char*>(c.name), "REPORT4.DOC;1");
  }
}

TEST(NameCallbacks, AddedAndRemovedNamesKeepTheCountOnlyWithAContext) {
  std::int32_t nodes = 0;
  EmberlineCallBack(0, &nodes, const_cast<char*>("/A.TXT"), nullptr);
  EmberlineCallBack(0, &nodes, const_cast<char*>("/B.TXT"), nullptr);
  EmberlineCallBack(1, &nodes, const_cast<char*>("/A.TXT"), nullptr);
  EmberlineCallBack(2, &nodes, const_cast<char*>("/C.TXT"), nullptr);
  EXPECT_EQ(nodes, 1);
  EXPECT_NO_FATAL_FAILURE(EmberlineCallBack(0, nullptr, const_cast<char*>("/D.TXT"), nullptr));
}
