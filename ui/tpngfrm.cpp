#include "tpngfrm.h"

#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>

#include "icons.h"
#include "prompter.h"
#include "tform1.h"
#include "tpform.h"

namespace {

constexpr int kHelpContext = 1234;
constexpr int kZoom = 10;
constexpr int kMaxCell = 25;
constexpr int kStartCell = 8;
constexpr int kColorRole = Qt::UserRole;

const QString kCaption = QStringLiteral("Редактор PNG-шрифтов");

std::filesystem::path ToPath(const QString& s) { return std::filesystem::path(s.toStdString()); }

QColor FromWindowsColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
uint32_t ToWindowsColor(const QColor& c) {
  return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

QImage ToQImage(const kx::PngImage& png) {
  QImage image(png.Width(), png.Height(), QImage::Format_ARGB32);
  const std::vector<uint32_t> argb = png.ToArgb32();
  for (int y = 0; y < png.Height(); ++y)
    std::copy_n(argb.data() + size_t(y) * png.Width(), png.Width(),
                reinterpret_cast<uint32_t*>(image.scanLine(y)));
  return image;
}

// ListBox1DrawItem: a white row (blue when selected) with the caption 20 pixels in and a swatch
// of the item's colour in front of it.
class ColorItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const QRect r = option.rect;
    const bool selected =
        (option.state & QStyle::State_Selected) && (option.state & QStyle::State_Enabled);
    painter->save();
    painter->fillRect(r, selected ? QColor(0, 0, 255) : QColor(Qt::white));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(QRect(r.left() + 20, r.top() + 1, r.width() - 20, r.height() - 1),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->fillRect(
        QRect(QPoint(r.left() + 1, r.top() + 1), QPoint(r.left() + 15, r.bottom() - 1)),
        FromWindowsColor(index.data(kColorRole).toUInt()));
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), 16);
  }
};

}  // namespace

class TColorList::Model : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  std::vector<uint32_t> colors;
  bool transparentFirst = false;

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : int(colors.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const int row = index.row();
    if (!index.isValid() || row < 0 || row >= int(colors.size())) return {};
    if (role == Qt::DisplayRole) return Caption(row);
    if (role == kColorRole) return colors[size_t(row)];
    return {};
  }
  QString Caption(int row) const {
    return row == 0 && transparentFirst ? QStringLiteral("Прозрачный")
                                        : QStringLiteral("Цвет %1").arg(row);
  }
  void Reset(std::vector<uint32_t> to, bool transparent) {
    beginResetModel();
    colors = std::move(to);
    transparentFirst = transparent;
    endResetModel();
  }
};

TColorList::TColorList(QWidget* parent) : QListView(parent), model_(new Model(this)) {
  setModel(model_);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setItemDelegate(new ColorItemDelegate(this));
}

TColorList::~TColorList() = default;

void TColorList::SetColors(std::vector<uint32_t> colors, bool transparentFirst) {
  model_->Reset(std::move(colors), transparentFirst);
}

void TColorList::clear() { model_->Reset({}, false); }

int TColorList::count() const { return model_->rowCount({}); }

QString TColorList::Caption(int row) const {
  return row >= 0 && row < count() ? model_->Caption(row) : QString();
}

uint32_t TColorList::Color(int row) const {
  return row >= 0 && row < count() ? model_->colors[size_t(row)] : 0;
}

int TColorList::currentRow() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void TColorList::setCurrentRow(int row) {
  if (row < 0 || row >= count()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = model_->index(row);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index);
}

