// The save options dialog and the save command behind it.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "tsaveform.h"
#include "ui_test_support.h"

using uitest::Session;
using uitest::WhenModal;

class SaveFormTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { s = std::make_unique<Session>(); }
  void cleanup() { s.reset(); }

  void StartsWithItsDesignChoices();
  void OutputCheckBoxesEnableTheirNames();
  void TableButtonPicksATableFile();
  void ChoicesBecomeSaveOptions();
  void ConfirmedSaveWritesTheOutputsAndClearsModified();
  void CancelledSaveWritesNothing();
  void FailedSaveShowsTheErrorAndStaysModified();

 private:
  std::unique_ptr<Session> s;
};

void SaveFormTest::StartsWithItsDesignChoices() {
  TSaveForm* f = SaveForm();
  QCOMPARE(f->windowTitle(), QStringLiteral("Параметры сохранения"));
  QCOMPARE(f->Label1->text(), QStringLiteral("Результат:"));
  QCOMPARE(f->Label2->text(), QStringLiteral("Русские строки:"));
  QCOMPARE(f->Label4->text(), QStringLiteral("Нерусские строки:"));
  for (QCheckBox* b : {f->CheckBox2, f->CheckBox3, f->CheckBox4}) QVERIFY(b->isChecked());
  QVERIFY(f->RadioButton1->isChecked());
  QVERIFY(!f->CheckBox1->isChecked());
  for (QLineEdit* e : {f->ResEdit, f->TblEdit, f->REdit, f->EEdit}) QVERIFY(e->isReadOnly());
  f->Prepare(QStringLiteral("/games/lang.dat"));
  QCOMPARE(f->ResEdit->text(), QStringLiteral("/games/lang.dat.rus"));
  QCOMPARE(f->REdit->text(), QStringLiteral("/games/lang.dat.loc"));
  QCOMPARE(f->EEdit->text(), QStringLiteral("/games/lang.dat.txt"));
  QCOMPARE(f->TblEdit->text(), QStringLiteral("/games/lang.dat.tbl"));
}

void SaveFormTest::OutputCheckBoxesEnableTheirNames() {
  TSaveForm* f = SaveForm();
  struct Case {
    QCheckBox* box;
    QLabel* label;
    QLineEdit* edit;
  };
  for (const Case c :
       {Case{f->CheckBox2, f->Label1, f->ResEdit}, Case{f->CheckBox3, f->Label2, f->REdit},
        Case{f->CheckBox4, f->Label4, f->EEdit}}) {
    c.box->click();
    QVERIFY(!c.box->isChecked());
    QVERIFY(!c.label->isEnabled());
    QVERIFY(!c.edit->isEnabled());
    c.box->click();
    QVERIFY(c.label->isEnabled());
    QVERIFY(c.edit->isEnabled());
  }
}

void SaveFormTest::TableButtonPicksATableFile() {
  TSaveForm* f = SaveForm();
  f->Prepare(QStringLiteral("/games/lang.dat"));
  f->SpeedButton1->click();  // cancelled
  QCOMPARE(f->TblEdit->text(), QStringLiteral("/games/lang.dat.tbl"));
  s->prompts.fileNames << QStringLiteral("/tables/font.tbl");
  f->SpeedButton1->click();
  QCOMPARE(f->TblEdit->text(), QStringLiteral("/tables/font.tbl"));
  const QList<FakePrompter::Call> dialogs = s->prompts.Of("OpenFileName");
  QCOMPARE(dialogs.size(), 2);
  QCOMPARE(dialogs[0].text, QStringLiteral("Таблица символов(*.tbl)|*.tbl"));
  // The next save starts again from the default table name.
  f->Prepare(QStringLiteral("/games/lang.dat"));
  QCOMPARE(f->TblEdit->text(), QStringLiteral("/games/lang.dat.tbl"));
}

void SaveFormTest::ChoicesBecomeSaveOptions() {
  TSaveForm* f = SaveForm();
  struct Case {
    QRadioButton* conversion;
    bool whole;
    kx::SaveConversion expected;
  };
  for (const Case c : {Case{f->RadioButton1, false, kx::SaveConversion::None},
                       Case{f->TransButton, true, kx::SaveConversion::Translit},
                       Case{f->TableButton, false, kx::SaveConversion::Table}}) {
    c.conversion->setChecked(true);
    f->CheckBox1->setChecked(c.whole);
    f->CheckBox3->setChecked(c.whole);
    f->Prepare(QStringLiteral("/g/sr.ini"));
    const kx::SaveOptions o = f->Options();
    QVERIFY(o.conversion == c.expected);
    QCOMPARE(o.wholeFile, c.whole);
    QCOMPARE(o.store, c.whole);
    QVERIFY(o.result);
    QVERIFY(o.originals);
    QCOMPARE(QString::fromStdString(o.tableFile), QStringLiteral("/g/sr.ini.tbl"));
  }
}

void SaveFormTest::ConfirmedSaveWritesTheOutputsAndClearsModified() {
  s->Open({"Hi", ""});
  s->main()->Model()->SetTranslation(0, QStringLiteral("Привет"));
  s->main()->Doc().DocModified = true;
  QString shownResult;
  WhenModal([&](QWidget* w) {
    auto* f = qobject_cast<TSaveForm*>(w);
    shownResult = f->ResEdit->text();
    f->BitBtn1->click();
  });
  s->main()->SaveAction->trigger();
  QCOMPARE(shownResult, s->Path("lang.dat.rus"));
  QVERIFY(!s->main()->Doc().DocModified);
  QVERIFY(s->prompts.calls.isEmpty());
  QFile result(s->Path("lang.dat.rus"));
  QVERIFY(result.open(QIODevice::ReadOnly));
  // Two texts: "Привет" in UTF-8 (12 bytes), then the empty original written back empty.
  QCOMPARE(result.readAll().toHex(' '),
           QByteArray("00 00 00 02 00 0c d0 9f d1 80 d0 b8 d0 b2 d0 b5 d1 82 00 00"));
  QVERIFY(QFile::exists(s->Path("lang.dat.loc")));
  QFile originals(s->Path("lang.dat.txt"));
  QVERIFY(originals.open(QIODevice::ReadOnly));
  QCOMPARE(originals.readAll(), QByteArray("Hi\r\n.\r\n"));
}

void SaveFormTest::CancelledSaveWritesNothing() {
  s->Open({"Hi"});
  s->main()->Doc().DocModified = true;
  WhenModal([](QWidget* w) { qobject_cast<TSaveForm*>(w)->BitBtn2->click(); });
  s->main()->SaveAction->trigger();
  QVERIFY(s->main()->Doc().DocModified);
  QVERIFY(!QFile::exists(s->Path("lang.dat.rus")));
  QVERIFY(!QFile::exists(s->Path("lang.dat.loc")));
}

void SaveFormTest::FailedSaveShowsTheErrorAndStaysModified() {
  s->Open({"Hi"});
  s->main()->Doc().DocModified = true;
  QVERIFY(QDir().mkpath(s->Path("lang.dat.txt")));  // the list of originals cannot be written
  WhenModal([](QWidget* w) { qobject_cast<TSaveForm*>(w)->BitBtn1->click(); });
  s->main()->SaveAction->trigger();
  const QList<FakePrompter::Call> errors = s->prompts.Of("Error");
  QCOMPARE(errors.size(), 1);
  QCOMPARE(errors[0].owner, s->main());
  QVERIFY(!errors[0].text.isEmpty());
  QVERIFY(s->main()->Doc().DocModified);
}

QTEST_MAIN(SaveFormTest)
#include "saveform_test.moc"
