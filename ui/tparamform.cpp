#include "tparamform.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "formats/format.h"
#include "scriptlistpage.h"
#include "tform1.h"

TParamForm::TParamForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ParamForm"));
  setWindowTitle(QStringLiteral("Параметры файла"));

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setDocumentMode(true);

  TabSheet1 = new QWidget;
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  RadioGroup1 = new QGroupBox(QStringLiteral("Известные форматы"), TabSheet1);
  RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
  RadioGroup1Items = new QButtonGroup(this);
  // Two columns, filled top to bottom as a radio group does: items 0-3 left, 4-7 right.
  auto* grid = new QGridLayout(RadioGroup1);
  const auto formats = kx::AllFormats();
  const int perColumn = static_cast<int>((formats.size() + 1) / 2);
  for (const kx::FormatInfo& f : formats) {
    auto* button = new QRadioButton(QString::fromUtf8(f.radioItem), RadioGroup1);
    RadioGroup1Items->addButton(button, f.id);
    grid->addWidget(button, f.id % perColumn, f.id / perColumn);
  }
  if (QAbstractButton* first = RadioGroup1Items->button(0)) first->setChecked(true);
  auto* page1 = new QVBoxLayout(TabSheet1);
  page1->setContentsMargins(2, 0, 6, 4);
  page1->addWidget(RadioGroup1);
  PageControl1->addTab(TabSheet1, QStringLiteral("По компаниям"));

  TabSheet2 = new QWidget;
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  TabSheet2Layout = new QVBoxLayout(TabSheet2);
  ScriptPage = new ScriptListPage(TabSheet2);
  ScriptPage->ResourceName = [this] { return fileName_; };
  TabSheet2Layout->addWidget(ScriptPage);
  PageControl1->addTab(TabSheet2, QStringLiteral("Вручную"));
  PageControl1->setCurrentIndex(0);

  MakeDialogButtons(this, BitBtn1, BitBtn2, BitBtn3);
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) b->setMinimumWidth(75);
  connect(BitBtn1, &QPushButton::clicked, this, &TParamForm::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn3, &QPushButton::clicked, this, &TParamForm::BitBtn3Click);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  buttons->addWidget(BitBtn3);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 8, 4);
  layout->addWidget(PageControl1, 1);
  auto* buttonRow = new QHBoxLayout;
  buttonRow->setContentsMargins(8, 0, 0, 0);
  buttonRow->addLayout(buttons);
  layout->addLayout(buttonRow);

  resize(408, 229);
}

void TParamForm::SetFileName(const QString& fileName) { fileName_ = fileName; }

int TParamForm::ActivePage() const { return PageControl1->currentIndex(); }

int TParamForm::ChosenFormat() const { return RadioGroup1Items->checkedId(); }

void TParamForm::SetChosenFormat(int format) {
  if (QAbstractButton* b = RadioGroup1Items->button(format)) b->setChecked(true);
}

void TParamForm::BitBtn1Click() {
  if (PageControl1->currentWidget() == TabSheet2 && !ScriptPage->CheckSelection()) return;
  accept();
}

void TParamForm::BitBtn3Click() {
  if (TForm1* main = Form1()) main->ShowHelpContext(8 + PageControl1->currentIndex());
}

void TParamForm::showEvent(QShowEvent* event) {
  setWindowTitle(u'[' + QFileInfo(fileName_).fileName() + QStringLiteral("] - Параметры файла"));
  FixAndCentre(this, QSize(408, 229));
  QDialog::showEvent(event);
}
