#include "engine/disc_write_step.h"

#include <array>
#include <cstring>

#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "engine/session_record.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

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

bool RecordInMode(TsbBurner& b, const TsbStepMessage& message);

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

bool WriteDataDisc(TsbBurner& b, const TsbStepMessage& message) {
  b.LastMessage.clear();
  if (b.BurnMode > bmSAOFromFile || b.BurnMode == bmImageToFile) return false;
  return WriteCatchingFailure(b, [&] { return RecordInMode(b, message); });
}

bool WriteCatchingFailure(TsbBurner& b, const std::function<bool()>& write) {
  try {
    return write();
  } catch (const TsbError& error) {
    b.LastMessage = error.Message();
  } catch (const std::exception& error) {
    b.LastMessage = QString::fromLocal8Bit(error.what());
  }
  b.BurnSucceeded = false;
  return false;
}

namespace {

bool RecordInMode(TsbBurner& b, const TsbStepMessage& message) {
  // A cancel that came while the burn was being prepared: nothing is
  // written, and the burn ends cancelled, not failed.
  if (b.Cancelled) {
    b.BurnSucceeded = false;
    return false;
  }
  b.BurnSucceeded = true;
  b.VerifyFailed = false;
  message(LoadStr(15169) + QStringLiteral(": ") + BurnModeText(b.BurnMode), TsbLogItemType::litInfo);
  message(LoadStr(15140), TsbLogItemType::litInfo);

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
    return false;
  }
  return true;
}

}  // namespace

}  // namespace ondrelle