TPngFrm::TPngFrm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setWindowTitle(kCaption);
  setFixedSize(396, 290);
  // Qt windows paint through a back buffer, and the view is composed in ZoomBitmap and drawn in
  // one call, so editing does not flicker.
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());

  auto make = [this](const QString& hint, int icon, const QKeySequence& keys) {
    auto* action = new QAction(AppIcon(icon), hint, this);
    action->setToolTip(hint);
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
  };
  OpenAction = make(QStringLiteral("Открыть изображение"), kIconOpen, QKeySequence("Ctrl+O"));
  SaveAction = make(QStringLiteral("Сохранить изображение"), kIconSave, QKeySequence("Ctrl+S"));
  SaveAsAction = make(QStringLiteral("Сохранить как..."), kIconSaveAs, QKeySequence());
  CloseAction = make(QStringLiteral("Закрыть изображение"), kIconClose, QKeySequence("Ctrl+F4"));
  ColorSelect1 = make(QStringLiteral("Выбрать цвет рамки"), kIconColour, QKeySequence());
  HelpContents1 = make(QStringLiteral("Помощь"), kIconHelpFont, QKeySequence(Qt::Key_F1));
  connect(OpenAction, &QAction::triggered, this, [this] { OpenActionExecute(); });
  connect(SaveAction, &QAction::triggered, this, [this] { SaveActionExecute(); });
  connect(SaveAsAction, &QAction::triggered, this, [this] { SaveAsActionExecute(); });
  connect(CloseAction, &QAction::triggered, this, [this] { CloseActionExecute(); });
  connect(ColorSelect1, &QAction::triggered, this, [this] { ColorSelect1Execute(); });
  connect(HelpContents1, &QAction::triggered, this, [this] { HelpContents1Execute(); });

  ActionToolBar1 = new QToolBar(this);
  ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ActionToolBar1->setIconSize(QSize(16, 16));
  ActionToolBar1->setMovable(false);
  ActionToolBar1->addAction(OpenAction);
  ActionToolBar1->addAction(SaveAction);
  ActionToolBar1->addAction(SaveAsAction);
  ActionToolBar1->addAction(CloseAction);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(ColorSelect1);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(HelpContents1);
  ActionToolBar1->setGeometry(0, 0, 396, 28);

  Bevel1 = new QFrame(this);
  Bevel1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  Bevel1->setGeometry(3, 30, 132, 256);

  auto makeBar = [this](int y) {
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setGeometry(8, y, 121, 16);
    bar->setRange(1, kMaxCell);
    bar->setValue(kStartCell);
    bar->setFocusPolicy(Qt::ClickFocus);  // not a tab stop, yet its label's key focuses it
    return bar;
  };
  auto makeLabel = [this](const QString& text, int y, QWidget* buddy) {
    auto* label = new QLabel(text, this);
    label->setGeometry(11, y, 118, 15);
    label->setBuddy(buddy);
    return label;
  };
  ScrollBar1 = makeBar(51);
  ScrollBar2 = makeBar(87);
  ListBox1 = new TColorList(this);
  ListBox1->setGeometry(8, 123, 121, 152);
  Label1 = makeLabel(QStringLiteral("&Ширина символа:"), 35, ScrollBar1);
  Label2 = makeLabel(QStringLiteral("&Высота символа:"), 71, ScrollBar2);
  Label3 = makeLabel(QStringLiteral("&Список цветов:"), 107, ListBox1);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Change(); });
  connect(ScrollBar2, &QScrollBar::valueChanged, this, [this] { ScrollBar2Change(); });

  ZoomBitmap = QImage(250, 250, QImage::Format_RGB32);
  ZoomBitmap.fill(Qt::white);

  // Key preview: the window sees the keys (and the wheel) of its controls before they do.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  installEventFilter(this);

  CloseActionExecute();
}

TPngFrm::~TPngFrm() = default;

void TPngFrm::SetPictureWindow(TPForm* window) {
  pForm_ = window;
  if (pForm_) pForm_->SetEditor(this);
}

bool TPngFrm::OpenImage(const QString& fileName) {
  auto picture = std::make_unique<kx::PngImage>();
  ImageFileName = fileName;
  try {
    *picture = kx::PngImage::LoadFile(ToPath(fileName));
  } catch (const std::exception&) {
    // Nothing of an image open before is left: the editor is empty.
    ClearImage();
    Prompts().Error(this, QString::fromUtf8(kx::msg::kImageOpenFailed));
    return false;
  }
  Picture = std::move(picture);
  Png = Picture.get();
  pictureImage_ = ToQImage(*Png);
  const int w = Png->Width(), h = Png->Height();
  if (pForm_) pForm_->SetImageSize(w, h);
  ScrollBar1->setMaximum(std::min(kMaxCell, w));
  ScrollBar2->setMaximum(std::min(kMaxCell, h));
  // One below the final 8, so that UpdateState's setting always runs the change handlers.
  SetBarPosition(ScrollBar1, std::min(kStartCell - 1, w - 1));
  SetBarPosition(ScrollBar2, std::min(kStartCell - 1, h - 1));
  if (pForm_) {
    pForm_->MarkerX = 0;
    pForm_->MarkerY = 0;
    pForm_->MarkerWidth = ScrollBar1->value();
    pForm_->MarkerHeight = ScrollBar2->value();
    PlacePictureWindow();
    pForm_->show();
    PlacePictureWindow();
  }
  activateWindow();
  setFocus();

  ListBox1->setEnabled(true);
  ListBox1->clear();
  ListBox1->SetColors(kx::ScanColors(*Png, true), Png->Transparent());
  ScrollBar1->setEnabled(true);
  ScrollBar2->setEnabled(true);
  ImageOpened = true;
  Modified = false;
  UpdateState();
  return true;
}

