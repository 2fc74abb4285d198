#pragma once
// The program's list of 12 icons of 16 x 16 pixels. The indices are fixed because every tool
// window's tool bar takes its pictures from this list by index:
//   0 open, 1 save as, 2 close, 3 help contents, 4 new, 5 list, 6 save, 7 font editor,
//   8 help (font editor), 9 colour, 10 help (Elkware browser), 11 help (symbol table editor).
#include <QIcon>

inline constexpr int kIconCount = 12;

enum AppIconIndex : int {
  kIconOpen = 0,
  kIconSaveAs = 1,
  kIconClose = 2,
  kIconHelpContents = 3,
  kIconNew = 4,
  kIconList = 5,
  kIconSave = 6,
  kIconFontEditor = 7,
  kIconHelpFont = 8,
  kIconColour = 9,
  kIconHelpElkware = 10,
  kIconHelpSymbols = 11,
};

// The icon at `index` (0..11); an empty icon outside that range. Needs a QApplication.
QIcon AppIcon(int index);
