// Search: the find dialog's settings, "Найти..." and "Найти далее", the history and the
// message at the end of the list.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "tfindform.h"
#include "ui_test_support.h"

using uitest::Session;
using uitest::WhenModal;

namespace {

struct Query {
  QString text;
  bool inRussian = true;
  bool caseSensitive = false;
  bool fromCursor = true;
};

// Answers the next find dialog with `q` and OK.
void AnswerFind(const Query& q) {
  WhenModal([q](QWidget* w) {
    auto* f = qobject_cast<TFindForm*>(w);
    if (!f) return qobject_cast<QDialog*>(w)->reject();
    f->ComboBox1->setEditText(q.text);
    (q.inRussian ? f->InRussian : f->InEnglish)->setChecked(true);
    (q.fromCursor ? f->FromCursorButton : f->FromStart)->setChecked(true);
    f->CheckBox1->setChecked(q.caseSensitive);
    f->BitBtn1->click();
  });
}

}  // namespace

class FindTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    s = std::make_unique<Session>();
    s->main()->show();
    // Originals and translations (index: English / Русский):
    // 0 Hello world / Привет МИР, 1 Peace / мир, 2 World war / Война, 3 world / Мир вам
    s->Open({"Hello world", "Peace", "World war", "world"},
            {{0, "Привет МИР"}, {1, "мир"}, {2, "Война"}, {3, "Мир вам"}});
  }
  void cleanup() { s.reset(); }

  void FindsInEitherColumnWithOrWithoutCase();
  void DialogStartsWithItsDesignSettings();
  void FindNextRunsToTheEndAndThenReportsNotFound();
  void FindNextBeforeAnySearchOpensTheDialog();
  void EmptyTextIsRefused();
  void HistoryHoldsEachTextOnce();
  void MatchBelowTheVisiblePartIsScrolledIntoView();

 private:
  std::unique_ptr<Session> s;
};

void FindTest::FindsInEitherColumnWithOrWithoutCase() {
  struct Case {
    const char* name;
    Query query;
    int selected;  // the row selected before the search, -1 none
    int found;     // -1: "Не найдено:"
  };
  const Case cases[] = {
      {"Russian, any case", {"мир", true, false, true}, -1, 0},
      {"Russian, case-sensitive", {"Мир", true, true, true}, -1, 3},
      {"Russian, case-sensitive, none", {"МИРА", true, true, true}, -1, -1},
      {"English, any case", {"WORLD", false, false, true}, -1, 0},
      {"English, case-sensitive", {"World", false, true, true}, -1, 2},
      {"from the cursor examines the selected row first", {"мир", true, false, true}, 3, 3},
      {"from the cursor on row 1 starts past row 0", {"world", false, false, true}, 1, 2},
      {"from the start ignores the cursor", {"мир", true, false, false}, 3, 0},
      {"from the cursor on the first row starts at the top", {"мир", true, false, true}, 0, 0},
  };
  for (const Case& c : cases) {
    s->main()->SelectAndFocusRow(c.selected);
    s->prompts.calls.clear();
    AnswerFind(c.query);
    s->main()->FindAction->trigger();
    QVERIFY2(
        s->main()->SelectedRow() == c.found,
        qPrintable(QStringLiteral("%1: found %2, searched %3")
                       .arg(QString::fromUtf8(c.name))
                       .arg(s->main()->SelectedRow())
                       .arg(QString::fromStdString(kx::Cp1251ToUtf8(s->main()->Search().text)))));
    if (c.found >= 0) {
      QCOMPARE(s->main()->List()->currentIndex().row(), c.found);
      QVERIFY2(s->prompts.calls.isEmpty(), c.name);
    } else {
      QCOMPARE(s->prompts.Of("Information").size(), 1);
    }
  }
}

void FindTest::DialogStartsWithItsDesignSettings() {
  TFindForm* f = FindForm();
  QCOMPARE(f->windowTitle(), QStringLiteral("Найти"));
  QVERIFY(f->InRussian->isChecked());
  QVERIFY(f->FromCursorButton->isChecked());
  QVERIFY(!f->CheckBox1->isChecked());
  QCOMPARE(f->ComboBox1->count(), 0);
  QCOMPARE(f->ComboBox1->currentText(), QString());
}

