#pragma once
// The main window: the open document as a two-column list with a check box per row, the main
// menu and tool bar of every command, help by context number, the window bounds kept in
// "Kelvatrix.ini", and opening a file dropped onto the window.
#include <QMainWindow>
#include <QString>
#include <memory>

#include "conversion/conversion.h"
#include "document/document.h"
#include "search/find_match.h"

class QAction;
class QLabel;
class QToolBar;
class RecoveryGuard;
class THelpForm;
class TListView;
class TranslationModel;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // Opens the help window at the topic of a context number (8, 9, 10, 11, 91, 100, 1234,
  // 1235, 1236); other numbers show the contents page.
  void ShowHelpContext(int context);

  kx::Document& Doc() { return doc_; }
  kx::SymbolTableCache& SymCache() { return symCache_; }
  kx::SearchState& Search() { return search_; }
  TranslationModel* Model() const { return model_; }
  TListView* List() const { return ListView1; }
  THelpForm* Help() const { return help_; }

  // The selected row of the list, or -1.
  int SelectedRow() const;
  // Makes `row` the selected and the focused row without scrolling the list; -1 clears both.
  void SelectAndFocusRow(int row);

  // Loads a file into the document as the open command does after its dialogs, and shows the
  // caption of the open document on success. Returns OpenDocument's result.
  bool LoadDocument(const QString& fileName, int format);

  // The filter of the open dialog: "Все файлы(*.*)" and one row per format, in format order.
  static QString OpenFilter();
  // Where "Kelvatrix.ini" lives: the user's configuration folder.
  static QString SettingsPath();

  // Commands (each also reachable through its action).
  void FileOpen1Execute();
  void FileOpen1BeforeExecute();
  void FileOpen1Accept(const QString& fileName, int filterIndex);
  // Returns false when the save failed (an error was shown and the document stays modified);
  // a cancelled dialog counts as done.
  bool SaveActionExecute();
  void CloseActionExecute();
  void FindActionExecute();
  void Action4Execute();
  void PngEditActionExecute();
  void SymActionExecute();
  void Action2Execute();
  void HelpContents1Execute();
  void Action1Execute();

  // Enabling of the commands that need an open document.
  void SaveActionUpdate();
  void CloseActionUpdate();
  void FindActionUpdate();
  void Action4Update();
  void UpdateActions();

  // The list's editing triggers: a double click, and Enter or a typed character.
  void ListView1DblClick();
  void ListView1KeyPress(const QString& key);

  // A drop of files from the desktop: the first one is opened through the file-parameters
  // dialog; the rest are ignored.
  void FormDropFiles(const QStringList& paths);

  // The window bounds in "Kelvatrix.ini".
  void ReadBounds();
  void WriteBounds();

  QAction* FileOpen1 = nullptr;
  QAction* SaveAction = nullptr;
  QAction* CloseAction = nullptr;
  QAction* SetupAction = nullptr;
  QAction* FileExit1 = nullptr;
  QAction* FindAction = nullptr;
  QAction* Action4 = nullptr;
  QAction* PngEditAction = nullptr;
  QAction* SymAction = nullptr;
  QAction* Action2 = nullptr;
  QAction* HelpContents1 = nullptr;
  QAction* Action1 = nullptr;
  QToolBar* ActionToolBar1 = nullptr;
  TListView* ListView1 = nullptr;
  QLabel* CountsLabel = nullptr;
  RecoveryGuard* Guard = nullptr;  // autosave, recovery and the round-trip warning

 signals:
  // The window accepted its close: the run ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;    // FormClose
  void resizeEvent(QResizeEvent* event) override;  // FormResize
  void showEvent(QShowEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void EditRow(const QString& appended);
  void ShowFindResult(std::optional<size_t> row, const std::string& searched);
  void ShowDocumentCaption();
  void UpdateCounts();
  void ShowToolWindow(QWidget* window);

  kx::Document doc_;
  kx::SymbolTableCache symCache_;
  kx::SearchState search_;
  TranslationModel* model_ = nullptr;
  THelpForm* help_ = nullptr;
  int openFilterIndex_ = 1;  // the open dialog's row last chosen, from 1
  QString openDir_;
  QSize pendingOuterSize_;  // the outer size read from the settings, applied once framed
};

// The one main window of the run.
TForm1* Form1();
