// The main window: commands, the open command and its dialogs, dropping files, the close
// prompt, the settings file, the column widths, the status bar and help.
#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>

#include "icons.h"
#include "tfindform.h"
#include "thelpform.h"
#include "tparamform.h"
#include "tsaveform.h"
#include "ttransform.h"
#include "ui_test_support.h"

using uitest::Session;
using uitest::WhenModal;

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void CommandsHaveTheirCaptionsShortcutsAndIcons();
  void MenusAndToolBarListTheCommandsInOrder();
  void DocumentCommandsAreEnabledOnlyWhileADocumentIsOpen();
  void OpenDialogOffersTheFormatsInOrder();
  void OpenFilterRowDecidesTheFormat();
  void AllFilesRowAsksTheFileParametersDialog();
  void FileParametersDialogCancelledOrOnManualPageOpensNothing();
  void FailedOpeningShowsTheErrorOwnedByTheRightWindow();
  void CancelledOpenDialogLeavesNoDocumentAndTheOldTitle();
  void CloseCommandWritesTheStoreAndResetsTheCaption();
  void DropWithADocumentOpenThenCancelledLeavesAnEmptyList();
  void DropOpensOnlyTheFirstFileWithItsWholePath();
  void ClosePromptAnswers_data();
  void ClosePromptAnswers();
  void FailedSaveAtTheClosePromptKeepsTheWindowOpen();
  void BoundsAreReadFromTheSettingsFile();
  void MissingSettingsGiveTheBuiltInBounds();
  void ColumnsAreHalfTheClientWidthMinusTen();
  void StatusBarCountsFollowTheEntries();
  void HelpOpensTheTopicOfEveryContextNumber();
  void HelpButtonsOfTheDialogsUseTheirContexts();
  void AboutBoxNamesTheProgramAndVersion();
};

void MainWindowTest::CommandsHaveTheirCaptionsShortcutsAndIcons() {
  Session s;
  TForm1* f = s.main();
  QCOMPARE(f->windowTitle(), QStringLiteral("Перевод мобильных игр"));
  struct Case {
    QAction* action;
    const char* text;
    QKeySequence shortcut;
    int icon;
  };
  const Case cases[] = {
      {f->FileOpen1, "&Открыть...", QKeySequence(Qt::CTRL | Qt::Key_O), kIconOpen},
      {f->SaveAction, "&Сохранить", {}, kIconSave},
      {f->CloseAction, "&Закрыть", {}, kIconClose},
      {f->SetupAction, "Настройки", {}, -1},
      {f->FileExit1, "Вы&ход", {}, -1},
      {f->FindAction, "Найти...", QKeySequence(Qt::CTRL | Qt::Key_F), -1},
      {f->Action4, "Найти далее", QKeySequence(Qt::Key_F3), -1},
      {f->PngEditAction, "Редактор &шрифтов", {}, kIconFontEditor},
      {f->SymAction, "Редактор таблицы символов", {}, -1},
      {f->Action2, "&Elkware res.raw", {}, -1},
      {f->HelpContents1, "&Содержание", {}, kIconHelpContents},
      {f->Action1, "О программе", {}, -1},
  };
  for (const Case& c : cases) {
    QCOMPARE(c.action->text(), QString::fromUtf8(c.text));
    QCOMPARE(c.action->shortcut(), c.shortcut);
    if (c.icon >= 0) QCOMPARE(c.action->icon().cacheKey(), AppIcon(c.icon).cacheKey());
  }
  QCOMPARE(f->FileOpen1->toolTip(), QStringLiteral("Open"));
  QCOMPARE(f->CloseAction->toolTip(), QStringLiteral("Закрыть"));
  QVERIFY(!f->SetupAction->isEnabled());
  for (int i = 0; i < kIconCount; ++i) QVERIFY(!AppIcon(i).isNull());
  QVERIFY(AppIcon(kIconCount).isNull());
}

