#pragma once
// The source data page: an MPEG file for the two CD kinds, a VIDEO_TS
// folder for DVD Video, with the chosen source's size beside the free
// space of the disc. The page only shows the two; the wizard compares them.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <functional>

#include "app/sb_dock_form.h"

namespace ondrelle {

class TfrmSourceData : public TsbDockForm {
  Q_OBJECT

 public:
  explicit TfrmSourceData(QWidget* parent = nullptr);

  /// A new kind clears the chosen source; the caption and the file filter follow the kind.
  void SetSourceKind(std::uint8_t kind);
  void SetSourcePath(const QString& path);
  void SetPossibleSize(std::int64_t size);
  void SetSelectedSize(std::int64_t size);
  void btnBrowseClick();

  std::uint8_t SourceKind() const { return sourceKind_; }
  const QString& SourcePath() const { return sourcePath_; }
  std::int64_t SelectedSize() const { return selectedSize_; }
  std::int64_t PossibleSize() const { return possibleSize_; }
  /// The file dialog's filter, "description|patterns||".
  const QString& Filter() const { return filter_; }

  /// The pickers btnBrowseClick opens; each answers the chosen path or
  /// nothing when cancelled. Tests put their own answers here.
  std::function<QString(const QString& filter)> ChooseFile;
  std::function<QString()> ChooseFolder;

  QLabel* laSourceCaption;
  QLineEdit* edSourceData;
  QPushButton* btnBrowse;
  QLabel* laFileSize;
  QLabel* laMaxFileSize;

 private:
  std::uint8_t sourceKind_ = 0;
  QString sourcePath_;
  std::int64_t selectedSize_ = 0;
  std::int64_t possibleSize_ = 0;
  QString filter_;
};

/// "%.2f MB" of a byte count, as the size lines show it.
QString MegabytesText(std::int64_t bytes);

}  // namespace ondrelle
