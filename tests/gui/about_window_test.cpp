// The about window: what its settings file unlocks, and its links.

#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <vector>

#include "app/about_form.h"

using namespace ondrelle;

namespace {

QString WriteSettings(const QTemporaryDir& folder, const QByteArray& content) {
  const QString path = folder.filePath(QStringLiteral("lame.dll"));
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(content);
  return path;
}

QString Year() {
  return QString::number(QDate::currentDate().year());
}

}  // namespace

TEST(AboutWindow, TheGenuineNameUnlocksBothLinks) {
  QTemporaryDir folder;
  TfrmAbout about(nullptr,
                  WriteSettings(folder, "[SYSTEM]\r\nName=Ondrelle\r\nCompany=Quenmere, Inc.\r\nVersion=1.2.3\r\n"));
  EXPECT_EQ(about.Label1->text(), QStringLiteral("Quenmere, Inc."));
  EXPECT_EQ(about.lblVersion->text(), QStringLiteral("1.2.3"));
  EXPECT_EQ(about.lblCopyright->text(), QStringLiteral("Copyright \u00A9 %1 Quenmere, Inc.").arg(Year()));
  EXPECT_EQ(about.lblSite->text(), QString::fromLatin1(kProductSite));
  EXPECT_EQ(about.lblEmail->text(), QString::fromLatin1(kSupportAddress));
  EXPECT_TRUE(about.lblSite->text().contains(QStringLiteral("example.org")));

  std::vector<QUrl> opened;
  about.OpenUrl = [&opened](const QUrl& url) {
    opened.push_back(url);
    return true;
  };
  about.lblSiteClick();
  about.lblEmailClick();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], QUrl(QString::fromLatin1(kProductSite)));
  EXPECT_EQ(opened[1], QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kSupportAddress)));
}

TEST(AboutWindow, ANameDifferingInCaseOrByATrailingBlankLeavesTheLinksEmpty) {
  for (const QByteArray& name : {QByteArray("ondrelle"), QByteArray("ONDRELLE"), QByteArray("\"Ondrelle \"")}) {
    QTemporaryDir folder;
    TfrmAbout about(nullptr, WriteSettings(folder, "[SYSTEM]\nName=" + name + "\nCompany=Quenmere\nVersion=0.1.0\n"));
    EXPECT_TRUE(about.lblSite->text().isEmpty()) << name.constData();
    EXPECT_TRUE(about.lblEmail->text().isEmpty()) << name.constData();
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Quenmere"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("0.1.0"));
  }
}

TEST(AboutWindow, WithoutItsSettingsFileEverythingButTheYearIsEmpty) {
  QTemporaryDir folder;
  TfrmAbout about(nullptr, folder.filePath(QStringLiteral("lame.dll")));
  EXPECT_TRUE(about.Label1->text().isEmpty());
  EXPECT_TRUE(about.lblVersion->text().isEmpty());
  EXPECT_TRUE(about.lblSite->text().isEmpty());
  EXPECT_TRUE(about.lblEmail->text().isEmpty());
  EXPECT_EQ(about.lblCopyright->text(), QStringLiteral("Copyright \u00A9 %1 ").arg(Year()));

  // A section of another name counts as missing.
  TfrmAbout other(nullptr, WriteSettings(folder, "[OTHER]\nName=Ondrelle\nCompany=Quenmere\n"));
  EXPECT_TRUE(other.lblSite->text().isEmpty());
  EXPECT_TRUE(other.Label1->text().isEmpty());
}
