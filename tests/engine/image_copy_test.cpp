// The image-to-file copy step, and the action around it.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/burn_to_file_action.h"
#include "engine/burner.h"
#include "engine/image_file_step.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "platform/image_file.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

class ImageCopy : public ::testing::Test {
 protected:
  void SetUp() override {
    files.AddFile(QStringLiteral("movie.bin"), 300000);
    char text[EMBERLINE_TEXT_SIZE] = {};
    std::uint32_t status = 0;
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_BuildImage(files.Tree(), text, sizeof text, &status, 0, 0, 1, "TEST",
                                                         "ondrelle", "ondrelle"),
              0)
        << text;
    burner.BurnMode = bmImageToFile;
    burner.FileTree = files.Tree();
    CallBackEventer().OnProgress = [this](TsbCallBackEventer&, int p) { progress.push_back(p); };
    CallBackEventer().OnCancelEnabled = [this](TsbCallBackEventer&, bool e) { cancelEnabled.push_back(e); };
  }
  void TearDown() override {
    CallBackEventer().OnProgress = nullptr;
    CallBackEventer().OnCancelEnabled = nullptr;
    burner.FileTree = nullptr;  // the builder owns it
  }

  /// The copy step as the action runs it: a failure is raised and recorded.
  void RunCopy() {
    burner.LastMessage.clear();
    try {
      CopyImageToFile(burner, burner.FileTree);
    } catch (const TsbError&) {
      burner.BurnSucceeded = false;
    }
  }

  /// Copies the first `bytes` of the image into a file, as the action does.
  QByteArray Copy(std::int64_t bytes) {
    const QString target = output.filePath(QStringLiteral("copy.iso"));
    int error = 0;
    burner.ImageCopy.FileHandle = platform::CreateImageFile(target, error);
    burner.ImageCopy.Total = burner.ImageCopy.Remaining = bytes;
    RunCopy();
    platform::CloseImageFile(burner.ImageCopy.FileHandle);
    burner.ImageCopy.FileHandle = -1;
    QFile file(target);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }

  VirtualWriters writers{nullptr};
  FileTreeBuilder files;
  TsbBurner burner;
  QTemporaryDir output;
  std::vector<int> progress;
  std::vector<bool> cancelEnabled;
};

}  // namespace

TEST_F(ImageCopy, OneByteOverABlockIsTwoBlocksAndReportsOnly99) {
  const QByteArray copied = Copy(65537);
  EXPECT_EQ(copied.size(), 65537);
  EXPECT_EQ(progress, std::vector<int>{99});
  EXPECT_TRUE(burner.LastMessage.isEmpty());
  EXPECT_TRUE(burner.BurnSucceeded);
  EXPECT_EQ(burner.ImageCopy.Chunk, 1);
}

TEST_F(ImageCopy, ASmallImageIsOneBlockWithoutProgressAnd102400BytesReport64Once) {
  EXPECT_EQ(Copy(4096).size(), 4096);
  EXPECT_TRUE(progress.empty());
  char text[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t status = 0;
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(files.Tree(), text, sizeof text, &status), 0);
  EXPECT_EQ(Copy(102400).size(), 102400);
  EXPECT_EQ(progress, std::vector<int>{64});
}

TEST_F(ImageCopy, ACancelBeforeTheFirstBlockWritesNothingAndSucceeds) {
  burner.Cancel();
  EXPECT_EQ(Copy(200000).size(), 0);
  EXPECT_TRUE(burner.LastMessage.isEmpty());
  EXPECT_TRUE(burner.BurnSucceeded);
}

TEST_F(ImageCopy, AWriteFailureEndsTheCopyWithTheSystemsCode) {
  burner.ImageCopy.FileHandle = 9999;  // not an open file
  burner.ImageCopy.Total = burner.ImageCopy.Remaining = 4096;
  RunCopy();
  EXPECT_TRUE(burner.LastMessage.startsWith(QStringLiteral("WriteFile( 4096 ) failed, status ")));
  EXPECT_FALSE(burner.BurnSucceeded);
}

TEST(BurnToFileAction, WritesTheWholeImageAndReportsEachStep) {
  VirtualWriters writers(nullptr);
  FileTreeBuilder files;
  const QByteArray content = files.AddFile(QStringLiteral("data.bin"), 150000);
  TsbBurner burner;
  burner.BurnMode = bmImageToFile;
  burner.FileTree = files.Tree();
  TsbActionList list;
  list.Burner = &burner;
  QTemporaryDir output;
  const QString target = output.filePath(QStringLiteral("disc.iso"));
  list.Options.FileName = target;
  TsbBurnToFileAction action;
  std::vector<QString> messages;
  action.OnMessage = [&](const void*, const QString& m, TsbLogItemType) { messages.push_back(m); };
  TsbActionItem& item = list.Add();
  item.Action = &action;
  action.Execute(&item);
  burner.FileTree = nullptr;

  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0], QStringLiteral("Creating image '%1' ").arg(target));
  EXPECT_EQ(messages[1], QStringLiteral("Need to save 0 MB"));
  EXPECT_EQ(messages[2], QStringLiteral("Finished!"));
  QFile image(target);
  ASSERT_TRUE(image.open(QIODevice::ReadOnly));
  const QByteArray bytes = image.readAll();
  EXPECT_EQ(bytes.size() % 2048, 0);
  EXPECT_EQ(bytes.mid(16 * 2048 + 1, 5), QByteArray("CD001"));
  EXPECT_TRUE(bytes.contains(content)) << "the file's data is in the image whole";
  EXPECT_EQ(burner.ImageCopy.FileHandle, -1);
}

