// Kelvatrix: translating the texts of Java ME games into Russian.
#include <QApplication>

#include "app.h"
#include "tform1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Перевод мобильных игр"));
  App app;
  app.form1->show();
  return QApplication::exec();
}
