#include "tfindform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "tform1.h"

namespace {

QGroupBox* RadioGroup(QWidget* parent, const QString& caption, QRadioButton*& first,
                      const QString& firstText, QRadioButton*& second, const QString& secondText) {
  auto* group = new QGroupBox(caption, parent);
  first = new QRadioButton(firstText, group);
  second = new QRadioButton(secondText, group);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(first);
  layout->addWidget(second);
  return group;
}

}  // namespace

TFindForm::TFindForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindForm"));
  setWindowTitle(QStringLiteral("Найти"));

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Raised);

  auto* label = new QLabel(QStringLiteral("Текст:"), frame);
  ComboBox1 = new QComboBox(frame);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setEditable(true);
  // The history grows only through OK, one entry per text.
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  // Case-sensitive completion: otherwise the box swaps a typed "Мир" for a remembered "мир"
  // when it loses the focus, and a case-sensitive search would look for the wrong text.
  if (QCompleter* completer = ComboBox1->completer())
    completer->setCaseSensitivity(Qt::CaseSensitive);
  ComboBox1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  label->setBuddy(ComboBox1);

  RadioGroup1 = RadioGroup(frame, QStringLiteral("Где искать"), InEnglish,
                           QStringLiteral("В английском тексте"), InRussian,
                           QStringLiteral("В русском тексте"));
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  InRussian->setChecked(true);
  RadioGroup2 =
      RadioGroup(frame, QStringLiteral("Откуда начать"), FromStart, QStringLiteral("С начала"),
                 FromCursorButton, QStringLiteral("С курсора"));
  RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
  FromCursorButton->setChecked(true);
  CheckBox1 = new QCheckBox(QStringLiteral("Учитывать регистр"), frame);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

  auto* grid = new QGridLayout(frame);
  grid->addWidget(label, 0, 0);
  grid->addWidget(ComboBox1, 0, 1, 1, 2);
  grid->addWidget(RadioGroup1, 1, 0, 1, 2);
  grid->addWidget(RadioGroup2, 1, 2);
  grid->addWidget(CheckBox1, 2, 0, 1, 3);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);

  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  CancelBtn = new QPushButton(QStringLiteral("Отмена"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  BitBtn3 = new QPushButton(QStringLiteral("Помощь"), this);
  BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
  for (QPushButton* b : {BitBtn1, CancelBtn, BitBtn3}) {
    b->setMinimumWidth(75);
    b->setAutoDefault(false);
  }
  BitBtn1->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(CancelBtn);
  buttons->addWidget(BitBtn3);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(frame, 1);
  layout->addLayout(buttons);

  connect(BitBtn1, &QPushButton::clicked, this, &TFindForm::BitBtn1Click);
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn3, &QPushButton::clicked, this, &TFindForm::BitBtn3Click);
  resize(396, 162);
}

void TFindForm::showEvent(QShowEvent* event) {
  FixAndCentre(this, QSize(396, 162));
  QDialog::showEvent(event);
  ComboBox1->setFocus();
  ComboBox1->lineEdit()->selectAll();
}

QString TFindForm::SearchText() const { return ComboBox1->currentText(); }
bool TFindForm::InTranslation() const { return InRussian->isChecked(); }
bool TFindForm::FromCursor() const { return FromCursorButton->isChecked(); }
bool TFindForm::CaseSensitive() const { return CheckBox1->isChecked(); }

void TFindForm::BitBtn1Click() {
  const QString text = ComboBox1->currentText();
  if (text.isEmpty()) return;
  // One history entry per text, whatever its letter case (MatchFixedString ignores case).
  if (ComboBox1->findText(text, Qt::MatchFixedString) < 0) {
    ComboBox1->addItem(text);
    ComboBox1->setCurrentIndex(ComboBox1->count() - 1);
  }
  accept();
}

void TFindForm::BitBtn3Click() {
  if (TForm1* main = Form1()) main->ShowHelpContext(100);
}
