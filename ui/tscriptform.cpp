#include "tscriptform.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app.h"
#include "dialog_util.h"
#include "prompter.h"
#include "streams/error.h"
#include "teditdlg.h"
#include "tform1.h"

namespace {

constexpr int kHelpContext = 91;
constexpr QSize kDesignSize(545, 457);
const QString kDefaultName = QStringLiteral("Скрипт 1");

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

// The test output is the memo: a step's lines are appended, a reset clears it.
class TScriptForm::MemoOutput : public kx::TTestOutput {
 public:
  explicit MemoOutput(QPlainTextEdit* memo) : memo_(memo) {}
  void Clear() override { memo_->clear(); }
  void AddLine(const std::string& utf8) override { memo_->appendPlainText(Utf8(utf8)); }

 private:
  QPlainTextEdit* memo_;
};

TScriptForm::TScriptForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ScriptForm"));
  setWindowTitle(QStringLiteral("Скрипт"));

  Label1 = new QLabel(QStringLiteral("Список команд:"), this);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName(QStringLiteral("ListBox1"));
  for (int kind = 0; kind < kx::kCommandKindCount; ++kind)
    ListBox1->addItem(QString::fromUtf8(kx::CatalogueText(kind)));
  Label1->setBuddy(ListBox1);

  Label2 = new QLabel(QStringLiteral("Состав скрипта:"), this);
  ListBox2 = new QListWidget(this);
  ListBox2->setObjectName(QStringLiteral("ListBox2"));
  Label2->setBuddy(ListBox2);

