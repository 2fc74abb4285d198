#pragma once
// The save options dialog "Параметры сохранения": which outputs to write and which character
// conversion the result gets. Keeps its choices between showings.
#include <QDialog>

#include "document/save_document.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

class TSaveForm : public QDialog {
  Q_OBJECT

 public:
  explicit TSaveForm(QWidget* parent = nullptr);

  // Fills the name boxes from the document's file name; the table box gets DocFileName + ".tbl".
  void Prepare(const QString& docFileName);
  // The choices as the save command takes them.
  kx::SaveOptions Options() const;

  void CheckBox2Click();
  void CheckBox3Click();
  void CheckBox4Click();
  void SpeedButton1Click();
  void BitBtn3Click();

  QLabel* Label1 = nullptr;
  QLineEdit* ResEdit = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* TransButton = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QRadioButton* TableButton = nullptr;
  QLineEdit* TblEdit = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* REdit = nullptr;
  QCheckBox* CheckBox3 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* EEdit = nullptr;
  QCheckBox* CheckBox4 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};
