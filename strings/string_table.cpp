#include "strings/string_table.h"

#include <QCoreApplication>
#include <QList>
#include <algorithm>
#include <iterator>

namespace ondrelle {

namespace {

struct SourceText {
  const char* text;
  const char* id;
};

struct StringEntry {
  int id;
  SourceText source;
};

// Kept in ascending order of identifier.
constexpr StringEntry kStrings[] = {
    {15101, QT_TRANSLATE_NOOP3("StringTable", "&Next >", "15101")},
    {15102, QT_TRANSLATE_NOOP3("StringTable", "< &Back", "15102")},
    {15103, QT_TRANSLATE_NOOP3("StringTable", "&Cancel", "15103")},
    {15109, QT_TRANSLATE_NOOP3("StringTable", "Scanning devices", "15109")},
    {15120, QT_TRANSLATE_NOOP3("StringTable", "You must select device that is supports burning CD/DVD", "15120")},
    {15121, QT_TRANSLATE_NOOP3("StringTable", "No writable disc is inserted", "15121")},
    {15131, QT_TRANSLATE_NOOP3("StringTable", "Yes", "15131")},
    {15132, QT_TRANSLATE_NOOP3("StringTable", "No", "15132")},
    {15140, QT_TRANSLATE_NOOP3("StringTable", "Burning started", "15140")},
    {15141, QT_TRANSLATE_NOOP3("StringTable", "Testing unit ready", "15141")},
    {15143, QT_TRANSLATE_NOOP3("StringTable", "Getting track information", "15143")},
    {15144, QT_TRANSLATE_NOOP3("StringTable", "Getting disc information", "15144")},
    {15145, QT_TRANSLATE_NOOP3("StringTable", "Building ISO image", "15145")},
    {15147, QT_TRANSLATE_NOOP3("StringTable", "Closing session", "15147")},
    {15148, QT_TRANSLATE_NOOP3("StringTable", "Burning completed", "15148")},
    {15151, QT_TRANSLATE_NOOP3("StringTable", "Getting current CD/DVD speeds", "15151")},
    {15152, QT_TRANSLATE_NOOP3("StringTable", "Enabling BUP (Buffer Underrun Protection)", "15152")},
    {15153, QT_TRANSLATE_NOOP3("StringTable", "Getting BUP (Buffer Underrun Protection) support", "15153")},
    {15154, QT_TRANSLATE_NOOP3("StringTable", "%d MBs of cache will be used during burn process", "15154")},
    {15157, QT_TRANSLATE_NOOP3("StringTable", "Eject disc", "15157")},
    {15162, QT_TRANSLATE_NOOP3("StringTable", "Blank", "15162")},
    {15167, QT_TRANSLATE_NOOP3("StringTable", "Setting CD/DVD speeds", "15167")},
    {15168, QT_TRANSLATE_NOOP3("StringTable", "Sending OPC (Optimum Power Calibration)", "15168")},
    {15169, QT_TRANSLATE_NOOP3("StringTable", "Burning mode", "15169")},
    {15171, QT_TRANSLATE_NOOP3("StringTable", "Disc is not blank, burning is impossible!", "15171")},
    {15173, QT_TRANSLATE_NOOP3("StringTable", "Burning cancelled", "15173")},
    {15202, QT_TRANSLATE_NOOP3("StringTable", "Burning", "15202")},
    {15210, QT_TRANSLATE_NOOP3("StringTable", "Burning Options", "15210")},
    {15211, QT_TRANSLATE_NOOP3("StringTable", "You can choose various burning options", "15211")},
    {15220, QT_TRANSLATE_NOOP3("StringTable", "SCSI Transport", "15220")},
    {15221, QT_TRANSLATE_NOOP3("StringTable", "The SCSI transport is a method to access devices", "15221")},
    {15223, QT_TRANSLATE_NOOP3("StringTable", "Options Summary", "15223")},
    {15229, QT_TRANSLATE_NOOP3("StringTable", "You have successfully completed the Ondrelle.", "15229")},
    {15230, QT_TRANSLATE_NOOP3("StringTable", "Completing the Ondrelle", "15230")},
    {15231, QT_TRANSLATE_NOOP3("StringTable", "Ondrelle finished with errors.", "15231")},
    {15232, QT_TRANSLATE_NOOP3("StringTable", "Ondrelle was cancelled by user.", "15232")},
    {15234, QT_TRANSLATE_NOOP3("StringTable", "You can choose burning mode", "15234")},
    {15235, QT_TRANSLATE_NOOP3("StringTable", "Burning Mode", "15235")},
    {15308, QT_TRANSLATE_NOOP3("StringTable", "Destination device", "15308")},
    {15447, QT_TRANSLATE_NOOP3("StringTable", "Device Selection", "15447")},
    {15448, QT_TRANSLATE_NOOP3("StringTable", "CD or DVD burning device to use for Video disc burning.", "15448")},
    {15501, QT_TRANSLATE_NOOP3("StringTable", "Are you sure to cancel burn Video?", "15501")},
    {15509, QT_TRANSLATE_NOOP3("StringTable", "Source video file:", "15509")},
    {16050, QT_TRANSLATE_NOOP3("StringTable", "Disc type", "16050")},
    {16051, QT_TRANSLATE_NOOP3("StringTable", "Video disc type to burn.", "16051")},
    {16052, QT_TRANSLATE_NOOP3("StringTable", "Source data", "16052")},
    {16053, QT_TRANSLATE_NOOP3("StringTable", "Source video data to create video CD/DVD.", "16053")},
    {16055, QT_TRANSLATE_NOOP3("StringTable", "Can't find video template %s", "16055")},
    {16057, QT_TRANSLATE_NOOP3("StringTable", "Specified file cannot be found", "16057")},
    {16059, QT_TRANSLATE_NOOP3("StringTable",
                               "Review the Video CD options you have chosen before proceed with burning.", "16059")},
    {16060, QT_TRANSLATE_NOOP3("StringTable", "Ondrelle is scanning your system for CD and DVD devices.", "16060")},
    {16061, QT_TRANSLATE_NOOP3("StringTable", "Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!", "16061")},
    {16062, QT_TRANSLATE_NOOP3("StringTable", "Please insert blank CD-R or CD-RW media!", "16062")},
    {16063, QT_TRANSLATE_NOOP3("StringTable", "You must select source path for video data!", "16063")},
    {16064, QT_TRANSLATE_NOOP3("StringTable", "Burning video disc", "16064")},
    {16065, QT_TRANSLATE_NOOP3("StringTable", "Total file(s) size to big for burning on this disc!", "16065")},
};

template <std::size_t N>
const StringEntry* Find(const StringEntry (&table)[N], int id) {
  const auto found = std::lower_bound(std::begin(table), std::end(table), id,
                                      [](const StringEntry& entry, int wanted) { return entry.id < wanted; });
  return found == std::end(table) || found->id != id ? nullptr : found;
}

}  // namespace

QString LoadStr(int id) {
  const StringEntry* found = Find(kStrings, id);
  if (found == nullptr) return {};
  return QCoreApplication::translate("StringTable", found->source.text, found->source.id);
}

QString FormatStr(int id, const QStringList& values) {
  const QString text = LoadStr(id);
  QString filled;
  filled.reserve(text.size());
  qsizetype next = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool placeholder = text[i] == QLatin1Char('%') && i + 1 < text.size() &&
                             (text[i + 1] == QLatin1Char('d') || text[i + 1] == QLatin1Char('s'));
    if (placeholder && next < values.size()) {
      filled += values[next++];
      ++i;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

QList<int> StringTableIds() {
  QList<int> ids;
  for (const StringEntry& entry : kStrings) ids.append(entry.id);
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace ondrelle
