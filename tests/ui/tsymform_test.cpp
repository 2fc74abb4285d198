// The symbol table editor driven by keys and its tool bar: typing pairs, the column keys, New,
// Open, Save and Save as through the file dialogs.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "fake_prompter.h"
#include "tsymform.h"

namespace {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// n bytes of printable characters that differ from their neighbours: '!' + k % 90.
QByteArray Printable(int n) {
  QByteArray b;
  for (int k = 0; k < n; ++k) b.append(char('!' + k % 90));
  return b;
}

}  // namespace

class TSymFormTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  FakePrompter fake_;
  std::unique_ptr<FakePrompter::Scope> scope_;
  std::unique_ptr<TSymForm> form_;

  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Shown(int col, int row) const { return form_->StringGrid1->item(row, col)->text(); }
  // Opens a table file through the open command.
  void Open(const QByteArray& bytes) {
    WriteAll(Path("open.tbl"), bytes);
    fake_.fileNames.append(Path("open.tbl"));
    form_->FileOpen1->trigger();
  }
  // Types the characters as the keyboard would, Cyrillic ones included.
  void Type(const QString& text) {
    for (QChar ch : text) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(form_->StringGrid1, &press);
    }
  }
  void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(form_->StringGrid1, Qt::Key(key), modifiers);
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    fake_ = FakePrompter();
    scope_ = std::make_unique<FakePrompter::Scope>(fake_);
    form_ = std::make_unique<TSymForm>();
    form_->show();
    form_->StringGrid1->setFocus();
  }
  void cleanup() {
    form_.reset();
    scope_.reset();
  }

  void windowHasTheToolBarAndAFixedHeight() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("Таблица символов"));
    QCOMPARE(form_->StringGrid1->columnCount(), 250);
    QCOMPARE(form_->StringGrid1->rowCount(), 2);
    QCOMPARE(form_->StringGrid1->columnWidth(0), 20);
    QCOMPARE(form_->StringGrid1->rowHeight(1), 20);
    QCOMPARE(form_->minimumHeight(), form_->maximumHeight());
    QVERIFY(form_->maximumWidth() > 485);
    QCOMPARE(form_->width(), 485);
    const QList<QAction*> actions = form_->ActionToolBar1->actions();
    QCOMPARE(actions.size(), 6);
    QCOMPARE(actions[0], form_->NewAction);
    QCOMPARE(actions[1], form_->FileOpen1);
    QCOMPARE(actions[2], form_->SaveAction);
    QCOMPARE(actions[3], form_->FileSaveAs1);
    QVERIFY(actions[4]->isSeparator());
    QCOMPARE(actions[5], form_->HelpContents1);
    QCOMPARE(form_->FileOpen1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  }

  void typingTwoPairsWritesFourBytes() {
    Type(QStringLiteral("АaБb"));
    QCOMPARE(form_->Cursor(), (kx::TSymbolCursor{2, 0}));
    QCOMPARE(Shown(0, 0), QStringLiteral(" А"));
    QCOMPARE(Shown(1, 1), QStringLiteral(" b"));
    fake_.fileNames.append(Path("typed.tbl"));
    form_->SaveAction->trigger();  // no name yet: the save-as dialog
    QCOMPARE(fake_.Of("SaveFileName").size(), 1);
    QCOMPARE(fake_.Of("SaveFileName")[0].text, QStringLiteral("Таблица символов(*.tbl)|*.tbl"));
    QCOMPARE(ReadAll(Path("typed.tbl")).toHex(' '), QByteArray("c0 61 c1 62"));
    QCOMPARE(form_->TableFileName(), Path("typed.tbl"));
  }

  void spaceControlsAndBackspace() {
    Type(QStringLiteral("x"));
    form_->SetCursor({0, 0});
    Press(Qt::Key_Space);
    Press(Qt::Key_A, Qt::ControlModifier);  // a control character
    QCOMPARE(Shown(0, 0), QStringLiteral(" x"));
    QCOMPARE(form_->Cursor(), (kx::TSymbolCursor{0, 0}));
    Press(Qt::Key_Backspace);
    QCOMPARE(Shown(0, 0), QString());
    QCOMPARE(form_->Cursor(), (kx::TSymbolCursor{0, 0}));
  }

  void typingIntoTheLastLowerCellStaysOnItsColumn() {
    form_->SetCursor({249, 1});
    Type(QStringLiteral("z"));
    QCOMPARE(Shown(249, 1), QStringLiteral(" z"));
    QCOMPARE(form_->Cursor(), (kx::TSymbolCursor{249, 0}));
  }

  void columnKeysOnColumnFive() {
    const QByteArray bytes = Printable(500);
    struct Case {
      const char* what;
      int key;
      Qt::KeyboardModifiers modifiers;
      int shift;  // where column c's old content goes: c + shift for c past 5
    };
    const Case cases[] = {
        {"Ctrl+Delete", Qt::Key_Delete, Qt::ControlModifier, -1},
        {"Insert", Qt::Key_Insert, Qt::NoModifier, +1},
        {"Ctrl+Shift+Insert", Qt::Key_Insert, Qt::ControlModifier | Qt::ShiftModifier, +1},
    };
    for (const Case& c : cases) {
      Open(bytes);
      form_->SetCursor({5, 1});
      Press(c.key, c.modifiers);
      for (int col = 0; col < 250; ++col) {
        int from = col < 5 ? col : col - c.shift;  // the old column now shown at col
        if (c.shift > 0 && col == 5) from = -1;    // the inserted empty column
        const bool empty = from < 0 || from >= 250;
        const QString up = empty ? QString() : QString(QChar(bytes[2 * from]));
        const QString low = empty ? QString() : QString(QChar(bytes[2 * from + 1]));
        if (Shown(col, 0) != up || Shown(col, 1) != low)
          QFAIL(qPrintable(QStringLiteral("%1: column %2").arg(c.what).arg(col)));
      }
    }
  }

  void deleteWithoutOnlyCtrlEmptiesTheCell() {
    Open(Printable(20));
    form_->SetCursor({5, 1});
    Press(Qt::Key_Delete);
    QCOMPARE(Shown(5, 1), QString());
    QCOMPARE(Shown(5, 0), QString(QChar('!' + 10)));
    form_->SetCursor({6, 0});
    Press(Qt::Key_Delete, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Shown(6, 0), QString());
    QCOMPARE(Shown(6, 1), QString(QChar('!' + 13)));
  }

  void openShowsWholePairsAndSaveWritesThemBack() {
    struct Case {
      int bytes;
      int pairs;
    };
    for (Case c : {Case{7, 3}, Case{600, 250}}) {
      const QByteArray bytes = Printable(c.bytes);
      Open(bytes);
      QCOMPARE(Shown(c.pairs - 1, 1), QString(QChar(bytes[2 * c.pairs - 1])));
      if (c.pairs < 250) QCOMPARE(Shown(c.pairs, 0), QString());
      form_->SaveAction->trigger();  // over the file opened, without asking
      QCOMPARE(fake_.Of("SaveFileName").size(), 0);
      QCOMPARE(ReadAll(Path("open.tbl")), bytes.left(2 * c.pairs));
    }
  }

  void blankOnlyCellIsSkippedWhenSaving() {
    // Pairs "A" with a blank, "B" with "b", then a tab with "C".
    Open(QByteArray("A Bb\tC", 6));
    QCOMPARE(Shown(0, 1), QStringLiteral(" "));
    form_->SaveAction->trigger();
    QCOMPARE(ReadAll(Path("open.tbl")), QByteArray("Bb"));
  }

  void newFillsTheLettersAndKeepsTheFileName() {
    Open(Printable(40));
    form_->SetCursor({7, 1});
    form_->NewAction->trigger();
    QCOMPARE(form_->Cursor(), (kx::TSymbolCursor{0, 0}));
    QString upper;
    for (int col = 0; col < 64; ++col) upper += Shown(col, 0);
    QCOMPARE(upper,
             QStringLiteral("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЬЫЪЭЮЯабвгдежзийклмнопрстуфхцчшщьыъэюя"));
    QCOMPARE(Shown(64, 0), QString());
    QCOMPARE(Shown(0, 1), QString());
    QCOMPARE(form_->TableFileName(), Path("open.tbl"));
    Type(QStringLiteral("AaBb"));  // replaces А and Б
    form_->SaveAction->trigger();
    QCOMPARE(fake_.Of("SaveFileName").size(), 0);
    QCOMPARE(ReadAll(Path("open.tbl")), QByteArray("AaBb"));
  }

  void cancelledSaveAsAndUnreadableOpenChangeNothing() {
    Type(QStringLiteral("Qq"));
    form_->SaveAction->trigger();  // the dialog is cancelled
    QCOMPARE(fake_.Of("SaveFileName").size(), 1);
    QCOMPARE(form_->TableFileName(), QString());
    QVERIFY(QDir(dir_->path()).isEmpty());

    fake_.fileNames.append(Path("missing.tbl"));
    form_->FileOpen1->trigger();
    QCOMPARE(fake_.Of("Error").size(), 0);
    QCOMPARE(Shown(0, 0), QStringLiteral(" Q"));
    QCOMPARE(form_->TableFileName(), Path("missing.tbl"));  // the name has changed all the same
  }

  void saveThatCannotCreateShowsTheError() {
    Type(QStringLiteral("Qq"));
    form_->FileSaveAs1Accept(Path("no/such/folder/t.tbl"));
    QCOMPARE(fake_.Of("Error").size(), 1);
    QVERIFY(fake_.Of("Error")[0].text.contains(QStringLiteral("t.tbl")));
  }
};

QTEST_MAIN(TSymFormTest)
#include "tsymform_test.moc"
