// Kelvatrix: translating the texts of Java ME games into Russian.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app.h"
#include "tform1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Перевод мобильных игр"));
  // The program speaks Russian: Qt's own buttons and dialogs too ("Да", "Нет", "Отмена").
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtTranslator);
  // The run ends with the main window, whatever tool windows are still open; they ask nothing.
  QApplication::setQuitOnLastWindowClosed(false);
  App app;
  QObject::connect(app.form1, &TForm1::Closed, &application, &QApplication::quit);
  app.form1->show();
  return QApplication::exec();
}
