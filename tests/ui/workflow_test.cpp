// The translator's workflow in the windows: the byte meter under the translation box, the next
// untranslated row in the dialog and the main window, the view filter, the consistency preview
// and PO export and import through the menus.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "document/game_format.h"
#include "ttransform.h"
#include "ui_test_support.h"
#include "workflow_ui.h"

using uitest::Session;
using uitest::WhenModal;

namespace {

// A Sumea file: each text as a length byte and its single bytes.
void WriteSumea(const QString& path, const QStringList& texts) {
  QByteArray bytes;
  for (const QString& t : texts) {
    const std::string w = kx::Utf8ToCp1251(t.toStdString());
    bytes.append(char(w.size())).append(w.data(), qsizetype(w.size()));
  }
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QStringList MenuTexts(TForm1* main, const QString& title) {
  QStringList texts;
  for (QAction* a : main->menuBar()->actions())
    if (a->menu() && a->text() == title)
      for (QAction* item : a->menu()->actions())
        texts << (item->isSeparator() ? "-" : item->text());
  return texts;
}

}  // namespace

class WorkflowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    s = std::make_unique<Session>();
    s->main()->show();
  }
  void cleanup() { s.reset(); }

  void MenusCarryTheNewCommands();
  void ByteMeterWarnsAndNamesTheLimitWithoutBlocking();
  void DialogStepsToTheNextUntranslatedRow();
  void F4SelectsTheNextUntranslatedRowAndWraps();
  void FilterHidesRowsButKeepsIndices();
  void ConsistencyPreviewCopiesAfterConfirmation();
  void PoExportImportThroughTheMenus();
  void PoOfAnotherFileIsOfferedOnlyForItsMatchingEntries();

 private:
  std::unique_ptr<Session> s;
};

void WorkflowTest::MenusCarryTheNewCommands() {
  QCOMPARE(MenuTexts(s->main(), "&Файл"),
           QStringList({"&Открыть...", "&Сохранить", "&Закрыть", "-", "Экспорт в PO...",
                        "Импорт из PO...", "-", "Настройки", "-", "Вы&ход"}));
  QCOMPARE(MenuTexts(s->main(), "П&равка"),
           QStringList({"Найти...", "Найти далее", "-", "Следующая непереведённая",
                        "Проверить согласованность"}));
  QCOMPARE(MenuTexts(s->main(), "&Вид"),
           QStringList({"Все строки", "Непереведённые", "Переведённые", "Отмеченные"}));
  TWorkflow* w = Workflow();
  QCOMPARE(w->NextUntranslatedAction->shortcut(), QKeySequence(Qt::Key_F4));
  // Without a document the commands are off, and running them does nothing.
  QVERIFY(!w->ExportPoAction->isEnabled());
  w->ExportPoExecute();
  w->ConsistencyExecute();
  QVERIFY(s->prompts.calls.isEmpty());
  s->Open({"a"});
  QVERIFY(w->ExportPoAction->isEnabled() && w->ConsistencyAction->isEnabled());
}

void WorkflowTest::ByteMeterWarnsAndNamesTheLimitWithoutBlocking() {
  const QString file = s->Path("game.lng");
  WriteSumea(file, {"Hi", "Play"});
  QVERIFY(s->main()->LoadDocument(file, kx::kSumea));
  s->main()->SelectAndFocusRow(0);
  struct Seen {
    QString text;
    int level = -1;
  };
  QList<Seen> seen;
  WhenModal([&](QWidget* w) {
    auto* t = qobject_cast<TTransForm*>(w);
    if (!t) return qobject_cast<QDialog*>(w)->reject();
    auto look = [&] {
      seen.append({t->ByteLabel->text(), t->ByteLabel->property("level").toInt()});
    };
    look();                        // "Hi" untranslated: nothing yet
    t->Memo2->setPlainText("Ok");  // within the original's two bytes
    look();
    t->Memo2->setPlainText("Привет");  // transliterated for Sumea: longer than the original
    look();
    t->Memo2->setPlainText(QString(300, u'x'));  // over the 255 bytes of a record
    look();
    t->BitBtn1->click();  // never blocks OK
  });
  QTest::keyClick(s->main()->List(), Qt::Key_Return);
  uitest::CancelPendingModalSteps();
  QCOMPARE(seen.size(), 4);
  QCOMPARE(seen[0].text, QStringLiteral("Байт: 0 (в оригинале 2; предел 255 — строка Sumea)"));
  QCOMPARE(seen[1].level, 0);
  QCOMPARE(seen[2].level, 1);
  QVERIFY2(seen[2].text.startsWith("Байт: 6 "), qPrintable(seen[2].text));
  QCOMPARE(seen[3].level, 2);
  QCOMPARE(seen[3].text,
           QStringLiteral("Байт: 300 — больше предела 255 (строка Sumea); в оригинале 2"));
  QCOMPARE(s->Translation(0), QString(300, u'x'));
}

