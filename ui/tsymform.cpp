#include "tsymform.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "icons.h"
#include "prompter.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "tform1.h"

namespace {

constexpr int kHelpContext = 1236;
constexpr int kCellSize = 20;
constexpr int kDesignWidth = 485;

std::filesystem::path ToPath(const QString& s) { return std::filesystem::path(s.toStdString()); }

// The grid hands every key to the form first, as the form's key handlers see them; what the form
// does not use (arrows, Home, Page Down...) moves the cursor as usual.
class SymGrid : public QTableWidget {
 public:
  SymGrid(TSymForm* form, int rows, int columns) : QTableWidget(rows, columns), form_(form) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (form_->StringGrid1KeyDown(event->key(), event->modifiers())) return;
    if (event->key() == Qt::Key_Backspace) {
      form_->StringGrid1KeyPress(8);
      return;
    }
    const QString text = event->text();
    // Ctrl with a letter types a control character, which changes nothing; Ctrl with Alt is
    // AltGr on many keyboards and types a real character.
    const bool control =
        (event->modifiers() & Qt::ControlModifier) && !(event->modifiers() & Qt::AltModifier);
    if (control && !text.isEmpty()) return;
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127) {
      // The character as the code page has it; one it lacks cannot be stored in a table.
      const int code = kx::UnicodeToCp1251(text[0].unicode());
      if (code >= 0) form_->StringGrid1KeyPress(static_cast<uint8_t>(code));
      return;
    }
    QTableWidget::keyPressEvent(event);
  }

 private:
  TSymForm* form_;
};

}  // namespace

TSymForm::TSymForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("SymForm"));
  setWindowTitle(QStringLiteral("Таблица символов"));

  auto make = [this](const QString& text, const QString& hint, int icon) {
    auto* action = new QAction(AppIcon(icon), text, this);
    action->setToolTip(hint);
    return action;
  };
  NewAction = make(QStringLiteral("Новая таблица"), QStringLiteral("Новая таблица"), kIconNew);
  FileOpen1 = make(QStringLiteral("&Open..."), QStringLiteral("Открыть"), kIconOpen);
  FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  FileOpen1->setShortcutContext(Qt::WindowShortcut);
  SaveAction = make(QStringLiteral("Сохранить"), QStringLiteral("Сохранить"), kIconSave);
  FileSaveAs1 =
      make(QStringLiteral("Сохранить &Как..."), QStringLiteral("Сохранить как"), kIconSaveAs);
  HelpContents1 = make(QStringLiteral("&Contents"), QStringLiteral("Помощь"), kIconHelpSymbols);
  addAction(FileOpen1);  // the shortcut works while the window is active
  connect(NewAction, &QAction::triggered, this, [this] { NewActionExecute(); });
  connect(FileOpen1, &QAction::triggered, this, [this] { FileOpen1Execute(); });
  connect(SaveAction, &QAction::triggered, this, [this] { SaveActionExecute(); });
  connect(FileSaveAs1, &QAction::triggered, this, [this] { FileSaveAs1Execute(); });
  connect(HelpContents1, &QAction::triggered, this, [this] { HelpContents1Execute(); });

  ActionToolBar1 = new QToolBar(this);
  ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
  ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ActionToolBar1->setIconSize(QSize(16, 16));
  ActionToolBar1->addAction(NewAction);
  ActionToolBar1->addAction(FileOpen1);
  ActionToolBar1->addAction(SaveAction);
  ActionToolBar1->addAction(FileSaveAs1);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(HelpContents1);

  StringGrid1 = new SymGrid(this, kx::TSymbolTable::kRows, kx::TSymbolTable::kColumns);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setMinimumSectionSize(kCellSize);
  StringGrid1->verticalHeader()->setMinimumSectionSize(kCellSize);
  StringGrid1->horizontalHeader()->setDefaultSectionSize(kCellSize);
  StringGrid1->verticalHeader()->setDefaultSectionSize(kCellSize);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setTabKeyNavigation(false);
  // A typed cell holds a blank and the character; in a 20-pixel cell it must not be elided.
  StringGrid1->setTextElideMode(Qt::ElideNone);
  StringGrid1->setWordWrap(false);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  StringGrid1->setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(13);
  font.setBold(true);
  for (int col = 0; col < kx::TSymbolTable::kColumns; ++col) {
    for (int row = 0; row < kx::TSymbolTable::kRows; ++row) {
      auto* item = new QTableWidgetItem;
      item->setFont(font);
      item->setForeground(QColor(128, 0, 128));
      item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      StringGrid1->setItem(row, col, item);
    }
  }
  StringGrid1->setCurrentCell(0, 0);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ActionToolBar1);
  layout->addWidget(StringGrid1, 1);

  // Exactly two rows of cells under the tool bar: the height is fixed, the width is free.
  const int gridHeight = kx::TSymbolTable::kRows * kCellSize + 2 * StringGrid1->frameWidth() +
                         StringGrid1->horizontalScrollBar()->sizeHint().height();
  StringGrid1->setFixedHeight(gridHeight);
  setFixedHeight(ActionToolBar1->sizeHint().height() + gridHeight);
  setMinimumWidth(100);
  setMaximumWidth(QWIDGETSIZE_MAX);
  resize(kDesignWidth, height());
}

