#pragma once
// The parameter prompt "Введите параметр": the script editor offers the names of the variables
// a command can take, and the user picks one from the drop-down list.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TEditDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TEditDlg(QWidget* parent = nullptr);

  // Fills the list; `current` (when among the names) is shown chosen, otherwise none is.
  void SetNames(const QStringList& names, const QString& current = QString());
  // The name chosen, or empty.
  QString ChosenName() const;

  QGroupBox* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* OKBtn = nullptr;
  QPushButton* CancelBtn = nullptr;
  QPushButton* HelpBtn = nullptr;  // has no effect

 protected:
  void showEvent(QShowEvent* event) override;
};