void WorkflowTest::DialogStepsToTheNextUntranslatedRow() {
  s->Open({"A", "B", "C", "D"}, {{1, "b"}});
  s->main()->SelectAndFocusRow(0);
  QStringList originals;
  WhenModal([&](QWidget* w) {
    auto* t = qobject_cast<TTransForm*>(w);
    if (!t) return qobject_cast<QDialog*>(w)->reject();
    t->Memo2->setPlainText("a");
    QTest::keyClick(t->Memo2, Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    originals << t->Memo1->toPlainText();  // "B" is translated: "C"
    t->SpeedButton3->click();
    originals << t->Memo1->toPlainText();  // "D"
    t->Memo2->setPlainText("d");
    t->SpeedButton3->click();
    originals << t->Memo1->toPlainText();  // wraps to the top: "C", still untranslated
    t->BitBtn2->click();
  });
  QTest::keyClick(s->main()->List(), Qt::Key_Return);
  uitest::CancelPendingModalSteps();
  QCOMPARE(originals, QStringList({"C", "D", "C"}));
  QCOMPARE(s->Translation(0), QStringLiteral("a"));
  QCOMPARE(s->Translation(3), QStringLiteral("d"));
  QCOMPARE(s->main()->SelectedRow(), 2);
  QVERIFY(!s->main()->Doc().DocModified);  // stored by steps, then cancelled
}

void WorkflowTest::F4SelectsTheNextUntranslatedRowAndWraps() {
  s->Open({"A", "B", "C"}, {{0, "a"}, {2, "c"}});
  s->main()->SelectAndFocusRow(2);
  s->Press(Qt::Key_F4);
  QCOMPARE(s->main()->SelectedRow(), 1);
  s->main()->Model()->SetTranslation(1, "b");
  s->Press(Qt::Key_F4);
  QCOMPARE(s->main()->SelectedRow(), 1);
  const QList<FakePrompter::Call> info = s->prompts.Of("Information");
  QCOMPARE(info.size(), 1);
  QCOMPARE(info[0].text, QStringLiteral("Все строки переведены."));
}

void WorkflowTest::FilterHidesRowsButKeepsIndices() {
  s->Open({"A", "B", "C", "D"}, {{1, "b"}, {3, "!d"}});
  TWorkflow* w = Workflow();
  TForm1* main = s->main();
  main->SelectAndFocusRow(0);
  struct Case {
    kx::ViewFilter filter;
    QList<bool> shown;
    QString label;
  };
  const Case cases[] = {
      {kx::ViewFilter::Untranslated, {true, false, true, false}, "Вид: Непереведённые — 2 из 4"},
      {kx::ViewFilter::Translated, {true, true, false, true}, "Вид: Переведённые — 3 из 4"},
      {kx::ViewFilter::Checked, {true, false, false, true}, "Вид: Отмеченные — 2 из 4"},
      {kx::ViewFilter::All, {true, true, true, true}, "Вид: Все строки"},
  };
  for (const Case& c : cases) {
    w->FilterActions[int(c.filter)]->trigger();
    QList<bool> shown;
    for (int row = 0; row < 4; ++row) shown << w->RowShown(row);
    QCOMPARE(shown, c.shown);  // the selected row 0 stays shown under every filter
    QCOMPARE(w->FilterLabel->text(), c.label);
    QCOMPARE(main->Model()->rowCount(), 4);
  }
  // Under a filter the rows keep their numbers: editing row 2 edits entry 2, which then leaves
  // the untranslated view once the selection moves on.
  w->SetFilter(kx::ViewFilter::Untranslated);
  main->SelectAndFocusRow(2);
  WhenModal([](QWidget* m) {
    auto* t = qobject_cast<TTransForm*>(m);
    if (!t) return qobject_cast<QDialog*>(m)->reject();
    t->Memo2->setPlainText("c");
    t->BitBtn1->click();
  });
  QTest::keyClick(main->List(), Qt::Key_Return);
  uitest::CancelPendingModalSteps();
  QCOMPARE(QString::fromStdString(main->Doc().Entries[2].Translation), QStringLiteral("c"));
  QCOMPARE(main->SelectedRow(), 3);  // OK moved to the next row, which the filter hides
  QVERIFY(w->RowShown(3));           // ... except while it is selected
  QVERIFY(!w->RowShown(2));
  QCOMPARE(w->FilterLabel->text(), QStringLiteral("Вид: Непереведённые — 2 из 4"));
}

void WorkflowTest::ConsistencyPreviewCopiesAfterConfirmation() {
  s->Open({"Yes", "No", "Yes", "Yes", "No"}, {{0, "Да"}, {1, "Нет"}, {3, "Ага"}});
  s->prompts.answers = {QMessageBox::Yes};
  int groups = -1;
  QString plan;
  WhenModal([&](QWidget* m) {
    auto* f = qobject_cast<TConsistencyForm*>(m);
    if (!f) return qobject_cast<QDialog*>(m)->reject();
    groups = f->Tree->topLevelItemCount();
    plan = f->PlanLabel->text();
    f->CopyButton->click();
  });
  Workflow()->ConsistencyAction->trigger();
  uitest::CancelPendingModalSteps();
  QCOMPARE(groups, 2);
  QVERIFY2(plan.contains("2 строк"), qPrintable(plan));
  QCOMPARE(s->prompts.Of("Question").size(), 1);
  QCOMPARE(s->Translation(2), QStringLiteral("Да"));  // the first of two equally used
  QCOMPARE(s->Translation(4), QStringLiteral("Нет"));
  QVERIFY(s->main()->Doc().DocModified);
  QVERIFY(s->main()->CountsLabel->text().contains("Переведено: 5"));
}

void WorkflowTest::PoExportImportThroughTheMenus() {
  s->Open({"Start", "Quit"}, {{0, "!Старт"}});
  const QString po = s->Path("lang.po");
  s->prompts.fileNames = {po};
  Workflow()->ExportPoAction->trigger();
  QVERIFY(QFile::exists(po));
  QCOMPARE(s->prompts.Of("SaveFileName").size(), 1);
  QVERIFY(s->prompts.Of("Error").isEmpty());

  s->main()->Model()->SetTranslation(0, QString());
  s->main()->Model()->SetChecked(0, false);
  s->main()->SelectAndFocusRow(1);
  s->prompts.fileNames = {po};
  Workflow()->ImportPoAction->trigger();
  QCOMPARE(s->Translation(0), QStringLiteral("Старт"));
  QVERIFY(s->main()->Doc().Entries[0].Checked);
  QCOMPARE(s->main()->SelectedRow(), 1);  // the selection survives the import
  QVERIFY(s->main()->CountsLabel->text().contains("Отмечено: 1"));
  const QList<FakePrompter::Call> info = s->prompts.Of("Information");
  QCOMPARE(info.size(), 1);
  QVERIFY2(info[0].text.contains("изменено строк: 1"), qPrintable(info[0].text));
}

void WorkflowTest::PoOfAnotherFileIsOfferedOnlyForItsMatchingEntries() {
  s->Open({"Start", "Quit"}, {{0, "Старт"}, {1, "Выход"}});
  const QString po = s->Path("lang.po");
  s->prompts.fileNames = {po};
  Workflow()->ExportPoAction->trigger();

  // Another version of the file: the second text differs.
  uitest::WriteMacrospace(s->Path("v2.dat"), {"Start", "Exit"});
  QVERIFY(s->main()->LoadDocument(s->Path("v2.dat"), kx::kMacrospace));
  s->prompts.fileNames = {po};
  s->prompts.answers = {QMessageBox::No};
  Workflow()->ImportPoAction->trigger();
  QCOMPARE(s->prompts.Of("Question").size(), 1);
  QVERIFY(s->prompts.Of("Question")[0].text.contains("Ничего не изменено"));
  QCOMPARE(s->Translation(0), QString());
  QVERIFY(!s->main()->Doc().DocModified);

  s->prompts.fileNames = {po};
  s->prompts.answers = {QMessageBox::Yes};
  Workflow()->ImportPoAction->trigger();
  QCOMPARE(s->Translation(0), QStringLiteral("Старт"));
  QCOMPARE(s->Translation(1), QString());

  // A file of which nothing matches is refused with an error.
  uitest::WriteMacrospace(s->Path("other.dat"), {"Other", "Texts"});
  QVERIFY(s->main()->LoadDocument(s->Path("other.dat"), kx::kMacrospace));
  s->prompts.fileNames = {po};
  Workflow()->ImportPoAction->trigger();
  QCOMPARE(s->prompts.Of("Error").size(), 1);
  QCOMPARE(s->Translation(0), QString());

  // A file that is no PO at all: the reason is shown.
  QFile bad(s->Path("bad.po"));
  QVERIFY(bad.open(QIODevice::WriteOnly));
  bad.write("msgid \"a\nmsgstr");
  bad.close();
  s->prompts.fileNames = {s->Path("bad.po")};
  Workflow()->ImportPoAction->trigger();
  QCOMPARE(s->prompts.Of("Error").size(), 2);
  QVERIFY(s->prompts.Of("Error")[1].text.contains("не читается как файл PO"));
}

QTEST_MAIN(WorkflowTest)
#include "workflow_test.moc"
