#include "telkwareform.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "app.h"
#include "icons.h"
#include "prompter.h"
#include "streams/error.h"
#include "tform1.h"
#include "tpngfrm.h"

namespace {

constexpr int kHelpContext = 1235;

std::filesystem::path ToPath(const QString& s) { return std::filesystem::path(s.toStdString()); }
QString FromPath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }
QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

TElkwareForm::TElkwareForm(QWidget* parent, const QString& tempPath)
    : QWidget(parent, Qt::Window),
      session_(tempPath.isEmpty() ? std::filesystem::temp_directory_path() : ToPath(tempPath)) {
  setWindowTitle(QStringLiteral("Ресурсы Elkware"));
  resize(507, 306);

  auto make = [this](const QString& text, int icon) {
    auto* action = new QAction(AppIcon(icon), text, this);
    action->setToolTip(text);
    return action;
  };
  OpenAction = make(QStringLiteral("Открыть"), kIconOpen);
  SaveAction = make(QStringLiteral("Сохранить"), kIconSave);
  CloseAction = make(QStringLiteral("Закрыть"), kIconClose);
  Action1 = make(QStringLiteral("Редактировать в Glypher"), kIconFontEditor);
  HelpContents1 = make(QStringLiteral("Помощь"), kIconHelpElkware);
  connect(OpenAction, &QAction::triggered, this, [this] { OpenActionExecute(); });
  connect(SaveAction, &QAction::triggered, this, [this] { SaveActionExecute(); });
  connect(CloseAction, &QAction::triggered, this, [this] { CloseActionExecute(); });
  connect(Action1, &QAction::triggered, this, [this] { Action1Execute(); });
  connect(HelpContents1, &QAction::triggered, this, [this] { HelpContents1Execute(); });

  ActionToolBar1 = new QToolBar(this);
  ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ActionToolBar1->setIconSize(QSize(16, 16));
  ActionToolBar1->addAction(OpenAction);
  ActionToolBar1->addAction(SaveAction);
  ActionToolBar1->addAction(CloseAction);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(Action1);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(HelpContents1);

  ListBox1 = new QListWidget;
  ListBox1->setUniformItemSizes(true);
  ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->addAction(Action1);
  connect(ListBox1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(at)); });
  connect(ListBox1, &QListWidget::itemClicked, this, [this] { ListBox1Click(); });
  connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });

  // The picture at its natural size from the top-left corner; scroll bars only when it is larger
  // than the room it has.
  Image1 = new QLabel;
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* imageArea = new QScrollArea;
  imageArea->setWidget(Image1);
  imageArea->setWidgetResizable(true);
  imageArea->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  Splitter1 = new QSplitter(Qt::Horizontal);
  Splitter1->addWidget(ListBox1);
  Splitter1->addWidget(imageArea);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({121, 386});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ActionToolBar1);
  layout->addWidget(Splitter1, 1);

  // The program's own font editor, unless a caller links another.
  fontEditor_.Show = [] {
    if (QWidget* editor = App::Instance() ? App::Instance()->pngFrm : nullptr) {
      editor->show();
      editor->raise();
      editor->activateWindow();
    }
  };
  fontEditor_.OpenImage = [](const QString& fileName) {
    if (auto* editor = qobject_cast<TPngFrm*>(App::Instance() ? App::Instance()->pngFrm : nullptr))
      editor->OpenImage(fileName);
  };

  SaveActionUpdate();
}

TElkwareForm::~TElkwareForm() = default;

QString TElkwareForm::OpenFilter() { return QStringLiteral("Ресурсы Elkware (res.raw)|res.raw"); }

void TElkwareForm::OpenActionExecute() {
  if (session_.ArchiveOpened() && !CloseActionExecute()) return;
  int filterIndex = 1;
  const QString fileName =
      Prompts().OpenFileName(this, QStringLiteral("Открыть"), openDir_, OpenFilter(), &filterIndex);
  if (fileName.isEmpty()) return;
  openDir_ = QFileInfo(fileName).absolutePath();
  LoadArchive(fileName);
}

bool TElkwareForm::LoadArchive(const QString& fileName) {
  ListBox1->clear();
  bool ok = true;
  try {
    // A file that cannot be read opens nothing and is not reported.
    if (session_.LoadArchive(ToPath(fileName))) {
      for (const std::string& name : session_.Names()) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), ListBox1);
        item->setSizeHint(QSize(0, 13));
      }
    }
  } catch (const kx::Error& e) {
    Prompts().Error(this, Utf8(e.what()));
    ok = false;
  }
  SaveActionUpdate();
  return ok;
}

void TElkwareForm::ListBox1Click() {
  const int row = ListBox1->currentRow();
  if (row < 0 || !session_.ArchiveOpened()) return;
  const QString name = ListBox1->item(row)->text();
  if (!name.contains(QStringLiteral("png"))) return;  // the picture shown before stays
  QPixmap picture;
  if (picture.load(FromPath(session_.PathOf(size_t(row))))) Image1->setPixmap(picture);
}

void TElkwareForm::Action1Execute() {
  if (!Action1->isEnabled()) return;
  if (fontEditor_.Show) fontEditor_.Show();
  const int row = ListBox1->currentRow();
  if (row < 0) {
    Prompts().Information(this, QStringLiteral("Редактировать в Glypher"),
                          QStringLiteral("Ресурс не выбран: выберите его в списке."));
    return;
  }
  // Whatever the kind: the editor reports a file that is not a PNG picture itself.
  if (fontEditor_.OpenImage) fontEditor_.OpenImage(FromPath(session_.PathOf(size_t(row))));
}

bool TElkwareForm::SaveActionExecute() {
  if (!session_.ArchiveOpened()) return true;
  try {
    const std::vector<std::string> missing = session_.Save();
    if (!missing.empty())
      Prompts().Warning(this, QStringLiteral("Сохранить"), Utf8(kx::MissingFilesMessage(missing)));
    return true;
  } catch (const kx::Error& e) {
    Prompts().Error(this, Utf8(e.what()));
    return false;
  }
}

void TElkwareForm::SaveActionUpdate() {
  const bool opened = session_.ArchiveOpened();
  SaveAction->setEnabled(opened);
  CloseAction->setEnabled(opened);
  Action1->setEnabled(opened);
}

bool TElkwareForm::CloseActionExecute() {
  if (session_.ArchiveOpened()) {
    const QMessageBox::StandardButton answer =
        Prompts().Question(this, QStringLiteral("Запрос"), QStringLiteral("Сохранить изменения?"),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    // Deleting the extracted files after a failed save would lose the edits in them.
    if (answer == QMessageBox::Yes && !SaveActionExecute()) return false;
    session_.Close();
    ListBox1->clear();
  }
  ClearPicture();
  SaveActionUpdate();
  return true;
}

void TElkwareForm::HelpContents1Execute() {
  if (TForm1* main = Form1()) main->ShowHelpContext(kHelpContext);
}

void TElkwareForm::ClearPicture() { Image1->setPixmap(QPixmap()); }

void TElkwareForm::closeEvent(QCloseEvent* event) {
  if (CloseAction->isEnabled() && !CloseActionExecute()) {
    event->ignore();
    return;
  }
  event->accept();
}