TEST(BurnToFileAction, ATargetThatCannotBeCreatedIsRefusedWithTheSystemsCode) {
  VirtualWriters writers(nullptr);
  FileTreeBuilder files;
  TsbBurner burner;
  burner.FileTree = files.Tree();
  TsbActionList list;
  list.Burner = &burner;
  list.Options.FileName = QStringLiteral("/nonexistent-folder/disc.iso");
  TsbBurnToFileAction action;
  TsbActionItem& item = list.Add();
  item.Action = &action;
  try {
    action.Execute(&item);
    FAIL() << "created";
  } catch (const TsbError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("CreateFile(\"/nonexistent-folder/disc.iso\") failed, status 2"));
  }
  burner.FileTree = nullptr;
}

namespace {

/// Runs the image action on `tree` for `target`; the raised text, or empty.
QString WriteImage(TsbBurner& burner, EmberlineHandle tree, const QString& target,
                   std::vector<QString>* messages = nullptr) {
  burner.BurnMode = bmImageToFile;
  burner.FileTree = tree;
  TsbActionList list;
  list.Burner = &burner;
  list.Options.FileName = target;
  TsbBurnToFileAction action;
  if (messages != nullptr)
    action.OnMessage = [messages](const void*, const QString& m, TsbLogItemType) { messages->push_back(m); };
  TsbActionItem& item = list.Add();
  item.Action = &action;
  QString raised;
  try {
    action.Execute(&item);
  } catch (const TsbError& e) {
    raised = e.Message();
  }
  burner.FileTree = nullptr;
  return raised;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(BurnToFileAction, AFailureOrACancelLeavesTheEarlierImageAsItWasAndNoPartialFile) {
  VirtualWriters writers(nullptr);
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("data.bin"), 150000);
  QTemporaryDir output;
  const QString target = output.filePath(QStringLiteral("disc.iso"));
  QFile earlier(target);
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write("an earlier, good image");
  earlier.close();
  const QDateTime stamp(QDate(2025, 1, 2), QTime(3, 4, 5));
  ASSERT_TRUE(earlier.open(QIODevice::ReadWrite) && earlier.setFileTime(stamp, QFileDevice::FileModificationTime));
  earlier.close();
  QFile bad(output.filePath(QStringLiteral("bad.img")));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write("boot");
  bad.close();
  auto unchanged = [&] {
    EXPECT_EQ(Contents(target), QByteArray("an earlier, good image"));
    EXPECT_EQ(QFileInfo(target).lastModified(), stamp);
    EXPECT_EQ(QDir(output.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("bad.img"), QStringLiteral("disc.iso")}))
        << "no partial image is left behind";
  };

  {
    TsbBurner burner;
    burner.BootImageEnabled = true;
    burner.BootImageFile = bad.fileName();
    EXPECT_TRUE(WriteImage(burner, files.Tree(), target).contains(QStringLiteral("SetBootImage() failed")));
    unchanged();
  }
  {
    TsbBurner burner;
    burner.BurnMode = bmImageToFile;
    burner.Cancel();
    std::vector<QString> messages;
    EXPECT_TRUE(WriteImage(burner, files.Tree(), target, &messages).isEmpty());
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), QStringLiteral("Cancelled!"));
    unchanged();
  }
}

