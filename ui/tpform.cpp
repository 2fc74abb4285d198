#include "tpform.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QShowEvent>
#include <algorithm>

#include "tpngfrm.h"

namespace {

// The paint box: draws and takes presses through its window.
class TPaintBox : public QWidget {
 public:
  explicit TPaintBox(TPForm* form) : QWidget(form), form_(form) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    form_->PaintBox1Paint(painter);
  }
  void mousePressEvent(QMouseEvent* event) override {
    form_->PaintBox1MouseDown(event->button(), event->position().toPoint());
  }

 private:
  TPForm* form_;
};

constexpr uint32_t kRed = 0x0000FF;

QColor FromWindowsColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

}  // namespace

TPForm::TPForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  setWindowTitle(QStringLiteral("Рисунок"));
  // Qt paints every window through a back buffer; the paint box below draws in one pass.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  resize(372, 192);
  PaintBox1 = new TPaintBox(this);
  PaintBox1->setGeometry(0, 0, 372, 192);
  PaintBox1->setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPForm::SetImageSize(int width, int height) {
  setFixedSize(width, height);
  PaintBox1->setGeometry(0, 0, width, height);
}

void TPForm::PaintBox1Paint(QPainter& painter) {
  // Where the image is transparent the window's button face shows through.
  painter.fillRect(PaintBox1->rect(), palette().color(QPalette::Button));
  if (editor_ && editor_->ImageOpened) painter.drawImage(0, 0, editor_->PictureImage());
  // The outline runs over the cell's top row and left column and just outside its right and
  // bottom edges.
  painter.setPen(QPen(FromWindowsColor(FrameColor), 1));
  const QPoint corners[] = {{MarkerX, MarkerY},
                            {MarkerX + MarkerWidth, MarkerY},
                            {MarkerX + MarkerWidth, MarkerY + MarkerHeight},
                            {MarkerX, MarkerY + MarkerHeight},
                            {MarkerX, MarkerY}};
  painter.drawPolyline(corners, 5);
}

void TPForm::PaintBox1MouseDown(Qt::MouseButton, const QPoint& at) {
  MarkerX = at.x();
  MarkerY = at.y();
  if (MarkerX + MarkerWidth > PaintBox1->width()) MarkerX = PaintBox1->width() - MarkerWidth;
  if (MarkerY + MarkerHeight > PaintBox1->height()) MarkerY = PaintBox1->height() - MarkerHeight;
  Repaint();
}

void TPForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool whole = modifiers & Qt::ControlModifier;
  const int stepX = whole ? MarkerWidth : 1;
  const int stepY = whole ? MarkerHeight : 1;
  const int width = PaintBox1->width(), height = PaintBox1->height();
  switch (key) {
    case Qt::Key_Left:
      MarkerX = std::max(0, MarkerX - stepX);
      break;
    case Qt::Key_Up:
      MarkerY = std::max(0, MarkerY - stepY);
      break;
    case Qt::Key_Right:
      MarkerX += stepX;
      if (MarkerX + MarkerWidth > width) MarkerX = width - MarkerWidth;
      break;
    case Qt::Key_Down:
      MarkerY += stepY;
      if (MarkerY + MarkerHeight > height) MarkerY = height - MarkerHeight;
      break;
    default:
      break;
  }
  Repaint();
}

void TPForm::Repaint() {
  PaintBox1->update();
  if (editor_) editor_->update();
}

void TPForm::showEvent(QShowEvent* event) {
  // A window shown again after being hidden starts with a red frame; a restore from the task
  // bar is not a new showing.
  if (!event->spontaneous()) FrameColor = kRed;
  QWidget::showEvent(event);
}

void TPForm::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(event->key(), event->modifiers());
  event->ignore();
}
