#pragma once
// The script editor "Скрипт": a script is put together from the command catalogue, the
// parameters of commands are chosen in the parameter prompt, and the script is tried out one
// command per click against the file being opened, with what each step read shown below.
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "script/script.h"
#include "script/script_file.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TEditDlg;

class TScriptForm : public QDialog {
  Q_OBJECT

 public:
  explicit TScriptForm(QWidget* parent = nullptr);
  ~TScriptForm() override;

  // The file the test reads, handed over by the file-parameters dialog.
  void SetResourceName(const QString& name) { resourceName_ = name; }
  QString ResourceName() const { return resourceName_; }

  // A new script: the script and the test output are emptied; the name field and the variable
  // pools stay as they are.
  void NewScript();
  // A listed script for editing: its name into the name field, its commands into the script.
  void EditScript(const kx::TScript& script);
  // The name field and the commands, as the script list keeps them.
  kx::TScript Script() const;
  const std::vector<kx::TData>& Commands() const { return commands_; }

  kx::TVariablePools& Pools() { return pools_; }
  const kx::TScriptTest& Test() const { return test_; }

  // The parameter prompt to use; the program's own one when none is set.
  void SetEditDlg(TEditDlg* dialog) { editDlg_ = dialog; }

  void BitBtn4Click();   // "Добавить ->"
  void BitBtn5Click();   // "Удалить <-"
  void BitBtn6Click();   // "Вверх"
  void BitBtn7Click();   // "Вниз"
  void BitBtn10Click();  // "Параметры"
  void BitBtn8Click();   // "Тест (шаг)"
  void BitBtn9Click();   // "Сброс"
  void BitBtn1Click();   // OK
  void BitBtn2Click();   // "Отмена"
  void BitBtn3Click();   // "&Помощь"
  void ListBox2DblClick();

  QLabel* Label1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QLabel* Label2 = nullptr;
  QListWidget* ListBox2 = nullptr;
  QPushButton* BitBtn4 = nullptr;
  QPushButton* BitBtn5 = nullptr;
  QPushButton* BitBtn6 = nullptr;
  QPushButton* BitBtn7 = nullptr;
  QPushButton* BitBtn10 = nullptr;
  QPushButton* BitBtn8 = nullptr;
  QPushButton* BitBtn9 = nullptr;
  QLabel* Label3 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Edit1 = nullptr;

 public slots:
  // The close box and Esc end here too: a running test is reset, as by "Отмена".
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  class MemoOutput;

  void InsertRow(int row, const kx::TData& command);
  void SwapRows(int a, int b);
  void ResetTest();

  kx::TVariablePools pools_;
  kx::TScriptTest test_;
  std::unique_ptr<MemoOutput> output_;
  std::vector<kx::TData> commands_;  // the command of each row of ListBox2
  QString resourceName_;
  TEditDlg* editDlg_ = nullptr;
};