void FindTest::FindNextRunsToTheEndAndThenReportsNotFound() {
  AnswerFind({"мир", true, false, false});
  s->main()->FindAction->trigger();
  QCOMPARE(s->main()->SelectedRow(), 0);
  // F3 goes on after the last row found, wherever the selection is now.
  s->main()->SelectAndFocusRow(3);
  s->Press(Qt::Key_F3);
  QCOMPARE(s->main()->SelectedRow(), 1);
  s->Press(Qt::Key_F3);
  QCOMPARE(s->main()->SelectedRow(), 3);
  QVERIFY(s->prompts.calls.isEmpty());
  s->Press(Qt::Key_F3);
  QCOMPARE(s->main()->SelectedRow(), -1);
  QVERIFY(!s->main()->List()->currentIndex().isValid());
  const QList<FakePrompter::Call> info = s->prompts.Of("Information");
  QCOMPARE(info.size(), 1);
  QCOMPARE(info[0].title, QStringLiteral("Поиск завершен"));
  QCOMPARE(info[0].text, QStringLiteral("Не найдено:мир"));
  QCOMPARE(info[0].owner, s->main());
  // The search is over: the next F3 opens the dialog.
  bool dialog = false;
  WhenModal([&](QWidget* w) {
    dialog = qobject_cast<TFindForm*>(w) != nullptr;
    qobject_cast<QDialog*>(w)->reject();
  });
  s->Press(Qt::Key_F3);
  QVERIFY(dialog);
}

void FindTest::FindNextBeforeAnySearchOpensTheDialog() {
  AnswerFind({"war", false, false, false});
  s->main()->Action4->trigger();
  QCOMPARE(s->main()->SelectedRow(), 2);
}

void FindTest::EmptyTextIsRefused() {
  bool stayedOpen = false;
  WhenModal([&](QWidget* w) {
    auto* f = qobject_cast<TFindForm*>(w);
    f->ComboBox1->setEditText(QString());
    f->BitBtn1->click();
    stayedOpen = f->isVisible();
    f->CancelBtn->click();
  });
  s->main()->SelectAndFocusRow(1);
  s->main()->FindAction->trigger();
  QVERIFY(stayedOpen);
  QCOMPARE(FindForm()->ComboBox1->count(), 0);
  QCOMPARE(s->main()->SelectedRow(), 1);  // cancelled: nothing searched
  QVERIFY(s->main()->Search().text.empty());
}

void FindTest::HistoryHoldsEachTextOnce() {
  for (const char* text : {"мир", "МИР", "Мир", "война"}) {
    AnswerFind({QString::fromUtf8(text), true, false, false});
    s->main()->FindAction->trigger();
  }
  QComboBox* history = FindForm()->ComboBox1;
  QCOMPARE(history->count(), 2);
  QCOMPARE(history->itemText(0), QStringLiteral("мир"));
  QCOMPARE(history->itemText(1), QStringLiteral("война"));
}

void FindTest::MatchBelowTheVisiblePartIsScrolledIntoView() {
  QStringList many;
  for (int i = 0; i < 300; ++i) many << (i == 250 || i == 5 ? QStringLiteral("needle") : "hay");
  s->Open(many);
  TListView* list = s->main()->List();
  AnswerFind({"needle", false, false, false});
  s->main()->FindAction->trigger();
  QCOMPARE(s->main()->SelectedRow(), 5);
  QCOMPARE(list->verticalScrollBar()->value(), 0);  // row 5 is visible already
  s->Press(Qt::Key_F3);
  QCOMPARE(s->main()->SelectedRow(), 250);
  const int top = list->rowViewportPosition(250);
  QVERIFY(top >= 0);
  QVERIFY(top + list->rowHeight(250) <= list->viewport()->height());
  // A match above the visible part is selected without scrolling up.
  const int scroll = list->verticalScrollBar()->value();
  AnswerFind({"needle", false, false, false});
  s->main()->FindAction->trigger();
  QCOMPARE(s->main()->SelectedRow(), 5);
  QCOMPARE(list->verticalScrollBar()->value(), scroll);
}

QTEST_MAIN(FindTest)
#include "find_test.moc"
