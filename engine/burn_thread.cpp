#include "engine/burn_thread.h"

#include <array>
#include <cstring>

#include "emberline/file_tree.h"
#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/disc_verify.h"
#include "engine/library_call_failure.h"
#include "engine/session_record.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "platform/image_file.h"
#include "platform/write_behind.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr std::int64_t kCopyBlock = 65536;
constexpr std::uint32_t kReadyMinutes = 5;

struct ModeCall {
  const char* logLine;
  const char* failureName;  ///< for the failure text, without "Emberline_"
};

ModeCall CallOf(std::uint8_t mode) {
  switch (mode) {
    case bmTAOFromTree:
      return {"CdvdWriter_TrackAtOnceFromTree", "CdvdWriter_TrackAtOnceFromTree"};
    case bmSAOFromTree:
    case bmSAOFromFile:
      return {"CdvdWriter_SessionAtOnce", "CdvdWriter_SessionAtOnce"};
    case bmDAOPQFromTree:
      return {"CdvdWriter_DiscAtOncePQFromTree", "CdvdWriter_DiscAtOncePQFromTree"};
    case bmDAORawFromTree:
      return {"CdvdWriter_DiscAtOnceRawPWFromTree", "CdvdWriter_DiscAtOncePQ[RawPW]FromTree"};
    case bmDAOPQFromFile:
      return {"CdvdWriter_DiscAtOncePQFromFile", "CdvdWriter_DiscAtOncePQFromFile"};
    case bmDAORawFromFile:
      return {"CdvdWriter_DiscAtOnceRawPWFromFile", "CdvdWriter_DiscAtOnceRawPWFromFile"};
    case bmTAOFromFile:
      return {"CdvdWriter_TrackAtOnceFromFile", "CdvdWriter_TrackAtOnceFromFile"};
    default:
      return {"", ""};
  }
}

std::uint32_t TrackCount(const TsbTrackList& list) {
  std::int32_t count = 0;
  std::memcpy(&count, list.Bytes.data(), sizeof count);
  return count <= 0 ? 0u : static_cast<std::uint32_t>(std::min<std::int32_t>(count, TsbTrackList::kMaxTracks));
}

}  // namespace

QString BurnModeText(std::uint8_t mode) {
  switch (mode) {
    case bmTAOFromTree:
      return QStringLiteral("Track-At-Once (from tree)");
    case bmSAOFromTree:
      return QStringLiteral("Session-At-Once (from tree)");
    case bmDAOPQFromTree:
      return QStringLiteral("Disc-At-Once PQ (from tree)");
    case bmDAORawFromTree:
      return QStringLiteral("Disc-At-Once raw P-W (from tree)");
    case bmDAOPQFromFile:
      return QStringLiteral("Disc-At-Once PQ (from file)");
    case bmDAORawFromFile:
      return QStringLiteral("Disc-At-Once raw P-W (from file)");
    case bmTAOFromFile:
      return QStringLiteral("Track-At-Once (from file)");
    case bmSAOFromFile:
      return QStringLiteral("Session-At-Once (from file)");
    default:
      return {};
  }
}

void TsbBurnThread::Execute() {
  TsbBurner& b = *Burner;
  b.LastMessage.clear();
  if (b.BurnMode != bmImageToFile) CallBackEventer().DoCancelEnabled(true);
  try {
    if (b.BurnMode == bmImageToFile)
      CopyImage(b);
    else if (b.BurnMode <= bmSAOFromFile)
      Burn(b);
  } catch (const TsbError& error) {
    b.LastMessage = error.Message();
    b.BurnSucceeded = false;
  } catch (const std::exception& error) {
    b.LastMessage = QString::fromLocal8Bit(error.what());
    b.BurnSucceeded = false;
  }
  CallBackEventer().DoCancelEnabled(false);
  Burner = nullptr;
}

