#include "ttransform.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "exchange/workflow.h"
#include "list_view.h"
#include "prompter.h"
#include "tform1.h"
#include "translation_model.h"
#include "workflow_ui.h"

namespace {

QPlainTextEdit* MakeMemo(QWidget* parent, const char* name) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setTabChangesFocus(true);
  memo->setMinimumSize(240, 50);
  return memo;
}

// The copy button: two pages, the upper one pointing down onto the lower one.
QIcon CopyIcon() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setPen(QColor(70, 70, 70));
  p.setBrush(Qt::white);
  p.drawRect(1, 1, 8, 9);
  p.drawRect(6, 5, 8, 9);
  p.setPen(QColor(30, 90, 200));
  for (int y = 7; y <= 12; y += 2) p.drawLine(8, y, 12, y);
  return QIcon(pixmap);
}

// Keys with exactly Ctrl held (the keypad flag aside).
bool CtrlOnly(const QKeyEvent* key) {
  return (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

}  // namespace

TTransForm::TTransForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TransForm"));
  setWindowTitle(QStringLiteral("Перевод строки"));

  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::StyledPanel);
  frame->setFrameShadow(QFrame::Sunken);

  Memo1 = MakeMemo(frame, "Memo1");
  Memo1->setReadOnly(true);
  Memo1->viewport()->setCursor(Qt::WhatsThisCursor);
  Memo2 = MakeMemo(frame, "Memo2");

  Label1 = new QLabel(QStringLiteral("&Исходный текст:"), frame);
  Label1->setBuddy(Memo1);
  Label2 = new QLabel(QStringLiteral("П&еревод:"), frame);
  Label2->setBuddy(Memo2);

  SpeedButton1 = new QToolButton(frame);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setIcon(CopyIcon());
  SpeedButton1->setToolTip(QStringLiteral("Скопировать текст сверху"));
  SpeedButton1->setAutoRaise(true);
  SpeedButton1->setFocusPolicy(Qt::NoFocus);
  SpeedButton2 = new QToolButton(frame);
  SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
  SpeedButton2->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
  SpeedButton2->setToolTip(QStringLiteral("Очистить поле ввода"));
  SpeedButton2->setAutoRaise(true);
  SpeedButton2->setFocusPolicy(Qt::NoFocus);
  SpeedButton3 = new QToolButton(frame);
  SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
  SpeedButton3->setText(QStringLiteral("Следующая непереведённая"));
  SpeedButton3->setToolTip(QStringLiteral("Следующая непереведённая (Ctrl+Shift+Down)"));
  SpeedButton3->setAutoRaise(true);
  SpeedButton3->setFocusPolicy(Qt::NoFocus);
  ByteLabel = new QLabel(frame);
  ByteLabel->setObjectName(QStringLiteral("ByteLabel"));

  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(5, 4, 5, 5);
  frameLayout->setSpacing(2);
  frameLayout->addWidget(Label1);
  frameLayout->addWidget(Memo1, 1);
  auto* translationRow = new QHBoxLayout;
  translationRow->addWidget(Label2);
  translationRow->addWidget(SpeedButton1);
  translationRow->addWidget(SpeedButton2);
  translationRow->addStretch();
  translationRow->addWidget(SpeedButton3);
  frameLayout->addLayout(translationRow);
  frameLayout->addWidget(Memo2, 1);
  frameLayout->addWidget(ByteLabel);

  MakeDialogButtons(this, BitBtn1, BitBtn2, BitBtn3);
  PrevBtn = new QPushButton(QStringLiteral("Предыдущая"), this);
  PrevBtn->setObjectName(QStringLiteral("PrevBtn"));
  NextBtn = new QPushButton(QStringLiteral("Следующая"), this);
  NextBtn->setObjectName(QStringLiteral("NextBtn"));
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3, PrevBtn, NextBtn}) {
    b->setMinimumWidth(75);
    b->setAutoDefault(false);
  }
  BitBtn1->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  buttons->addWidget(BitBtn3);
  buttons->addStretch();
  buttons->addWidget(PrevBtn);
  buttons->addWidget(NextBtn);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->addWidget(frame, 1);
  layout->addLayout(buttons);

  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn3, &QPushButton::clicked, this, &TTransForm::BitBtn3Click);
  connect(PrevBtn, &QPushButton::clicked, this, &TTransForm::PrevBtnClick);
  connect(NextBtn, &QPushButton::clicked, this, &TTransForm::NextBtnClick);
  connect(SpeedButton1, &QToolButton::clicked, this, &TTransForm::SpeedButton1Click);
  connect(SpeedButton2, &QToolButton::clicked, this, &TTransForm::SpeedButton2Click);
  connect(SpeedButton3, &QToolButton::clicked, this, &TTransForm::SpeedButton3Click);
  connect(Memo2, &QPlainTextEdit::textChanged, this, [this] {
    ShowByteMeter(ByteLabel, Form1() ? Form1()->SelectedRow() : -1, Memo2->toPlainText());
  });

  // The dialog sees every key before its controls (Ctrl+Up/Down and Enter in the boxes).
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  resize(500, 250);
}