void MainWindowTest::MenusAndToolBarListTheCommandsInOrder() {
  Session s;
  TForm1* f = s.main();
  QStringList menus;
  for (QAction* m : f->menuBar()->actions()) menus << m->text();
  QCOMPARE(menus, QStringList({"&Файл", "П&равка", "&Вид", "&Инструменты", "&Помощь"}));
  const QList<QAction*> file = f->menuBar()->actions()[0]->menu()->actions();
  QCOMPARE(file.size(), 10);  // with "Экспорт в PO..." and "Импорт из PO..." after "&Закрыть"
  QCOMPARE(file[0], f->FileOpen1);
  QCOMPARE(file[1], f->SaveAction);
  QCOMPARE(file[2], f->CloseAction);
  QVERIFY(file[3]->isSeparator());
  QVERIFY(file[6]->isSeparator());
  QCOMPARE(file[7], f->SetupAction);
  QVERIFY(file[8]->isSeparator());
  QCOMPARE(file[9], f->FileExit1);
  const QList<QAction*> bar = f->ActionToolBar1->actions();
  QCOMPARE(bar.size(), 5);
  QCOMPARE(bar[0], f->FileOpen1);
  QCOMPARE(bar[1], f->SaveAction);
  QCOMPARE(bar[2], f->CloseAction);
  QVERIFY(bar[3]->isSeparator());
  QCOMPARE(bar[4], f->PngEditAction);
  QCOMPARE(f->ActionToolBar1->toolButtonStyle(), Qt::ToolButtonIconOnly);
}

void MainWindowTest::DocumentCommandsAreEnabledOnlyWhileADocumentIsOpen() {
  Session s;
  TForm1* f = s.main();
  const QList<QAction*> docCommands = {f->SaveAction, f->CloseAction, f->FindAction, f->Action4};
  for (QAction* a : docCommands) QVERIFY(!a->isEnabled());
  s.Open({"One", "Two"});
  for (QAction* a : docCommands) QVERIFY(a->isEnabled());
  f->CloseAction->trigger();
  for (QAction* a : docCommands) QVERIFY(!a->isEnabled());
  // A disabled command does nothing: no dialog opens.
  f->FindAction->trigger();
  QVERIFY(QApplication::activeModalWidget() == nullptr);
}

void MainWindowTest::OpenDialogOffersTheFormatsInOrder() {
  Session s;
  QCOMPARE(TForm1::OpenFilter(),
           QStringLiteral("Все файлы(*.*)|*.*|Macrospace(lang.dat)|lang.dat|elkware(sr.ini)|sr.ini|"
                          "Gameloft(str.bin)|str.bin|Gameloft(new)|*.*|Handy-Games(*.lng)|*.lng|"
                          "Sumea|*.lng|Текстовые файлы(*.txt)|*.txt|Class-файлы(*.class)|*.class"));
  // The dialog shows each description as written and keeps the row's own pattern.
  const QStringList qt = QtNameFilters(TForm1::OpenFilter());
  QCOMPARE(qt.size(), 9);
  QCOMPARE(qt[4], QStringLiteral("Gameloft(new) (*.*)"));
  QCOMPARE(qt[6], QStringLiteral("Sumea (*.lng)"));
}

void MainWindowTest::OpenFilterRowDecidesTheFormat() {
  Session s;
  TForm1* f = s.main();
  const QString file = s.Path("lang.dat");
  uitest::WriteMacrospace(file, {"Hello", "World"});
  s.prompts.fileNames << file;
  s.prompts.filterIndexes << 2;  // "Macrospace(lang.dat)"
  f->FileOpen1->trigger();
  QCOMPARE(s.prompts.Of("OpenFileName").size(), 1);
  QCOMPARE(s.prompts.Of("OpenFileName")[0].text, TForm1::OpenFilter());
  QVERIFY(f->Doc().DocOpened);
  QCOMPARE(f->Doc().DocFormat, 0);
  QCOMPARE(f->windowTitle(), QStringLiteral("[lang.dat] - Перевод мобильных игр"));
  QCOMPARE(f->SelectedRow(), 0);
  QCOMPARE(f->List()->currentIndex().row(), 0);
  QVERIFY(s.prompts.Of("Error").isEmpty());
}

