// The DVD-Video image of a VIDEO_TS folder written to a file: the same bridge
// image a DVD-Video burn records, to try in a software player first.

#include "cli/dvd_image_command.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <atomic>
#include <cstdio>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_report.h"
#include "devices/library_callback.h"
#include "devices/library_result.h"
#include "emberline/dvd_video.h"
#include "emberline/file_tree.h"
#include "engine/image_identity.h"
#include "engine/source_tree.h"
#include "platform/image_file.h"
#include "platform/termination_signals.h"
#include "platform/write_behind.h"

namespace ondrelle::cli {

namespace {

/// Read and written a piece at a time: the image is streamed from the folder, never held.
constexpr std::uint32_t kCopyBytes = 1u << 20;

int Refuse(const QString& message) {
  std::fprintf(stderr, "ondrelle-cli: %s\n", qPrintable(message));
  return 2;
}

int Fail(const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
  return 1;
}

/// Owns a DVD-Video structure for the length of the command.
class DvdStructure {
 public:
  DvdStructure() = default;
  ~DvdStructure() {
    if (handle_ != nullptr) Emberline_DVDVideo_Destroy(handle_);
  }
  DvdStructure(const DvdStructure&) = delete;
  DvdStructure& operator=(const DvdStructure&) = delete;

  EmberlineHandle* Place() { return &handle_; }
  EmberlineHandle Handle() const { return handle_; }
  EmberlineHandle Tree() const {
    EmberlineHandle tree = nullptr;
    Emberline_DVDVideo_GetTreePointer(handle_, &tree);
    return tree;
  }

 private:
  EmberlineHandle handle_ = nullptr;
};

std::uint64_t ImageSize(EmberlineHandle tree) {
  std::uint32_t high = 0;
  const std::uint32_t low = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high);
  return (std::uint64_t{high} << 32) | low;
}

}  // namespace

