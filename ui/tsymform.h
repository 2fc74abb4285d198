#pragma once
// The symbol table editor "Таблица символов": a grid of 250 columns by 2 rows, the upper cell of
// a column the character to replace and the lower one its replacement, edited by keys only,
// and read from and written to "*.tbl" files.
#include <QString>
#include <QWidget>

#include "conversion/symbol_table_file.h"

class QAction;
class QTableWidget;
class QToolBar;

class TSymForm : public QWidget {
  Q_OBJECT

 public:
  explicit TSymForm(QWidget* parent = nullptr);  // FormCreate

  // The grid's keys. KeyDown sees every key first and returns true when it used it; KeyPress
  // gets the typed character as a Windows-1251 code (8 for Backspace).
  bool StringGrid1KeyDown(int key, Qt::KeyboardModifiers modifiers);
  void StringGrid1KeyPress(uint8_t ch);

  void NewActionExecute();
  void FileOpen1Execute();  // the open dialog, then FileOpen1Accept
  void FileOpen1Accept(const QString& fileName);
  void SaveActionExecute();
  void FileSaveAs1Execute();  // the save dialog, then FileSaveAs1Accept
  void FileSaveAs1Accept(const QString& fileName);
  void HelpContents1Execute();

  const kx::TSymbolTable& Table() const { return table_; }
  QString TableFileName() const { return tableFileName_; }
  // The grid's cursor.
  kx::TSymbolCursor Cursor() const;
  void SetCursor(kx::TSymbolCursor at);

  static QString Filter() { return QStringLiteral("Таблица символов(*.tbl)|*.tbl"); }

  QToolBar* ActionToolBar1 = nullptr;
  QAction* NewAction = nullptr;
  QAction* FileOpen1 = nullptr;
  QAction* SaveAction = nullptr;
  QAction* FileSaveAs1 = nullptr;
  QAction* HelpContents1 = nullptr;
  QTableWidget* StringGrid1 = nullptr;

 private:
  // Shows the table's cells in the grid.
  void ShowCells();
  void ShowColumn(int col);

  kx::TSymbolTable table_;
  QString tableFileName_;
  QString dialogDir_;
};
