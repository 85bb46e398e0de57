#include "engine/image_file_step.h"

#include <algorithm>
#include <array>

#include "emberline/file_tree.h"
#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "platform/image_file.h"
#include "platform/write_behind.h"

namespace ondrelle {

namespace {
constexpr std::int64_t kCopyBlock = 65536;
}  // namespace

void CopyImageToFile(TsbBurner& b, EmberlineHandle tree) {
  CallBackEventer().DoImageFileStart();
  std::array<std::uint8_t, kCopyBlock> buffer{};
  TsbImageCopy& copy = b.ImageCopy;
  copy.LastPercent = 0;
  b.BurnSucceeded = true;
  // An empty image has no percentage; the image-file action refuses it first.
  if (copy.Total <= 0) throw TsbError(QStringLiteral("The ISO9660/Joliet image is empty: there is nothing to write"));
  // The disk writes each stretch of the image while the next is being made,
  // so the flush that ends the image has only the last one left.
  platform::WriteBehind writeBehind(copy.FileHandle);

  for (;;) {
    copy.Done = copy.Total - copy.Remaining;
    copy.Percent = copy.Done * 100 / copy.Total;
    if (copy.Percent != copy.LastPercent && copy.Percent != 100) {
      copy.LastPercent = copy.Percent;
      CallBackEventer().DoProgress(static_cast<std::int32_t>(copy.Percent));
    }
    if (copy.Remaining == 0 || b.Cancelled) break;
    copy.Chunk = std::min(copy.Remaining, kCopyBlock);

    Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_Read"));
    b.ExceptionCode =
        Emberline_ISO9660JolietFileTree_Read(tree, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                             static_cast<std::uint32_t>(copy.Chunk), buffer.data());
    if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "ISO9660FileTree_Read(loop)");
    // A short write would leave a silently truncated image: it is retried
    // until every byte is written, or fails.
    if (const int error =
            platform::WriteImageFile(copy.FileHandle, buffer.data(), static_cast<std::size_t>(copy.Chunk));
        error != 0) {
      b.SystemStatus = static_cast<std::uint32_t>(error);
      b.LastMessage = QStringLiteral("WriteFile( %1 ) failed, status %2").arg(copy.Chunk).arg(error);
      throw TsbError(b.LastMessage);
    }
    writeBehind.Written(copy.Chunk);
    copy.Remaining -= copy.Chunk;
  }
}

}  // namespace ondrelle
