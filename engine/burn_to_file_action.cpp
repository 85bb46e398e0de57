#include "engine/burn_to_file_action.h"

#include <array>

#include "emberline/file_tree.h"
#include "engine/burner.h"
#include "engine/cancel_offered.h"
#include "engine/dvd_video_structure.h"
#include "engine/image_file_step.h"
#include "engine/library_call_failure.h"
#include "engine/session_image.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"
#include "platform/image_file.h"

namespace ondrelle {

namespace {

constexpr std::int64_t kCopyBlock = 65536;

std::int64_t ImageSize(EmberlineHandle tree) {
  std::uint32_t high = 0;
  const std::uint32_t low = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high);
  return static_cast<std::int64_t>((std::uint64_t{high} << 32) | low);
}

/// The image under its temporary name. On every way out but a commit the
/// temporary file goes and the target stays as it was.
struct TargetFile {
  explicit TargetFile(TsbImageCopy& copy) : copy_(copy) { copy_.FileHandle = -1; }
  ~TargetFile() { copy_.FileHandle = -1; }
  TsbImageCopy& copy_;
  platform::PendingImageFile file;
};

}  // namespace

void TsbBurnToFileAction::Execute(TsbActionItem* item) {
  TsbAction::Execute(item);
  TsbBurner& b = *ActionList->Burner;
  std::array<std::uint8_t, kCopyBlock> buffer{};
  TargetFile target(b.ImageCopy);
  const QString name = ActionList->Options.FileName;
  char* text = b.ExceptionText.data();

  auto raise = [&](const QString& message, bool log) {
    b.LastMessage = message;
    if (log) Logger().WriteLog(message);
    throw TsbError(message);
  };

  b.LastMessage = QStringLiteral("Creating image '%1' ").arg(name);
  Logger().WriteLog(b.LastMessage);
  DoMessage(b.LastMessage, TsbLogItemType::litInfo);

  QString refusal;
  if (const int error = target.file.Open(name, refusal); error != 0) {
    b.SystemStatus = static_cast<std::uint32_t>(error);
    // A target that is no regular file, or is protected, is refused in words.
    raise(refusal.isEmpty() ? QStringLiteral("CreateFile(\"%1\") failed, status %2").arg(name).arg(error) : refusal,
          false);
  }
  b.ImageCopy.FileHandle = target.file.Handle();

  DoStep(TsbBurnStep::Preparing);
  // A DVD-Video image is the structure a DVD-Video burn records; a data
  // image is the session's file tree, built as a burn from a tree builds it.
  TsbDvdVideoStructure dvd;
  EmberlineHandle tree = b.FileTree;
  if (Video) {
    if (!dvd.Create(b, *Video)) throw TsbError(b.LastMessage);
    tree = dvd.Tree();
  } else {
    BuildSessionImage(b, {"ISO9660JolietFileTree_SetBootImage: Bootimage: ", 0, 8},
                      [this](const QString& warning) { DoMessage(warning, TsbLogItemType::litWarning); });
  }

  b.ImageCopy.Remaining = ImageSize(tree);
  b.LastMessage = QStringLiteral("Need to save %1 MB").arg(b.ImageCopy.Remaining / 1024 / 1024);
  Logger().WriteLog(b.LastMessage);
  DoMessage(b.LastMessage, TsbLogItemType::litInfo);
  // Nothing to copy would leave an empty file that looks like an image.
  if (b.ImageCopy.Remaining <= 0)
    raise(QStringLiteral("The ISO9660/Joliet image is empty: there is nothing to write"), true);

  const QString folder = platform::FolderToMeasure(name);
  platform::DiskSpace space;
  if (const int spaceError = platform::QueryDiskSpace(folder, space); spaceError != 0) {
    b.SystemStatus = static_cast<std::uint32_t>(spaceError);
    raise(QStringLiteral("GetDiskFreeSpaceEx( \"%1\" ) failed, status %2").arg(folder).arg(spaceError), false);
  }
  b.ImageCopy.FreeBytesAvailable = space.FreeBytesAvailable;
  b.ImageCopy.TotalBytes = space.TotalBytes;
  b.ImageCopy.TotalFreeBytes = space.TotalFreeBytes;
  if (b.ImageCopy.Remaining > b.ImageCopy.FreeBytesAvailable) {
    b.SystemStatus = static_cast<std::uint32_t>(platform::DiskFullError());
    raise(QStringLiteral("%1 bytes of ISO9660/Joliet image will not fit into %2 bytes of free space in \"%3\"")
              .arg(b.ImageCopy.Remaining)
              .arg(b.ImageCopy.FreeBytesAvailable)
              .arg(folder),
          false);
  }

  b.ImageCopy.Total = ImageSize(tree);
  b.ImageCopy.Chunk = std::min(b.ImageCopy.Remaining, kCopyBlock);
  Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_Read"));
  b.ExceptionCode = Emberline_ISO9660JolietFileTree_Read(tree, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                         static_cast<std::uint32_t>(b.ImageCopy.Chunk), buffer.data());
  if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "ISO9660FileTree_Read");
  Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_SeekToBegin"));
  b.ExceptionCode = Emberline_ISO9660JolietFileTree_SeekToBegin(tree, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus);
  if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "ISO9660FileTree_SeekToBegin");

  DoStep(TsbBurnStep::Writing);
  b.LastMessage.clear();
  try {
    TsbCancelOffered cancel;
    CopyImageToFile(b, tree);
  } catch (const TsbError&) {
    b.BurnSucceeded = false;
    throw;
  }

  if (b.BurnSucceeded && !b.Cancelled) {
    // Only a whole, flushed image takes the target's name.
    b.ImageCopy.FileHandle = -1;
    if (const int error = target.file.Commit(); error != 0) {
      b.SystemStatus = static_cast<std::uint32_t>(error);
      raise(QStringLiteral("The image could not be put in place as \"%1\", status %2").arg(name).arg(error), true);
    }
    DoMessage(QStringLiteral("Finished!"), TsbLogItemType::litInfo);
  } else if (b.Cancelled) {
    DoMessage(QStringLiteral("Cancelled!"), TsbLogItemType::litWarning);
  }
}

}  // namespace ondrelle