void TPngFrm::UpdateState() {
  SaveAction->setEnabled(ImageOpened);
  SaveAsAction->setEnabled(ImageOpened);
  CloseAction->setEnabled(ImageOpened);
  ColorSelect1->setEnabled(ImageOpened);
  update();
  setWindowTitle(
      ImageFileName.isEmpty()
          ? kCaption
          : QStringLiteral("[%1] - %2").arg(QFileInfo(ImageFileName).fileName(), kCaption));
  SetBarPosition(ScrollBar1, kStartCell);
  SetBarPosition(ScrollBar2, kStartCell);
}

// A bar's position is clamped to its range, and its change handler runs only when the position
// actually changes (QScrollBar emits valueChanged only then).
void TPngFrm::SetBarPosition(QScrollBar* bar, int position) { bar->setValue(position); }

void TPngFrm::ClearImage() {
  ImageFileName.clear();
  Png = nullptr;
  Picture.reset();
  pictureImage_ = QImage();
  if (pForm_ && pForm_->isVisible()) pForm_->close();
  ListBox1->setEnabled(false);
  ScrollBar1->setEnabled(false);
  ScrollBar2->setEnabled(false);
  ImageOpened = false;
  Modified = false;
  UpdateState();
  ListBox1->clear();
}

void TPngFrm::OpenActionExecute() {
  if (ImageOpened && Modified) {
    const auto answer = Prompts().Question(
        this, QStringLiteral("Открытие файла"), QStringLiteral("Сохранить изменения?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
      SaveActionExecute();  // when it fails, the close below asks again
    else if (answer == QMessageBox::No)
      Modified = false;
    else
      return;
  }
  if (ImageOpened && !CloseActionExecute()) return;
  int filterIndex = 1;
  const QString fileName =
      Prompts().OpenFileName(this, QStringLiteral("Открыть"), dir_, OpenFilter(), &filterIndex);
  if (fileName.isEmpty()) return;
  dir_ = QFileInfo(fileName).absolutePath();
  OpenImage(fileName);
}

bool TPngFrm::SaveActionExecute() {
  if (!ImageOpened || ImageFileName.isEmpty() || !Png) return true;
  try {
    Png->SaveFile(ToPath(ImageFileName));
  } catch (const std::exception&) {
    Prompts().Error(this, QString::fromUtf8(kx::msg::kImageSaveFailed));
    return false;
  }
  Modified = false;
  return true;
}

void TPngFrm::SaveAsActionExecute() {
  if (!ImageOpened) return;
  int filterIndex = 1;
  const QString fileName =
      Prompts().SaveFileName(this, QStringLiteral("Сохранить как"), dir_, SaveFilter(),
                             &filterIndex, QStringLiteral("png"));
  if (fileName.isEmpty()) return;
  dir_ = QFileInfo(fileName).absolutePath();
  if (!QFileInfo::exists(fileName)) {
    ImageFileName = fileName;
    SaveActionExecute();
    return;
  }
  const auto answer = Prompts().Question(this, QStringLiteral("Перезапись файла"),
                                         QStringLiteral("Файл существует, заменить?"),
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  if (answer != QMessageBox::Yes) return;
  ImageFileName = fileName;
  UpdateState();
  SaveActionExecute();
}

bool TPngFrm::CloseActionExecute() {
  try {
    if (ImageOpened && Modified) {
      const auto answer = Prompts().Question(this, QStringLiteral("Закрытие"),
                                             QStringLiteral("Сохранить изменения?"),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
      // A failed save keeps the image open with its changes rather than dropping them.
      if (answer == QMessageBox::Yes && !SaveActionExecute()) return false;
    }
    ClearImage();
  } catch (const std::exception&) {
    // Errors while closing are ignored.
  }
  return true;
}

QColor TPngFrm::ColorSelect1BeforeExecute() const {
  return FromWindowsColor(pForm_ ? pForm_->FrameColor : 0x0000FF);
}

void TPngFrm::ColorSelect1Accept(const QColor& color) {
  if (!pForm_ || !color.isValid()) return;
  pForm_->FrameColor = ToWindowsColor(color);
  pForm_->PaintBox1->update();
}

void TPngFrm::ColorSelect1Execute() {
  if (!ColorSelect1->isEnabled()) return;
  QColorDialog dialog(ColorSelect1BeforeExecute(), this);
  if (dialog.exec() == QDialog::Accepted) ColorSelect1Accept(dialog.selectedColor());
}

void TPngFrm::HelpContents1Execute() {
  try {
    if (TForm1* main = Form1()) main->ShowHelpContext(kHelpContext);
  } catch (const std::exception&) {
  }
}

void TPngFrm::ScrollBar1Change() {
  if (!pForm_) return;
  pForm_->MarkerWidth = ScrollBar1->value();
  if (Png && pForm_->MarkerX + pForm_->MarkerWidth > Png->Width())
    pForm_->MarkerX = std::max(0, Png->Width() - pForm_->MarkerWidth);
  pForm_->PaintBox1->update();
  ZoomBitmap = QImage(kZoom * pForm_->MarkerWidth + 1, ZoomBitmap.height(), QImage::Format_RGB32);
  update();
}

void TPngFrm::ScrollBar2Change() {
  if (!pForm_) return;
  pForm_->MarkerHeight = ScrollBar2->value();
  if (Png && pForm_->MarkerY + pForm_->MarkerHeight > Png->Height())
    pForm_->MarkerY = std::max(0, Png->Height() - pForm_->MarkerHeight);
  pForm_->PaintBox1->update();
  ZoomBitmap = QImage(ZoomBitmap.width(), kZoom * pForm_->MarkerHeight + 1, QImage::Format_RGB32);
  update();
}

// The magnified cell: pixel (c, r) fills the 8 x 8 square inside the 10 x 10 block at
// (10c, 10r), black grid lines on every multiple of 10, the rest white.
void TPngFrm::ComposeZoom() {
  const int w = pForm_->MarkerWidth, h = pForm_->MarkerHeight;
  if (ZoomBitmap.width() != kZoom * w + 1 || ZoomBitmap.height() != kZoom * h + 1)
    ZoomBitmap = QImage(kZoom * w + 1, kZoom * h + 1, QImage::Format_RGB32);
  ZoomBitmap.fill(Qt::white);
  QPainter p(&ZoomBitmap);
  p.setPen(QPen(Qt::black, 1));
  for (int x = 0; x <= kZoom * w; x += kZoom) p.drawLine(x, 0, x, kZoom * h);
  for (int y = 0; y <= kZoom * h; y += kZoom) p.drawLine(0, y, kZoom * w, y);
  if (!Png) return;
  const QColor face = palette().color(QPalette::Button);
  const bool transparent = Png->Transparent();
  const uint32_t clear = Png->TransparentColor();
  for (int c = 0; c < w; ++c) {
    for (int r = 0; r < h; ++r) {
      const uint32_t color = Png->Pixel(pForm_->MarkerX + c, pForm_->MarkerY + r);
      p.fillRect(kZoom * c + 1, kZoom * r + 1, 8, 8,
                 transparent && color == clear ? face : FromWindowsColor(color));
    }
  }
}

void TPngFrm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The lowered frame around the view.
  const QColor dark = palette().color(QPalette::Dark), light = palette().color(QPalette::Light);
  painter.setPen(dark);
  painter.drawLine(139, 30, 392, 30);
  painter.drawLine(139, 30, 139, 284);
  painter.setPen(light);
  painter.drawLine(139, 284, 392, 284);
  painter.drawLine(392, 30, 392, 284);
  if (!ImageOpened || !pForm_) return;
  ComposeZoom();
  painter.drawImage(kViewLeft, kViewTop, ZoomBitmap);
}

void TPngFrm::WritePixel(int x, int y, uint32_t color) {
  Png->SetPixel(x, y, color);
  if (x >= 0 && y >= 0 && x < pictureImage_.width() && y < pictureImage_.height()) {
    const uint32_t c = Png->Pixel(x, y);
    pictureImage_.setPixel(x, y,
                           (uint32_t(Png->Alpha(x, y)) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) |
                               ((c >> 16) & 0xFF));
  }
}

void TPngFrm::RepaintPicture() {
  if (pForm_) pForm_->PaintBox1->update();
}

void TPngFrm::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            const QPoint& at) {
  if (!ImageOpened || !Png || !pForm_) return;
  const int dx = at.x() - kViewLeft, dy = at.y() - kViewTop;
  if (dx < 0 || dx >= kZoom * pForm_->MarkerWidth || dy < 0 || dy >= kZoom * pForm_->MarkerHeight)
    return;
  if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton) return;
  if (ListBox1->currentRow() < 0 && ListBox1->count() > 0)
    ListBox1->setCurrentRow(ListBox1->count() - 1);
  const int x = pForm_->MarkerX + dx / kZoom, y = pForm_->MarkerY + dy / kZoom;
  if (button != Qt::LeftButton) {
    if (ListBox1->count() > 0) WritePixel(x, y, ListBox1->Color(0));
  } else if (modifiers & Qt::ControlModifier) {
    const uint32_t color = Png->Pixel(x, y);
    for (int i = 0; i < ListBox1->count(); ++i) {
      if (ListBox1->Color(i) == color) {
        ListBox1->setCurrentRow(i);
        break;
      }
    }
  } else if (ListBox1->currentRow() >= 0) {
    WritePixel(x, y, ListBox1->Color(ListBox1->currentRow()));
  }
  Modified = true;
  update();
  RepaintPicture();
}

bool TPngFrm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool arrow =
      key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
  if (modifiers & Qt::ShiftModifier) {
    if (!ImageOpened) return false;
    auto step = [](QScrollBar* bar, int by) {
      const int to = bar->value() + by;
      if (to >= bar->minimum() && to <= bar->maximum()) bar->setValue(to);
    };
    if (key == Qt::Key_Left) step(ScrollBar1, -1);
    if (key == Qt::Key_Right) step(ScrollBar1, +1);
    if (key == Qt::Key_Up) step(ScrollBar2, -1);
    if (key == Qt::Key_Down) step(ScrollBar2, +1);
    return true;
  }
  if (!arrow) return false;
  if (pForm_) pForm_->FormKeyDown(key, modifiers);
  return true;
}

