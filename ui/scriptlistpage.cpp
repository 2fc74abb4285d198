#include "scriptlistpage.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>
#include <filesystem>

#include "app.h"
#include "icons.h"
#include "prompter.h"
#include "streams/error.h"
#include "tscriptform.h"

namespace {

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
std::filesystem::path ToPath(const QString& s) { return std::filesystem::path(s.toStdString()); }

}  // namespace

ScriptListPage::ScriptListPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ScriptListPage"));
  Label1 = new QLabel(QStringLiteral("Скрипты:"), this);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ScriptList"));
  Label1->setBuddy(ListBox1);
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { EditScriptClick(); });

  auto button = [this](const QString& hint, int icon, void (ScriptListPage::*click)()) {
    auto* b = new QToolButton(this);
    b->setIcon(AppIcon(icon));
    b->setIconSize(QSize(16, 16));
    b->setToolTip(hint);
    b->setAutoRaise(false);
    connect(b, &QToolButton::clicked, this, click);
    return b;
  };
  NewScriptBtn =
      button(QStringLiteral("Создать новый скрипт"), kIconNew, &ScriptListPage::NewScriptClick);
  EditScriptBtn =
      button(QStringLiteral("Редактировать скрипт"), kIconList, &ScriptListPage::EditScriptClick);
  DeleteScriptBtn =
      button(QStringLiteral("Удалить скрипт"), kIconClose, &ScriptListPage::DeleteScriptClick);
  LoadScriptsBtn = button(QStringLiteral("Загрузить файл со скриптами"), kIconOpen,
                          &ScriptListPage::LoadScriptsClick);
  SaveScriptsBtn = button(QStringLiteral("Сохранить файл со скриптами"), kIconSave,
                          &ScriptListPage::SaveScriptsClick);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Label1, 0, 0);
  layout->addWidget(ListBox1, 1, 0, 6, 1);
  int row = 1;
  for (QToolButton* b :
       {NewScriptBtn, EditScriptBtn, DeleteScriptBtn, LoadScriptsBtn, SaveScriptsBtn})
    layout->addWidget(b, row++, 1);
  layout->setRowStretch(6, 1);
}

TScriptForm* ScriptListPage::Editor() const { return editor_ ? editor_ : ScriptForm(); }

int ScriptListPage::SelectedRow() const {
  const int row = ListBox1->currentRow();
  return row >= 0 && ListBox1->item(row)->isSelected() ? row : -1;
}

void ScriptListPage::Append(kx::TScript script) {
  ListBox1->addItem(Utf8(script.Name));
  scripts_.push_back(std::move(script));
}

void ScriptListPage::NewScriptClick() {
  TScriptForm* editor = Editor();
  if (!editor) return;
  editor->SetResourceName(ResourceName ? ResourceName() : QString());
  editor->NewScript();
  if (editor->exec() == QDialog::Accepted) Append(editor->Script());
}

void ScriptListPage::EditScriptClick() {
  const int row = SelectedRow();
  TScriptForm* editor = Editor();
  if (row < 0 || !editor) return;
  editor->SetResourceName(ResourceName ? ResourceName() : QString());
  editor->EditScript(scripts_[static_cast<size_t>(row)]);
  if (editor->exec() != QDialog::Accepted) return;
  scripts_[static_cast<size_t>(row)] = editor->Script();
  ListBox1->item(row)->setText(Utf8(scripts_[static_cast<size_t>(row)].Name));
}

void ScriptListPage::DeleteScriptClick() {
  const int row = SelectedRow();
  if (row < 0) return;
  scripts_.erase(scripts_.begin() + row);
  delete ListBox1->takeItem(row);
  // No name is left selected, so OK asks for one again.
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();
}

void ScriptListPage::LoadScriptsClick() {
  TScriptForm* editor = Editor();
  if (!editor) return;
  int filterIndex = 1;
  const QString fileName = Prompts().OpenFileName(
      this, QStringLiteral("Загрузить файл со скриптами"), dialogDir_, Filter(), &filterIndex);
  if (fileName.isEmpty()) return;
  dialogDir_ = QFileInfo(fileName).absolutePath();
  try {
    // The variables are made in the editor's pools, where every script of the run lives.
    for (kx::TScript& script : kx::LoadScriptFile(ToPath(fileName), editor->Pools()))
      Append(std::move(script));
  } catch (const kx::Error& e) {
    Prompts().Error(this, Utf8(e.what()));
  }
}

void ScriptListPage::SaveScriptsClick() {
  int filterIndex = 1;
  const QString fileName =
      Prompts().SaveFileName(this, QStringLiteral("Сохранить файл со скриптами"), dialogDir_,
                             Filter(), &filterIndex, QStringLiteral("script"));
  if (fileName.isEmpty()) return;
  dialogDir_ = QFileInfo(fileName).absolutePath();
  std::vector<kx::TLostParameter> lost;
  try {
    kx::SaveScriptFile(ToPath(fileName), scripts_, &lost);
  } catch (const kx::Error& e) {
    Prompts().Error(this, Utf8(e.what()));
    return;
  }
  if (lost.empty()) return;
  // A parameter whose variable no command of its own script makes cannot be written as a
  // position in that script; the file gives it the default, and the user should know.
  QString text = QStringLiteral(
      "Файл сохранён, но эти параметры взяты не из своего скрипта и записаны по умолчанию "
      "(b0 или u0):");
  for (const kx::TLostParameter& p : lost)
    text +=
        QStringLiteral("\n«%1», команда %2: %3").arg(Utf8(p.Script)).arg(p.Line).arg(Utf8(p.Name));
  Prompts().Warning(this, QStringLiteral("Сохранить файл со скриптами"), text);
}

bool ScriptListPage::CheckSelection() {
  if (SelectedRow() >= 0) return true;
  Prompts().Information(this, QString::fromUtf8(kx::msg::kAppTitle),
                        QStringLiteral("Ошибка: Не выбран скрипт!"));
  return false;
}