void MainWindowTest::AllFilesRowAsksTheFileParametersDialog() {
  Session s;
  TForm1* f = s.main();
  const QString file = s.Path("lang.dat");
  uitest::WriteMacrospace(file, {"Hello"});
  s.prompts.fileNames << file;
  s.prompts.filterIndexes << 1;  // "Все файлы(*.*)"
  QString title;
  QStringList items;
  WhenModal([&](QWidget* w) {
    auto* params = qobject_cast<TParamForm*>(w);
    title = w->windowTitle();
    for (QAbstractButton* b : params->RadioGroup1Items->buttons()) items << b->text();
    params->PageControl1->setCurrentIndex(0);
    params->SetChosenFormat(0);
    params->BitBtn1->click();
  });
  f->FileOpen1->trigger();
  QCOMPARE(title, QStringLiteral("[lang.dat] - Параметры файла"));
  QCOMPARE(items, QStringList({"Macrospace", "Elkware", "Gameloft (old)", "Gameloft (new)",
                               "Handy-Games", "IFone", "Текстовые файлы", "class-файлы"}));
  QVERIFY(f->Doc().DocOpened);
  QCOMPARE(f->Model()->Original(0), QStringLiteral("Hello"));
}

void MainWindowTest::FileParametersDialogCancelledOrOnManualPageOpensNothing() {
  struct Case {
    int page;
    bool ok;
  };
  for (const Case c : {Case{0, false}, Case{1, true}, Case{1, false}}) {
    Session s;
    TForm1* f = s.main();
    const QString file = s.Path("lang.dat");
    uitest::WriteMacrospace(file, {"Hello"});
    s.prompts.fileNames << file;
    s.prompts.filterIndexes << 1;
    WhenModal([c](QWidget* w) {
      auto* params = qobject_cast<TParamForm*>(w);
      params->PageControl1->setCurrentIndex(c.page);
      if (c.ok)
        params->BitBtn1->click();
      else
        params->BitBtn2->click();
      // OK on "Вручную" without a chosen script keeps the dialog open.
      if (params->isVisible()) params->reject();
    });
    f->FileOpen1->trigger();
    QVERIFY(!f->Doc().DocOpened);
    QCOMPARE(f->Model()->rowCount(), 0);
    QVERIFY(s.prompts.Of("Error").isEmpty());
  }
}

void MainWindowTest::FailedOpeningShowsTheErrorOwnedByTheRightWindow() {
  Session s;
  TForm1* f = s.main();
  const QString missing = s.Path("missing.dat");
  s.prompts.fileNames << missing << missing;
  s.prompts.filterIndexes << 2 << 1;
  f->FileOpen1->trigger();
  WhenModal([](QWidget* w) { qobject_cast<TParamForm*>(w)->BitBtn1->click(); });
  ParamForm()->PageControl1->setCurrentIndex(0);
  f->FileOpen1->trigger();
  const QList<FakePrompter::Call> errors = s.prompts.Of("Error");
  QCOMPARE(errors.size(), 2);
  QCOMPARE(errors[0].text, QStringLiteral("Не удалось открыть файл"));
  QCOMPARE(errors[0].title, QStringLiteral("Ошибка"));
  QCOMPARE(errors[0].owner, f);
  QCOMPARE(errors[1].owner, ParamForm());
  QVERIFY(!f->Doc().DocOpened);
  QCOMPARE(f->windowTitle(), QStringLiteral("Перевод мобильных игр"));
}

