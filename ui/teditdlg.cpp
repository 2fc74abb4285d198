#include "teditdlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_util.h"

namespace {
constexpr QSize kDesignSize(313, 121);
}

TEditDlg::TEditDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("EditDlg"));
  setWindowTitle(QStringLiteral("Введите параметр"));

  Bevel1 = new QGroupBox(this);
  Label1 = new QLabel(QStringLiteral("Выберите название переменной:"), Bevel1);
  ComboBox1 = new QComboBox(Bevel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(false);  // only the names offered can be chosen
  Label1->setBuddy(ComboBox1);
  auto* frame = new QVBoxLayout(Bevel1);
  frame->addWidget(Label1);
  frame->addWidget(ComboBox1);
  frame->addStretch();

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  HelpBtn = new QPushButton(QStringLiteral("&Помощь"), this);
  HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) {
    b->setMinimumWidth(75);
    buttons->addWidget(b);
  }
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Bevel1, 1);
  layout->addLayout(buttons);
}

void TEditDlg::SetNames(const QStringList& names, const QString& current) {
  ComboBox1->clear();
  ComboBox1->addItems(names);
  ComboBox1->setCurrentIndex(int(names.indexOf(current)));
}

QString TEditDlg::ChosenName() const {
  return ComboBox1->currentIndex() >= 0 ? ComboBox1->currentText() : QString();
}

void TEditDlg::showEvent(QShowEvent* event) {
  FixAndCentre(this, kDesignSize);
  QDialog::showEvent(event);
}
