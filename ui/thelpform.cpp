#include "thelpform.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

// The help pages live in a static library: their resources must be registered by hand.
static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace {

struct Topic {
  int context;
  const char* page;
};

// The context numbers the windows' help buttons use, and their pages.
constexpr Topic kTopics[] = {
    {8, "params.html"},       // file-parameters dialog, "По компаниям"
    {9, "manual.html"},       // file-parameters dialog, "Вручную"
    {10, "translate.html"},   // translation dialog
    {11, "save.html"},        // save options dialog
    {91, "script.html"},      // script editor
    {100, "find.html"},       // find dialog
    {1234, "pngfont.html"},   // PNG font editor
    {1235, "elkware.html"},   // Elkware browser
    {1236, "symtable.html"},  // symbol table editor
};

QToolButton* NavButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& tip) {
  auto* b = new QToolButton(parent);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setToolTip(tip);
  b->setAutoRaise(true);
  return b;
}

}  // namespace

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  InitHelpResources();
  setObjectName(QStringLiteral("HelpForm"));
  setWindowTitle(QStringLiteral("Справка — Перевод мобильных игр"));

  Browser = new QTextBrowser(this);
  Browser->setObjectName(QStringLiteral("Browser"));
  Browser->setOpenLinks(true);
  Browser->setOpenExternalLinks(false);
  connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = Browser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Справка")
                                   : QStringLiteral("Справка — ") + title);
  });

  QToolButton* back = NavButton(this, QStyle::SP_ArrowBack, QStringLiteral("Назад"));
  QToolButton* forward = NavButton(this, QStyle::SP_ArrowForward, QStringLiteral("Вперёд"));
  QToolButton* home = NavButton(this, QStyle::SP_DirHomeIcon, QStringLiteral("Содержание"));
  connect(back, &QToolButton::clicked, Browser, &QTextBrowser::backward);
  connect(forward, &QToolButton::clicked, Browser, &QTextBrowser::forward);
  connect(home, &QToolButton::clicked, this, &THelpForm::ShowContents);
  connect(Browser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
  connect(Browser, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(back);
  bar->addWidget(forward);
  bar->addWidget(home);
  bar->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(bar);
  layout->addWidget(Browser, 1);
  resize(640, 520);
}

QString THelpForm::ContentsUrl() { return QStringLiteral("qrc:/help/index.html"); }

QString THelpForm::TopicUrl(int context) {
  for (const Topic& t : kTopics)
    if (t.context == context) return QStringLiteral("qrc:/help/") + QString::fromLatin1(t.page);
  return ContentsUrl();
}

void THelpForm::ShowContents() { Open(ContentsUrl()); }

void THelpForm::ShowTopic(int context) { Open(TopicUrl(context)); }

QString THelpForm::CurrentUrl() const { return Browser->source().toString(); }

void THelpForm::Open(const QString& url) {
  Browser->setSource(QUrl(url));
  // Called from a modal dialog, the help window must be modal too, or the dialog would keep
  // it from taking any input.
  const Qt::WindowModality modality =
      QApplication::activeModalWidget() && QApplication::activeModalWidget() != this
          ? Qt::ApplicationModal
          : Qt::NonModal;
  if (windowModality() != modality) {
    hide();
    setWindowModality(modality);
  }
  show();
  raise();
  activateWindow();
}