void MainWindowTest::CancelledOpenDialogLeavesNoDocumentAndTheOldTitle() {
  Session s;
  TForm1* f = s.main();
  s.Open({"One"});
  const QString title = f->windowTitle();
  f->FileOpen1->trigger();  // no file name queued: the dialog is cancelled
  QVERIFY(!f->Doc().DocOpened);
  QCOMPARE(f->Model()->rowCount(), 0);
  QCOMPARE(f->windowTitle(), title);
  QVERIFY(!f->SaveAction->isEnabled());
}

void MainWindowTest::CloseCommandWritesTheStoreAndResetsTheCaption() {
  Session s;
  TForm1* f = s.main();
  s.Open({"One", "Two"});
  f->Model()->SetTranslation(1, QStringLiteral("Два"));
  f->Doc().DocModified = true;
  f->CloseAction->trigger();
  QVERIFY(!f->Doc().DocOpened);
  QVERIFY(!f->Doc().DocModified);
  QCOMPARE(f->windowTitle(), QStringLiteral("Перевод мобильных игр"));
  QFile store(s.Path("lang.dat.loc"));
  QVERIFY(store.open(QIODevice::ReadOnly));
  QCOMPARE(store.readAll(), QByteArray("[data]\r\n0=\r\n1=\xC4\xE2\xE0\r\n"));
}

void MainWindowTest::DropWithADocumentOpenThenCancelledLeavesAnEmptyList() {
  Session s;
  TForm1* f = s.main();
  s.Open({"One", "Two"});
  f->Model()->SetTranslation(0, QStringLiteral("Раз"));
  f->Doc().DocModified = true;
  const QString other = s.Path("other.dat");
  uitest::WriteMacrospace(other, {"X"});
  QString title;
  WhenModal([&](QWidget* w) {
    title = w->windowTitle();
    qobject_cast<TParamForm*>(w)->BitBtn2->click();
  });
  f->FormDropFiles({other});
  QCOMPARE(title, QStringLiteral("[other.dat] - Параметры файла"));
  QVERIFY(!f->Doc().DocOpened);
  QCOMPARE(f->Model()->rowCount(), 0);
  QVERIFY(f->Doc().DocModified);                    // the drop leaves it as it was
  QVERIFY(!QFile::exists(s.Path("lang.dat.loc")));  // the store was not written
  QVERIFY(s.prompts.calls.isEmpty());
}

void MainWindowTest::DropOpensOnlyTheFirstFileWithItsWholePath() {
  Session s;
  TForm1* f = s.main();
  // A folder deep enough that the path passes 255 characters.
  QString deep = s.dir.path();
  while (deep.size() < 300) deep += QStringLiteral("/folder_with_a_long_name");
  QVERIFY(QDir().mkpath(deep));
  const QString first = deep + QStringLiteral("/lang.dat");
  uitest::WriteMacrospace(first, {"First", "Second"});
  const QString second = s.Path("second.dat");
  uitest::WriteMacrospace(second, {"Other"});
  WhenModal([](QWidget* w) {
    auto* params = qobject_cast<TParamForm*>(w);
    params->PageControl1->setCurrentIndex(0);
    params->SetChosenFormat(0);
    params->BitBtn1->click();
  });
  f->FormDropFiles({first, second, s.Path("third.dat")});
  QVERIFY(f->Doc().DocOpened);
  QCOMPARE(QString::fromStdString(f->Doc().DocFileName), first);
  QCOMPARE(f->Model()->Original(0), QStringLiteral("First"));
  QCOMPARE(f->SelectedRow(), 0);
}

void MainWindowTest::ClosePromptAnswers_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("closes");
  QTest::newRow("Yes, then the save dialog cancelled") << int(QMessageBox::Yes) << true;
  QTest::newRow("No") << int(QMessageBox::No) << true;
  QTest::newRow("Cancel") << int(QMessageBox::Cancel) << false;
}

