#include "tsaveform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "prompter.h"
#include "tform1.h"

namespace {

QLineEdit* NameEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setReadOnly(true);
  edit->setMinimumWidth(280);
  return edit;
}

QCheckBox* OutputBox(QWidget* parent, const char* name) {
  auto* box = new QCheckBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(true);
  return box;
}

}  // namespace

TSaveForm::TSaveForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("SaveForm"));
  setWindowTitle(QStringLiteral("Параметры сохранения"));

  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::StyledPanel);
  bevel->setFrameShadow(QFrame::Raised);

  Label1 = new QLabel(QStringLiteral("Результат:"), bevel);
  ResEdit = NameEdit(bevel, "ResEdit");
  CheckBox2 = OutputBox(bevel, "CheckBox2");

  auto* group = new QGroupBox(QStringLiteral("Преобразование символов"), bevel);
  group->setObjectName(QStringLiteral("RadioGroup1"));
  RadioButton1 = new QRadioButton(QStringLiteral("Нет"), group);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setChecked(true);
  TransButton = new QRadioButton(QStringLiteral("Транслит"), group);
  TransButton->setObjectName(QStringLiteral("TransButton"));
  CheckBox1 = new QCheckBox(QStringLiteral("Весь файл"), group);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  TableButton = new QRadioButton(QStringLiteral("Таблица символов"), group);
  TableButton->setObjectName(QStringLiteral("TableButton"));
  TblEdit = NameEdit(group, "TblEdit");
  TblEdit->setMinimumWidth(200);
  auto* conversions = new QButtonGroup(this);
  conversions->addButton(RadioButton1);
  conversions->addButton(TransButton);
  conversions->addButton(TableButton);
  auto* groupGrid = new QGridLayout(group);
  groupGrid->addWidget(RadioButton1, 0, 0);
  groupGrid->addWidget(TransButton, 1, 0);
  groupGrid->addWidget(CheckBox1, 1, 1);
  groupGrid->addWidget(TableButton, 2, 0);
  groupGrid->addWidget(TblEdit, 2, 1);
  groupGrid->setColumnStretch(1, 1);

  SpeedButton1 = new QToolButton(bevel);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  SpeedButton1->setToolTip(QStringLiteral("Таблица символов(*.tbl)"));

  Label2 = new QLabel(QStringLiteral("Русские строки:"), bevel);
  REdit = NameEdit(bevel, "REdit");
  CheckBox3 = OutputBox(bevel, "CheckBox3");
  Label4 = new QLabel(QStringLiteral("Нерусские строки:"), bevel);
  EEdit = NameEdit(bevel, "EEdit");
  CheckBox4 = OutputBox(bevel, "CheckBox4");

  auto* grid = new QGridLayout(bevel);
  grid->setContentsMargins(4, 8, 4, 6);
  grid->addWidget(Label1, 0, 0);
  grid->addWidget(ResEdit, 0, 1);
  grid->addWidget(CheckBox2, 0, 2);
  grid->addWidget(group, 1, 0, 1, 2);
  grid->addWidget(SpeedButton1, 1, 2, Qt::AlignBottom);
  grid->addWidget(Label2, 2, 0);
  grid->addWidget(REdit, 2, 1);
  grid->addWidget(CheckBox3, 2, 2);
  grid->addWidget(Label4, 3, 0);
  grid->addWidget(EEdit, 3, 1);
  grid->addWidget(CheckBox4, 3, 2);
  grid->setColumnStretch(1, 1);

  MakeDialogButtons(this, BitBtn1, BitBtn2, BitBtn3);
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
    b->setMinimumWidth(75);
    b->setAutoDefault(false);
  }
  BitBtn1->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  buttons->addWidget(BitBtn3);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 7, 4, 6);
  layout->addWidget(bevel, 1);
  layout->addLayout(buttons);

  connect(CheckBox2, &QCheckBox::clicked, this, &TSaveForm::CheckBox2Click);
  connect(CheckBox3, &QCheckBox::clicked, this, &TSaveForm::CheckBox3Click);
  connect(CheckBox4, &QCheckBox::clicked, this, &TSaveForm::CheckBox4Click);
  connect(SpeedButton1, &QToolButton::clicked, this, &TSaveForm::SpeedButton1Click);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn3, &QPushButton::clicked, this, &TSaveForm::BitBtn3Click);
  resize(452, 237);
}

void TSaveForm::showEvent(QShowEvent* event) {
  FixAndCentre(this, QSize(452, 237));
  QDialog::showEvent(event);
}

void TSaveForm::Prepare(const QString& docFileName) {
  ResEdit->setText(docFileName + QStringLiteral(".rus"));
  REdit->setText(docFileName + QStringLiteral(".loc"));
  EEdit->setText(docFileName + QStringLiteral(".txt"));
  TblEdit->setText(docFileName + QStringLiteral(".tbl"));
}

kx::SaveOptions TSaveForm::Options() const {
  kx::SaveOptions o;
  o.result = CheckBox2->isChecked();
  o.store = CheckBox3->isChecked();
  o.originals = CheckBox4->isChecked();
  o.conversion = TransButton->isChecked()   ? kx::SaveConversion::Translit
                 : TableButton->isChecked() ? kx::SaveConversion::Table
                                            : kx::SaveConversion::None;
  o.wholeFile = CheckBox1->isChecked();
  o.tableFile = TblEdit->text().toStdString();
  return o;
}

void TSaveForm::CheckBox2Click() {
  Label1->setEnabled(CheckBox2->isChecked());
  ResEdit->setEnabled(CheckBox2->isChecked());
}

void TSaveForm::CheckBox3Click() {
  Label2->setEnabled(CheckBox3->isChecked());
  REdit->setEnabled(CheckBox3->isChecked());
}

void TSaveForm::CheckBox4Click() {
  Label4->setEnabled(CheckBox4->isChecked());
  EEdit->setEnabled(CheckBox4->isChecked());
}

void TSaveForm::SpeedButton1Click() {
  int index = 1;
  const QString file = Prompts().OpenFileName(
      this, QStringLiteral("Открыть"), QFileInfo(TblEdit->text()).absolutePath(),
      QStringLiteral("Таблица символов(*.tbl)|*.tbl"), &index);
  if (!file.isEmpty()) TblEdit->setText(file);
}

void TSaveForm::BitBtn3Click() {
  if (TForm1* main = Form1()) main->ShowHelpContext(11);
}
