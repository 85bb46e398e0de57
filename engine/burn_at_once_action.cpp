#include "engine/burn_at_once_action.h"

#include <cstring>

#include "devices/library_callback.h"
#include "engine/burner.h"
#include "engine/disc_write_step.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

bool FromFile(std::uint8_t mode) {
  return mode == bmDAOPQFromFile || mode == bmDAORawFromFile || mode == bmTAOFromFile || mode == bmSAOFromFile;
}

}  // namespace

void TsbBurnAtOnceToCDDVDAction::Execute(TsbActionItem* item) {
  if (!RunStages(item)) return;
  TsbBurner& b = Burner();

  if (FromFile(b.BurnMode) && PrepareTrackList) {
    const QString file = ActionList->Options.FileName;
    const QByteArray name = file.toLocal8Bit();
    // The name must end inside its entry, or the library would read the next one.
    if (static_cast<std::size_t>(name.size()) >= TsbTrackList::kNameCapacity) {
      b.LastMessage = QStringLiteral("The file name \"%1\" is too long for the track list (at most %2 bytes)")
                          .arg(file)
                          .arg(TsbTrackList::kNameCapacity - 1);
      throw TsbError(b.LastMessage);
    }
    b.SourceFiles = QStringList{file};
    b.TrackList->Bytes.fill(0);
    const std::int32_t one = 1;
    std::memcpy(b.TrackList->Bytes.data(), &one, sizeof one);
    std::memcpy(b.TrackList->Bytes.data() + TsbTrackList::kNameOffset, name.constData(),
                static_cast<std::size_t>(name.size()));
    Logger().WriteLog(QStringLiteral("Source file name: ") + file);
  }

  b.Progress.LastProgress = 0;
  const TsbStepMessage message = [this](const QString& text, TsbLogItemType kind) { DoMessage(text, kind); };
  const bool recorded = WriteAndVerify([&] { return WriteDataDisc(b, message); });
  FinishBurn(RecordingOfBurnMode(b.BurnMode), recorded);
}

}  // namespace ondrelle
