#include "tform1.h"

#include "recovery_guard.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app.h"
#include "document/ini_file.h"
#include "document/open_document.h"
#include "document/save_document.h"
#include "formats/format.h"
#include "icons.h"
#include "list_view.h"
#include "prompter.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "tfindform.h"
#include "thelpform.h"
#include "tparamform.h"
#include "translation_model.h"
#include "tsaveform.h"
#include "tsymform.h"
#include "ttransform.h"
#include "workflow_ui.h"

namespace {

TForm1* mainWindow = nullptr;

constexpr const char* kSettingsSection = "Common";
constexpr int kDefaultLeft = 327;
constexpr int kDefaultTop = 290;
constexpr int kDefaultWidth = 631;
constexpr int kDefaultHeight = 361;

QString AppTitle() { return QString::fromUtf8(kx::msg::kAppTitle); }

QString FromCp1251(const std::string& text) {
  return QString::fromStdString(kx::Cp1251ToUtf8(text));
}

std::string ToCp1251(const QString& text) { return kx::Utf8ToCp1251(text.toStdString()); }

// An integer value of the settings file, or `fallback` when the key is missing or no number.
int SettingsInt(const kx::IniFile& ini, const char* key, int fallback) {
  const std::optional<std::string> value = ini.Get(kSettingsSection, key);
  if (!value) return fallback;
  bool ok = false;
  const int n = QString::fromStdString(*value).trimmed().toInt(&ok);
  return ok ? n : fallback;
}

}  // namespace

TForm1* Form1() { return mainWindow; }

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
  mainWindow = this;
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(AppTitle());
  setWindowIcon(AppIcon(kIconFontEditor));

  model_ = new TranslationModel(doc_, this);
  ListView1 = new TListView(this);
  ListView1->setModel(model_);
  ListView1->setColumnWidth(TranslationModel::kEnglish, 300);
  ListView1->setColumnWidth(TranslationModel::kRussian, 300);
  setCentralWidget(ListView1);

  CreateActions();
  CreateMenus();

  CountsLabel = new QLabel(this);
  statusBar()->addWidget(CountsLabel);
  statusBar()->setSizeGripEnabled(true);
  Guard = new RecoveryGuard(this, statusBar(), doc_);

  help_ = new THelpForm;

  connect(ListView1, &QAbstractItemView::doubleClicked, this, [this] { ListView1DblClick(); });
  connect(ListView1, &TListView::KeyPress, this, &TForm1::ListView1KeyPress);
  connect(model_, &TranslationModel::CountsChanged, this, &TForm1::UpdateCounts);

  // FormCreate: drops accepted, no document, the bounds of the last run, an empty cache.
  setAcceptDrops(true);
  doc_.DocModified = false;
  doc_.DocOpened = false;
  move(kDefaultLeft, kDefaultTop);
  resize(kDefaultWidth, kDefaultHeight);
  ReadBounds();
  symCache_.Clear();
  UpdateActions();
  UpdateCounts();
  new TWorkflow(this);  // the translator's workflow commands join the menus
}

TForm1::~TForm1() {
  delete help_;
  if (mainWindow == this) mainWindow = nullptr;
}

