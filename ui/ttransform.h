#pragma once
// The translation dialog "Перевод строки": the original of the selected row above, its
// translation below. "Следующая" and "Предыдущая" (also Ctrl+Down and Ctrl+Up) store the
// translation into the row and step to the next or previous row without closing the dialog;
// "Следующая непереведённая" (also Ctrl+Shift+Down) steps to the next row without a translation.
// Under the translation box the byte meter tells what the translation takes in the resource.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

class TTransForm : public QDialog {
  Q_OBJECT

 public:
  explicit TTransForm(QWidget* parent = nullptr);

  QString Original() const;
  QString Translation() const;
  void SetTexts(const QString& original, const QString& translation);

  void NextBtnClick();
  void PrevBtnClick();
  void SpeedButton1Click();  // copies the original into the translation box
  void SpeedButton2Click();  // empties the translation box
  void SpeedButton3Click();  // stores, then goes to the next untranslated row
  void BitBtn3Click();       // help

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;  // "Следующая непереведённая"
  QLabel* ByteLabel = nullptr;          // the byte meter
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn2 = nullptr;  // "Отмена"
  QPushButton* BitBtn3 = nullptr;  // "&Помощь"
  QPushButton* PrevBtn = nullptr;
  QPushButton* NextBtn = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LoadSelectedRow();
  void CaretToEnd();
};
