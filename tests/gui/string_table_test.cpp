// The string table and its translation files.

#include "strings/string_table.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTranslator>

using namespace ondrelle;

TEST(StringTable, EveryIdentifierIsInRangeAndHasItsText) {
  const QList<int> ids = StringTableIds();
  ASSERT_FALSE(ids.isEmpty());
  for (qsizetype i = 0; i < ids.size(); ++i) {
    EXPECT_GE(ids[i], 15101);
    EXPECT_LE(ids[i], 16181);
    if (i > 0) {
      EXPECT_LT(ids[i - 1], ids[i]) << "the table must stay sorted for its look-up";
    }
    EXPECT_FALSE(LoadStr(ids[i]).isEmpty()) << ids[i];
  }
  EXPECT_EQ(LoadStr(15101), QStringLiteral("&Next >"));
  EXPECT_EQ(LoadStr(16055), QStringLiteral("Can't find video template %s"));
  EXPECT_TRUE(LoadStr(15100).isEmpty());
  EXPECT_TRUE(LoadStr(16182).isEmpty());
}

TEST(StringTable, TheCompiledEnglishTranslationIsShipped) {
  QTranslator translator;
  EXPECT_TRUE(QFile::exists(QStringLiteral(":/i18n/ondrelle_en.qm")));
  EXPECT_TRUE(translator.load(QStringLiteral(":/i18n/ondrelle_en.qm")));
}

TEST(StringTable, FormatStrFillsThePlaceholdersInOrderAndNothingElse) {
  EXPECT_EQ(FormatStr(15154, {QStringLiteral("160")}),
            QStringLiteral("160 MBs of cache will be used during burn process"));
  // A value that looks like a placeholder is not filled again.
  EXPECT_EQ(FormatStr(16055, {QStringLiteral("/videos/%s%d")}),
            QStringLiteral("Can't find video template /videos/%s%d"));
  // Too few values leave the placeholder; surplus values are dropped.
  EXPECT_EQ(FormatStr(15154, {}), LoadStr(15154));
  EXPECT_EQ(FormatStr(15141, {QStringLiteral("1")}), QStringLiteral("Testing unit ready"));
}
