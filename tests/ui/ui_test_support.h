#pragma once
// Helpers of the window tests: a private folder that is also the configuration folder, the
// program's windows with the fake prompter, small Macrospace files, and answering the modal
// dialogs that a command opens.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>

#include "app.h"
#include "fake_prompter.h"
#include "list_view.h"
#include "streams/cp1251.h"
#include "tform1.h"
#include "translation_model.h"

namespace uitest {

// Runs `step` with the modal dialog that the next command shows, once it is on screen. Steps
// read what they need and close the dialog; the test checks afterwards, so a failed check never
// leaves a dialog open.
inline QList<QTimer*>& PendingModalSteps() {
  static QList<QTimer*> pending;
  return pending;
}

// Drops the steps whose dialog never came (their test has failed already).
inline void CancelPendingModalSteps() {
  qDeleteAll(PendingModalSteps());
  PendingModalSteps().clear();
}

inline void WhenModal(std::function<void(QWidget*)> step) {
  auto* timer = new QTimer;
  PendingModalSteps().append(timer);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    timer->stop();
    PendingModalSteps().removeOne(timer);
    timer->deleteLater();
    step(modal);
  });
  timer->start();
}

// A Macrospace file: a 32-bit big-endian count, then each text as a UTF field (16-bit
// big-endian byte count and UTF-8).
inline void WriteMacrospace(const QString& path, const QStringList& texts) {
  QByteArray bytes;
  const auto n = static_cast<quint32>(texts.size());
  bytes.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
  for (const QString& t : texts) {
    const QByteArray utf8 = t.toUtf8();
    bytes.append(char(utf8.size() >> 8)).append(char(utf8.size() & 0xFF)).append(utf8);
  }
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A translation store with the given values (index -> translation, "!" first when checked).
inline void WriteStore(const QString& path, const std::map<int, QString>& values) {
  std::string text = "[data]\r\n";
  for (const auto& [index, value] : values)
    text += std::to_string(index) + "=" + kx::Utf8ToCp1251(value.toStdString()) + "\r\n";
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(text.data(), static_cast<qint64>(text.size()));
}

// The windows of one test, in a private folder that is also the configuration folder.
struct Session {
  QTemporaryDir dir;
  FakePrompter prompts;
  FakePrompter::Scope scope{prompts};
  std::unique_ptr<App> app;

  Session() {
    // Closing the main window must not end the test's event loops.
    QApplication::setQuitOnLastWindowClosed(false);
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    app = std::make_unique<App>();
  }
  ~Session() { CancelPendingModalSteps(); }
  TForm1* main() const { return app->form1; }
  QString Path(const QString& name) const { return dir.filePath(name); }
  QString SettingsText() const {
    QFile f(TForm1::SettingsPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
  }

  // A Macrospace file "lang.dat" with these originals, opened in the main window.
  void Open(const QStringList& originals, const std::map<int, QString>& store = {}) {
    const QString file = Path("lang.dat");
    WriteMacrospace(file, originals);
    if (!store.empty()) WriteStore(file + ".loc", store);
    QVERIFY(main()->LoadDocument(file, 0));
  }
  QString Translation(int row) const { return main()->Model()->Translation(row); }

  // A key pressed in the active main window (so its shortcuts apply).
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    main()->show();
    main()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(main()));
    QTest::keyClick(main()->List(), key, modifiers);
  }
};

}  // namespace uitest