int RunDvdImageCommand(const QStringList& arguments) {
  QString error;
  const auto line =
      CommandLine::Parse(arguments, {QStringLiteral("--kind"), QStringLiteral("--output"), QStringLiteral("--label")},
                         {QStringLiteral("--source")}, {}, error);
  if (!line) return Refuse(error);
  // One structure per image: a second source would be dropped without a word.
  if (line->values.value(QStringLiteral("--source")).size() > 1)
    return Refuse(QStringLiteral("image --kind dvd takes one --source: the VIDEO_TS folder of one disc"));
  if (const QString repeated = line->RepeatedOption(); !repeated.isEmpty())
    return Refuse(QStringLiteral("%1 is given more than once").arg(repeated));
  if (line->Value(QStringLiteral("--kind")) != QLatin1String("dvd"))
    return Refuse(QStringLiteral("image --kind takes data or dvd"));
  if (!line->Has(QStringLiteral("--source")))
    return Refuse(QStringLiteral("image --kind dvd needs --source FOLDER (the VIDEO_TS folder or its parent)"));
  if (!line->Has(QStringLiteral("--output"))) return Refuse(QStringLiteral("image --kind dvd needs --output FILE.iso"));
  const QString source = line->Value(QStringLiteral("--source"));
  const QString output = line->Value(QStringLiteral("--output"));
  const QString label =
      line->Has(QStringLiteral("--label")) ? line->Value(QStringLiteral("--label")) : QStringLiteral("Video");

  // The output is checked before any work: nothing is read, built or created for a refused one.
  if (error = CheckOutputAgainstSources(output, {source}); !error.isEmpty()) return Refuse(error);
  if (QFileInfo(output).isDir())
    return Refuse(QStringLiteral("\"%1\" is a folder: give the image file's name").arg(output));
  if (error = platform::ImageTargetRefusal(output); !error.isEmpty()) return Refuse(error);

  std::atomic<bool> stop{false};
  platform::TerminationSignals stopSignals([&stop](int) { stop = true; });
  ConsoleReport report;

  // The folder is checked and the image laid out before anything is written.
  std::array<char, EMBERLINE_TEXT_SIZE> text{};
  std::uint32_t status = 0;
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  const QByteArray folder = QFile::encodeName(source);
  const QByteArray volume = label.toUtf8();
  const QByteArray program = ImageProgramIdentity();
  DvdStructure structure;
  const std::uint8_t code = Emberline_DVDVideo_Create(
      structure.Place(), folder.constData(), 1, text.data(), EMBERLINE_TEXT_SIZE, &status, volume.constData(),
      "Emberline", program.constData(), static_cast<std::uint16_t>(date.year()),
      static_cast<std::uint16_t>(date.month()), static_cast<std::uint16_t>(date.day()),
      static_cast<std::uint16_t>(time.hour()), static_cast<std::uint16_t>(time.minute()),
      static_cast<std::uint16_t>(time.second()), static_cast<std::uint16_t>(time.msec()));
  if (code != 0) return Fail(QString::fromUtf8(text.data()));
  Emberline_DVDVideo_ReportLeftOut(structure.Handle(), &EmberlineCallBack, nullptr);
  const EmberlineHandle tree = structure.Tree();

  const std::uint64_t size = ImageSize(tree);
  report.Message(QStringLiteral("Creating DVD-Video image '%1' of %2 MB").arg(output).arg(size / 1024 / 1024),
                 TsbLogItemType::litInfo);
  const QString measured = platform::FolderToMeasure(output);
  platform::DiskSpace space;
  if (const int spaceError = platform::QueryDiskSpace(measured, space); spaceError != 0)
    return Fail(QStringLiteral("The free space in \"%1\" cannot be read, status %2").arg(measured).arg(spaceError));
  if (static_cast<std::int64_t>(size) > space.FreeBytesAvailable)
    return Fail(QStringLiteral("%1 bytes of DVD-Video image will not fit into %2 bytes of free space in \"%3\"")
                    .arg(size)
                    .arg(space.FreeBytesAvailable)
                    .arg(measured));

  // The image goes under a temporary name and takes the target's only when whole.
  platform::PendingImageFile file;
  QString refusal;
  if (const int openError = file.Open(output, refusal); openError != 0)
    return refusal.isEmpty() ? Fail(QStringLiteral("\"%1\" cannot be created, status %2").arg(output).arg(openError))
                             : Refuse(refusal);
  std::vector<std::uint8_t> buffer(kCopyBytes);
  platform::WriteBehind writeBehind(file.Handle());
  int lastPercent = -1;
  for (std::uint64_t done = 0; done < size;) {
    if (stop) break;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(kCopyBytes, size - done));
    const std::uint8_t readCode =
        Emberline_ISO9660JolietFileTree_Read(tree, text.data(), EMBERLINE_TEXT_SIZE, &status, count, buffer.data());
    if (readCode != 0) {
      report.Finish();
      return Fail(EmberlineFailureText("ISO9660JolietFileTree_Read", readCode, status, text.data()));
    }
    if (const int writeError = platform::WriteImageFile(file.Handle(), buffer.data(), count); writeError != 0) {
      report.Finish();
      return Fail(QStringLiteral("Writing \"%1\" failed, status %2").arg(file.TemporaryPath()).arg(writeError));
    }
    writeBehind.Written(count);
    done += count;
    const int percent = static_cast<int>(done * 100 / size);
    if (percent != lastPercent) report.Progress(lastPercent = percent);
  }
  report.Finish();
  if (stop) {
    file.Discard();
    std::fprintf(stderr, "Image cancelled; \"%s\" is as it was\n", qPrintable(output));
    return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
  }
  if (const int commitError = file.Commit(); commitError != 0)
    return Fail(
        QStringLiteral("The image could not be put in place as \"%1\", status %2").arg(output).arg(commitError));
  report.Message(QStringLiteral("Finished!"), TsbLogItemType::litInfo);
  return 0;
}

}  // namespace ondrelle::cli