void MainWindowTest::ClosePromptAnswers() {
  QFETCH(int, answer);
  QFETCH(bool, closes);
  Session s;
  TForm1* f = s.main();
  f->show();
  s.Open({"One"});
  f->Doc().DocModified = true;
  s.prompts.answers << QMessageBox::StandardButton(answer);
  bool saveDialogShown = false;
  if (answer == QMessageBox::Yes) {
    WhenModal([&](QWidget* w) {
      saveDialogShown = qobject_cast<TSaveForm*>(w) != nullptr;
      qobject_cast<QDialog*>(w)->reject();
    });
  }
  const bool closed = f->close();
  QCOMPARE(closed, closes);
  const QList<FakePrompter::Call> q = s.prompts.Of("Question");
  QCOMPARE(q.size(), 1);
  QCOMPARE(q[0].title, QStringLiteral("Данные изменены"));
  QCOMPARE(q[0].text, QStringLiteral("Сохранить изменения?"));
  QCOMPARE(q[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  QCOMPARE(q[0].owner, f);
  QCOMPARE(saveDialogShown, answer == QMessageBox::Yes);
  QCOMPARE(QFile::exists(TForm1::SettingsPath()), closes);
  QVERIFY(!QFile::exists(s.Path("lang.dat.loc")));  // ending the program writes no store
}

void MainWindowTest::FailedSaveAtTheClosePromptKeepsTheWindowOpen() {
  Session s;
  TForm1* f = s.main();
  f->show();
  s.Open({"One"});
  f->Model()->SetTranslation(0, QStringLiteral("Раз"));
  f->Doc().DocModified = true;
  QVERIFY(QDir().mkpath(s.Path("lang.dat.loc")));  // the store cannot be written
  s.prompts.answers << QMessageBox::Yes;
  WhenModal([](QWidget* w) { qobject_cast<TSaveForm*>(w)->BitBtn1->click(); });
  QVERIFY(!f->close());
  QCOMPARE(s.prompts.Of("Error").size(), 1);
  QVERIFY(f->Doc().DocModified);
  QVERIFY(!QFile::exists(TForm1::SettingsPath()));
}

void MainWindowTest::BoundsAreReadFromTheSettingsFile() {
  QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
  QFile ini(dir.filePath("Kelvatrix.ini"));
  QVERIFY(ini.open(QIODevice::WriteOnly));
  ini.write("[Other]\r\nx=1\r\n[Common]\r\nLeft=40\r\nTop=50\r\nWidth=700\r\nHeight=420\r\n");
  ini.close();
  {
    QApplication::setQuitOnLastWindowClosed(false);
    FakePrompter fake;
    FakePrompter::Scope scope(fake);
    App app;
    const QRect r = app.form1->frameGeometry();
    QCOMPARE(r, QRect(40, 50, 700, 420));
    app.form1->move(60, 70);
    app.form1->resize(640, 380);
    QVERIFY(app.form1->close());
  }
  QVERIFY(ini.open(QIODevice::ReadOnly));
  QCOMPARE(ini.readAll(), QByteArray("[Other]\r\nx=1\r\n[Common]\r\nLeft=60\r\nTop=70\r\n"
                                     "Width=640\r\nHeight=380\r\n"));
}

void MainWindowTest::MissingSettingsGiveTheBuiltInBounds() {
  Session s;
  QCOMPARE(s.main()->frameGeometry(), QRect(327, 290, 631, 361));
  QVERIFY(s.main()->close());
  QCOMPARE(s.SettingsText(),
           QStringLiteral("[Common]\r\nLeft=327\r\nTop=290\r\nWidth=631\r\nHeight=361\r\n"));
}

void MainWindowTest::ColumnsAreHalfTheClientWidthMinusTen() {
  Session s;
  TForm1* f = s.main();
  f->show();
  for (const auto& [width, column] : {std::pair{601, 290}, std::pair{800, 390}}) {
    f->resize(width, 400);
    QTRY_COMPARE(f->width(), width);
    QCOMPARE(f->List()->columnWidth(0), column);
    QCOMPARE(f->List()->columnWidth(1), column);
  }
}

void MainWindowTest::StatusBarCountsFollowTheEntries() {
  Session s;
  TForm1* f = s.main();
  s.Open({"One", "Two", "Three"}, {{0, "!Раз"}});
  QCOMPARE(f->CountsLabel->text(), QStringLiteral("Строк: 3    Переведено: 1    Отмечено: 1"));
  // The list's own check box handling sets the mark through the model.
  QVERIFY(f->Model()->setData(f->Model()->index(2, 0), Qt::Checked, Qt::CheckStateRole));
  f->Model()->SetTranslation(1, QStringLiteral("Два"));
  QVERIFY(f->Doc().Entries[2].Checked);
  QCOMPARE(f->CountsLabel->text(), QStringLiteral("Строк: 3    Переведено: 2    Отмечено: 2"));
  QVERIFY(!f->Doc().DocModified);  // a check mark alone does not modify the document
  f->CloseAction->trigger();
  QCOMPARE(f->CountsLabel->text(), QStringLiteral("Строк: 0    Переведено: 0    Отмечено: 0"));
}

void MainWindowTest::HelpOpensTheTopicOfEveryContextNumber() {
  Session s;
  TForm1* f = s.main();
  struct Case {
    int context;
    const char* page;
  };
  const Case cases[] = {{8, "params"},     {9, "manual"},     {10, "translate"},
                        {11, "save"},      {91, "script"},    {100, "find"},
                        {1234, "pngfont"}, {1235, "elkware"}, {1236, "symtable"}};
  QSet<QString> titles;
  for (const Case& c : cases) {
    f->ShowHelpContext(c.context);
    QCOMPARE(f->Help()->CurrentUrl(), "qrc:/help/" + QString::fromLatin1(c.page) + ".html");
    QVERIFY(f->Help()->isVisible());
    QVERIFY(f->Help()->Browser->toPlainText().size() > 200);
    titles << f->Help()->Browser->documentTitle();
  }
  QCOMPARE(titles.size(), 9);
  f->HelpContents1->trigger();
  QCOMPARE(f->Help()->CurrentUrl(), QStringLiteral("qrc:/help/index.html"));
  QVERIFY(f->Help()->Browser->toPlainText().contains(QStringLiteral("Содержание")));
}

void MainWindowTest::HelpButtonsOfTheDialogsUseTheirContexts() {
  Session s;
  TForm1* f = s.main();
  auto page = [f] { return f->Help()->CurrentUrl().section(u'/', -1); };
  ParamForm()->PageControl1->setCurrentIndex(0);
  ParamForm()->BitBtn3->click();
  QCOMPARE(page(), QStringLiteral("params.html"));
  ParamForm()->PageControl1->setCurrentIndex(1);
  ParamForm()->BitBtn3->click();
  QCOMPARE(page(), QStringLiteral("manual.html"));
  TransForm()->BitBtn3->click();
  QCOMPARE(page(), QStringLiteral("translate.html"));
  SaveForm()->BitBtn3->click();
  QCOMPARE(page(), QStringLiteral("save.html"));
  FindForm()->BitBtn3->click();
  QCOMPARE(page(), QStringLiteral("find.html"));
}

void MainWindowTest::AboutBoxNamesTheProgramAndVersion() {
  Session s;
  s.main()->Action1->trigger();
  const QList<FakePrompter::Call> w = s.prompts.Of("Warning");
  QCOMPARE(w.size(), 1);
  QCOMPARE(w[0].title, QStringLiteral("О программе"));
  QCOMPARE(w[0].owner, s.main());
  QVERIFY(w[0].text.contains(QStringLiteral("Перевод мобильных игр")));
  QVERIFY(w[0].text.contains(QStringLiteral(KX_TEST_VERSION)));
}

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
