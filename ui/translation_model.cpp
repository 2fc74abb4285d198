#include "translation_model.h"

#include "streams/cp1251.h"

namespace {

QString FromCp1251(const std::string& text) {
  const std::string utf8 = kx::Cp1251ToUtf8(text);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

TranslationModel::TranslationModel(kx::Document& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {
  Recount();
}

int TranslationModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(doc_.Entries.size());
}

int TranslationModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TranslationModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= doc_.Entries.size())
    return QVariant();
  const kx::TranslationEntry& e = doc_.Entries[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return FromCp1251(index.column() == kEnglish ? e.Original : e.Translation);
    case Qt::CheckStateRole:
      if (index.column() == kEnglish) return e.Checked ? Qt::Checked : Qt::Unchecked;
      return QVariant();
    default:
      return QVariant();
  }
}

bool TranslationModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != kEnglish || role != Qt::CheckStateRole) return false;
  SetChecked(index.row(), value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags TranslationModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == kEnglish) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant TranslationModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  if (section == kEnglish) return QStringLiteral("English");
  if (section == kRussian) return QStringLiteral("Русский");
  return QVariant();
}

void TranslationModel::BeginDocumentChange() { beginResetModel(); }

void TranslationModel::EndDocumentChange() {
  endResetModel();
  Recount();
  emit CountsChanged();
}

QString TranslationModel::Original(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= doc_.Entries.size()) return QString();
  return FromCp1251(doc_.Entries[static_cast<size_t>(row)].Original);
}

QString TranslationModel::Translation(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= doc_.Entries.size()) return QString();
  return FromCp1251(doc_.Entries[static_cast<size_t>(row)].Translation);
}

void TranslationModel::SetTranslation(int row, const QString& text) {
  if (row < 0 || static_cast<size_t>(row) >= doc_.Entries.size()) return;
  kx::TranslationEntry& e = doc_.Entries[static_cast<size_t>(row)];
  const QByteArray utf8 = text.toUtf8();
  std::string value = kx::Utf8ToCp1251(std::string_view(utf8.constData(), utf8.size()));
  if (value == e.Translation) return;
  const bool was = !e.Translation.empty();
  e.Translation = std::move(value);
  const bool now = !e.Translation.empty();
  if (was != now) {
    if (now)
      ++translated_;
    else
      --translated_;
  }
  const QModelIndex cell = index(row, kRussian);
  emit dataChanged(cell, cell, {Qt::DisplayRole, Qt::ToolTipRole});
  if (was != now) emit CountsChanged();
}

void TranslationModel::SetChecked(int row, bool checked) {
  if (row < 0 || static_cast<size_t>(row) >= doc_.Entries.size()) return;
  kx::TranslationEntry& e = doc_.Entries[static_cast<size_t>(row)];
  if (e.Checked == checked) return;
  e.Checked = checked;
  if (checked)
    ++checked_;
  else
    --checked_;
  const QModelIndex cell = index(row, kEnglish);
  emit dataChanged(cell, cell, {Qt::CheckStateRole});
  emit CountsChanged();
}

void TranslationModel::Recount() {
  translated_ = 0;
  checked_ = 0;
  for (const kx::TranslationEntry& e : doc_.Entries) {
    if (!e.Translation.empty()) ++translated_;
    if (e.Checked) ++checked_;
  }
}
