// The PNG font editor and its picture window driven as the user would: opening fonts of
// various sizes, the colour list, painting and picking in the magnified view, the questions of
// open, close and save as, failed opens and saves, and moving the cell in the picture window.
#include <QAction>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "../core/png_test_images.h"
#include "fake_prompter.h"
#include "png/png_image.h"
#include "streams/atomic_file.h"
#include "tform1.h"
#include "thelpform.h"
#include "tpform.h"
#include "tpngfrm.h"

namespace {

// A palette font W x H: pixel (x, y) has index (x + y) % colours; colours are distinct greys.
pngtest::Bytes PaletteFont(int w, int h, int colours, bool transparent) {
  pngtest::ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_PALETTE;
  s.depth = 8;
  s.width = w;
  s.height = h;
  for (int i = 0; i < colours; ++i)
    s.palette.push_back({png_byte(i * 20), png_byte(i * 20 + 1), png_byte(i * 20 + 2)});
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.samples.push_back(unsigned((x + y) % colours));
  if (transparent) {
    s.hasTrns = true;
    s.trnsAlpha = {255, 0};  // entry 1 is the transparent colour
  }
  return pngtest::Encode(s);
}

// A 4 x 2 RGBA image without tRNS: black, red, black-invisible, green / all white.
pngtest::Bytes RgbaImage() {
  pngtest::ImageLayout s;
  s.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  s.width = 4;
  s.height = 2;
  s.samples = {0, 0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 255};
  for (int i = 0; i < 4; ++i) s.samples.insert(s.samples.end(), {255, 255, 255, 255});
  return pngtest::Encode(s);
}

uint32_t Grey(int i) {
  return uint32_t(i * 20) | uint32_t(i * 20 + 1) << 8 | uint32_t(i * 20 + 2) << 16;
}

// The window point at the middle of the view block (c, r).
QPoint Block(int c, int r) {
  return {TPngFrm::kViewLeft + 10 * c + 5, TPngFrm::kViewTop + 10 * r + 5};
}

}  // namespace

class TPngFrmTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> temp_;  // a fresh folder for every test
  FakePrompter fake_;
  std::unique_ptr<FakePrompter::Scope> scope_;
  std::unique_ptr<TPngFrm> frm_;
  std::unique_ptr<TPForm> pform_;

  QString DirPath(const QString& name) const { return temp_->filePath(name); }
  QString Write(const QString& name, const pngtest::Bytes& bytes) {
    const QString path = DirPath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return {};
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return path;
  }
  QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void Press(Qt::MouseButton button, QPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    frm_->FormMouseDown(button, mods, at);
  }
  uint32_t PixelOnDisk(const QString& path, int x, int y) {
    return kx::PngImage::LoadFile(path.toStdString()).Pixel(x, y);
  }
  void OpenModifiedFont(QString* path) {
    *path = Write("font.png", PaletteFont(30, 20, 5, false));
    QVERIFY(frm_->OpenImage(*path));
    Press(Qt::RightButton, Block(1, 0));
    QVERIFY(frm_->Modified);
  }

 private slots:
  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    QVERIFY(temp_->isValid());
    fake_ = FakePrompter();
    scope_ = std::make_unique<FakePrompter::Scope>(fake_);
    frm_ = std::make_unique<TPngFrm>();
    pform_ = std::make_unique<TPForm>();
    frm_->SetPictureWindow(pform_.get());
    frm_->show();
  }
  void cleanup() {
    kx::SetWriteFaultForTesting(nullptr);
    pform_->hide();
    frm_->hide();
    frm_.reset();
    pform_.reset();
    scope_.reset();
    temp_.reset();
  }

  void startsEmpty() {
    QCOMPARE(frm_->windowTitle(), QStringLiteral("Редактор PNG-шрифтов"));
    QVERIFY(!frm_->ImageOpened);
    QVERIFY(!frm_->SaveAction->isEnabled() && !frm_->SaveAsAction->isEnabled());
    QVERIFY(!frm_->CloseAction->isEnabled() && !frm_->ColorSelect1->isEnabled());
    QVERIFY(frm_->OpenAction->isEnabled() && frm_->HelpContents1->isEnabled());
    QVERIFY(!frm_->ListBox1->isEnabled() && !frm_->ScrollBar1->isEnabled());
    QCOMPARE(frm_->size(), QSize(396, 290));
  }

  void openSetsCellAndBars_data() {
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::newRow("30x20") << 30 << 20;
    QTest::newRow("5x3") << 5 << 3;
    QTest::newRow("1 pixel wide") << 1 << 40;
    QTest::newRow("1 pixel high") << 40 << 1;
    QTest::newRow("25x25") << 25 << 25;
    QTest::newRow("8x9") << 8 << 9;
  }
  void openSetsCellAndBars() {
    QFETCH(int, w);
    QFETCH(int, h);
    // Open twice, the second time over a cell moved and resized on the first.
    const QString path = Write("font.png", PaletteFont(w, h, 3, false));
    for (int round = 0; round < 2; ++round) {
      QVERIFY(frm_->OpenImage(path));
      QCOMPARE(frm_->ScrollBar1->maximum(), std::min(25, w));
      QCOMPARE(frm_->ScrollBar2->maximum(), std::min(25, h));
      QCOMPARE(frm_->ScrollBar1->value(), std::min(8, w));
      QCOMPARE(frm_->ScrollBar2->value(), std::min(8, h));
      QCOMPARE(pform_->MarkerX, 0);
      QCOMPARE(pform_->MarkerY, 0);
      QCOMPARE(pform_->MarkerWidth, std::min(8, w));
      QCOMPARE(pform_->MarkerHeight, std::min(8, h));
      frm_->grab();  // paints the view
      QCOMPARE(frm_->ZoomBitmap.size(), QSize(10 * std::min(8, w) + 1, 10 * std::min(8, h) + 1));
      QVERIFY(pform_->isVisible());
      QCOMPARE(pform_->PaintBox1->size(), QSize(w, h));
      QCOMPARE(pform_->size(), QSize(w, h));
      QCOMPARE(pform_->pos(), frm_->frameGeometry().bottomLeft() + QPoint(0, 1));
      QCOMPARE(frm_->windowTitle(), QStringLiteral("[font.png] - Редактор PNG-шрифтов"));
      QVERIFY(frm_->ListBox1->isEnabled() && frm_->ScrollBar2->isEnabled());
      QVERIFY(frm_->SaveAction->isEnabled() && frm_->CloseAction->isEnabled());
      QVERIFY(!frm_->Modified);
      frm_->ScrollBar1->setValue(1);
      pform_->PaintBox1MouseDown(Qt::LeftButton, QPoint(w - 1, h - 1));
    }
  }

  void barsResizeTheCellInsideTheImage() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 3, false))));
    pform_->PaintBox1MouseDown(Qt::LeftButton, QPoint(22, 12));
    QCOMPARE(pform_->MarkerX, 22);
    frm_->ScrollBar1->setValue(12);  // 22 + 12 > 30: pushed back
    QCOMPARE(pform_->MarkerWidth, 12);
    QCOMPARE(pform_->MarkerX, 18);
    QCOMPARE(frm_->ZoomBitmap.width(), 121);
    // Shift+arrows step the bars within their ranges and are consumed; the wheel steps the
    // height, with exactly Shift the width.
    QVERIFY(frm_->FormKeyDown(Qt::Key_Right, Qt::ShiftModifier));
    QCOMPARE(frm_->ScrollBar1->value(), 13);
    QVERIFY(frm_->FormKeyDown(Qt::Key_Up, Qt::ShiftModifier));
    QCOMPARE(frm_->ScrollBar2->value(), 7);
    QVERIFY(frm_->FormKeyDown(Qt::Key_A, Qt::ShiftModifier));
    frm_->ScrollBar2->setValue(1);
    QVERIFY(frm_->FormKeyDown(Qt::Key_Up, Qt::ShiftModifier));
    QCOMPARE(frm_->ScrollBar2->value(), 1);
    frm_->FormMouseWheel(120, Qt::NoModifier);
    QCOMPARE(frm_->ScrollBar2->value(), 2);
    frm_->FormMouseWheel(-120, Qt::ShiftModifier);
    QCOMPARE(frm_->ScrollBar1->value(), 12);
    frm_->FormMouseWheel(-120, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(frm_->ScrollBar2->value(), 1);
    QVERIFY(!frm_->FormKeyDown(Qt::Key_A, Qt::NoModifier));
  }

  void colourListNumbering() {
    QVERIFY(frm_->OpenImage(Write("t.png", PaletteFont(6, 4, 4, true))));
    // Column by column: (0,0)=0 (0,1)=1 (0,2)=2 (0,3)=3; entry 1 is the transparent one.
    QCOMPARE(frm_->ListBox1->count(), 4);
    QCOMPARE(frm_->ListBox1->Caption(0), QStringLiteral("Прозрачный"));
    QCOMPARE(frm_->ListBox1->Color(0), Grey(1));
    QCOMPARE(frm_->ListBox1->Caption(1), QStringLiteral("Цвет 1"));
    QCOMPARE(frm_->ListBox1->Color(1), Grey(0));
    QCOMPARE(frm_->ListBox1->Caption(3), QStringLiteral("Цвет 3"));
    QCOMPARE(frm_->ListBox1->Color(3), Grey(3));

    QVERIFY(frm_->OpenImage(Write("o.png", PaletteFont(6, 4, 4, false))));
    QCOMPARE(frm_->ListBox1->count(), 4);
    QCOMPARE(frm_->ListBox1->Caption(0), QStringLiteral("Цвет 0"));
    QCOMPARE(frm_->ListBox1->Caption(3), QStringLiteral("Цвет 3"));
    QCOMPARE(frm_->ListBox1->Color(2), Grey(2));
  }

  void everyColourOfAPhotoIsListed() {
    // 512 x 512 RGB, every pixel its own colour: the list takes them all at once.
    pngtest::ImageLayout s;
    s.colorType = PNG_COLOR_TYPE_RGB;
    s.width = 512;
    s.height = 512;
    for (unsigned y = 0; y < 512; ++y)
      for (unsigned x = 0; x < 512; ++x)
        s.samples.insert(s.samples.end(), {x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 1});
    QVERIFY(frm_->OpenImage(Write("photo.png", pngtest::Encode(s))));
    QCOMPARE(frm_->ListBox1->count(), 512 * 512);
    QCOMPARE(frm_->ListBox1->Caption(512 * 512 - 1), QStringLiteral("Цвет 262143"));
    // Column by column: the second colour is pixel (0, 1).
    QCOMPARE(frm_->ListBox1->Color(1), 0x000100u);
    frm_->ListBox1->setCurrentRow(512 * 512 - 1);
    Press(Qt::LeftButton, Block(0, 0));
    QCOMPARE(frm_->Png->Pixel(0, 0), frm_->ListBox1->Color(512 * 512 - 1));
  }

  void alphaImageShowsBlackAsTransparent() {
    QVERIFY(frm_->OpenImage(Write("a.png", RgbaImage())));
    QStringList captions;
    for (int i = 0; i < frm_->ListBox1->count(); ++i) captions << frm_->ListBox1->Caption(i);
    QCOMPARE(captions, (QStringList{"Прозрачный", "Цвет 1", "Цвет 2", "Цвет 3"}));
    QCOMPARE(frm_->ListBox1->Color(0), 0u);
    QCOMPARE(frm_->ListBox1->Color(1), 0xFFFFFFu);  // (0,1) white
    frm_->grab();
    const QColor face = frm_->palette().color(QPalette::Button);
    QCOMPARE(frm_->ZoomBitmap.pixelColor(5, 5), face);   // black, opaque
    QCOMPARE(frm_->ZoomBitmap.pixelColor(25, 5), face);  // invisible
    QCOMPARE(frm_->ZoomBitmap.pixelColor(15, 5), QColor(Qt::red));
    QCOMPARE(frm_->ZoomBitmap.pixelColor(10, 5), QColor(Qt::black));  // grid line
    QCOMPARE(frm_->ZoomBitmap.pixelColor(19, 5), QColor(Qt::white));  // the block's last column
    QCOMPARE(frm_->ZoomBitmap.size(), QSize(41, 21));
    // The picture window draws the invisible pixel clear over the button face.
    QCOMPARE(qAlpha(frm_->PictureImage().pixel(2, 0)), 0);
    QCOMPARE(qAlpha(frm_->PictureImage().pixel(0, 0)), 255);
  }

  void mouseEditing() {
    const QString path = Write("font.png", PaletteFont(30, 20, 5, false));
    QVERIFY(frm_->OpenImage(path));
    QCOMPARE(frm_->ListBox1->currentRow(), -1);
    // No colour selected: the last item is selected and painted with.
    Press(Qt::LeftButton, Block(0, 0));
    QCOMPARE(frm_->ListBox1->currentRow(), 4);
    QCOMPARE(frm_->Png->Pixel(0, 0), frm_->ListBox1->Color(4));
    QVERIFY(frm_->Modified);
    // The right and the middle button paint with the first item, whatever is selected.
    Press(Qt::RightButton, Block(2, 1));
    QCOMPARE(frm_->Png->Pixel(2, 1), frm_->ListBox1->Color(0));
    Press(Qt::MiddleButton, Block(3, 1));
    QCOMPARE(frm_->Png->Pixel(3, 1), frm_->ListBox1->Color(0));
    QCOMPARE(frm_->ListBox1->currentRow(), 4);
    // The cell moved: block (0, 0) is pixel (MarkerX, MarkerY).
    pform_->PaintBox1MouseDown(Qt::LeftButton, QPoint(10, 5));
    frm_->ListBox1->setCurrentRow(3);
    Press(Qt::LeftButton, Block(1, 1));
    QCOMPARE(frm_->Png->Pixel(11, 6), frm_->ListBox1->Color(3));
    QCOMPARE(frm_->PictureImage().pixel(11, 6), QColor(60, 61, 62).rgba());
    // The change is in the file only after a save.
    QCOMPARE(PixelOnDisk(path, 11, 6), Grey((11 + 6) % 5));
    QVERIFY(frm_->SaveActionExecute());
    QVERIFY(!frm_->Modified);
    QCOMPARE(PixelOnDisk(path, 11, 6), Grey(3));
    QCOMPARE(PixelOnDisk(path, 0, 0), Grey(4));
  }

  void ctrlLeftPicksOnlyYetMarksModified() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 5, false))));
    const uint32_t before = frm_->Png->Pixel(3, 0);
    Press(Qt::LeftButton, Block(3, 0), Qt::ControlModifier);  // colour index 3
    QCOMPARE(frm_->ListBox1->currentRow(), 3);
    QCOMPARE(frm_->Png->Pixel(3, 0), before);
    QVERIFY(frm_->Modified);
  }

  void pressesOnTheClosingGridLinesOrOutsideChangeNothing() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 5, false))));
    frm_->ScrollBar1->setValue(3);
    frm_->ScrollBar2->setValue(2);
    const std::vector<uint8_t> before = frm_->Png->SaveBytes();
    const QPoint misses[] = {{TPngFrm::kViewLeft + 30, TPngFrm::kViewTop + 5},
                             {TPngFrm::kViewLeft + 5, TPngFrm::kViewTop + 20},
                             {TPngFrm::kViewLeft - 1, TPngFrm::kViewTop + 5},
                             {TPngFrm::kViewLeft + 5, TPngFrm::kViewTop - 1},
                             {10, 200}};
    for (QPoint at : misses) {
      Press(Qt::LeftButton, at);
      Press(Qt::RightButton, at);
    }
    QVERIFY(!frm_->Modified);
    QCOMPARE(frm_->ListBox1->currentRow(), -1);
    QVERIFY(frm_->Png->SaveBytes() == before);
    // The last block before the closing lines still counts.
    Press(Qt::RightButton, {TPngFrm::kViewLeft + 29, TPngFrm::kViewTop + 19});
    QVERIFY(frm_->Modified);
    QCOMPARE(frm_->Png->Pixel(2, 1), frm_->ListBox1->Color(0));
  }

  void openQuestionCancelKeepsTheImage() {
    QString path;
    OpenModifiedFont(&path);
    fake_.answers = {QMessageBox::Cancel};
    frm_->OpenActionExecute();
    QCOMPARE(fake_.Of("Question").size(), 1);
    QCOMPARE(fake_.Of("Question")[0].title, QStringLiteral("Открытие файла"));
    QCOMPARE(fake_.Of("Question")[0].text, QStringLiteral("Сохранить изменения?"));
    QCOMPARE(fake_.Of("Question")[0].buttons,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(fake_.Of("OpenFileName").isEmpty());
    QVERIFY(frm_->ImageOpened && frm_->Modified);
    QCOMPARE(frm_->Png->Pixel(1, 0), frm_->ListBox1->Color(0));
  }

  void openQuestionNoDiscardsClosesAndOffersTheDialog() {
    QString path;
    OpenModifiedFont(&path);
    const QByteArray onDisk = Read(path);
    fake_.answers = {QMessageBox::No};
    frm_->OpenActionExecute();                 // the dialog is cancelled
    QCOMPARE(fake_.Of("Question").size(), 1);  // the close did not ask again
    QCOMPARE(fake_.Of("OpenFileName").size(), 1);
    QCOMPARE(fake_.Of("OpenFileName")[0].text, QStringLiteral("PNG images|*.png"));
    QVERIFY(!frm_->ImageOpened);
    QVERIFY(frm_->Png == nullptr);
    QCOMPARE(frm_->ListBox1->count(), 0);
    QVERIFY(!pform_->isVisible());
    QCOMPARE(frm_->windowTitle(), QStringLiteral("Редактор PNG-шрифтов"));
    QCOMPARE(Read(path), onDisk);
  }

  void openQuestionYesSavesThenOpens() {
    QString path;
    OpenModifiedFont(&path);
    const QString other = Write("other.png", PaletteFont(6, 4, 2, false));
    fake_.answers = {QMessageBox::Yes};
    fake_.fileNames = {other};
    frm_->OpenActionExecute();
    QCOMPARE(PixelOnDisk(path, 1, 0), Grey(0));  // the right press painted item 0
    QVERIFY(frm_->ImageOpened && !frm_->Modified);
    QCOMPARE(frm_->ImageFileName, other);
    QCOMPARE(frm_->ListBox1->count(), 2);
  }

  void saveAsOntoAnExistingFileResetsTheBars() {
    QString path;
    OpenModifiedFont(&path);
    const QString target = Write("target.png", PaletteFont(3, 3, 2, false));
    frm_->ScrollBar1->setValue(3);
    frm_->ScrollBar2->setValue(5);
    fake_.fileNames = {target, target};
    fake_.answers = {QMessageBox::No, QMessageBox::Yes};
    frm_->SaveAsActionExecute();  // No: nothing
    QCOMPARE(fake_.Of("Question")[0].title, QStringLiteral("Перезапись файла"));
    QCOMPARE(fake_.Of("Question")[0].text, QStringLiteral("Файл существует, заменить?"));
    QCOMPARE(fake_.Of("SaveFileName")[0].text, QStringLiteral("PNG files|*.png"));
    QCOMPARE(frm_->ImageFileName, path);
    QCOMPARE(frm_->ScrollBar1->value(), 3);
    frm_->SaveAsActionExecute();  // Yes
    QCOMPARE(frm_->ImageFileName, target);
    QCOMPARE(frm_->windowTitle(), QStringLiteral("[target.png] - Редактор PNG-шрифтов"));
    QCOMPARE(frm_->ScrollBar1->value(), 8);
    QCOMPARE(frm_->ScrollBar2->value(), 8);
    QCOMPARE(pform_->MarkerWidth, 8);
    QVERIFY(!frm_->Modified);
    QCOMPARE(kx::PngImage::LoadFile(target.toStdString()).Width(), 30);
    QCOMPARE(PixelOnDisk(path, 1, 0), Grey(1));  // the old file was not touched
  }

  void saveAsToANewFileKeepsTheCaptionUntilTheNextRefresh() {
    QString path;
    OpenModifiedFont(&path);
    const QString target = DirPath("new.png");
    fake_.fileNames = {target};
    frm_->SaveAsActionExecute();
    QVERIFY(fake_.Of("Question").isEmpty());
    QCOMPARE(frm_->ImageFileName, target);
    QCOMPARE(frm_->windowTitle(), QStringLiteral("[font.png] - Редактор PNG-шрифтов"));
    QCOMPARE(PixelOnDisk(target, 1, 0), Grey(0));
    QVERIFY(!frm_->Modified);
  }

  void failedSaveKeepsTheOldFileAndTheChanges() {
    QString path;
    OpenModifiedFont(&path);
    const QByteArray onDisk = Read(path);
    kx::SetWriteFaultForTesting([](const std::filesystem::path&) { return true; });
    QVERIFY(!frm_->SaveActionExecute());
    QCOMPARE(fake_.Of("Error").size(), 1);
    QCOMPARE(fake_.Of("Error")[0].text, QStringLiteral("Возникла ошибка при сохранении рисунка"));
    QVERIFY(frm_->Modified);
    QCOMPARE(Read(path), onDisk);
    QCOMPARE(QDir(temp_->path()).entryList(QDir::Files).size(), 1);
    // Closing with Yes while the disk still fails keeps the image open with its changes.
    fake_.answers = {QMessageBox::Yes};
    QVERIFY(!frm_->CloseActionExecute());
    QCOMPARE(fake_.Of("Question")[0].title, QStringLiteral("Закрытие"));
    QCOMPARE(fake_.Of("Question")[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(frm_->ImageOpened && frm_->Modified);
    kx::SetWriteFaultForTesting(nullptr);
    fake_.answers = {QMessageBox::Yes};
    QVERIFY(frm_->CloseActionExecute());
    QVERIFY(!frm_->ImageOpened);
    QCOMPARE(PixelOnDisk(path, 1, 0), Grey(0));
  }

  void failedOpenLeavesTheEditorEmpty_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("gif") << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 13);
    QTest::newRow("text") << QByteArray("hello");
    auto png = PaletteFont(4, 4, 2, false);
    QTest::newRow("truncated png") << QByteArray(reinterpret_cast<const char*>(png.data()), 40);
    QTest::newRow("missing file") << QByteArray();
  }
  void failedOpenLeavesTheEditorEmpty() {
    QFETCH(QByteArray, bytes);
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 5, false))));
    Press(Qt::RightButton, Block(0, 0));
    const QString bad = bytes.isEmpty()
                            ? DirPath("none.png")
                            : Write("bad.png", pngtest::Bytes(bytes.begin(), bytes.end()));
    QVERIFY(!frm_->OpenImage(bad));
    QCOMPARE(fake_.Of("Question").size(), 0);  // no question, as from the resource browser
    QCOMPARE(fake_.Of("Error").size(), 1);
    QCOMPARE(fake_.Of("Error")[0].text, QStringLiteral("Возникла ошибка при открытии рисунка"));
    QVERIFY(!frm_->ImageOpened);
    QVERIFY(frm_->Png == nullptr);
    QCOMPARE(frm_->ListBox1->count(), 0);
    QVERIFY(!frm_->ListBox1->isEnabled() && !frm_->ScrollBar1->isEnabled());
    QVERIFY(!frm_->SaveAction->isEnabled());
    QVERIFY(!pform_->isVisible());
    QCOMPARE(frm_->windowTitle(), QStringLiteral("Редактор PNG-шрифтов"));
    Press(Qt::LeftButton, Block(0, 0));
    QVERIFY(!frm_->Modified);
  }

  void pictureWindowPlacesAndMovesTheCell() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 3, false))));
    frm_->ScrollBar1->setValue(7);
    frm_->ScrollBar2->setValue(6);
    // A press near the right and bottom edges puts the cell flush against them.
    pform_->PaintBox1MouseDown(Qt::RightButton, QPoint(27, 18));
    QCOMPARE(pform_->MarkerX, 23);
    QCOMPARE(pform_->MarkerY, 14);
    pform_->PaintBox1MouseDown(Qt::LeftButton, QPoint(4, 3));
    QCOMPARE(pform_->MarkerX, 4);
    QCOMPARE(pform_->MarkerY, 3);
    // Ctrl steps a whole cell; Ctrl+Left from 4 stops at 0, Ctrl+Right at the row end stays
    // flush without wrapping.
    pform_->FormKeyDown(Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(pform_->MarkerX, 0);
    for (int i = 0; i < 5; ++i) pform_->FormKeyDown(Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(pform_->MarkerX, 23);
    QCOMPARE(pform_->MarkerY, 3);
    pform_->FormKeyDown(Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(pform_->MarkerY, 0);
    pform_->FormKeyDown(Qt::Key_Down, Qt::NoModifier);
    QCOMPARE(pform_->MarkerY, 1);
    pform_->FormKeyDown(Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(pform_->MarkerY, 7);
    pform_->FormKeyDown(Qt::Key_Left, Qt::NoModifier);
    QCOMPARE(pform_->MarkerX, 22);
    // The editor hands arrows without Shift to the picture window and consumes them.
    QVERIFY(frm_->FormKeyDown(Qt::Key_Left, Qt::ControlModifier));
    QCOMPARE(pform_->MarkerX, 15);
    QTest::keyClick(frm_->ListBox1, Qt::Key_Right);
    QCOMPARE(pform_->MarkerX, 16);
  }

  void pictureWindowFollowsTheEditor() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(30, 20, 3, false))));
    frm_->move(frm_->pos() + QPoint(37, 11));
    QTRY_COMPARE(pform_->pos(), frm_->frameGeometry().bottomLeft() + QPoint(0, 1));
    QVERIFY(frm_->CloseActionExecute());
    const QPoint closedAt = pform_->pos();
    frm_->move(frm_->pos() + QPoint(5, 5));
    QTest::qWait(20);
    QCOMPARE(pform_->pos(), closedAt);  // no image: the picture window stays put
  }

  void cellAsWideAsTheImageStaysAtZero() {
    QVERIFY(frm_->OpenImage(Write("font.png", PaletteFont(5, 12, 3, false))));
    QCOMPARE(pform_->MarkerWidth, 5);
    for (auto mods : {Qt::NoModifier, Qt::ControlModifier}) {
      pform_->FormKeyDown(Qt::Key_Right, mods);
      QCOMPARE(pform_->MarkerX, 0);
      pform_->FormKeyDown(Qt::Key_Left, mods);
      QCOMPARE(pform_->MarkerX, 0);
    }
  }

  void frameColourLastsWhileTheWindowStaysShown() {
    const QString a = Write("a.png", PaletteFont(10, 10, 2, false));
    QVERIFY(frm_->OpenImage(a));
    QCOMPARE(pform_->FrameColor, 0x0000FFu);
    QCOMPARE(frm_->ColorSelect1BeforeExecute(), QColor(Qt::red));
    frm_->ColorSelect1Accept(QColor(0, 255, 0));
    QCOMPARE(pform_->FrameColor, 0x00FF00u);
    QVERIFY(frm_->OpenImage(Write("b.png", PaletteFont(12, 12, 2, false))));  // from the browser
    QCOMPARE(pform_->FrameColor, 0x00FF00u);
    // The frame is drawn around the cell in that colour.
    const QImage shot = pform_->grab().toImage();
    QCOMPARE(shot.pixelColor(8, 3), QColor(0, 255, 0));
    QVERIFY(frm_->CloseActionExecute());
    QVERIFY(!pform_->isVisible());
    QVERIFY(frm_->OpenImage(a));
    QCOMPARE(pform_->FrameColor, 0x0000FFu);
  }

  void colourItemsAreOwnerDrawn() {
    QVERIFY(frm_->OpenImage(Write("t.png", PaletteFont(6, 4, 4, true))));
    frm_->ListBox1->setCurrentRow(2);
    const QImage shot = frm_->ListBox1->viewport()->grab().toImage();
    const int dpr = int(shot.devicePixelRatio());
    auto at = [&](int x, int y) { return shot.pixelColor(x * dpr, y * dpr); };
    QCOMPARE(at(8, 8), QColor(20, 21, 22));       // item 0's swatch: the transparent colour
    QCOMPARE(at(18, 8), QColor(Qt::white));       // between swatch and caption
    QCOMPARE(at(8, 16 + 8), QColor(0, 1, 2));     // item 1's swatch
    QCOMPARE(at(18, 32 + 8), QColor(0, 0, 255));  // the selected item's background
    QCOMPARE(at(0, 8), QColor(Qt::white));        // the column left of the swatch
  }

  void helpShowsTheFontEditorTopic() {
    TForm1 main;
    frm_->HelpContents1->trigger();
    QCOMPARE(main.Help()->CurrentUrl(), THelpForm::TopicUrl(1234));
    QCOMPARE(frm_->HelpContents1->shortcut(), QKeySequence(Qt::Key_F1));
    main.Help()->hide();
  }

  void closingTheWindowClosesTheImageAndThePictureWindow() {
    QString path;
    OpenModifiedFont(&path);
    fake_.answers = {QMessageBox::No};
    frm_->close();
    QCOMPARE(fake_.Of("Question").size(), 1);
    QVERIFY(!frm_->ImageOpened);
    QVERIFY(!pform_->isVisible());
    // Closed without an image, no question.
    frm_->show();
    frm_->close();
    QCOMPARE(fake_.Of("Question").size(), 1);
  }
};

QTEST_MAIN(TPngFrmTest)
#include "tpngfrm_test.moc"
