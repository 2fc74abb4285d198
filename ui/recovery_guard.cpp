#include "recovery_guard.h"

#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include "document/round_trip.h"
#include "prompter.h"
#include "streams/error.h"

RecoveryGuard::RecoveryGuard(QWidget* owner, QStatusBar* bar, kx::Document& doc,
                             kx::Autosave::Clock clock)
    : QObject(owner), owner_(owner), doc_(doc), autosave_(std::move(clock)) {
  warning_ = new QPushButton(owner);
  warning_->setFlat(true);
  warning_->setStyleSheet(QStringLiteral("color: #a04000; text-align: left;"));
  warning_->setToolTip(QStringLiteral("Показать, что не сохранится при записи результата"));
  warning_->hide();
  if (bar) bar->addWidget(warning_);
  connect(warning_, &QPushButton::clicked, this, &RecoveryGuard::ShowReport);
  timer_ = new QTimer(this);
  timer_->setInterval(1000);
  connect(timer_, &QTimer::timeout, this, &RecoveryGuard::Tick);
  timer_->start();
}

RecoveryGuard::~RecoveryGuard() = default;

QString RecoveryGuard::RecoveryQuestion() {
  return QStringLiteral("Найден несохранённый перевод этого файла. Восстановить?");
}

bool RecoveryGuard::DocumentOpened() {
  bool recovered = false;
  if (kx::HasNewerRecovery(doc_.DocFileName)) {
    QMessageBox::StandardButton answer = Prompts().Question(
        owner_, QStringLiteral("Восстановление"), RecoveryQuestion(),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
      recovered = kx::ApplyRecovery(doc_);
    } else {
      kx::RemoveRecoveryFile(doc_.DocFileName);
    }
  }
  // What the store holds is the baseline; recovered work is newer than the store and is
  // written again on the next tick if the program stops before a save.
  autosave_.Baseline(doc_);

  kx::RoundTripReport report = kx::CheckRoundTrip(doc_);
  if (report.writable && !report.exact) {
    report_ = QString::fromStdString(report.Text());
    warning_->setText(QStringLiteral("Внимание: результат будет отличаться от исходного файла "
                                     "(подробнее)"));
    warning_->show();
  } else {
    ClearWarning();
  }
  return recovered;
}

void RecoveryGuard::ClearWarning() {
  report_.clear();
  warning_->hide();
}

void RecoveryGuard::DocumentStored() {
  autosave_.Baseline(doc_);
  if (!doc_.DocOpened) ClearWarning();
}

void RecoveryGuard::TranslationAccepted() {
  try {
    autosave_.Flush(doc_);
  } catch (const kx::Error&) {
    // The recovery file is a safety net; the next tick tries again.
  }
}

void RecoveryGuard::WorkAbandoned() {
  if (!doc_.DocFileName.empty()) kx::RemoveRecoveryFile(doc_.DocFileName);
}

void RecoveryGuard::Tick() {
  try {
    autosave_.Poll(doc_);
  } catch (const kx::Error&) {
  }
}

void RecoveryGuard::ShowReport() {
  if (!report_.isEmpty())
    Prompts().Information(owner_, QStringLiteral("Проверка формата"), report_);
}
