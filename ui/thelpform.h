#pragma once
// The help window: the Russian help book (HTML pages in the program's resources) with its
// contents page and one topic per context number.
#include <QWidget>

class QTextBrowser;
class QToolButton;

class THelpForm : public QWidget {
  Q_OBJECT

 public:
  explicit THelpForm(QWidget* parent = nullptr);

  // The page of a context number ("qrc:/help/....html"), or the contents page.
  static QString TopicUrl(int context);
  static QString ContentsUrl();

  void ShowContents();
  void ShowTopic(int context);
  QString CurrentUrl() const;

  QTextBrowser* Browser = nullptr;

 private:
  void Open(const QString& url);
};
