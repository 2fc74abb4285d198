// Editing a row: the list's triggers open the translation dialog, its steps store into the rows
// and move the selection, OK and Cancel decide what the main window keeps.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "ttransform.h"
#include "ui_test_support.h"

using uitest::Session;
using uitest::WhenModal;

namespace {

// What the dialog showed when it opened.
struct Shown {
  bool open = false;
  QString original;
  QString translation;
  int caret = -1;
  bool selection = true;
};

// Reads the dialog, runs `act` on it (which closes it) and keeps what it saw.
void OnDialog(Shown& shown, std::function<void(TTransForm*)> act) {
  WhenModal([&shown, act](QWidget* w) {
    auto* t = qobject_cast<TTransForm*>(w);
    shown.open = t != nullptr;
    if (!t) return qobject_cast<QDialog*>(w)->reject();
    shown.original = t->Memo1->toPlainText();
    shown.translation = t->Memo2->toPlainText();
    shown.caret = t->Memo2->textCursor().position();
    shown.selection = t->Memo2->textCursor().hasSelection();
    act(t);
  });
}

void Cancel(TTransForm* t) { t->BitBtn2->click(); }

}  // namespace

class TransFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    s = std::make_unique<Session>();
    s->main()->show();
    s->Open({"First", "Second", "Third"}, {{0, "Abc"}});
  }
  void cleanup() { s.reset(); }

  void TriggersOpenTheDialogWithTheRowsTexts();
  void NothingOpensWithoutASelectedRow();
  void OkStoresAndSelectsTheNextRow();
  void OkOnTheLastRowStaysThere();
  void StepsStopAtBothEnds();
  void CtrlArrowsStepLikeTheButtons();
  void CancelAfterTwoNextsKeepsTheStoredTexts();
  void CopyAndClearButtons();
  void SingleRowStepsReloadTheSameRow();
  void NextNearTheBottomScrollsTheNewRowIntoView();

 private:
  std::unique_ptr<Session> s;
};

void TransFormTest::TriggersOpenTheDialogWithTheRowsTexts() {
  struct Case {
    const char* name;
    std::function<void(TListView*)> trigger;
    QString expected;
  };
  const Case cases[] = {
      {"typed x", [](TListView* v) { QTest::keyClick(v, Qt::Key_X); }, "Abcx"},
      {"space", [](TListView* v) { QTest::keyClick(v, Qt::Key_Space); }, "Abc "},
      {"Cyrillic letter",
       [](TListView* v) {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ж"));
         QApplication::sendEvent(v, &press);
       },
       "Abcж"},
      {"Enter", [](TListView* v) { QTest::keyClick(v, Qt::Key_Return); }, "Abc"},
      {"double click",
       [](TListView* v) {
         const QPointF at = v->visualRect(v->model()->index(0, 1)).center();
         const QPointF global = v->viewport()->mapToGlobal(at);
         for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                   QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
           QMouseEvent e(type, at, global, Qt::LeftButton,
                         type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                         Qt::NoModifier);
           QApplication::sendEvent(v->viewport(), &e);
         }
       },
       "Abc"},
  };
  for (const Case& c : cases) {
    s->main()->SelectAndFocusRow(0);
    Shown shown;
    OnDialog(shown, Cancel);
    c.trigger(s->main()->List());
    uitest::CancelPendingModalSteps();
    QVERIFY2(shown.open, c.name);
    QCOMPARE(shown.original, QStringLiteral("First"));
    QCOMPARE(shown.translation, c.expected);
    QCOMPARE(shown.caret, int(c.expected.size()));
    QVERIFY(!shown.selection);
    QCOMPARE(s->Translation(0), QStringLiteral("Abc"));  // cancelled: nothing stored
    QVERIFY(!s->main()->Doc().DocModified);
  }
  // A control character other than Enter does nothing.
  s->main()->SelectAndFocusRow(0);
  QTest::keyClick(s->main()->List(), Qt::Key_Backspace);
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void TransFormTest::NothingOpensWithoutASelectedRow() {
  s->main()->SelectAndFocusRow(-1);
  s->main()->ListView1KeyPress(QString(QChar(13)));
  s->main()->ListView1DblClick();
  s->main()->ListView1KeyPress(QStringLiteral("x"));
  QVERIFY(!TransForm()->isVisible());
  s->main()->CloseAction->trigger();
  s->main()->ListView1DblClick();
  QVERIFY(!TransForm()->isVisible());
}

void TransFormTest::OkStoresAndSelectsTheNextRow() {
  s->main()->SelectAndFocusRow(0);
  const int scroll = s->main()->List()->verticalScrollBar()->value();
  Shown shown;
  OnDialog(shown, [](TTransForm* t) {
    t->Memo2->setPlainText(QStringLiteral("Абв"));
    QTest::keyClick(t->Memo2, Qt::Key_Return);  // Enter in the box is OK
  });
  s->main()->ListView1KeyPress(QString(QChar(13)));
  QVERIFY(shown.open);
  QCOMPARE(s->Translation(0), QStringLiteral("Абв"));
  QCOMPARE(s->main()->SelectedRow(), 1);
  QCOMPARE(s->main()->List()->currentIndex().row(), 1);
  QCOMPARE(s->main()->List()->verticalScrollBar()->value(), scroll);
  QVERIFY(s->main()->Doc().DocModified);
}

