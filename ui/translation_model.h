#pragma once
// The main window's list as a view over the open document: one row per entry, the columns
// "English" (the original, with the entry's check box) and "Русский" (the translation). The
// entries stay in kx::Document; texts are converted from Windows-1251 only for the rows drawn.
#include <QAbstractTableModel>

#include "document/document.h"

class TranslationModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kEnglish = 0, kRussian = 1, kColumnCount = 2 };

  explicit TranslationModel(kx::Document& doc, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Around any change of the entries made by the core (opening, closing, discarding).
  void BeginDocumentChange();
  void EndDocumentChange();

  // The texts of row `row` as UTF-8 for the windows, and storing a translation.
  QString Original(int row) const;
  QString Translation(int row) const;
  void SetTranslation(int row, const QString& text);
  void SetChecked(int row, bool checked);

  size_t TranslatedCount() const { return translated_; }
  size_t CheckedCount() const { return checked_; }

 signals:
  // The counts of entries, translated entries or checked entries may have changed.
  void CountsChanged();

 private:
  void Recount();

  kx::Document& doc_;
  size_t translated_ = 0;
  size_t checked_ = 0;
};
