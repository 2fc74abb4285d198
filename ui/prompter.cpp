#include "prompter.h"

#include <QFileDialog>
#include <QStringList>

namespace {

Prompter& RealPrompter() {
  static Prompter real;
  return real;
}

Prompter* current = nullptr;

QMessageBox::StandardButton Box(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                                const QString& text, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton defaultButton) {
  QMessageBox box(icon, title, text, buttons, owner);
  box.setDefaultButton(defaultButton);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

// Runs a file dialog with the rows of `filter`; `save` chooses the kind.
QString FileDialog(QWidget* owner, bool save, const QString& caption, const QString& dir,
                   const QString& filter, int* filterIndex, const QString& defaultSuffix) {
  QFileDialog dialog(owner, caption, dir);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The rows are shown by their descriptions only, exactly as written.
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
  if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
  const QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  if (filterIndex && *filterIndex >= 1 && *filterIndex <= filters.size())
    dialog.selectNameFilter(filters[*filterIndex - 1]);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
  if (filterIndex) {
    const int row = filters.indexOf(dialog.selectedNameFilter());
    if (row >= 0) *filterIndex = row + 1;
  }
  return dialog.selectedFiles().first();
}

}  // namespace

QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    out << parts[i] + QStringLiteral(" (") + patterns + u')';
  }
  return out;
}

QMessageBox::StandardButton Prompter::Question(QWidget* owner, const QString& title,
                                               const QString& text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) {
  return Box(owner, QMessageBox::Question, title, text, buttons, defaultButton);
}

void Prompter::Error(QWidget* owner, const QString& text) {
  Box(owner, QMessageBox::Critical, QStringLiteral("Ошибка"), text, QMessageBox::Ok,
      QMessageBox::Ok);
}

void Prompter::Information(QWidget* owner, const QString& title, const QString& text) {
  Box(owner, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompter::Warning(QWidget* owner, const QString& title, const QString& text) {
  Box(owner, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

QString Prompter::OpenFileName(QWidget* owner, const QString& caption, const QString& dir,
                               const QString& filter, int* filterIndex) {
  return FileDialog(owner, false, caption, dir, filter, filterIndex, QString());
}

QString Prompter::SaveFileName(QWidget* owner, const QString& caption, const QString& dir,
                               const QString& filter, int* filterIndex,
                               const QString& defaultSuffix) {
  return FileDialog(owner, true, caption, dir, filter, filterIndex, defaultSuffix);
}

Prompter& Prompts() { return current ? *current : RealPrompter(); }

void SetPrompter(Prompter* prompter) { current = prompter; }
