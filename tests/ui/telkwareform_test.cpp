// The Elkware resource browser driven as the user would: opening an archive, previewing its
// pictures, the close question, handing a resource to the font editor, and saving.
#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>
#include <vector>

#include "fake_prompter.h"
#include "resarchive/res_archive.h"
#include "streams/atomic_file.h"
#include "telkwareform.h"
#include "thelpform.h"
#include "tpngfrm.h"
#include "ui_test_support.h"

namespace {

QByteArray PngBytes(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_ARGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

std::vector<uint8_t> Vec(const QByteArray& b) { return {b.begin(), b.end()}; }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

}  // namespace

class TElkwareFormTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir temp_;  // stands in for the user's temporary folder
  QTemporaryDir work_;
  QString archive_;
  QByteArray archiveBytes_;
  FakePrompter fake_;
  std::unique_ptr<FakePrompter::Scope> scope_;
  std::unique_ptr<TElkwareForm> form_;
  QStringList opened_;  // what the font editor was asked to open
  int shown_ = 0;       // how often it was shown

  // Opens the test archive through the open command.
  void Open() {
    fake_.fileNames.append(archive_);
    form_->OpenActionExecute();
    QVERIFY(form_->ArchiveOpened());
  }
  int Questions() const { return int(fake_.Of("Question").size()); }
  int FilesInTemp() const {
    return int(QDir(temp_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
  }

 private slots:
  void init() {
    // #10 an 8 x 6 red picture, #255 a MIDI header, #1 a 16 x 4 blue picture, #32 other data.
    std::vector<kx::ResourceEntry> table{
        {10, 7, 0, 0}, {255, 0, 0, 0}, {1, 0, 0, 0}, {32, 1, 0, 0}};
    std::vector<std::vector<uint8_t>> data{Vec(PngBytes(8, 6, Qt::red)),
                                           {0x4D, 0x54, 0x68, 0x64, 0, 0, 0, 6},
                                           Vec(PngBytes(16, 4, Qt::blue)),
                                           {1, 2, 3}};
    std::vector<uint8_t> bytes = kx::BuildArchive(table, data);
    archiveBytes_ =
        QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    archive_ = work_.filePath("res.raw");
    WriteAll(archive_, archiveBytes_);
    fake_ = FakePrompter();
    scope_ = std::make_unique<FakePrompter::Scope>(fake_);
    form_ = std::make_unique<TElkwareForm>(nullptr, temp_.path());
    opened_.clear();
    shown_ = 0;
    form_->SetFontEditor({[this] { ++shown_; }, [this](const QString& f) { opened_.append(f); }});
  }

  void cleanup() {
    form_.reset();
    scope_.reset();
    kx::SetWriteFaultForTesting(nullptr);
    QDir(temp_.path()).removeRecursively();
    QDir().mkpath(temp_.path());
  }

  void toolBarAndCommandsFollowTheArchiveState() {
    QCOMPARE(form_->windowTitle(), QStringLiteral("Ресурсы Elkware"));
    QStringList texts;
    for (QAction* a : form_->ActionToolBar1->actions())
      texts << (a->isSeparator() ? QStringLiteral("|") : a->toolTip());
    QCOMPARE(texts, QStringList({"Открыть", "Сохранить", "Закрыть", "|", "Редактировать в Glypher",
                                 "|", "Помощь"}));
    QCOMPARE(form_->PopupMenu1->actions(), QList<QAction*>{form_->Action1});
    auto enabled = [&] {
      return QList<bool>{form_->OpenAction->isEnabled(), form_->SaveAction->isEnabled(),
                         form_->CloseAction->isEnabled(), form_->Action1->isEnabled(),
                         form_->HelpContents1->isEnabled()};
    };
    QCOMPARE(enabled(), (QList<bool>{true, false, false, false, true}));
    Open();
    QCOMPARE(fake_.Of("OpenFileName").at(0).text, TElkwareForm::OpenFilter());
    QCOMPARE(enabled(), (QList<bool>{true, true, true, true, true}));
    fake_.answers.append(QMessageBox::No);
    form_->CloseActionExecute();
    QCOMPARE(enabled(), (QList<bool>{true, false, false, false, true}));
  }

  void opensListsAndPreviewsPictures() {
    Open();
    QStringList names;
    for (int i = 0; i < form_->ListBox1->count(); ++i) names << form_->ListBox1->item(i)->text();
    QCOMPARE(names, QStringList({"_0A.png", "_FF.mid", "_01.png", "_20.tmp"}));
    const QDir folder(QString::fromStdString(form_->Session().ResourceFolder().string()));
    QCOMPARE(folder.entryList(QDir::Files).size(), 4);

    form_->ListBox1->setCurrentRow(0);
    QCOMPARE(form_->Image1->pixmap().size(), QSize(8, 6));
    form_->ListBox1->setCurrentRow(1);  // a tune: the picture before stays
    QCOMPARE(form_->Image1->pixmap().size(), QSize(8, 6));
    form_->ListBox1->setCurrentRow(2);
    QCOMPARE(form_->Image1->pixmap().size(), QSize(16, 4));
    QCOMPARE(form_->Image1->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
  }

  void closeQuestion_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes saves, then deletes") << true;
    QTest::newRow("No deletes and leaves the archive") << false;
  }
  void closeQuestion() {
    QFETCH(bool, yes);
    Open();
    const QString folder = QString::fromStdString(form_->Session().ResourceFolder().string());
    // An edit made through the font editor: the picture grows.
    const QByteArray edited = PngBytes(20, 20, Qt::green);
    WriteAll(folder + "/_0A.png", edited);
    form_->ListBox1->setCurrentRow(0);
    fake_.answers.append(yes ? QMessageBox::Yes : QMessageBox::No);
    QVERIFY(form_->CloseActionExecute());

    QCOMPARE(Questions(), 1);
    const FakePrompter::Call q = fake_.Of("Question").at(0);
    QCOMPARE(q.title, QStringLiteral("Запрос"));
    QCOMPARE(q.text, QStringLiteral("Сохранить изменения?"));
    QCOMPARE(q.buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!form_->ArchiveOpened());
    QCOMPARE(form_->ListBox1->count(), 0);
    QVERIFY(form_->Image1->pixmap().isNull());
    QCOMPARE(FilesInTemp(), 0);  // files and their folder are gone
    if (yes) {
      const QByteArray saved = ReadAll(archive_);
      kx::ArchiveContents a = kx::ReadArchive(std::vector<uint8_t>(saved.begin(), saved.end()));
      QCOMPARE(a.ResourceTable.at(0).DataSize, int32_t(edited.size()));
      QCOMPARE(a.ResourceTable.at(1).DataOffset, int32_t(edited.size()));
    } else {
      QCOMPARE(ReadAll(archive_), archiveBytes_);
    }
  }

  void closingTheWindowAsksOnlyWithAnArchiveOpen() {
    form_->show();
    QVERIFY(form_->close());
    QCOMPARE(Questions(), 0);

    form_->show();
    Open();
    fake_.answers.append(QMessageBox::No);
    QVERIFY(form_->close());
    QCOMPARE(Questions(), 1);
    QVERIFY(!form_->ArchiveOpened());
    QCOMPARE(ReadAll(archive_), archiveBytes_);
  }

  void openingWhileOpenAsksFirst() {
    Open();
    fake_.answers.append(QMessageBox::No);
    form_->OpenActionExecute();  // the dialog is then cancelled: the fake has no file name
    QCOMPARE(Questions(), 1);
    QCOMPARE(fake_.Of("OpenFileName").size(), 2);
    QVERIFY(!form_->ArchiveOpened());
    QCOMPARE(form_->ListBox1->count(), 0);
    QCOMPARE(FilesInTemp(), 0);
  }

  void damagedArchiveIsRefusedWithAMessage() {
    WriteAll(archive_, QByteArray::fromHex("0000000C010A000000000000000002"
                                           "89"));
    fake_.fileNames.append(archive_);
    form_->OpenActionExecute();
    QVERIFY(!form_->ArchiveOpened());
    QCOMPARE(fake_.Of("Error").size(), 1);
    QVERIFY(fake_.Of("Error").at(0).text.startsWith(QStringLiteral("Архив ресурсов повреждён")));
    QCOMPARE(form_->ListBox1->count(), 0);
    QVERIFY(!form_->SaveAction->isEnabled());
    QCOMPARE(FilesInTemp(), 0);
  }

  void editingHandsTheSelectedFileToTheFontEditor() {
    Open();
    form_->Action1Execute();  // nothing selected
    QCOMPARE(shown_, 1);
    QVERIFY(opened_.isEmpty());
    QCOMPARE(fake_.Of("Information").size(), 1);

    form_->ListBox1->setCurrentRow(2);
    form_->Action1Execute();
    QCOMPARE(shown_, 2);
    QCOMPARE(opened_, QStringList{QString::fromStdString(form_->Session().PathOf(2).string())});
  }

  void saveReportsMissingFilesAndFailures() {
    Open();
    QFile::remove(QString::fromStdString(form_->Session().PathOf(1).string()));
    QVERIFY(form_->SaveActionExecute());
    QCOMPARE(fake_.Of("Warning").size(), 1);
    QVERIFY(fake_.Of("Warning").at(0).text.contains(QStringLiteral("_FF.mid")));

    // A save that cannot be written keeps the archive and, from the close question, the files.
    const QByteArray before = ReadAll(archive_);
    kx::SetWriteFaultForTesting(
        [](const std::filesystem::path& p) { return p.filename() == "res.raw"; });
    fake_.answers.append(QMessageBox::Yes);
    QVERIFY(!form_->CloseActionExecute());
    QCOMPARE(fake_.Of("Error").size(), 1);
    QVERIFY(form_->ArchiveOpened());
    QCOMPARE(form_->ListBox1->count(), 4);
    QCOMPARE(ReadAll(archive_), before);
    QVERIFY(QFile::exists(QString::fromStdString(form_->Session().PathOf(0).string())));
  }

  // The program's own windows: the main window's command shows the browser, whose help opens
  // its topic and whose edit command opens the resource in the program's font editor.
  void worksWithTheProgramsWindows() {
    uitest::Session program;
    auto* browser = static_cast<TElkwareForm*>(program.app->elkwareForm);
    program.main()->Action2->trigger();
    QVERIFY(browser->isVisible());
    browser->HelpContents1->trigger();
    QCOMPARE(program.main()->Help()->CurrentUrl(), THelpForm::TopicUrl(1235));

    program.prompts.fileNames.append(archive_);
    browser->OpenAction->trigger();
    QVERIFY(browser->ArchiveOpened());
    browser->ListBox1->setCurrentRow(2);
    browser->Action1->trigger();
    auto* editor = static_cast<TPngFrm*>(program.app->pngFrm);
    const QString file = QString::fromStdString(browser->Session().PathOf(2).string());
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->ImageFileName, file);
    QVERIFY(editor->ImageOpened);

    program.prompts.answers.append(QMessageBox::No);
    browser->CloseAction->trigger();
    QVERIFY(!QFile::exists(file));
  }
};

QTEST_MAIN(TElkwareFormTest)
#include "telkwareform_test.moc"
