#pragma once
// The find dialog "Найти": the text (with the history of texts searched for), the column, where
// to start and whether letter case matters. Keeps every setting between showings.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TFindForm : public QDialog {
  Q_OBJECT

 public:
  explicit TFindForm(QWidget* parent = nullptr);

  QString SearchText() const;
  bool InTranslation() const;  // "В русском тексте"
  bool FromCursor() const;     // "С курсора"
  bool CaseSensitive() const;  // "Учитывать регистр"

  void BitBtn1Click();  // OK: refused while the text is empty
  void BitBtn3Click();  // help

  QComboBox* ComboBox1 = nullptr;
  QGroupBox* RadioGroup1 = nullptr;
  QRadioButton* InEnglish = nullptr;
  QRadioButton* InRussian = nullptr;
  QGroupBox* RadioGroup2 = nullptr;
  QRadioButton* FromStart = nullptr;
  QRadioButton* FromCursorButton = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* BitBtn3 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
};