  auto button = [this](const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  BitBtn4 = button(QStringLiteral("Добавить ->"), "BitBtn4");
  BitBtn5 = button(QStringLiteral("Удалить <-"), "BitBtn5");
  BitBtn6 = button(QStringLiteral("Вверх"), "BitBtn6");
  BitBtn7 = button(QStringLiteral("Вниз"), "BitBtn7");
  BitBtn10 = button(QStringLiteral("Параметры"), "BitBtn10");
  BitBtn8 = button(QStringLiteral("Тест (шаг)"), "BitBtn8");
  BitBtn9 = button(QStringLiteral("Сброс"), "BitBtn9");
  BitBtn1 = button(QStringLiteral("OK"), "BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn2 = button(QStringLiteral("Отмена"), "BitBtn2");
  BitBtn3 = button(QStringLiteral("&Помощь"), "BitBtn3");

  Label3 = new QLabel(QStringLiteral("Тест:"), this);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Label3->setBuddy(Memo1);
  output_ = std::make_unique<MemoOutput>(Memo1);

  Label4 = new QLabel(QStringLiteral("Название скрипта:"), this);
  Edit1 = new QLineEdit(kDefaultName, this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Label4->setBuddy(Edit1);

  connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
  connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
  connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });
  connect(BitBtn7, &QPushButton::clicked, this, [this] { BitBtn7Click(); });
  connect(BitBtn10, &QPushButton::clicked, this, [this] { BitBtn10Click(); });
  connect(BitBtn8, &QPushButton::clicked, this, [this] { BitBtn8Click(); });
  connect(BitBtn9, &QPushButton::clicked, this, [this] { BitBtn9Click(); });
  connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
  connect(ListBox2, &QListWidget::itemDoubleClicked, this, [this] { ListBox2DblClick(); });

  // Catalogue on the left, script on the right, the editing buttons between them and the test
  // buttons lower down; the test output below the catalogue; OK, "Отмена", "&Помощь" and the
  // name along the bottom.
  auto* middle = new QVBoxLayout;
  middle->addSpacing(Label1->sizeHint().height());
  for (QPushButton* b : {BitBtn4, BitBtn5, BitBtn6, BitBtn7, BitBtn10}) middle->addWidget(b);
  middle->addSpacing(16);
  middle->addWidget(BitBtn8);
  middle->addWidget(BitBtn9);
  middle->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(Label1);
  left->addWidget(ListBox1, 1);
  left->addWidget(Label3);
  left->addWidget(Memo1, 1);

  auto* right = new QVBoxLayout;
  right->addWidget(Label2);
  right->addWidget(ListBox2, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(left, 5);
  top->addLayout(middle, 0);
  top->addLayout(right, 5);

  auto* bottom = new QHBoxLayout;
  for (QPushButton* b : {BitBtn1, BitBtn2, BitBtn3}) {
    b->setMinimumWidth(75);
    bottom->addWidget(b);
  }
  bottom->addSpacing(16);
  bottom->addWidget(Label4);
  bottom->addWidget(Edit1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(bottom);
}

TScriptForm::~TScriptForm() = default;

void TScriptForm::showEvent(QShowEvent* event) {
  FixAndCentre(this, kDesignSize);
  QDialog::showEvent(event);
}

void TScriptForm::ResetTest() { test_.Reset(*output_); }

void TScriptForm::NewScript() {
  ResetTest();
  commands_.clear();
  ListBox2->clear();
  Memo1->clear();
}

void TScriptForm::EditScript(const kx::TScript& script) {
  NewScript();
  Edit1->setText(Utf8(script.Name));
  for (const kx::TData& c : script.Commands) InsertRow(static_cast<int>(commands_.size()), c);
}

kx::TScript TScriptForm::Script() const { return {Edit1->text().toStdString(), commands_}; }

void TScriptForm::InsertRow(int row, const kx::TData& command) {
  commands_.insert(commands_.begin() + row, command);
  ListBox2->insertItem(row, Utf8(command.DisplayText));
}

void TScriptForm::SwapRows(int a, int b) {
  std::swap(commands_[static_cast<size_t>(a)], commands_[static_cast<size_t>(b)]);
  ListBox2->item(a)->setText(Utf8(commands_[static_cast<size_t>(a)].DisplayText));
  ListBox2->item(b)->setText(Utf8(commands_[static_cast<size_t>(b)].DisplayText));
  ListBox2->setCurrentRow(b);
}

void TScriptForm::BitBtn4Click() {
  const int kind = ListBox1->currentRow();
  if (kind < 0 || !ListBox1->currentItem()->isSelected()) return;
  const int selected = ListBox2->currentItem() && ListBox2->currentItem()->isSelected()
                           ? ListBox2->currentRow()
                           : -1;
  const kx::TData command = pools_.NewCommand(kind);
  if (selected < 0) {
    InsertRow(static_cast<int>(commands_.size()), command);
  } else {
    // The new row goes before the selected one, which stays selected.
    InsertRow(selected, command);
    ListBox2->setCurrentRow(selected + 1);
  }
}

void TScriptForm::BitBtn5Click() {
  const int row = ListBox2->currentRow();
  if (row < 0 || !ListBox2->currentItem()->isSelected()) return;
  // The command's variable stays in its pool.
  commands_.erase(commands_.begin() + row);
  delete ListBox2->takeItem(row);
}

void TScriptForm::BitBtn6Click() {
  const int row = ListBox2->currentRow();
  if (row <= 0 || !ListBox2->currentItem()->isSelected()) return;
  SwapRows(row, row - 1);
}

void TScriptForm::BitBtn7Click() {
  const int row = ListBox2->currentRow();
  if (row < 0 || !ListBox2->currentItem()->isSelected() || row + 1 >= ListBox2->count()) return;
  SwapRows(row, row + 1);
}

void TScriptForm::BitBtn10Click() { ListBox2DblClick(); }

void TScriptForm::ListBox2DblClick() {
  const int row = ListBox2->currentRow();
  if (row < 0 || !ListBox2->currentItem()->isSelected()) return;
  kx::TData& command = commands_[static_cast<size_t>(row)];
  if (!command.HasParam) return;
  TEditDlg* dialog = editDlg_ ? editDlg_ : EditDlg();
  if (!dialog) return;
  QStringList names;
  for (const std::string& name : pools_.ParameterNames(command)) names << Utf8(name);
  dialog->SetNames(names, Utf8(kx::ParameterName(command)));
  if (dialog->exec() != QDialog::Accepted) return;
  const QString chosen = dialog->ChosenName();
  if (chosen.isEmpty()) return;
  if (kx::SetParameter(command, chosen.toStdString()))
    ListBox2->item(row)->setText(Utf8(command.DisplayText));
}

void TScriptForm::BitBtn8Click() {
  const kx::TStepResult result =
      test_.Step(commands_, pools_, std::filesystem::path(resourceName_.toStdString()), *output_);
  if (test_.LastRow >= 0 && test_.LastRow < ListBox2->count())
    ListBox2->setCurrentRow(test_.LastRow);
  if (result == kx::TStepResult::OpenFailed)
    Prompts().Information(this, QString::fromUtf8(kx::msg::kAppTitle),
                          QStringLiteral("Ошибка при открытии файла!"));
}

void TScriptForm::BitBtn9Click() { ResetTest(); }

void TScriptForm::BitBtn1Click() {
  if (commands_.empty()) {
    Prompts().Information(this, QString::fromUtf8(kx::msg::kAppTitle),
                          QStringLiteral("Ошибка: Пустой скрипт!"));
    return;
  }
  if (Edit1->text().isEmpty()) Edit1->setText(kDefaultName);
  ResetTest();
  accept();
}

void TScriptForm::BitBtn2Click() { reject(); }

void TScriptForm::reject() {
  ResetTest();
  QDialog::reject();
}

void TScriptForm::BitBtn3Click() {
  if (TForm1* main = Form1()) main->ShowHelpContext(kHelpContext);
}
