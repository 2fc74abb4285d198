// The script editor with its step tester and parameter prompt, and the script list of the
// file-parameters dialog: making, editing, deleting, saving and loading scripts, and OK.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "fake_prompter.h"
#include "scriptlistpage.h"
#include "teditdlg.h"
#include "tparamform.h"
#include "tscriptform.h"

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `act` on the modal dialog that the next exec() shows.
void WhenModal(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    QVERIFY(modal);
    act(modal);
  });
}

QStringList Rows(const QListWidget* list) {
  QStringList rows;
  for (int k = 0; k < list->count(); ++k) rows << list->item(k)->text();
  return rows;
}

}  // namespace

class TScriptFormTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  FakePrompter fake_;
  std::unique_ptr<FakePrompter::Scope> scope_;
  std::unique_ptr<TScriptForm> editor_;
  std::unique_ptr<TEditDlg> editDlg_;

  QString Path(const QString& name) const { return dir_.filePath(name); }
  void Add(int kind) {
    editor_->ListBox1->setCurrentRow(kind);
    editor_->BitBtn4Click();
  }
  QStringList MemoLines() const {
    const QString text = editor_->Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
  }
  QStringList Informations() const {
    QStringList texts;
    for (const FakePrompter::Call& c : fake_.Of("Information")) texts << c.text;
    return texts;
  }

 private slots:
  void init() {
    fake_ = FakePrompter();
    scope_ = std::make_unique<FakePrompter::Scope>(fake_);
    editor_ = std::make_unique<TScriptForm>();
    editDlg_ = std::make_unique<TEditDlg>();
    editor_->SetEditDlg(editDlg_.get());
  }
  void cleanup() {
    editor_.reset();
    editDlg_.reset();
    scope_.reset();
  }

  void editorShowsTheCatalogueAndTheDefaultName() {
    QCOMPARE(editor_->windowTitle(), QStringLiteral("Скрипт"));
    QCOMPARE(
        Rows(editor_->ListBox1),
        (QStringList{"Прочитать byte", "Прочитать N байт", "Прочитать short", "Прочитать int",
                     "Прочитать UTF8", "Добавить строку в список", "Начало цикла", "Конец цикла"}));
    QCOMPARE(editor_->Edit1->text(), QStringLiteral("Скрипт 1"));
    QVERIFY(editor_->Memo1->isReadOnly());
    QCOMPARE(editor_->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
  }

  void loopExampleStepsAndSelectsEachRow() {
    WriteAll(Path("res.bin"), QByteArray::fromHex("02000141000142000143"));
    editor_->SetResourceName(Path("res.bin"));
    for (int kind : {0, 6, 4, 5, 7}) Add(kind);
    QCOMPARE(Rows(editor_->ListBox2),
             (QStringList{"b0 := Прочитать byte", "Начало цикла, [b0] раз", "u0 := Прочитать UTF8",
                          "Добавить строку в список: u0", "Конец цикла"}));
    const int rows[] = {0, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3};
    for (int row : rows) {
      editor_->BitBtn8->click();
      QCOMPARE(editor_->ListBox2->currentRow(), row);
    }
    QCOMPARE(MemoLines(),
             (QStringList{"b0 := 2", "u0 := A", "В список: A", "Конец Итерации", "u0 := B",
                          "В список: B", "Конец Итерации", "u0 := C", "В список: C"}));
    editor_->BitBtn8->click();  // step 13: the end of the script resets the test
    QVERIFY(MemoLines().isEmpty());
    QVERIFY(!editor_->Test().Running);
    editor_->BitBtn8->click();
    QCOMPARE(MemoLines(), QStringList{"b0 := 2"});
    editor_->BitBtn9->click();  // "Сброс"
    QVERIFY(MemoLines().isEmpty());
    QVERIFY(!editor_->Test().Running);
  }

  void rowsMoveUpAndDownAndAddGoesBeforeTheSelection() {
    for (int kind : {0, 2, 3}) Add(kind);  // b0 s0 i0
    editor_->ListBox2->setCurrentRow(2);
    editor_->BitBtn6Click();
    QCOMPARE(editor_->ListBox2->currentRow(), 1);
    editor_->BitBtn6Click();
    editor_->BitBtn6Click();  // already the first
    QCOMPARE(Rows(editor_->ListBox2),
             (QStringList{"i0 := Прочитать int", "b0 := Прочитать byte", "s0 := Прочитать short"}));
    editor_->BitBtn7Click();
    editor_->BitBtn7Click();
    editor_->BitBtn7Click();  // already the last
    QCOMPARE(editor_->ListBox2->currentRow(), 2);
    QCOMPARE(editor_->Commands()[2].DisplayText, "i0 := Прочитать int");
    editor_->ListBox2->setCurrentRow(1);
    Add(7);
    QCOMPARE(editor_->ListBox2->item(1)->text(), QStringLiteral("Конец цикла"));
    QCOMPARE(editor_->ListBox2->currentRow(), 2);
    editor_->BitBtn5Click();  // removes s0's row; s0 stays in its pool
    QCOMPARE(editor_->ListBox2->count(), 3);
    QCOMPARE(editor_->Commands().size(), size_t(3));
    QCOMPARE(editor_->Pools().s.Count(), 1);
  }

  void parameterPromptOffersTheNamesAndRenewsTheRow() {
    for (int kind : {0, 2, 3, 1}) Add(kind);  // b0 s0 i0, then a0 := [b0]
    editor_->ListBox2->setCurrentRow(3);
    QStringList offered;
    WhenModal([&offered](QWidget* modal) {
      auto* dlg = qobject_cast<TEditDlg*>(modal);
      QVERIFY(dlg);
      QCOMPARE(dlg->windowTitle(), QStringLiteral("Введите параметр"));
      for (int k = 0; k < dlg->ComboBox1->count(); ++k) offered << dlg->ComboBox1->itemText(k);
      QCOMPARE(dlg->ComboBox1->currentText(), QStringLiteral("b0"));  // the current parameter
      dlg->ComboBox1->setCurrentIndex(1);
      dlg->OKBtn->click();
    });
    editor_->BitBtn10->click();
    QCOMPARE(offered, (QStringList{"b0", "s0", "i0"}));
    QCOMPARE(editor_->ListBox2->item(3)->text(), QStringLiteral("a0 := Прочитать [s0] байт"));
    QCOMPARE(editor_->Commands()[3].ParamType, 1);

    WhenModal([](QWidget* modal) {
      auto* dlg = qobject_cast<TEditDlg*>(modal);
      dlg->ComboBox1->setCurrentIndex(2);
      dlg->CancelBtn->click();
    });
    editor_->ListBox2DblClick();
    QCOMPARE(editor_->ListBox2->item(3)->text(), QStringLiteral("a0 := Прочитать [s0] байт"));

    editor_->ListBox2->setCurrentRow(0);  // a command without a parameter: no prompt
    editor_->ListBox2DblClick();
    QVERIFY(!editDlg_->isVisible());
  }

  void okOnAnEmptyScriptRefusesAndOkOtherwiseResetsAndCloses() {
    editor_->show();
    editor_->BitBtn1->click();
    QCOMPARE(Informations(), QStringList{"Ошибка: Пустой скрипт!"});
    QVERIFY(editor_->isVisible());

    WriteAll(Path("res.bin"), QByteArray::fromHex("0102"));
    editor_->SetResourceName(Path("res.bin"));
    Add(0);
    Add(0);
    editor_->BitBtn8->click();
    QVERIFY(editor_->Test().Running);
    editor_->Edit1->clear();
    editor_->BitBtn1->click();
    QVERIFY(!editor_->isVisible());
    QCOMPARE(editor_->result(), int(QDialog::Accepted));
    QCOMPARE(editor_->Edit1->text(), QStringLiteral("Скрипт 1"));
    QVERIFY(!editor_->Test().Running);
  }

  void closeBoxAndCancelResetARunningTest() {
    WriteAll(Path("res.bin"), QByteArray::fromHex("0102"));
    editor_->SetResourceName(Path("res.bin"));
    Add(0);
    Add(0);
    for (bool closeBox : {true, false}) {
      editor_->show();
      editor_->BitBtn8->click();
      QVERIFY(editor_->Test().Running);
      if (closeBox)
        editor_->close();
      else
        editor_->BitBtn2->click();
      QVERIFY(!editor_->Test().Running);
      QVERIFY(MemoLines().isEmpty());
      QCOMPARE(editor_->result(), int(QDialog::Rejected));
    }
  }

  void unopenableResourceAndStepsThatCannotRun() {
    editor_->SetResourceName(Path("missing.bin"));
    Add(0);
    editor_->BitBtn8->click();
    QCOMPARE(Informations(), QStringList{"Ошибка при открытии файла!"});
    QVERIFY(!editor_->Test().Running);

    WriteAll(Path("res.bin"), QByteArray::fromHex("00"));
    editor_->SetResourceName(Path("res.bin"));
    editor_->NewScript();
    editor_->BitBtn8->click();
    QCOMPARE(MemoLines(), QStringList{"Тест остановлен: скрипт пуст"});
  }

  void scriptListMakesEditsAndDeletesScripts() {
    ScriptListPage page;
    page.SetEditor(editor_.get());
    page.ResourceName = [this] { return Path("res.bin"); };
    WriteAll(Path("res.bin"), QByteArray::fromHex("05"));

    // A new script: one byte read, named, then OK.
    WhenModal([this](QWidget* modal) {
      QCOMPARE(modal, editor_.get());
      QCOMPARE(editor_->ResourceName(), Path("res.bin"));
      Add(0);
      editor_->Edit1->setText(QStringLiteral("первый"));
      editor_->BitBtn1->click();
    });
    page.NewScriptBtn->click();
    // A second one, cancelled: nothing is added, and the editor was emptied for it.
    WhenModal([this](QWidget*) {
      QVERIFY(editor_->Commands().empty());
      QCOMPARE(editor_->Edit1->text(), QStringLiteral("первый"));  // the name field stays
      Add(2);
      editor_->BitBtn2->click();
    });
    page.NewScriptBtn->click();
    QCOMPARE(Rows(page.ListBox1), QStringList{"первый"});
    QCOMPARE(page.Scripts()[0].Commands.size(), size_t(1));

    // Editing opens the editor on that script and stores the edit on OK.
    page.ListBox1->setCurrentRow(0);
    WhenModal([this](QWidget*) {
      QCOMPARE(Rows(editor_->ListBox2), QStringList{"b0 := Прочитать byte"});
      Add(0);
      editor_->Edit1->setText(QStringLiteral("второй"));
      editor_->BitBtn1->click();
    });
    page.ListBox1->itemDoubleClicked(page.ListBox1->item(0));
    QCOMPARE(Rows(page.ListBox1), QStringList{"второй"});
    QCOMPARE(page.Scripts()[0].Commands.size(), size_t(2));
    QCOMPARE(page.Scripts()[0].Commands[1].DisplayText, "b1 := Прочитать byte");

    page.DeleteScriptBtn->click();
    QCOMPARE(page.ListBox1->count(), 0);
    QVERIFY(page.Scripts().empty());
    page.DeleteScriptBtn->click();  // nothing selected: nothing happens
    QCOMPARE(page.SelectedRow(), -1);
  }

  void scriptFileRoundTripThroughTheList() {
    ScriptListPage page;
    page.SetEditor(editor_.get());
    for (const char* name : {"loop", "numbers"}) {
      WhenModal([this, name](QWidget*) {
        if (QByteArray(name) == "loop")
          for (int kind : {0, 6, 4, 5, 7}) Add(kind);
        else
          for (int kind : {2, 1}) Add(kind);
        editor_->Edit1->setText(QString::fromUtf8(name));
        editor_->BitBtn1->click();
      });
      page.NewScriptClick();
    }
    fake_.fileNames.append(Path("list.script"));
    page.SaveScriptsBtn->click();
    const QList<FakePrompter::Call> saves = fake_.Of("SaveFileName");
    QCOMPARE(saves.size(), 1);
    QCOMPARE(saves[0].text, QStringLiteral("Скрипты(*.script)|*.script"));
    QCOMPARE(ReadAll(Path("list.script")),
             QByteArray("kelvatrix-script 1\n\nscript loop\n0\n6 1\n4\n5 3\n7\nend\n\n"
                        "script numbers\n2\n1\nend\n"));
    QVERIFY(fake_.Of("Warning").isEmpty());

    fake_.fileNames.append(Path("list.script"));
    page.LoadScriptsBtn->click();
    QCOMPARE(Rows(page.ListBox1), (QStringList{"loop", "numbers", "loop", "numbers"}));
    // Loaded into the same run: the numbers count on, the links follow the positions.
    std::vector<std::string> texts;
    for (const kx::TData& c : page.Scripts()[2].Commands) texts.push_back(c.DisplayText);
    QCOMPARE(texts, (std::vector<std::string>{"b1 := Прочитать byte", "Начало цикла, [b1] раз",
                                              "u1 := Прочитать UTF8",
                                              "Добавить строку в список: u1", "Конец цикла"}));
    QCOMPARE(page.Scripts()[3].Commands[1].DisplayText, "a1 := Прочитать [b0] байт");

    // A damaged file says where and adds nothing.
    WriteAll(Path("bad.script"), "kelvatrix-script 1\nscript x\n0\n12\nend\n");
    fake_.fileNames.append(Path("bad.script"));
    page.LoadScriptsClick();
    QCOMPARE(fake_.Of("Error").size(), 1);
    QVERIFY(fake_.Of("Error")[0].text.contains(QStringLiteral("строка 4")));
    QCOMPARE(page.ListBox1->count(), 4);
  }

  void savingAParameterFromAnotherScriptWarns() {
    ScriptListPage page;
    page.SetEditor(editor_.get());
    editor_->Pools().NewCommand(kx::kReadShort);  // s0, made outside any listed script
    WhenModal([this](QWidget*) {
      Add(6);
      editor_->ListBox2->setCurrentRow(0);
      WhenModal([](QWidget* modal) {
        auto* dlg = qobject_cast<TEditDlg*>(modal);
        dlg->ComboBox1->setCurrentText(QStringLiteral("s0"));
        dlg->OKBtn->click();
      });
      editor_->ListBox2DblClick();
      editor_->BitBtn1->click();
    });
    page.NewScriptClick();
    fake_.fileNames.append(Path("w.script"));
    page.SaveScriptsClick();
    QCOMPARE(fake_.Of("Warning").size(), 1);
    QVERIFY(fake_.Of("Warning")[0].text.contains(QStringLiteral("«Скрипт 1», команда 1: s0")));
    QVERIFY(ReadAll(Path("w.script")).endsWith("script Скрипт 1\n6\nend\n"));
  }

  void okOnTheManualPageNeedsASelectedScript() {
    TParamForm form;
    form.ScriptPage->SetEditor(editor_.get());
    form.show();
    form.PageControl1->setCurrentIndex(1);
    form.BitBtn1->click();
    QCOMPARE(Informations(), QStringList{"Ошибка: Не выбран скрипт!"});
    QVERIFY(form.isVisible());

    WhenModal([this](QWidget*) {
      Add(0);
      editor_->BitBtn1->click();
    });
    form.ScriptPage->NewScriptBtn->click();
    form.ScriptPage->ListBox1->setCurrentRow(0);
    form.BitBtn1->click();
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(Informations().size(), 1);

    // On the first page OK needs no script.
    form.show();
    form.ScriptPage->ListBox1->clearSelection();
    form.PageControl1->setCurrentIndex(0);
    form.BitBtn1->click();
    QVERIFY(!form.isVisible());
  }
};

QTEST_MAIN(TScriptFormTest)
#include "tscriptform_test.moc"