void TForm1::CreateActions() {
  auto make = [this](const QString& text, int icon) {
    auto* a = new QAction(text, this);
    if (icon >= 0) a->setIcon(AppIcon(icon));
    return a;
  };
  FileOpen1 = make(QStringLiteral("&Открыть..."), kIconOpen);
  FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  // The hint "Open|Opens an existing file": the part before the bar is the tooltip, the rest
  // the status text.
  FileOpen1->setToolTip(QStringLiteral("Open"));
  FileOpen1->setStatusTip(QStringLiteral("Opens an existing file"));
  SaveAction = make(QStringLiteral("&Сохранить"), kIconSave);
  SaveAction->setToolTip(QStringLiteral("Сохранить"));
  CloseAction = make(QStringLiteral("&Закрыть"), kIconClose);
  CloseAction->setToolTip(QStringLiteral("Закрыть"));
  SetupAction = make(QStringLiteral("Настройки"), -1);
  SetupAction->setEnabled(false);  // nothing is bound to it
  FileExit1 = make(QStringLiteral("Вы&ход"), -1);
  FindAction = make(QStringLiteral("Найти..."), -1);
  FindAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  Action4 = make(QStringLiteral("Найти далее"), -1);
  Action4->setShortcut(QKeySequence(Qt::Key_F3));
  PngEditAction = make(QStringLiteral("Редактор &шрифтов"), kIconFontEditor);
  PngEditAction->setToolTip(QStringLiteral("Редактор шрифтов"));
  SymAction = make(QStringLiteral("Редактор таблицы символов"), -1);
  Action2 = make(QStringLiteral("&Elkware res.raw"), -1);
  Action2->setToolTip(QStringLiteral("Elkware res.raw"));
  HelpContents1 = make(QStringLiteral("&Содержание"), kIconHelpContents);
  Action1 = make(QStringLiteral("О программе"), -1);

  for (QAction* a : {FileOpen1, SaveAction, CloseAction, FindAction, Action4})
    a->setShortcutContext(Qt::WindowShortcut);

  connect(FileOpen1, &QAction::triggered, this, &TForm1::FileOpen1Execute);
  connect(SaveAction, &QAction::triggered, this, [this] { SaveActionExecute(); });
  connect(CloseAction, &QAction::triggered, this, &TForm1::CloseActionExecute);
  connect(FileExit1, &QAction::triggered, this, &QWidget::close);
  connect(FindAction, &QAction::triggered, this, &TForm1::FindActionExecute);
  connect(Action4, &QAction::triggered, this, &TForm1::Action4Execute);
  connect(PngEditAction, &QAction::triggered, this, &TForm1::PngEditActionExecute);
  connect(SymAction, &QAction::triggered, this, &TForm1::SymActionExecute);
  connect(Action2, &QAction::triggered, this, &TForm1::Action2Execute);
  connect(HelpContents1, &QAction::triggered, this, &TForm1::HelpContents1Execute);
  connect(Action1, &QAction::triggered, this, &TForm1::Action1Execute);
}

void TForm1::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Файл"));
  file->addAction(FileOpen1);
  file->addAction(SaveAction);
  file->addAction(CloseAction);
  file->addSeparator();
  file->addAction(SetupAction);
  file->addSeparator();
  file->addAction(FileExit1);
  QMenu* edit = menuBar()->addMenu(QStringLiteral("П&равка"));
  edit->addAction(FindAction);
  edit->addAction(Action4);
  QMenu* tools = menuBar()->addMenu(QStringLiteral("&Инструменты"));
  tools->addAction(PngEditAction);
  tools->addAction(SymAction);
  tools->addAction(Action2);
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Помощь"));
  help->addAction(HelpContents1);
  help->addAction(Action1);

  ActionToolBar1 = addToolBar(QStringLiteral("ActionToolBar1"));
  ActionToolBar1->setObjectName(QStringLiteral("ActionToolBar1"));
  ActionToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ActionToolBar1->setIconSize(QSize(16, 16));
  ActionToolBar1->setMovable(false);
  ActionToolBar1->addAction(FileOpen1);
  ActionToolBar1->addAction(SaveAction);
  ActionToolBar1->addAction(CloseAction);
  ActionToolBar1->addSeparator();
  ActionToolBar1->addAction(PngEditAction);
}

QString TForm1::OpenFilter() {
  QString filter = QStringLiteral("Все файлы(*.*)|*.*");
  for (const kx::FormatInfo& f : kx::AllFormats()) {
    filter += u'|' + QString::fromUtf8(f.filterName) + u'|' + QString::fromUtf8(f.filterPattern);
  }
  return filter;
}

QString TForm1::SettingsPath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
         QStringLiteral("/Kelvatrix.ini");
}

void TForm1::ShowHelpContext(int context) { help_->ShowTopic(context); }

