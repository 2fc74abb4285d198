#pragma once
// The Elkware resource browser: opens a res.raw archive, extracts its resources into a private
// folder, lists them, previews the pictures, hands a picture to the PNG font editor and packs
// the extracted files back into the archive.
#include <QString>
#include <QWidget>
#include <functional>

#include "resarchive/res_archive.h"

class QAction;
class QCloseEvent;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QToolBar;

class TElkwareForm : public QWidget {
  Q_OBJECT

 public:
  // The PNG font editor as the browser uses it: shown, and given a full file name to open.
  struct FontEditorLink {
    std::function<void()> Show;
    std::function<void(const QString& fileName)> OpenImage;
  };

  // FormCreate. `tempPath` is the user's temporary folder, where each archive gets a private
  // folder of its own for its extracted files.
  explicit TElkwareForm(QWidget* parent = nullptr, const QString& tempPath = QString());
  ~TElkwareForm() override;

  // The font editor is the program's TPngFrm unless another is linked here (the tests do).
  void SetFontEditor(FontEditorLink link) { fontEditor_ = std::move(link); }

  // Commands.
  void OpenActionExecute();
  // Returns false when an error was shown and no archive is open.
  bool LoadArchive(const QString& fileName);
  void ListBox1Click();
  void Action1Execute();
  // Returns false when the archive could not be written (an error was shown, the archive file
  // is as it was).
  bool SaveActionExecute();
  void SaveActionUpdate();
  // Returns false when the user chose to save and the save failed: the archive then stays open
  // with its extracted files, so no edit is lost.
  bool CloseActionExecute();
  void HelpContents1Execute();

  const kx::ResArchiveSession& Session() const { return session_; }
  bool ArchiveOpened() const { return session_.ArchiveOpened(); }

  QToolBar* ActionToolBar1 = nullptr;
  QAction* OpenAction = nullptr;
  QAction* SaveAction = nullptr;
  QAction* CloseAction = nullptr;
  QAction* Action1 = nullptr;
  QAction* HelpContents1 = nullptr;
  QListWidget* ListBox1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QLabel* Image1 = nullptr;

  // The open dialog's filter: only files named exactly res.raw are offered.
  static QString OpenFilter();

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormClose

 private:
  void ClearPicture();

  kx::ResArchiveSession session_;
  FontEditorLink fontEditor_;
  QString openDir_;
};
