// The main window keeps unsaved work: the recovery offer when a file is opened again, the
// recovery file written on the dialog's OK and removed when the work is given up, and the
// round-trip warning in the status bar.
#include <QPushButton>
#include <QTest>

#include "document/recovery.h"
#include "recovery_guard.h"
#include "ui_test_support.h"

using namespace uitest;

class RecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { s = std::make_unique<Session>(); }
  void cleanup() { s.reset(); }

  void YesRestoresTheUnsavedWork();
  void NoDeletesTheRecoveryFile();
  void DialogOkWritesTheRecoveryFileAndNoAtExitRemovesIt();
  void FormatThatWillNotSurviveIsShownInTheStatusBar();

 private:
  void LeaveRecovery(const QString& file) {
    // A recovery file newer than the store, as a killed run leaves it.
    WriteStore(file + ".loc", {{0, "old"}});
    WriteStore(QString::fromStdString(kx::RecoveryPath(file.toStdString())),
               {{0, "unsaved"}, {1, "!"}});
    QFile store(file + ".loc");
    QVERIFY(store.open(QIODevice::ReadWrite));
    store.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
  }
  std::unique_ptr<Session> s;
};

void RecoveryTest::YesRestoresTheUnsavedWork() {
  const QString file = s->Path("lang.dat");
  WriteMacrospace(file, {"One", "Two"});
  LeaveRecovery(file);
  s->prompts.answers = {QMessageBox::Yes};
  QVERIFY(s->main()->LoadDocument(file, 0));
  QCOMPARE(s->prompts.Of("Question").size(), 1);
  QCOMPARE(s->prompts.Of("Question")[0].text, RecoveryGuard::RecoveryQuestion());
  QCOMPARE(s->Translation(0), QStringLiteral("unsaved"));
  QVERIFY(s->main()->Doc().Entries[1].Checked);
  QVERIFY(s->main()->Doc().DocModified);
}

void RecoveryTest::NoDeletesTheRecoveryFile() {
  const QString file = s->Path("lang.dat");
  WriteMacrospace(file, {"One", "Two"});
  LeaveRecovery(file);
  s->prompts.answers = {QMessageBox::No};
  QVERIFY(s->main()->LoadDocument(file, 0));
  QCOMPARE(s->Translation(0), QStringLiteral("old"));
  QVERIFY(!QFile::exists(QString::fromStdString(kx::RecoveryPath(file.toStdString()))));
  QVERIFY(!s->main()->Doc().DocModified);
}

void RecoveryTest::DialogOkWritesTheRecoveryFileAndNoAtExitRemovesIt() {
  s->Open({"One"});
  const QString recovery = QString::fromStdString(kx::RecoveryPath(s->Path("lang.dat").toStdString()));
  s->main()->Model()->SetTranslation(0, QStringLiteral("Один"));
  s->main()->Doc().DocModified = true;
  s->main()->Guard->TranslationAccepted();
  QVERIFY(QFile::exists(recovery));
  s->prompts.answers = {QMessageBox::No};
  s->main()->close();
  QVERIFY(!QFile::exists(recovery));
  QVERIFY(!QFile::exists(s->Path("lang.dat.loc")));
}

void RecoveryTest::FormatThatWillNotSurviveIsShownInTheStatusBar() {
  s->Open({"One"});
  QVERIFY(!s->main()->Guard->WarningButton()->isVisibleTo(s->main()));
  // A Macrospace file with two bytes after its last text.
  const QString file = s->Path("tail.dat");
  QFile f(file);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(QByteArray::fromHex("00000001000141DEAD"));
  f.close();
  QVERIFY(s->main()->LoadDocument(file, 0));
  QVERIFY(s->main()->Guard->WarningButton()->isVisibleTo(s->main()));
  QVERIFY(s->main()->Guard->Report().contains(QStringLiteral("2 байт после последнего текста")));
  s->main()->Guard->WarningButton()->click();
  QCOMPARE(s->prompts.Of("Information").size(), 1);
  QCOMPARE(s->prompts.Of("Information")[0].text, s->main()->Guard->Report());
}

QTEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
