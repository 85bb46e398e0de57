#include "pages/log_list.h"

#include <QApplication>
#include <QClipboard>
#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>

namespace ondrelle {

namespace {

constexpr int kMessageColumn = 0;
constexpr int kTimeColumn = 1;

}  // namespace

TsbLogList::TsbLogList(QWidget* parent) : QTreeWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);

  actCopy = new QAction(tr("&Copy"), this);
  actCopy->setObjectName(QStringLiteral("actCopy"));
  actCopy->setShortcut(QKeySequence::Copy);
  actCopy->setShortcutContext(Qt::WidgetShortcut);
  connect(actCopy, &QAction::triggered, this, &TsbLogList::CopySelection);
  actSelectAll = new QAction(tr("Select &All"), this);
  actSelectAll->setObjectName(QStringLiteral("actSelectAll"));
  actSelectAll->setShortcut(QKeySequence::SelectAll);
  actSelectAll->setShortcutContext(Qt::WidgetShortcut);
  connect(actSelectAll, &QAction::triggered, this, &QTreeWidget::selectAll);
  // The view's own Ctrl+C copies one cell: the actions take the keys first.
  addAction(actCopy);
  addAction(actSelectAll);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  const auto enableCopy = [this] { actCopy->setEnabled(!selectedItems().isEmpty()); };
  connect(this, &QTreeWidget::itemSelectionChanged, this, enableCopy);
  enableCopy();
}

QString TsbLogList::LineOf(const QTreeWidgetItem& row) {
  QString time = row.text(kTimeColumn);
  if (time.isEmpty()) time = QString(8, QLatin1Char(' '));
  return time + QLatin1Char(' ') + row.text(kMessageColumn);
}

QString TsbLogList::SelectedText() const {
  QList<QTreeWidgetItem*> rows = selectedItems();
  // Selection order is the order of clicks; the copy keeps the log's order.
  std::sort(rows.begin(), rows.end(),
            [this](QTreeWidgetItem* a, QTreeWidgetItem* b) { return indexOfTopLevelItem(a) < indexOfTopLevelItem(b); });
  QString text;
  for (const QTreeWidgetItem* row : rows) text += LineOf(*row) + QLatin1Char('\n');
  return text;
}

void TsbLogList::CopySelection() {
  const QString text = SelectedText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

bool TsbLogList::IsCut(const QModelIndex& index) const {
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  return itemDelegateForIndex(index)->sizeHint(option, index).width() > columnWidth(index.column());
}

bool TsbLogList::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    // The whole line where the column cuts it; no tip where all of it shows.
    if (index.isValid() && index.column() == kMessageColumn && IsCut(index)) {
      QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(), visualRect(index));
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QTreeWidget::viewportEvent(event);
}

}  // namespace ondrelle
