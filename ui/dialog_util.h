#pragma once
// Shared behaviour of the program's dialogs: a fixed border at the design client size (or
// larger, when the fonts need more room), centred on the desktop each time it is shown.
#include <QSize>

class QPushButton;
class QWidget;

// The dialogs' OK, "Отмена" and "&Помощь" buttons (BitBtn1, BitBtn2, BitBtn3), OK the default.
void MakeDialogButtons(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel,
                       QPushButton*& help);

// Call from showEvent.
void FixAndCentre(QWidget* dialog, QSize designClientSize);
