#include "icons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <array>

namespace {

QIcon Standard(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }

// A pixmap of 16 x 16 drawn by `paint`.
template <typename Paint>
QIcon Drawn(Paint paint) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  paint(p);
  p.end();
  return QIcon(pixmap);
}

// A glyph cell with the letter A: the font editor.
QIcon FontEditorIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(QColor(120, 120, 120));
    p.setBrush(QColor(255, 255, 230));
    p.drawRect(1, 1, 14, 14);
    QFont font = p.font();
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(30, 60, 160));
    p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("A"));
  });
}

// Four colour squares: the frame colour.
QIcon ColourIcon() {
  return Drawn([](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.fillRect(1, 1, 7, 7, QColor(220, 40, 40));
    p.fillRect(8, 1, 7, 7, QColor(40, 170, 40));
    p.fillRect(1, 8, 7, 7, QColor(40, 80, 220));
    p.fillRect(8, 8, 7, 7, QColor(240, 200, 30));
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::NoBrush);
    p.drawRect(1, 1, 14, 14);
  });
}

std::array<QIcon, kIconCount> MakeIcons() {
  return {
      Standard(QStyle::SP_DialogOpenButton),           // 0 open
      Standard(QStyle::SP_DriveFDIcon),                // 1 save as
      Standard(QStyle::SP_DialogCloseButton),          // 2 close
      Standard(QStyle::SP_DialogHelpButton),           // 3 help contents
      Standard(QStyle::SP_FileIcon),                   // 4 new
      Standard(QStyle::SP_FileDialogListView),         // 5 list
      Standard(QStyle::SP_DialogSaveButton),           // 6 save
      FontEditorIcon(),                                // 7 font editor
      Standard(QStyle::SP_MessageBoxQuestion),         // 8 help (font editor)
      ColourIcon(),                                    // 9 colour
      Standard(QStyle::SP_TitleBarContextHelpButton),  // 10 help (Elkware browser)
      Standard(QStyle::SP_DialogHelpButton),           // 11 help (symbol table editor)
  };
}

}  // namespace

QIcon AppIcon(int index) {
  static const std::array<QIcon, kIconCount> icons = MakeIcons();
  if (index < 0 || index >= kIconCount) return QIcon();
  return icons[static_cast<size_t>(index)];
}
