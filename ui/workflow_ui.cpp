#include "workflow_ui.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <tuple>

#include "app.h"
#include "exchange/byte_meter.h"
#include "exchange/po_exchange.h"
#include "list_view.h"
#include "prompter.h"
#include "streams/cp1251.h"
#include "streams/error.h"
#include "tform1.h"
#include "translation_model.h"
#include "tsaveform.h"

namespace {

TWorkflow* instance = nullptr;

QString FromCp1251(const std::string& text) {
  return QString::fromStdString(kx::Cp1251ToUtf8(text));
}

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

const QString kPoFilter = QStringLiteral("Файлы PO(*.po)|*.po|Все файлы(*.*)|*.*");

// The menu of the main window's menu bar with this title, if any.
QMenu* MenuTitled(TForm1* main, const QString& title) {
  for (QAction* a : main->menuBar()->actions())
    if (a->menu() && a->text() == title) return a->menu();
  return nullptr;
}

// Inserts `actions` after `after` in `menu` (at the end when `after` is not in it), behind a
// separator.
void InsertAfter(QMenu* menu, QAction* after, std::initializer_list<QAction*> actions) {
  const QList<QAction*> items = menu->actions();
  const qsizetype at = items.indexOf(after);
  QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
  menu->insertSeparator(before);
  for (QAction* a : actions) menu->insertAction(before, a);
}

}  // namespace

TWorkflow* Workflow() { return instance; }

TWorkflow::TWorkflow(TForm1* main) : QObject(main), main_(main) {
  instance = this;
  setObjectName(QStringLiteral("Workflow"));
  CreateActions();

  FilterLabel = new QLabel(main);
  FilterLabel->setObjectName(QStringLiteral("FilterLabel"));
  main->statusBar()->addPermanentWidget(FilterLabel);

  TranslationModel* model = main->Model();
  connect(model, &QAbstractItemModel::modelReset, this, [this] {
    UpdateActions();
    ApplyFilter();
  });
  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& from, const QModelIndex& to) {
            const int current = main_->SelectedRow();
            for (int row = from.row(); row <= to.row(); ++row) ApplyFilterToRow(row, current);
            UpdateFilterLabel();
          });
  // The selected row is shown whatever the filter; the row it leaves is filtered again.
  connect(main->List()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current, const QModelIndex& previous) {
            if (filter_ == kx::ViewFilter::All) return;
            const int row = main_->SelectedRow();
            if (previous.isValid()) ApplyFilterToRow(previous.row(), row);
            if (current.isValid()) ApplyFilterToRow(current.row(), row);
            UpdateFilterLabel();
          });
  UpdateActions();
  UpdateFilterLabel();
}

