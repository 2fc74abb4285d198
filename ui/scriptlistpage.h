#pragma once
// The "Вручную" page of the file-parameters dialog: the scripts made, edited, loaded from and
// saved to "*.script" files during the run, listed by name, with the buttons that make, edit,
// delete, load and save them.
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "script/script_file.h"

class QLabel;
class QListWidget;
class QToolButton;
class TScriptForm;

class ScriptListPage : public QWidget {
  Q_OBJECT

 public:
  explicit ScriptListPage(QWidget* parent = nullptr);

  // The file being opened, which the script editor's test reads.
  std::function<QString()> ResourceName;
  // The script editor to use; the program's own one when none is set.
  void SetEditor(TScriptForm* editor) { editor_ = editor; }

  void NewScriptClick();  // "Создать новый скрипт"
  void EditScriptClick();  // "Редактировать скрипт", also a double click on a name
  void DeleteScriptClick();  // "Удалить скрипт"
  void LoadScriptsClick();   // "Загрузить файл со скриптами"
  void SaveScriptsClick();   // "Сохранить файл со скриптами"

  // OK while this page is active: false, after saying so, when no script is selected.
  bool CheckSelection();

  const std::vector<kx::TScript>& Scripts() const { return scripts_; }
  // The selected row, or -1.
  int SelectedRow() const;

  static QString Filter() { return QStringLiteral("Скрипты(*.script)|*.script"); }

  QLabel* Label1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QToolButton* NewScriptBtn = nullptr;
  QToolButton* EditScriptBtn = nullptr;
  QToolButton* DeleteScriptBtn = nullptr;
  QToolButton* LoadScriptsBtn = nullptr;
  QToolButton* SaveScriptsBtn = nullptr;

 private:
  TScriptForm* Editor() const;
  void Append(kx::TScript script);

  std::vector<kx::TScript> scripts_;  // the script of each row of ListBox1
  TScriptForm* editor_ = nullptr;
  QString dialogDir_;
};
