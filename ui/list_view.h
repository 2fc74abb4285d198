#pragma once
// The main window's list: a table view in report style. Enter and typed characters are handed
// to the window (they open the translation dialog) instead of the view's own keyboard search.
#include <QTableView>

class TListView : public QTableView {
  Q_OBJECT

 public:
  explicit TListView(QWidget* parent = nullptr);

  // Scrolls the list down by (row top - list height + 30) pixels when the top of `row`, plus
  // `margin`, lies below the height of the list; rows above the visible part are left alone.
  void ScrollDownTo(int row, int margin);

 signals:
  // Enter as the character 13, or the text of a key whose first character has code 32 or above.
  void KeyPress(const QString& key);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};
