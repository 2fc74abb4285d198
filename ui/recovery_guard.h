#pragma once
// Keeps the translator's work between saves for the main window: the autosave timer, the offer
// to recover unsaved work when a file is opened again, and the round-trip warning in the status
// bar. The logic is the core's (document/recovery.h, document/round_trip.h); this class only
// asks and shows.
#include <QObject>
#include <QString>
#include <memory>

#include "document/document.h"
#include "document/recovery.h"

class QPushButton;
class QStatusBar;
class QTimer;
class QWidget;

class RecoveryGuard : public QObject {
  Q_OBJECT

 public:
  RecoveryGuard(QWidget* owner, QStatusBar* bar, kx::Document& doc,
                kx::Autosave::Clock clock = [] { return std::chrono::steady_clock::now(); });
  ~RecoveryGuard() override;

  // Right after a successful opening: offers a newer recovery file (Yes applies it, No deletes
  // it) and runs the round-trip check. Returns true when translations were recovered.
  bool DocumentOpened();
  // The store now holds the document (after a save with the store, a close, a discard).
  void DocumentStored();
  // The translation dialog closed with OK.
  void TranslationAccepted();
  // The program ends without saving ("Нет" to "Сохранить изменения?").
  void WorkAbandoned();
  // The timer's tick (public so tests can drive it with their own clock).
  void Tick();

  // The round-trip report of the open document, empty when the round trip is exact.
  const QString& Report() const { return report_; }
  QPushButton* WarningButton() const { return warning_; }

  static QString RecoveryQuestion();

 private:
  void ShowReport();
  void ClearWarning();

  QWidget* owner_;
  kx::Document& doc_;
  kx::Autosave autosave_;
  QTimer* timer_ = nullptr;
  QPushButton* warning_ = nullptr;
  QString report_;
};
