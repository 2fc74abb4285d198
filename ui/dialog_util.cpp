#include "dialog_util.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

void FixAndCentre(QWidget* dialog, QSize designClientSize) {
  QSize size = designClientSize;
  if (QLayout* layout = dialog->layout()) size = size.expandedTo(layout->totalMinimumSize());
  dialog->setFixedSize(size);
  QScreen* screen = dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  dialog->move(area.x() + (area.width() - size.width()) / 2,
               area.y() + (area.height() - size.height()) / 2);
}