QString TTransForm::Original() const { return Memo1->toPlainText(); }
QString TTransForm::Translation() const { return Memo2->toPlainText(); }

void TTransForm::SetTexts(const QString& original, const QString& translation) {
  Memo1->setPlainText(original);
  Memo2->setPlainText(translation);
}

void TTransForm::CaretToEnd() {
  Memo2->setFocus();
  QTextCursor cursor = Memo2->textCursor();
  cursor.movePosition(QTextCursor::End);
  Memo2->setTextCursor(cursor);
}

void TTransForm::showEvent(QShowEvent* event) {
  FixAndCentre(this, QSize(500, 250));
  QDialog::showEvent(event);
  // The save options may have changed since the texts were set.
  ShowByteMeter(ByteLabel, Form1() ? Form1()->SelectedRow() : -1, Memo2->toPlainText());
  CaretToEnd();
}

void TTransForm::LoadSelectedRow() {
  TForm1* main = Form1();
  const int row = main->SelectedRow();
  SetTexts(main->Model()->Original(row), main->Model()->Translation(row));
  CaretToEnd();
}

void TTransForm::NextBtnClick() {
  TForm1* main = Form1();
  const int row = main->SelectedRow();
  if (row < 0) return;
  main->Model()->SetTranslation(row, Memo2->toPlainText());
  if (row < main->Model()->rowCount() - 1) {
    main->SelectAndFocusRow(row + 1);
    main->List()->ScrollDownTo(row + 1, 10);
  }
  LoadSelectedRow();
}

void TTransForm::PrevBtnClick() {
  TForm1* main = Form1();
  const int row = main->SelectedRow();
  if (row < 0) return;
  main->Model()->SetTranslation(row, Memo2->toPlainText());
  if (row > 0) main->SelectAndFocusRow(row - 1);
  LoadSelectedRow();
}

void TTransForm::SpeedButton3Click() {
  TForm1* main = Form1();
  const int row = main->SelectedRow();
  if (row < 0) return;
  main->Model()->SetTranslation(row, Memo2->toPlainText());
  const std::optional<size_t> next = kx::NextUntranslated(main->Doc(), static_cast<size_t>(row));
  if (!next) {
    Prompts().Information(this, QStringLiteral("Перевод строки"),
                          QStringLiteral("Все строки переведены."));
    CaretToEnd();
    return;
  }
  const int target = static_cast<int>(*next);
  main->SelectAndFocusRow(target);
  main->List()->scrollTo(main->Model()->index(target, 0));
  LoadSelectedRow();
}

void TTransForm::SpeedButton1Click() { Memo2->setPlainText(Memo1->toPlainText()); }

void TTransForm::SpeedButton2Click() { Memo2->clear(); }

void TTransForm::BitBtn3Click() {
  if (TForm1* main = Form1()) main->ShowHelpContext(10);
}

bool TTransForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
    return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  // Ctrl+Shift+Down: the next untranslated row, also on release.
  if (key->key() == Qt::Key_Down &&
      (key->modifiers() & ~Qt::KeypadModifier) == (Qt::ControlModifier | Qt::ShiftModifier)) {
    if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) SpeedButton3->click();
    return true;
  }
  const bool upOrDown = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
  if (upOrDown && CtrlOnly(key)) {
    // FormKeyUp: the step runs when the key is released; its press is kept from the boxes.
    if (event->type() == QEvent::KeyRelease && !key->isAutoRepeat()) {
      if (key->key() == Qt::Key_Up)
        PrevBtn->click();
      else
        NextBtn->click();
    }
    return true;
  }
  // The boxes do not take Enter: it closes the dialog with OK.
  if (event->type() == QEvent::KeyPress &&
      (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
      (watched == Memo1 || watched == Memo2)) {
    BitBtn1->click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