void TsbBurnThread::Burn(TsbBurner& b) {
  // A cancel that came while the burn was being prepared: nothing is written.
  if (b.Cancelled) {
    b.BurnSucceeded = false;
    b.LastMessage = QStringLiteral("The burn was cancelled before it started");
    return;
  }
  b.BurnSucceeded = true;
  b.VerifyFailed = false;
  DoMessage(LoadStr(15169) + QStringLiteral(": ") + BurnModeText(b.BurnMode), TsbLogItemType::litInfo);
  DoMessage(LoadStr(15140), TsbLogItemType::litInfo);

  const ModeCall call = CallOf(b.BurnMode);
  char* text = b.ExceptionText.data();
  const std::uint8_t test = b.TestMode ? 1 : 0;
  const std::uint8_t multi = b.MultiSession ? 1 : 0;

  Logger().WriteLog(QLatin1String(call.logLine));
  switch (b.BurnMode) {
    case bmTAOFromTree:
      b.ExceptionCode =
          Emberline_CdvdWriter_TrackAtOnceFromTree(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo,
                                                   b.FileTree, 1, test, multi, 1, kReadyMinutes);
      break;
    case bmSAOFromTree: {
      const TsbSessionRecord record = TsbSessionRecord::ForTree(b.FileTree);
      b.ExceptionCode =
          Emberline_CdvdWriter_SessionAtOnce(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo,
                                             record.Bytes.data(), 1, test, 1, 1, kReadyMinutes);
      break;
    }
    case bmSAOFromFile: {
      QString error;
      const auto record = TsbSessionRecord::ForFiles(b.SourceFiles, error);
      if (!record) throw TsbError(error);  // refused before anything is written
      b.ExceptionCode =
          Emberline_CdvdWriter_SessionAtOnce(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo,
                                             record->Bytes.data(), 0, test, 1, 1, kReadyMinutes);
      break;
    }
    case bmDAOPQFromTree:
      b.ExceptionCode =
          Emberline_CdvdWriter_DiscAtOncePQFromTree(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                    &b.FailureInfo, b.FileTree, 0, test, 0, 1, kReadyMinutes);
      break;
    case bmDAORawFromTree:
      b.ExceptionCode =
          Emberline_CdvdWriter_DiscAtOnceRawPWFromTree(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                       &b.FailureInfo, b.FileTree, 0, test, 0, 1, kReadyMinutes);
      break;
    case bmDAOPQFromFile:
      b.ExceptionCode = Emberline_CdvdWriter_DiscAtOncePQFromFile(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                                  &b.FailureInfo, b.TrackList->Bytes.data(), 0, test, 0,
                                                                  0, 1, kReadyMinutes);
      break;
    case bmDAORawFromFile:
      b.ExceptionCode = Emberline_CdvdWriter_DiscAtOnceRawPWFromFile(
          b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo, b.TrackList->Bytes.data(), 0, test, 0,
          0, 1, kReadyMinutes);
      break;
    case bmTAOFromFile: {
      const std::uint32_t tracks = TrackCount(*b.TrackList);
      b.ExceptionCode = 0;
      for (std::uint32_t k = 0; k < tracks && b.ExceptionCode == 0; ++k) {
        const auto* name = reinterpret_cast<const char*>(b.TrackList->Bytes.data() + TsbTrackList::kNameOffset +
                                                         TsbTrackList::kEntrySize * k);
        b.ExceptionCode =
            Emberline_CdvdWriter_TrackAtOnceFromFile(b.Writer, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                     &b.FailureInfo, name, 1, test, multi, 1, kReadyMinutes);
      }
      break;
    }
    default:
      break;
  }
  // Not raised: the caller raises a non-empty LastMessage once the thread has ended.
  if (b.ExceptionCode != 0) {
    RecordLibraryFailure(b, call.failureName);
    b.BurnSucceeded = false;
    return;
  }
  VerifyBurnedDisc(b, [this](const QString& line, TsbLogItemType kind) { DoMessage(line, kind); });
}

void TsbBurnThread::CopyImage(TsbBurner& b) {
  CallBackEventer().DoImageFileStart();
  std::array<std::uint8_t, kCopyBlock> buffer{};
  TsbImageCopy& copy = b.ImageCopy;
  copy.LastPercent = 0;
  CallBackEventer().DoCancelEnabled(true);
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
        Emberline_ISO9660JolietFileTree_Read(b.FileTree, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
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
