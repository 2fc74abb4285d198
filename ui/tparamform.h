#pragma once
// The file-parameters dialog "Параметры файла": names the format of a file opened through
// "Все файлы(*.*)" or dropped on the main window. Its first page "По компаниям" holds the
// "Известные форматы" group; the second page "Вручную" holds the script list.
#include <QDialog>
#include <QString>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QTabWidget;
class QVBoxLayout;
class ScriptListPage;

class TParamForm : public QDialog {
  Q_OBJECT

 public:
  explicit TParamForm(QWidget* parent = nullptr);

  // The file to be opened; shown in the title "[" + its name + "] - Параметры файла".
  void SetFileName(const QString& fileName);
  QString FileName() const { return fileName_; }

  // The page active when the dialog closed: 0 "По компаниям", 1 "Вручную".
  int ActivePage() const;
  // The item chosen in "Известные форматы", which is the GameFormat.
  int ChosenFormat() const;
  void SetChosenFormat(int format);

  void BitBtn1Click();  // OK
  void BitBtn3Click();  // "&Помощь": topic 8 plus the active page

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheet1 = nullptr;
  QWidget* TabSheet2 = nullptr;
  // The layout of the "Вручную" page; the script list is placed into it.
  QVBoxLayout* TabSheet2Layout = nullptr;
  ScriptListPage* ScriptPage = nullptr;
  QGroupBox* RadioGroup1 = nullptr;
  QButtonGroup* RadioGroup1Items = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QString fileName_;
};