void TransFormTest::OkOnTheLastRowStaysThere() {
  s->main()->SelectAndFocusRow(2);
  Shown shown;
  OnDialog(shown, [](TTransForm* t) {
    t->Memo2->setPlainText(QStringLiteral("Три"));
    t->BitBtn1->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(s->Translation(2), QStringLiteral("Три"));
  QCOMPARE(s->main()->SelectedRow(), 2);
  QVERIFY(s->main()->Doc().DocModified);
}

void TransFormTest::StepsStopAtBothEnds() {
  Shown ignored;
  struct Case {
    int start;
    bool next;
    int end;
  };
  for (const Case c : {Case{2, true, 2}, Case{0, false, 0}, Case{1, true, 2}, Case{1, false, 0}}) {
    s->main()->SelectAndFocusRow(c.start);
    QString after;
    int caret = -1;
    OnDialog(ignored, [&](TTransForm* t) {
      t->Memo2->setPlainText(QStringLiteral("edited"));
      (c.next ? t->NextBtn : t->PrevBtn)->click();
      after = t->Memo1->toPlainText();
      caret = t->Memo2->textCursor().position();
      t->BitBtn2->click();
    });
    s->main()->ListView1DblClick();
    QCOMPARE(s->Translation(c.start), QStringLiteral("edited"));
    QCOMPARE(s->main()->SelectedRow(), c.end);
    QCOMPARE(after, s->main()->Model()->Original(c.end));
    QCOMPARE(caret, int(s->Translation(c.end).size()));
    QVERIFY(!s->main()->Doc().DocModified);
  }
}

void TransFormTest::CtrlArrowsStepLikeTheButtons() {
  Shown ignored;
  s->main()->SelectAndFocusRow(0);
  int afterDown = -1, afterUp = -1, afterShift = -1;
  OnDialog(ignored, [&](TTransForm* t) {
    QTest::keyClick(t->Memo2, Qt::Key_Down, Qt::ControlModifier);
    afterDown = Form1()->SelectedRow();
    QTest::keyClick(t->Memo2, Qt::Key_Down, Qt::ControlModifier);
    QTest::keyClick(t->Memo2, Qt::Key_Up, Qt::ControlModifier);
    afterUp = Form1()->SelectedRow();
    QTest::keyClick(t->Memo2, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    afterShift = Form1()->SelectedRow();
    t->BitBtn2->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(afterDown, 1);
  QCOMPARE(afterUp, 1);
  QCOMPARE(afterShift, 2);  // Ctrl+Shift+Down: the next untranslated row, "Third"
}

void TransFormTest::CancelAfterTwoNextsKeepsTheStoredTexts() {
  Shown ignored;
  s->main()->SelectAndFocusRow(0);
  OnDialog(ignored, [](TTransForm* t) {
    t->Memo2->setPlainText(QStringLiteral("один"));
    t->NextBtn->click();
    t->Memo2->setPlainText(QStringLiteral("два"));
    t->NextBtn->click();
    t->Memo2->setPlainText(QStringLiteral("lost"));
    t->BitBtn2->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(s->Translation(0), QStringLiteral("один"));
  QCOMPARE(s->Translation(1), QStringLiteral("два"));
  QCOMPARE(s->Translation(2), QString());
  QCOMPARE(s->main()->SelectedRow(), 2);
  QVERIFY(!s->main()->Doc().DocModified);
}

void TransFormTest::CopyAndClearButtons() {
  QCOMPARE(TransForm()->SpeedButton1->toolTip(), QStringLiteral("Скопировать текст сверху"));
  QCOMPARE(TransForm()->SpeedButton2->toolTip(), QStringLiteral("Очистить поле ввода"));
  Shown ignored;
  s->main()->SelectAndFocusRow(0);
  QString cleared;
  OnDialog(ignored, [&](TTransForm* t) {
    t->SpeedButton2->click();
    cleared = t->Memo2->toPlainText();
    t->SpeedButton1->click();
    t->BitBtn1->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(cleared, QString());
  QCOMPARE(s->Translation(0), QStringLiteral("First"));
}

void TransFormTest::SingleRowStepsReloadTheSameRow() {
  Shown ignored;
  s->Open({"Only"});
  s->main()->SelectAndFocusRow(0);
  QString shownAfter;
  OnDialog(ignored, [&](TTransForm* t) {
    t->Memo2->setPlainText(QStringLiteral("x"));
    t->NextBtn->click();
    t->PrevBtn->click();
    shownAfter = t->Memo2->toPlainText();
    t->BitBtn2->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(shownAfter, QStringLiteral("x"));
  QCOMPARE(s->Translation(0), QStringLiteral("x"));
  QCOMPARE(s->main()->SelectedRow(), 0);
}

void TransFormTest::NextNearTheBottomScrollsTheNewRowIntoView() {
  Shown ignored;
  QStringList many;
  for (int i = 0; i < 200; ++i) many << QStringLiteral("row %1").arg(i);
  s->Open(many);
  TListView* list = s->main()->List();
  // The last row wholly inside the visible part.
  int last = 0;
  while (list->rowViewportPosition(last + 1) + list->rowHeight(last + 1) <=
         list->viewport()->height())
    ++last;
  s->main()->SelectAndFocusRow(last);
  OnDialog(ignored, [](TTransForm* t) {
    t->NextBtn->click();
    t->BitBtn2->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(s->main()->SelectedRow(), last + 1);
  QVERIFY(list->verticalScrollBar()->value() > 0);
  const int top = list->rowViewportPosition(last + 1);
  QVERIFY(top >= 0);
  QVERIFY(top + list->rowHeight(last + 1) <= list->viewport()->height());
  // Previous at the top edge of the visible part does not scroll.
  const int scroll = list->verticalScrollBar()->value();
  s->main()->SelectAndFocusRow(list->rowAt(0));
  OnDialog(ignored, [](TTransForm* t) {
    t->PrevBtn->click();
    t->BitBtn2->click();
  });
  s->main()->ListView1DblClick();
  QCOMPARE(list->verticalScrollBar()->value(), scroll);
}

QTEST_MAIN(TransFormTest)
#include "transform_test.moc"
