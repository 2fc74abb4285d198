#pragma once
// A Prompter for the window tests: records every box and file dialog the program asks for and
// answers from queues the test fills. An empty queue answers Cancel (boxes) or a cancelled
// dialog (file names). Install it with a FakePrompter::Scope.
#include <QList>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "prompter.h"

class FakePrompter : public Prompter {
 public:
  struct Call {
    QString kind;  // "Question", "Error", "Information", "Warning", "OpenFileName", "SaveFileName"
    QWidget* owner = nullptr;
    QString title;  // the box's title or the dialog's caption
    QString text;   // the box's text or the dialog's filter
    QMessageBox::StandardButtons buttons;
    QString dir;
  };

  QList<Call> calls;
  QList<QMessageBox::StandardButton> answers;  // for Question
  QStringList fileNames;                       // for OpenFileName and SaveFileName
  QList<int> filterIndexes;                    // the filter row chosen with each file name

  QMessageBox::StandardButton Question(QWidget* owner, const QString& title, const QString& text,
                                       QMessageBox::StandardButtons buttons,
                                       QMessageBox::StandardButton) override {
    calls.append({"Question", owner, title, text, buttons, {}});
    return answers.isEmpty() ? QMessageBox::Cancel : answers.takeFirst();
  }
  void Error(QWidget* owner, const QString& text) override {
    calls.append({"Error", owner, "Ошибка", text, QMessageBox::Ok, {}});
  }
  void Information(QWidget* owner, const QString& title, const QString& text) override {
    calls.append({"Information", owner, title, text, QMessageBox::Ok, {}});
  }
  void Warning(QWidget* owner, const QString& title, const QString& text) override {
    calls.append({"Warning", owner, title, text, QMessageBox::Ok, {}});
  }
  QString OpenFileName(QWidget* owner, const QString& caption, const QString& dir,
                       const QString& filter, int* filterIndex) override {
    calls.append({"OpenFileName", owner, caption, filter, {}, dir});
    return NextFile(filterIndex);
  }
  QString SaveFileName(QWidget* owner, const QString& caption, const QString& dir,
                       const QString& filter, int* filterIndex, const QString&) override {
    calls.append({"SaveFileName", owner, caption, filter, {}, dir});
    return NextFile(filterIndex);
  }

  // The calls of one kind, in order.
  QList<Call> Of(const QString& kind) const {
    QList<Call> out;
    for (const Call& c : calls)
      if (c.kind == kind) out.append(c);
    return out;
  }

  // Installs the fake for the lifetime of the scope.
  struct Scope {
    explicit Scope(FakePrompter& fake) { SetPrompter(&fake); }
    ~Scope() { SetPrompter(nullptr); }
  };

 private:
  QString NextFile(int* filterIndex) {
    if (fileNames.isEmpty()) return QString();
    if (filterIndex && !filterIndexes.isEmpty()) *filterIndex = filterIndexes.takeFirst();
    return fileNames.takeFirst();
  }
};
