#pragma once
// Every message box and file dialog of the program goes through one Prompter, so the tests can
// replace it with one that answers from a script and records what was asked.
#include <QMessageBox>
#include <QString>

class QWidget;

class Prompter {
 public:
  virtual ~Prompter() = default;

  // A question with the question icon; returns the button pressed (Cancel, or the escape
  // button, when the box is closed otherwise).
  virtual QMessageBox::StandardButton Question(QWidget* owner, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton);
  // An error box titled "Ошибка" with the error icon and an OK button.
  virtual void Error(QWidget* owner, const QString& text);
  virtual void Information(QWidget* owner, const QString& title, const QString& text);
  virtual void Warning(QWidget* owner, const QString& title, const QString& text);

  // File dialogs. `filter` is written as pairs "Description|pattern|Description|pattern" (the
  // patterns of one row separated by ";"); `filterIndex` counts the rows from 1, gives the row
  // shown first and receives the row chosen. An empty result means the dialog was cancelled.
  virtual QString OpenFileName(QWidget* owner, const QString& caption, const QString& dir,
                               const QString& filter, int* filterIndex);
  // `defaultSuffix` (without the dot) is appended when the typed name has no extension.
  virtual QString SaveFileName(QWidget* owner, const QString& caption, const QString& dir,
                               const QString& filter, int* filterIndex,
                               const QString& defaultSuffix = QString());
};

// The program's prompter: the real message boxes and dialogs unless a test set another.
Prompter& Prompts();
// Replaces the prompter (not owned); nullptr restores the real one.
void SetPrompter(Prompter* prompter);

// "A|a|B|b;c" -> the Qt name filters "A (a)", "B (b c)". The description is kept whole, also
// when it carries its own parentheses ("Gameloft(new)"), so the dialog shows it as written.
QStringList QtNameFilters(const QString& filter);
