// The sources of a tree, and an image file, checked against each other
// before anything is built or written.

#include "engine/source_tree.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ondrelle;

namespace {

class Sources : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("src/docs")));
    QFile file(Path("src/docs/a.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a");
    file.close();
    ASSERT_TRUE(QFile::link(Path("src"), Path("link")));
  }
  QString Path(const char* relative) const { return root.filePath(QLatin1String(relative)); }

  QTemporaryDir root;
};

}  // namespace

TEST_F(Sources, ASourceNamedTwiceOrInsideAnotherIsRefusedWhateverItsSpelling) {
  EXPECT_EQ(CheckSources({Path("src"), Path("other")}),
            QStringLiteral("The source \"%1\" does not exist").arg(Path("other")));
  EXPECT_TRUE(CheckSources({Path("src/docs"), Path("src/docs/../../link")}).contains(QStringLiteral("lies inside")));
  EXPECT_TRUE(CheckSources({Path("src"), Path("link")}).contains(QStringLiteral("is named twice")));
  EXPECT_TRUE(CheckSources({Path("src/docs"), Path("src/./docs")}).contains(QStringLiteral("is named twice")));
  const QString nested = CheckSources({Path("link/docs/a.txt"), Path("src")});
  EXPECT_EQ(
      nested,
      QStringLiteral("The source \"%1\" lies inside the source \"%2\"").arg(Path("link/docs/a.txt"), Path("src")));
  EXPECT_TRUE(CheckSources({Path("src/docs"), Path("src/docs/a.txt")}).contains(QStringLiteral("lies inside")));
  // Names that only start alike are neither.
  ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("src-2")));
  EXPECT_TRUE(CheckSources({Path("src"), Path("src-2")}).isEmpty());
}

TEST_F(Sources, AnOutputThatIsOrLiesInsideASourceIsRefusedNamingBoth) {
  EXPECT_EQ(CheckOutputAgainstSources(Path("src/docs/a.txt"), {Path("link/docs/a.txt")}),
            QStringLiteral("The output \"%1\" is the source \"%2\"; it would be destroyed")
                .arg(Path("src/docs/a.txt"), Path("link/docs/a.txt")));
  const QString inside = CheckOutputAgainstSources(Path("link/docs/../new.iso"), {Path("src")});
  EXPECT_TRUE(inside.startsWith(
      QStringLiteral("The output \"%1\" lies inside the source \"%2\"").arg(Path("link/docs/../new.iso"), Path("src"))))
      << inside.toStdString();
  const QString current = QDir::currentPath();
  QDir::setCurrent(Path("src/docs"));
  EXPECT_FALSE(CheckOutputAgainstSources(QStringLiteral("disc.iso"), {Path("src")}).isEmpty());
  EXPECT_TRUE(CheckOutputAgainstSources(QStringLiteral("../disc.iso"), {QStringLiteral(".")}).isEmpty());
  QDir::setCurrent(current);
  EXPECT_TRUE(CheckOutputAgainstSources(Path("disc.iso"), {Path("src"), Path("link")}).isEmpty());
}