kx::TSymbolCursor TSymForm::Cursor() const {
  return {std::max(0, StringGrid1->currentColumn()), std::max(0, StringGrid1->currentRow())};
}

void TSymForm::SetCursor(kx::TSymbolCursor at) { StringGrid1->setCurrentCell(at.Row, at.Col); }

void TSymForm::ShowColumn(int col) {
  for (int row = 0; row < kx::TSymbolTable::kRows; ++row)
    StringGrid1->item(row, col)->setText(
        QString::fromStdString(kx::Cp1251ToUtf8(table_.Cell(col, row))));
}

void TSymForm::ShowCells() {
  for (int col = 0; col < kx::TSymbolTable::kColumns; ++col) ShowColumn(col);
}

bool TSymForm::StringGrid1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const kx::TSymbolCursor at = Cursor();
  // Only the Ctrl, Shift, Alt and Meta states count; the keypad flag is not a modifier.
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
  if (key == Qt::Key_Delete) {
    if (held == Qt::ControlModifier) {
      table_.DeleteColumn(at.Col);
      for (int col = at.Col; col < kx::TSymbolTable::kColumns; ++col) ShowColumn(col);
    } else {
      table_.SetCell(at.Col, at.Row, {});
      ShowColumn(at.Col);
    }
    return true;
  }
  if (key == Qt::Key_Insert) {
    table_.InsertColumn(at.Col);
    for (int col = at.Col; col < kx::TSymbolTable::kColumns; ++col) ShowColumn(col);
    return true;
  }
  return false;
}

void TSymForm::StringGrid1KeyPress(uint8_t ch) {
  const kx::TSymbolCursor at = Cursor();
  const kx::TSymbolCursor next = table_.Type(at, ch);
  ShowColumn(at.Col);
  if (!(next == at)) SetCursor(next);
}

void TSymForm::NewActionExecute() {
  table_.FillNew();
  ShowCells();
  SetCursor({0, 0});
}

void TSymForm::FileOpen1Execute() {
  int filterIndex = 1;
  const QString fileName =
      Prompts().OpenFileName(this, QStringLiteral("Открыть"), dialogDir_, Filter(), &filterIndex);
  if (fileName.isEmpty()) return;
  dialogDir_ = QFileInfo(fileName).absolutePath();
  FileOpen1Accept(fileName);
}

void TSymForm::FileOpen1Accept(const QString& fileName) {
  tableFileName_ = fileName;
  // A file that cannot be read is not reported; the grid keeps what it shows.
  if (table_.Load(ToPath(fileName))) ShowCells();
}

void TSymForm::SaveActionExecute() {
  if (tableFileName_.isEmpty()) {
    FileSaveAs1Execute();
    return;
  }
  try {
    table_.Save(ToPath(tableFileName_));
  } catch (const kx::Error& e) {
    Prompts().Error(this, QString::fromUtf8(e.what()));
  }
}

void TSymForm::FileSaveAs1Execute() {
  int filterIndex = 1;
  const QString dir = tableFileName_.isEmpty() ? dialogDir_ : tableFileName_;
  const QString fileName = Prompts().SaveFileName(this, QStringLiteral("Сохранить как"), dir,
                                                  Filter(), &filterIndex, QStringLiteral("tbl"));
  if (fileName.isEmpty()) return;
  dialogDir_ = QFileInfo(fileName).absolutePath();
  FileSaveAs1Accept(fileName);
}

void TSymForm::FileSaveAs1Accept(const QString& fileName) {
  tableFileName_ = fileName;
  SaveActionExecute();
}

void TSymForm::HelpContents1Execute() {
  if (TForm1* main = Form1()) main->ShowHelpContext(kHelpContext);
}