void TWorkflow::CreateActions() {
  auto make = [this](const QString& text, const char* name) {
    auto* a = new QAction(text, main_);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  ExportPoAction = make(QStringLiteral("Экспорт в PO..."), "ExportPoAction");
  ImportPoAction = make(QStringLiteral("Импорт из PO..."), "ImportPoAction");
  NextUntranslatedAction =
      make(QStringLiteral("Следующая непереведённая"), "NextUntranslatedAction");
  NextUntranslatedAction->setShortcut(QKeySequence(Qt::Key_F4));
  NextUntranslatedAction->setShortcutContext(Qt::WindowShortcut);
  ConsistencyAction = make(QStringLiteral("Проверить согласованность"), "ConsistencyAction");

  connect(ExportPoAction, &QAction::triggered, this, &TWorkflow::ExportPoExecute);
  connect(ImportPoAction, &QAction::triggered, this, &TWorkflow::ImportPoExecute);
  connect(NextUntranslatedAction, &QAction::triggered, this, &TWorkflow::NextUntranslatedExecute);
  connect(ConsistencyAction, &QAction::triggered, this, &TWorkflow::ConsistencyExecute);
  main_->addAction(NextUntranslatedAction);  // F4 also while the menu bar is hidden

  if (QMenu* file = MenuTitled(main_, QStringLiteral("&Файл")))
    InsertAfter(file, main_->CloseAction, {ExportPoAction, ImportPoAction});
  if (QMenu* edit = MenuTitled(main_, QStringLiteral("П&равка")))
    InsertAfter(edit, main_->Action4, {NextUntranslatedAction, ConsistencyAction});

  // "Вид": the filter, one choice of four, before "Инструменты".
  auto* view = new QMenu(QStringLiteral("&Вид"), main_);
  view->setObjectName(QStringLiteral("ViewMenu"));
  QMenu* tools = MenuTitled(main_, QStringLiteral("&Инструменты"));
  main_->menuBar()->insertMenu(tools ? tools->menuAction() : nullptr, view);
  filterGroup_ = new QActionGroup(this);
  const kx::ViewFilter filters[] = {kx::ViewFilter::All, kx::ViewFilter::Untranslated,
                                    kx::ViewFilter::Translated, kx::ViewFilter::Checked};
  for (int i = 0; i < 4; ++i) {
    QAction* a = view->addAction(FromUtf8(kx::ViewFilterName(filters[i])));
    a->setObjectName(QStringLiteral("FilterAction%1").arg(i));
    a->setCheckable(true);
    a->setChecked(i == 0);
    filterGroup_->addAction(a);
    FilterActions[i] = a;
    const kx::ViewFilter f = filters[i];
    connect(a, &QAction::triggered, this, [this, f] { SetFilter(f); });
  }
}

void TWorkflow::UpdateActions() {
  const bool open = main_->Doc().DocOpened;
  for (QAction* a : {ExportPoAction, ImportPoAction, NextUntranslatedAction, ConsistencyAction})
    a->setEnabled(open);
}

// --- View filter ---------------------------------------------------------------------------

void TWorkflow::SetFilter(kx::ViewFilter filter) {
  filter_ = filter;
  FilterActions[static_cast<int>(filter)]->setChecked(true);
  ApplyFilter();
  // The selected row stays in view when rows around it come and go.
  const int row = main_->SelectedRow();
  if (row >= 0) main_->List()->scrollTo(main_->Model()->index(row, 0));
}

bool TWorkflow::RowShown(int row) const { return !main_->List()->isRowHidden(row); }

void TWorkflow::ApplyFilterToRow(int row, int current) {
  const auto& entries = main_->Doc().Entries;
  if (row < 0 || static_cast<size_t>(row) >= entries.size()) return;
  const bool hide = row != current && !kx::RowPasses(entries[static_cast<size_t>(row)], filter_);
  if (main_->List()->isRowHidden(row) != hide) main_->List()->setRowHidden(row, hide);
}

void TWorkflow::ApplyFilter() {
  const int rows = main_->Model()->rowCount();
  const int current = main_->SelectedRow();
  for (int row = 0; row < rows; ++row) ApplyFilterToRow(row, current);
  UpdateFilterLabel();
}

void TWorkflow::UpdateFilterLabel() {
  const QString name = FromUtf8(kx::ViewFilterName(filter_));
  if (filter_ == kx::ViewFilter::All) {
    FilterLabel->setText(QStringLiteral("Вид: ") + name);
    return;
  }
  const int rows = main_->Model()->rowCount();
  int shown = 0;
  for (int row = 0; row < rows; ++row) shown += RowShown(row) ? 1 : 0;
  FilterLabel->setText(QStringLiteral("Вид: %1 — %2 из %3").arg(name).arg(shown).arg(rows));
}

// --- Next untranslated ---------------------------------------------------------------------

void TWorkflow::NextUntranslatedExecute() {
  if (!main_->Doc().DocOpened) return;
  const int selected = main_->SelectedRow();
  const std::optional<size_t> next =
      kx::NextUntranslated(main_->Doc(), selected < 0 ? SIZE_MAX : static_cast<size_t>(selected));
  if (!next) {
    Prompts().Information(main_, QStringLiteral("Следующая непереведённая"),
                          QStringLiteral("Все строки переведены."));
    return;
  }
  const int row = static_cast<int>(*next);
  main_->SelectAndFocusRow(row);
  main_->List()->scrollTo(main_->Model()->index(row, 0));
}

// --- Consistency ---------------------------------------------------------------------------

void TWorkflow::ConsistencyExecute() {
  if (!main_->Doc().DocOpened) return;
  const std::vector<kx::ConsistencyGroup> groups = kx::CheckConsistency(main_->Doc());
  if (groups.empty()) {
    Prompts().Information(main_, QStringLiteral("Проверить согласованность"),
                          QStringLiteral("Повторяющиеся исходные тексты переведены одинаково."));
    return;
  }
  TConsistencyForm form(groups, kx::PlanPropagation(groups), main_);
  form.exec();
}

TConsistencyForm::TConsistencyForm(const std::vector<kx::ConsistencyGroup>& groups,
                                   std::vector<kx::Propagation> plan, QWidget* parent)
    : QDialog(parent), plan_(std::move(plan)) {
  setObjectName(QStringLiteral("ConsistencyForm"));
  setWindowTitle(QStringLiteral("Проверить согласованность"));

  Tree = new QTreeWidget(this);
  Tree->setObjectName(QStringLiteral("Tree"));
  Tree->setColumnCount(3);
  Tree->setHeaderLabels({QStringLiteral("Исходный текст / перевод"), QStringLiteral("Строк"),
                         QStringLiteral("Номера")});
  for (const kx::ConsistencyGroup& g : groups) {
    auto* item = new QTreeWidgetItem(Tree);
    item->setText(0, FromCp1251(g.original));
    item->setText(1, QString::number(g.rows.size()));
    QStringList numbers;
    for (size_t row : g.rows) numbers << QString::number(row);
    item->setText(2, numbers.join(QStringLiteral(", ")));
    for (const kx::ConsistencyGroup::Variant& v : g.translations) {
      auto* child = new QTreeWidgetItem(item);
      child->setText(0, FromCp1251(v.translation));
      child->setText(1, QString::number(v.count));
    }
    if (!g.untranslated.empty()) {
      auto* child = new QTreeWidgetItem(item);
      child->setText(0, QStringLiteral("(без перевода)"));
      child->setText(1, QString::number(g.untranslated.size()));
      QStringList rows;
      for (size_t row : g.untranslated) rows << QString::number(row);
      child->setText(2, rows.join(QStringLiteral(", ")));
    }
    item->setExpanded(true);
  }
  Tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);

  PlanLabel = new QLabel(this);
  PlanLabel->setObjectName(QStringLiteral("PlanLabel"));
  PlanLabel->setWordWrap(true);
  const size_t rows = kx::PropagationRowCount(plan_);
  if (rows > 0)
    PlanLabel->setText(QStringLiteral("Перевод, который чаще других встречается у исходного "
                                      "текста, можно скопировать в его непереведённые строки: "
                                      "%1 строк, исходных текстов: %2.")
                           .arg(rows)
                           .arg(plan_.size()));
  else
    PlanLabel->setText(QStringLiteral("Непереведённых строк с такими исходными текстами нет."));

  CopyButton = new QPushButton(QStringLiteral("Скопировать переводы"), this);
  CopyButton->setObjectName(QStringLiteral("CopyButton"));
  CopyButton->setEnabled(rows > 0);
  CloseButton = new QPushButton(QStringLiteral("Закрыть"), this);
  CloseButton->setObjectName(QStringLiteral("CloseButton"));
  CloseButton->setDefault(true);
  connect(CopyButton, &QPushButton::clicked, this, &TConsistencyForm::CopyButtonClick);
  connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(CopyButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Tree, 1);
  layout->addWidget(PlanLabel);
  layout->addLayout(buttons);
  resize(560, 360);
}

