#pragma once
// The picture window: the whole font image at its natural size with a frame around the glyph
// cell that the font editor shows magnified. A click places the cell, the arrow keys move it by
// a pixel or, with Ctrl, by a whole cell. Borderless; the editor sizes it, places it below
// itself and shows and hides it.
#include <QWidget>
#include <cstdint>

class TPngFrm;

class TPForm : public QWidget {
  Q_OBJECT

 public:
  explicit TPForm(QWidget* parent = nullptr);  // FormCreate

  // The editor whose picture this window shows and which is repainted after every move.
  void SetEditor(TPngFrm* editor) { editor_ = editor; }

  // Makes the client area and the paint box `width` x `height`, so that paint box coordinates
  // are image pixels.
  void SetImageSize(int width, int height);

  // Places the cell with its top-left corner at the pressed pixel, kept inside the image.
  void PaintBox1MouseDown(Qt::MouseButton button, const QPoint& at);
  // Moves the cell with the arrow keys; every key repaints. The key is not consumed.
  void FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

  QWidget* PaintBox1 = nullptr;

  // The glyph cell in image pixels, and the colour of its frame (0x00BBGGRR).
  int32_t MarkerX = 0;
  int32_t MarkerY = 0;
  int32_t MarkerHeight = 0;
  int32_t MarkerWidth = 0;
  uint32_t FrameColor = 0;

  // PaintBox1Paint, on a painter over the paint box.
  void PaintBox1Paint(class QPainter& painter);

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Repaint();

  TPngFrm* editor_ = nullptr;
};
