#pragma once
// The PNG font editor: one glyph cell of a PNG font image magnified ten times with a grid,
// painted pixel by pixel with the colours that occur in the image. The picture window (TPForm)
// below it shows the whole image with the cell framed and owns the cell's position and size.
#include <QColor>
#include <QImage>
#include <QListView>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "png/png_image.h"

class QAction;
class QFrame;
class QLabel;
class QScrollBar;
class QToolBar;
class TPForm;

// The colour list: "Прозрачный" for the transparent colour, "Цвет N" for the others, each item
// with its colour, owner-drawn. A model over one vector of colours, so that an image with
// hundreds of thousands of colours fills it at once.
class TColorList : public QListView {
 public:
  explicit TColorList(QWidget* parent);
  ~TColorList() override;

  // `transparentFirst`: the first colour is the transparent one.
  void SetColors(std::vector<uint32_t> colors, bool transparentFirst);
  void clear();
  int count() const;
  QString Caption(int row) const;
  uint32_t Color(int row) const;  // 0x00BBGGRR; 0 outside the list
  // The selected item, or -1; setting it selects the item (-1 selects none).
  int currentRow() const;
  void setCurrentRow(int row);

 private:
  class Model;
  Model* model_;
};

class TPngFrm : public QWidget {
  Q_OBJECT

 public:
  explicit TPngFrm(QWidget* parent = nullptr);  // FormCreate
  ~TPngFrm() override;

  // The picture window this editor works with; the editor does nothing to it before this.
  void SetPictureWindow(TPForm* window);
  TPForm* PictureWindow() const { return pForm_; }

  // Opens a PNG file, replacing an open image without asking about unsaved changes; the
  // resource browser opens its PNG resources through here. Returns false when the image could
  // not be opened: the error was shown and the editor is empty.
  bool OpenImage(const QString& fileName);
  void UpdateState();

  // Commands.
  void OpenActionExecute();
  // Returns false when the save failed (the error was shown; the image stays modified).
  bool SaveActionExecute();
  void SaveAsActionExecute();
  // Returns false when the user chose to save and the save failed: the image then stays open
  // and modified, so no edit is lost.
  bool CloseActionExecute();
  void ColorSelect1Execute();
  QColor ColorSelect1BeforeExecute() const;
  void ColorSelect1Accept(const QColor& color);
  void HelpContents1Execute();

  void ScrollBar1Change();
  void ScrollBar2Change();

  // The window's mouse and key handling, with window client coordinates. FormKeyDown returns
  // true when the key was consumed.
  void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& at);
  bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
  void FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers);

  // The open image as the picture window draws it (0xAARRGGBB), kept up to date on every edit.
  const QImage& PictureImage() const { return pictureImage_; }

  // Where the magnified view stands on the window.
  static constexpr int kViewLeft = 141;
  static constexpr int kViewTop = 32;

  QToolBar* ActionToolBar1 = nullptr;
  QAction* OpenAction = nullptr;
  QAction* SaveAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* CloseAction = nullptr;
  QAction* ColorSelect1 = nullptr;
  QAction* HelpContents1 = nullptr;
  QFrame* Bevel1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QScrollBar* ScrollBar1 = nullptr;
  QScrollBar* ScrollBar2 = nullptr;
  TColorList* ListBox1 = nullptr;

  // Png: the open image, or none; it belongs to Picture, made anew for every open.
  kx::PngImage* Png = nullptr;
  std::unique_ptr<kx::PngImage> Picture;
  QString ImageFileName;
  bool ImageOpened = false;
  bool Modified = false;
  QImage ZoomBitmap;

  static QString OpenFilter() { return QStringLiteral("PNG images|*.png"); }
  static QString SaveFilter() { return QStringLiteral("PNG files|*.png"); }

 protected:
  void paintEvent(QPaintEvent* event) override;  // FormPaint
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void moveEvent(QMoveEvent* event) override;    // WM_MOVE
  void closeEvent(QCloseEvent* event) override;  // FormClose
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ClearImage();
  void PlacePictureWindow();
  void RepaintPicture();
  void WritePixel(int x, int y, uint32_t color);
  void SetBarPosition(QScrollBar* bar, int position);
  void ComposeZoom();

  TPForm* pForm_ = nullptr;
  QImage pictureImage_;
  QString dir_;  // the folder of the last file dialog
};
