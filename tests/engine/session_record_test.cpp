#include "engine/session_record.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ondrelle;

TEST(SessionRecord, FilesGoIntoTheirEntriesAfterTheCount) {
  QString error;
  const auto record = TsbSessionRecord::ForFiles({QStringLiteral("/a.iso"), QStringLiteral("/b.iso")}, error);
  ASSERT_TRUE(record.has_value()) << error.toStdString();
  std::uint32_t count = 0;
  std::memcpy(&count, record->Bytes.data(), 4);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(reinterpret_cast<const char*>(record->Bytes.data() + 19), "/a.iso");
  EXPECT_STREQ(reinterpret_cast<const char*>(record->Bytes.data() + 306), "/b.iso");
  EXPECT_EQ(record->Bytes.size(), 29108u);
}

TEST(SessionRecord, MoreThan101FilesOrANameIntoTheHandleFieldAreRefused) {
  QString error;
  QStringList files;
  for (int i = 0; i < 102; ++i) files << QStringLiteral("/f%1.iso").arg(i);
  EXPECT_FALSE(TsbSessionRecord::ForFiles(files, error).has_value());
  EXPECT_TRUE(error.contains(QStringLiteral("at most 101"))) << error.toStdString();
  files.removeLast();
  EXPECT_TRUE(TsbSessionRecord::ForFiles(files, error).has_value());

  EXPECT_FALSE(TsbSessionRecord::ForFiles({QString(264, QLatin1Char('n'))}, error).has_value());
  EXPECT_TRUE(error.contains(QStringLiteral("too long"))) << error.toStdString();
  EXPECT_TRUE(TsbSessionRecord::ForFiles({QString(263, QLatin1Char('n'))}, error).has_value());
}

TEST(SessionRecord, ATreeIsOneTrackWithItsHandle) {
  const auto record = TsbSessionRecord::ForTree(reinterpret_cast<EmberlineHandle>(std::uintptr_t{0x1234}));
  std::uint32_t count = 0, handle = 0;
  std::memcpy(&count, record.Bytes.data(), 4);
  std::memcpy(&handle, record.Bytes.data() + 4 + 279, 4);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(handle, 0x1234u);
}