void TConsistencyForm::CopyButtonClick() {
  const size_t rows = kx::PropagationRowCount(plan_);
  if (rows == 0) return;
  const QMessageBox::StandardButton answer = Prompts().Question(
      this, QStringLiteral("Проверить согласованность"),
      QStringLiteral("Скопировать переводы в непереведённые строки: %1?").arg(rows),
      QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  if (answer != QMessageBox::Yes) return;
  // Through the list's model, so the rows, the counts and the filter follow; a row translated
  // since the preview keeps its translation.
  TForm1* main = Form1();
  const auto& entries = main->Doc().Entries;
  for (const kx::Propagation& p : plan_)
    for (size_t row : p.rows) {
      if (row >= entries.size() || entries[row].Original != p.original ||
          !entries[row].Translation.empty())
        continue;
      main->Model()->SetTranslation(static_cast<int>(row), FromCp1251(p.translation));
      ++filled_;
    }
  if (filled_ > 0) main->Doc().DocModified = true;
  accept();
}

// --- PO exchange ---------------------------------------------------------------------------

void TWorkflow::ExportPoExecute() {
  kx::Document& doc = main_->Doc();
  if (!doc.DocOpened) return;
  const QString proposed = poDir_.isEmpty()
                               ? QString::fromStdString(doc.DocFileName) + QStringLiteral(".po")
                               : poDir_ + u'/' +
                                     QFileInfo(QString::fromStdString(doc.DocFileName)).fileName() +
                                     QStringLiteral(".po");
  int filterIndex = 1;
  const QString path = Prompts().SaveFileName(main_, QStringLiteral("Экспорт в PO"), proposed,
                                              kPoFilter, &filterIndex, QStringLiteral("po"));
  if (path.isEmpty()) return;
  poDir_ = QFileInfo(path).absolutePath();
  try {
    const kx::PoExportReport report = kx::ExportPo(doc, path.toStdString());
    if (!report.skipped.empty()) {
      QStringList lines;
      for (const std::string& s : report.skipped) lines << FromUtf8(s);
      Prompts().Warning(main_, QStringLiteral("Экспорт в PO"), lines.join(u'\n'));
    }
  } catch (const kx::Error& e) {
    Prompts().Error(main_, FromUtf8(e.what()));
  }
}

void TWorkflow::ImportPoExecute() {
  kx::Document& doc = main_->Doc();
  if (!doc.DocOpened) return;
  int filterIndex = 1;
  const QString dir =
      poDir_.isEmpty() ? QFileInfo(QString::fromStdString(doc.DocFileName)).absolutePath() : poDir_;
  const QString path =
      Prompts().OpenFileName(main_, QStringLiteral("Импорт из PO"), dir, kPoFilter, &filterIndex);
  if (path.isEmpty()) return;
  poDir_ = QFileInfo(path).absolutePath();
  const QString title = QStringLiteral("Импорт из PO");
  // The rows change under the list: the model is told, and the selection put back.
  auto run = [&](bool matchingOnly) {
    const int selected = main_->SelectedRow();
    main_->Model()->BeginDocumentChange();
    kx::PoImportReport report;
    QString error;
    try {
      report = kx::ImportPo(doc, path.toStdString(), {.applyMatchingOnly = matchingOnly});
    } catch (const kx::Error& e) {
      error = FromUtf8(e.what());
    }
    main_->Model()->EndDocumentChange();
    main_->SelectAndFocusRow(selected);
    if (!error.isEmpty()) {
      Prompts().Error(main_, error);
      report.refused = true;
      report.matched = 0;
    }
    return std::make_pair(report, error.isEmpty());
  };
  auto [report, read] = run(false);
  if (!read) return;
  if (report.refused) {
    if (report.matched == 0) {
      Prompts().Error(main_, FromUtf8(report.Summary()));
      return;
    }
    const QMessageBox::StandardButton answer = Prompts().Question(
        main_, title,
        FromUtf8(report.Summary()) +
            QStringLiteral("\n\nЗагрузить только совпадающие записи (%1)?").arg(report.matched),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return;
    std::tie(report, read) = run(true);
    if (!read) return;
  }
  Prompts().Information(main_, title, FromUtf8(report.Summary()));
}

// --- Byte meter ----------------------------------------------------------------------------

void ShowByteMeter(QLabel* label, int row, const QString& translation) {
  TForm1* main = Form1();
  if (!main || !main->Doc().DocOpened || row < 0 ||
      static_cast<size_t>(row) >= main->Doc().Entries.size()) {
    label->clear();
    label->setProperty("level", 0);
    return;
  }
  const kx::SaveOptions save = SaveForm() ? SaveForm()->Options() : kx::SaveOptions{};
  const QByteArray utf8 = translation.toUtf8();
  const std::string text = kx::Utf8ToCp1251(std::string_view(utf8.constData(), utf8.size()));
  const kx::ByteMeter m =
      kx::MeasureTranslation(main->Doc(), static_cast<size_t>(row), text, save, main->SymCache());
  const int level = m.OverLimit() ? 2 : m.OverOriginal() ? 1 : 0;
  label->setText(FromUtf8(kx::ByteMeterText(m)));
  label->setProperty("level", level);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText,
                   level == 2   ? QColor(200, 0, 0)
                   : level == 1 ? QColor(176, 96, 0)
                                : label->parentWidget()->palette().color(QPalette::WindowText));
  label->setPalette(palette);
}