void TPngFrm::FormMouseWheel(int delta, Qt::KeyboardModifiers modifiers) {
  try {
    QScrollBar* bar = modifiers == Qt::ShiftModifier ? ScrollBar1 : ScrollBar2;
    const int step = delta > 0 ? 1 : delta < 0 ? -1 : 0;
    if (step != 0) bar->setValue(bar->value() + step);  // clamped to the range
  } catch (const std::exception&) {
  }
}

void TPngFrm::mousePressEvent(QMouseEvent* event) {
  FormMouseDown(event->button(), event->modifiers(), event->position().toPoint());
}

void TPngFrm::keyPressEvent(QKeyEvent* event) {
  if (!FormKeyDown(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

bool TPngFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && watched != this) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key->key(), key->modifiers())) return true;
  } else if (event->type() == QEvent::Wheel && event->spontaneous()) {
    // Only the event as the system delivered it, not the copies Qt passes on to the parents
    // of a control that did not take it.
    auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint d = wheel->angleDelta();
    FormMouseWheel(d.y() != 0 ? d.y() : d.x(), wheel->modifiers());
    // The bars would step a second time by themselves; every other control goes on as usual.
    if (qobject_cast<QScrollBar*>(watched)) return true;
  }
  return QWidget::eventFilter(watched, event);
}

void TPngFrm::PlacePictureWindow() {
  if (!pForm_) return;
  const QRect outer = frameGeometry();
  pForm_->move(outer.left(), outer.top() + outer.height());
}

void TPngFrm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (ImageOpened) PlacePictureWindow();
}

void TPngFrm::closeEvent(QCloseEvent* event) {
  // An unsaved image whose save failed keeps the window open.
  if (CloseAction->isEnabled() && !CloseActionExecute()) {
    event->ignore();
    return;
  }
  if (pForm_) pForm_->close();
  event->accept();
}
