#pragma once
// Shared behaviour of the program's dialogs: a fixed border at the design client size (or
// larger, when the fonts need more room), centred on the desktop each time it is shown.
#include <QSize>

class QWidget;

// Call from showEvent.
void FixAndCentre(QWidget* dialog, QSize designClientSize);
