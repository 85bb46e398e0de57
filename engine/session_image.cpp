#include "engine/session_image.h"

#include "emberline/file_tree.h"
#include "engine/burner.h"
#include "engine/image_identity.h"
#include "engine/library_call_failure.h"
#include "engine/volume_label.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

void BuildSessionImage(TsbBurner& b, const TsbImageBuild& build, const std::function<void(const QString&)>& warn) {
  char* text = b.ExceptionText.data();
  if (b.BootImageEnabled && !b.BootImageFile.isEmpty()) {
    Logger().WriteLog(QLatin1String(build.bootLogLine) + b.BootImageFile);
    const QByteArray path = b.BootImageFile.toLocal8Bit();
    b.ExceptionCode = Emberline_ISO9660JolietFileTree_SetBootImage(b.FileTree, path.constData(), 6, 2, 1, 0, text,
                                                                   EMBERLINE_TEXT_SIZE, &b.SystemStatus);
    if (b.ExceptionCode != 0)
      RaiseLibraryFailure(b, "ISO9660JolietFileTree_SetBootImage", TsbFailureEnding::BackslashN);
  }
  for (const QString& warning : VolumeLabelWarnings(b.ImageVolumeLabel)) {
    Logger().WriteLog(warning);
    warn(warning);
  }
  Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_BuildImage"));
  const QByteArray label = b.ImageVolumeLabel.toLocal8Bit();
  const QByteArray program = ImageProgramIdentity();
  b.ExceptionCode = Emberline_ISO9660JolietFileTree_BuildImage(b.FileTree, text, EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                               build.startLba, build.level, 1, label.constData(),
                                                               program.constData(), program.constData());
  if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "ISO9660FileTree_BuildImage");
}

}  // namespace ondrelle
