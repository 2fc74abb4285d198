#pragma once
// The translator's workflow in the windows: the byte meter under the translation box, the next
// untranslated row, the main window's view filter, the consistency check with its preview, and
// PO export and import. TWorkflow joins the main window's menus and status bar; the document,
// its rows and every other command stay the main window's.
#include <QDialog>
#include <QObject>
#include <vector>

#include "exchange/workflow.h"

class QAction;
class QActionGroup;
class QLabel;
class QPushButton;
class QTreeWidget;
class TForm1;

class TWorkflow : public QObject {
  Q_OBJECT

 public:
  explicit TWorkflow(TForm1* main);

  // "Файл": "Экспорт в PO...", "Импорт из PO...".
  void ExportPoExecute();
  void ImportPoExecute();
  // "Правка": "Следующая непереведённая" (F4), "Проверить согласованность".
  void NextUntranslatedExecute();
  void ConsistencyExecute();

  // The view filter: rows that do not pass are hidden from the list (the selected row always
  // stays shown); the model, the row numbers and every command are the same under any filter.
  kx::ViewFilter Filter() const { return filter_; }
  void SetFilter(kx::ViewFilter filter);
  bool RowShown(int row) const;

  QAction* ExportPoAction = nullptr;
  QAction* ImportPoAction = nullptr;
  QAction* NextUntranslatedAction = nullptr;
  QAction* ConsistencyAction = nullptr;
  QAction* FilterActions[4] = {};  // in the order of kx::ViewFilter
  QLabel* FilterLabel = nullptr;

 private:
  void CreateActions();
  void UpdateActions();
  void ApplyFilter();
  void ApplyFilterToRow(int row, int current);
  void UpdateFilterLabel();

  TForm1* main_;
  QActionGroup* filterGroup_ = nullptr;
  kx::ViewFilter filter_ = kx::ViewFilter::All;
  QString poDir_;
};

// The main window's workflow.
TWorkflow* Workflow();

// The preview of "Проверить согласованность": the originals whose rows disagree and, when any
// translation can be copied into untranslated rows, the counts and the button that does it.
class TConsistencyForm : public QDialog {
  Q_OBJECT

 public:
  TConsistencyForm(const std::vector<kx::ConsistencyGroup>& groups,
                   std::vector<kx::Propagation> plan, QWidget* parent);

  // Asks for confirmation, then copies; the dialog closes with OK when rows were filled.
  void CopyButtonClick();
  size_t Filled() const { return filled_; }

  QTreeWidget* Tree = nullptr;
  QLabel* PlanLabel = nullptr;
  QPushButton* CopyButton = nullptr;
  QPushButton* CloseButton = nullptr;

 private:
  std::vector<kx::Propagation> plan_;
  size_t filled_ = 0;
};

// The byte meter label of the translation dialog for `translation` as the text of `row` of the
// main window's document; empty when no row is open. Its "level" property is 0 within the
// original's bytes, 1 over them (warning colour), 2 over the format's hard limit (red).
void ShowByteMeter(QLabel* label, int row, const QString& translation);
