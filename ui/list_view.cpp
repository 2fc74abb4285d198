#include "list_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

TListView::TListView(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("ListView1"));
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(false);
  // Pixel scrolling, so the list can be moved by the exact amounts the search and the
  // translation dialog ask for.
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Fixed row heights keep a million rows cheap: the header never measures a row.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->hide();
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TListView::ScrollDownTo(int row, int margin) {
  if (!model() || row < 0 || row >= model()->rowCount()) return;
  const int top = rowViewportPosition(row);
  const int height = viewport()->height();
  if (top + margin > height) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + top - height + 30);
  }
}

void TListView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods =
      event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit KeyPress(QString(QChar(13)));
    event->accept();
    return;
  }
  const QString text = event->text();
  if (mods == Qt::NoModifier && !text.isEmpty() && text[0].unicode() >= 32 &&
      text[0].unicode() != 127) {
    emit KeyPress(text);
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}