void TForm1::HelpContents1Execute() { help_->ShowContents(); }

void TForm1::Action1Execute() {
  Prompts().Warning(this, QStringLiteral("О программе"),
                    QStringLiteral("Kelvatrix — Перевод мобильных игр\nВерсия ") +
                        QStringLiteral(KX_VERSION) +
                        QStringLiteral("\nАвторы: команда разработчиков Kelvatrix"));
}

int TForm1::SelectedRow() const {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void TForm1::SelectAndFocusRow(int row) {
  // The view would scroll to every new current row; these moves must not scroll.
  const bool autoScroll = ListView1->hasAutoScroll();
  ListView1->setAutoScroll(false);
  QItemSelectionModel* sel = ListView1->selectionModel();
  if (row < 0 || row >= model_->rowCount()) {
    sel->clearSelection();
    sel->clearCurrentIndex();
  } else {
    sel->setCurrentIndex(model_->index(row, TranslationModel::kEnglish),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  ListView1->setAutoScroll(autoScroll);
}

void TForm1::ShowDocumentCaption() {
  const QString name = QFileInfo(QString::fromStdString(doc_.DocFileName)).fileName();
  setWindowTitle(u'[' + name + QStringLiteral("] - ") + AppTitle());
}

bool TForm1::LoadDocument(const QString& fileName, int format) {
  bool ok = false;
  model_->BeginDocumentChange();
  try {
    ok = kx::OpenDocument(doc_, fileName.toStdString(), format);
  } catch (const kx::Error&) {
    ok = false;
  }
  model_->EndDocumentChange();
  if (ok) {
    ShowDocumentCaption();
    // Unsaved work from a run that ended without saving, and the round-trip warning.
    if (Guard->DocumentOpened()) {
      model_->BeginDocumentChange();
      model_->EndDocumentChange();
    }
  }
  UpdateActions();
  return ok;
}

void TForm1::FileOpen1BeforeExecute() {
  if (!doc_.DocOpened) return;
  model_->BeginDocumentChange();
  kx::DiscardDocument(doc_);
  model_->EndDocumentChange();
  symCache_.Clear();
  UpdateActions();
}

void TForm1::FileOpen1Execute() {
  FileOpen1BeforeExecute();
  const QString fileName = Prompts().OpenFileName(this, QStringLiteral("Открыть"), openDir_,
                                                  OpenFilter(), &openFilterIndex_);
  if (fileName.isEmpty()) return;
  openDir_ = QFileInfo(fileName).absolutePath();
  FileOpen1Accept(fileName, openFilterIndex_);
}

void TForm1::FileOpen1Accept(const QString& fileName, int filterIndex) {
  QWidget* owner = this;
  bool ok = false;
  if (filterIndex >= 2 && filterIndex <= 1 + kx::kFormatCount) {
    ok = LoadDocument(fileName, filterIndex - 2);
  } else {
    TParamForm* params = ParamForm();
    params->SetFileName(fileName);
    if (params->exec() != QDialog::Accepted || params->ActivePage() != 0) return;
    owner = params;
    ok = LoadDocument(fileName, params->ChosenFormat());
  }
  if (!ok) {
    Prompts().Error(owner, QString::fromUtf8(kx::msg::kOpenFailed));
    return;
  }
  if (model_->rowCount() > 0) SelectAndFocusRow(0);
}

void TForm1::FormDropFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  const QString path = paths.first();
  // The open document is dropped at once: no store write; DocModified and the symbol-table
  // cache stay as they are.
  if (doc_.DocOpened) {
    model_->BeginDocumentChange();
    kx::DiscardDocument(doc_);
    model_->EndDocumentChange();
    UpdateActions();
  }
  TParamForm* params = ParamForm();
  params->SetFileName(path);
  if (params->exec() != QDialog::Accepted || params->ActivePage() != 0) return;
  if (!LoadDocument(path, params->ChosenFormat())) {
    Prompts().Error(params, QString::fromUtf8(kx::msg::kOpenFailed));
    return;
  }
  const int next = SelectedRow() + 1;
  if (next < model_->rowCount()) SelectAndFocusRow(next);
}

bool TForm1::SaveActionExecute() {
  if (!doc_.DocOpened) return true;
  TSaveForm* form = SaveForm();
  form->Prepare(QString::fromStdString(doc_.DocFileName));
  if (form->exec() != QDialog::Accepted) return true;
  kx::SaveOutcome outcome;
  try {
    outcome = kx::SaveDocument(doc_, form->Options(), symCache_);
  } catch (const kx::Error& e) {
    doc_.DocModified = true;
    outcome.errors.push_back(e.what());
  }
  if (outcome.unsupported) Prompts().Error(this, QString::fromStdString(kx::UnsupportedMessage()));
  if (!outcome.errors.empty()) {
    QStringList lines;
    for (const std::string& e : outcome.errors) lines << QString::fromStdString(e);
    Prompts().Error(this, lines.join(u'\n'));
    return false;
  }
  if (form->Options().store) Guard->DocumentStored();
  return true;
}

void TForm1::CloseActionExecute() {
  if (!doc_.DocOpened) return;
  model_->BeginDocumentChange();
  QString error;
  try {
    kx::CloseDocument(doc_);
  } catch (const kx::Error& e) {
    error = QString::fromStdString(e.what());
  }
  model_->EndDocumentChange();
  if (!doc_.DocOpened) setWindowTitle(AppTitle());
  Guard->DocumentStored();
  UpdateActions();
  if (!error.isEmpty()) Prompts().Error(this, error);
}

void TForm1::FindActionExecute() {
  TFindForm* form = FindForm();
  if (form->exec() != QDialog::Accepted) return;
  search_.text = ToCp1251(form->SearchText());
  search_.column =
      form->InTranslation() ? kx::SearchColumn::Translation : kx::SearchColumn::Original;
  search_.nextRow = 0;
  const int selected = SelectedRow();
  if (form->FromCursor() && selected > 0) search_.nextRow = selected;
  search_.caseSensitive = form->CaseSensitive();
  const std::string searched = search_.text;
  ShowFindResult(kx::FindNextMatch(doc_, search_), searched);
}

void TForm1::Action4Execute() {
  if (search_.text.empty()) {
    FindActionExecute();
    return;
  }
  const std::string searched = search_.text;
  ShowFindResult(kx::FindNextMatch(doc_, search_), searched);
}

void TForm1::ShowFindResult(std::optional<size_t> row, const std::string& searched) {
  if (!row) {
    SelectAndFocusRow(-1);
    Prompts().Information(this, QStringLiteral("Поиск завершен"),
                          QStringLiteral("Не найдено:") + FromCp1251(searched));
    return;
  }
  const int r = static_cast<int>(*row);
  SelectAndFocusRow(r);
  ListView1->ScrollDownTo(r, 0);
}

void TForm1::ShowToolWindow(QWidget* window) {
  if (!window) return;
  window->show();
  window->raise();
  window->activateWindow();
}

void TForm1::PngEditActionExecute() { ShowToolWindow(App::Instance()->pngFrm); }
void TForm1::SymActionExecute() { ShowToolWindow(App::Instance()->symForm); }
void TForm1::Action2Execute() { ShowToolWindow(App::Instance()->elkwareForm); }

void TForm1::SaveActionUpdate() { SaveAction->setEnabled(doc_.DocOpened); }
void TForm1::CloseActionUpdate() { CloseAction->setEnabled(doc_.DocOpened); }
void TForm1::FindActionUpdate() { FindAction->setEnabled(doc_.DocOpened); }
void TForm1::Action4Update() { Action4->setEnabled(doc_.DocOpened); }

void TForm1::UpdateActions() {
  SaveActionUpdate();
  CloseActionUpdate();
  FindActionUpdate();
  Action4Update();
}

void TForm1::UpdateCounts() {
  CountsLabel->setText(QStringLiteral("Строк: %1    Переведено: %2    Отмечено: %3")
                           .arg(model_->rowCount())
                           .arg(model_->TranslatedCount())
                           .arg(model_->CheckedCount()));
}

void TForm1::ListView1DblClick() { EditRow(QString()); }

void TForm1::ListView1KeyPress(const QString& key) {
  if (key.isEmpty()) return;
  if (key[0].unicode() == 13)
    EditRow(QString());
  else if (key[0].unicode() >= 32)
    EditRow(key);
}

void TForm1::EditRow(const QString& appended) {
  const int row = SelectedRow();
  if (row < 0) return;
  TTransForm* form = TransForm();
  form->SetTexts(model_->Original(row), model_->Translation(row) + appended);
  if (form->exec() != QDialog::Accepted) return;
  // Next and Previous may have moved the selection while the dialog was open.
  int current = SelectedRow();
  if (current < 0) current = row;
  model_->SetTranslation(current, form->Translation());
  if (current < model_->rowCount() - 1) SelectAndFocusRow(current + 1);
  doc_.DocModified = true;
  Guard->TranslationAccepted();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (doc_.DocModified) {
    const QMessageBox::StandardButton answer = Prompts().Question(
        this, QStringLiteral("Данные изменены"), QStringLiteral("Сохранить изменения?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
      // A save that failed keeps the window open: closing now would lose the translations.
      if (!SaveActionExecute()) {
        event->ignore();
        return;
      }
    } else if (answer == QMessageBox::No) {
      Guard->WorkAbandoned();
    } else {
      event->ignore();
      return;
    }
  }
  WriteBounds();
  help_->close();
  event->accept();
  emit Closed();
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // Both columns get half the client width minus 10 pixels (a width of 601 gives 290).
  const int column = width() / 2 - 10;
  ListView1->setColumnWidth(TranslationModel::kEnglish, column);
  ListView1->setColumnWidth(TranslationModel::kRussian, column);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (pendingOuterSize_.isEmpty()) return;
  // The settings hold the outer size; once the window manager has framed the window, take the
  // frame off so the window does not grow by its frame on every run.
  QTimer::singleShot(0, this, [this] {
    const QSize frame = frameGeometry().size() - size();
    if (!pendingOuterSize_.isEmpty() && (frame.width() > 0 || frame.height() > 0))
      resize(pendingOuterSize_ - frame);
    pendingOuterSize_ = QSize();
  });
}

void TForm1::ReadBounds() {
  kx::IniFile ini;
  if (!ini.Load(SettingsPath().toStdString())) return;
  const QRect outer = frameGeometry();
  const int left = SettingsInt(ini, "Left", outer.x());
  const int top = SettingsInt(ini, "Top", outer.y());
  const int width = SettingsInt(ini, "Width", outer.width());
  const int height = SettingsInt(ini, "Height", outer.height());
  move(left, top);
  const QSize frame = outer.size() - size();
  resize(width - frame.width(), height - frame.height());
  pendingOuterSize_ = QSize(width, height);
}

void TForm1::WriteBounds() {
  const QString path = SettingsPath();
  kx::IniFile ini;
  // An unreadable settings file is left alone rather than replaced.
  if (!ini.Load(path.toStdString())) return;
  const QRect outer = frameGeometry();
  ini.SetMany(kSettingsSection, {"Left", "Top", "Width", "Height"},
              {std::to_string(outer.x()), std::to_string(outer.y()), std::to_string(outer.width()),
               std::to_string(outer.height())});
  try {
    QDir().mkpath(QFileInfo(path).absolutePath());
    ini.Save(path.toStdString());
  } catch (const kx::Error& e) {
    qWarning("%s", e.what());
  }
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().first().isLocalFile())
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  event->acceptProposedAction();
  // The dialog runs after the drop has finished, so the source of the drag is not kept waiting.
  QTimer::singleShot(0, this, [this, paths] { FormDropFiles(paths); });
}
