#pragma once
// The burning page's log list: rows of a message and its time. The user
// may select any rows (or all), copy them whole as text lines, and read a
// line the column cuts in its tooltip.

#include <QAction>
#include <QTreeWidget>

namespace ondrelle {

class TsbLogList : public QTreeWidget {
  Q_OBJECT

 public:
  explicit TsbLogList(QWidget* parent = nullptr);

  /// A row as a text line: its time (eight blanks without one), a blank, its message.
  static QString LineOf(const QTreeWidgetItem& row);
  /// The selected rows' lines in list order, each ending in a line break.
  QString SelectedText() const;
  /// Puts SelectedText on the clipboard; nothing when no row is selected.
  void CopySelection();

  QAction* actCopy;
  QAction* actSelectAll;

 protected:
  bool viewportEvent(QEvent* event) override;

 private:
  /// Whether the message of `row` does not fit its column.
  bool IsCut(const QModelIndex& index) const;
};

}  // namespace ondrelle
