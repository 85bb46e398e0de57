#pragma once
// The checks made on the user's choices before a video burn: a device is
// chosen, its disc is writable, blank and of the family the disc kind
// needs, the source is named, exists and fits, and the Video CD template
// lies beside the program. The wizard makes them as its pages are left; a
// front end without pages makes the same ones and gives the same texts.

#include <QString>
#include <cstdint>

#include "devices/device_records.h"
#include "emberline/disc_type.h"
#include "engine/tsb_error.h"

namespace ondrelle {

/// The texts of the refusals, by their number in the program's string table.
enum TsbCheckText : int {
  ctNoDevice = 15120,
  ctNoWritableDisc = 15121,
  ctDiscNotBlank = 15171,
  ctTemplateMissing = 16055,
  ctFileNotFound = 16057,
  ctNeedDVD = 16061,
  ctNeedCD = 16062,
  ctNoSourcePath = 16063,
  ctSourceTooBig = 16065,
};

/// A refused choice: the text's number and the one value it names (the
/// template's path), so a front end can show the text in its language.
class TsbCheckError : public TsbError {
 public:
  TsbCheckError(TsbCheckText text, const QString& argument);
  TsbCheckText Text() const { return text_; }
  const QString& Argument() const { return argument_; }

 private:
  TsbCheckText text_;
  QString argument_;
};

/// The English text of a refusal, its "%s" replaced by `argument`.
QString CheckText(TsbCheckText text, const QString& argument = {});

/// Device step: something is selected.
void CheckDeviceSelected(bool selected);
/// Device step: the disc information was read (its first byte is not 0)
/// and the disc is not a read-only type.
void CheckDiscWritable(std::uint8_t discInformationFirstByte, DISC_TYPE type);
/// Device step: nothing is written on the disc yet.
void CheckDiscBlank(const TsbDiscSpace& space);
/// Disc type step: the disc suits the kind (a TsbVideoKind): CD-R / CD-RW
/// for the CD kinds, a recordable DVD for DVD-Video.
void CheckDiscSuitsKind(std::uint8_t kind, DISC_TYPE type);
/// Source step: the source fits the free space; equal fits.
void CheckSourceFits(std::int64_t freeSize, std::int64_t sourceSize);
/// Source step: a source was chosen.
void CheckSourceGiven(const QString& path);
/// Source step: for the CD kinds the file exists. A DVD folder is not looked at.
void CheckSourceFileExists(std::uint8_t kind, const QString& path);
/// The template file a kind needs beside the program ("Emberline_VideoCD.iso",
/// "Emberline_SuperVideoCD.iso"); empty for DVD-Video.
QString VideoTemplateName(std::uint8_t kind);
/// Source step: the template at `fullPath` exists (no check for an empty path).
void CheckTemplatePresent(const QString& fullPath);

}  // namespace ondrelle
