#include "dialog_util.h"

#include <QGuiApplication>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

void MakeDialogButtons(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel,
                       QPushButton*& help) {
  ok = new QPushButton(QStringLiteral("OK"), dialog);
  ok->setObjectName(QStringLiteral("BitBtn1"));
  ok->setDefault(true);
  cancel = new QPushButton(QStringLiteral("Отмена"), dialog);
  cancel->setObjectName(QStringLiteral("BitBtn2"));
  help = new QPushButton(QStringLiteral("&Помощь"), dialog);
  help->setObjectName(QStringLiteral("BitBtn3"));
}

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