TEST(BurnToFileAction, AWholeImageReplacesTheTargetKeepingItsPermissionsAndLinks) {
  VirtualWriters writers(nullptr);
  FileTreeBuilder files;
  const QByteArray content = files.AddFile(QStringLiteral("data.bin"), 70000);
  QTemporaryDir output;
  const QString target = output.filePath(QStringLiteral("disc.iso"));
  QFile earlier(target);
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write("old");
  earlier.close();
  ASSERT_TRUE(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  const QString link = output.filePath(QStringLiteral("latest.iso"));
  ASSERT_TRUE(QFile::link(target, link));

  TsbBurner burner;
  EXPECT_TRUE(WriteImage(burner, files.Tree(), link).isEmpty());
  EXPECT_TRUE(Contents(target).contains(content));
  EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link still points at the image";
  const QFileDevice::Permissions permissions = QFileInfo(target).permissions();
  EXPECT_TRUE(permissions.testFlag(QFileDevice::WriteOwner));
  EXPECT_FALSE(permissions.testFlag(QFileDevice::ReadGroup) || permissions.testFlag(QFileDevice::ReadOther));
  EXPECT_EQ(QDir(output.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

TEST(BurnToFileAction, OnlyARegularFileThatMayBeWrittenIsReplaced) {
  VirtualWriters writers(nullptr);
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("data.bin"), 4096);
  QTemporaryDir output;
  const QString fifo = output.filePath(QStringLiteral("fifo.iso"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
  // Root could replace /dev/null itself should the check fail: it gets a node of its own.
  QString device = QStringLiteral("/dev/null");
  if (::geteuid() == 0) {
    device = output.filePath(QStringLiteral("null"));
    ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  const QString toNull = output.filePath(QStringLiteral("null.iso"));
  ASSERT_TRUE(QFile::link(device, toNull));
  const QString folder = output.filePath(QStringLiteral("folder.iso"));
  ASSERT_TRUE(QDir().mkdir(folder));
  const QString locked = output.filePath(QStringLiteral("locked.iso"));
  QFile earlier(locked);
  ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
  earlier.write("kept");
  earlier.close();
  ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
  const QStringList before = QDir(output.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

  for (const auto& [target, why] :
       {std::pair{fifo, QStringLiteral("is a FIFO")}, std::pair{toNull, QStringLiteral("which is a character device")},
        std::pair{folder, QStringLiteral("is a folder")}, std::pair{locked, QStringLiteral("is write-protected")}}) {
    TsbBurner burner;
    std::vector<QString> messages;
    const QString raised = WriteImage(burner, files.Tree(), target, &messages);
    EXPECT_TRUE(raised.startsWith(QStringLiteral("\"%1\" ").arg(target)) && raised.contains(why))
        << raised.toStdString();
    EXPECT_NE(burner.SystemStatus, 0u) << why.toStdString();
    EXPECT_FALSE(messages.empty() && messages.back() == QStringLiteral("Finished!"));
  }
  struct stat node {};
  ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &node), 0);
  EXPECT_TRUE(S_ISFIFO(node.st_mode));
  EXPECT_EQ(QFileInfo(toNull).symLinkTarget(), device);
  ASSERT_EQ(::stat(QFile::encodeName(device).constData(), &node), 0);
  EXPECT_TRUE(S_ISCHR(node.st_mode));
  EXPECT_EQ(Contents(locked), QByteArray("kept"));
  EXPECT_EQ(QDir(output.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before)
      << "nothing was made beside the targets";
}

TEST(ImageFile, TheFreeSpaceIsMeasuredInTheTargetsFolderOrTheCurrentOne) {
  EXPECT_EQ(platform::FolderToMeasure(QStringLiteral("/srv/images/disc.iso")), QStringLiteral("/srv/images"));
  EXPECT_EQ(platform::FolderToMeasure(QStringLiteral("/disc.iso")), QStringLiteral("/"));
  EXPECT_EQ(platform::FolderToMeasure(QStringLiteral("disc.iso")), QDir::currentPath());
}

TEST(BurnToFileAction, AnImageLargerThanTheFreeSpaceIsRefusedWithoutCreatingTheFile) {
  QTemporaryDir small;
  // A one-megabyte file system of our own; only where the test may mount one.
  const QByteArray where = QFile::encodeName(small.path());
  if (std::system(("mount -t tmpfs -o size=1m ondrelle-test " + where.toStdString() + " 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  VirtualWriters writers(nullptr);
  QString message;
  {
    FileTreeBuilder files;
    files.AddFile(QStringLiteral("large.bin"), 2 * 1024 * 1024);
    TsbBurner burner;
    burner.FileTree = files.Tree();
    TsbActionList list;
    list.Burner = &burner;
    list.Options.FileName = small.filePath(QStringLiteral("disc.iso"));
    TsbBurnToFileAction action;
    TsbActionItem& item = list.Add();
    item.Action = &action;
    try {
      action.Execute(&item);
    } catch (const TsbError& e) {
      message = e.Message();
    }
    burner.FileTree = nullptr;
    EXPECT_EQ(burner.SystemStatus, static_cast<std::uint32_t>(platform::DiskFullError()));
  }
  const bool created = QFile::exists(small.filePath(QStringLiteral("disc.iso")));
  const qint64 size = QFileInfo(small.filePath(QStringLiteral("disc.iso"))).size();
  std::system(("umount " + where.toStdString()).c_str());
  EXPECT_TRUE(message.contains(QStringLiteral("bytes of ISO9660/Joliet image will not fit into")))
      << message.toStdString();
  EXPECT_TRUE(message.endsWith(QStringLiteral("of free space in \"%1\"").arg(small.path()))) << message.toStdString();
  EXPECT_FALSE(created) << "size " << size;
}
