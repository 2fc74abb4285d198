#include "exchange/workflow.h"

#include <string_view>
#include <unordered_map>

namespace kx {

std::optional<size_t> NextUntranslated(const Document& doc, size_t from) {
  const size_t n = doc.Entries.size();
  if (n == 0) return std::nullopt;
  // Rows from + 1 .. n - 1, then 0 .. from: each row once, the starting row last.
  const size_t start = from < n ? from + 1 : 0;
  for (size_t k = 0; k < n; ++k) {
    size_t i = (start + k) % n;
    if (doc.Entries[i].Translation.empty()) return i;
  }
  return std::nullopt;
}

bool RowPasses(const TranslationEntry& entry, ViewFilter filter) {
  switch (filter) {
    case ViewFilter::Untranslated:
      return entry.Translation.empty();
    case ViewFilter::Translated:
      return !entry.Translation.empty();
    case ViewFilter::Checked:
      return entry.Checked;
    case ViewFilter::All:
      break;
  }
  return true;
}

std::string ViewFilterName(ViewFilter filter) {
  switch (filter) {
    case ViewFilter::Untranslated:
      return "Непереведённые";
    case ViewFilter::Translated:
      return "Переведённые";
    case ViewFilter::Checked:
      return "Отмеченные";
    case ViewFilter::All:
      break;
  }
  return "Все строки";
}

std::vector<ConsistencyGroup> CheckConsistency(const Document& doc) {
  // Rows grouped by original, the groups in the order of their first row.
  std::unordered_map<std::string_view, size_t> groupOf;
  std::vector<ConsistencyGroup> all;
  for (size_t i = 0; i < doc.Entries.size(); ++i) {
    const TranslationEntry& e = doc.Entries[i];
    if (e.Original.empty() || e.Original == ".") continue;
    auto [it, added] = groupOf.try_emplace(e.Original, all.size());
    if (added) {
      all.emplace_back();
      all.back().original = e.Original;
    }
    ConsistencyGroup& g = all[it->second];
    g.rows.push_back(i);
    if (e.Translation.empty()) {
      g.untranslated.push_back(i);
      continue;
    }
    bool known = false;
    for (ConsistencyGroup::Variant& v : g.translations)
      if (v.translation == e.Translation) {
        ++v.count;
        known = true;
        break;
      }
    if (!known) g.translations.push_back({e.Translation, 1});
  }
  std::vector<ConsistencyGroup> found;
  for (ConsistencyGroup& g : all)
    if (g.translations.size() > 1 || (!g.translations.empty() && !g.untranslated.empty()))
      found.push_back(std::move(g));
  return found;
}

std::vector<Propagation> PlanPropagation(const std::vector<ConsistencyGroup>& groups) {
  std::vector<Propagation> plan;
  for (const ConsistencyGroup& g : groups) {
    if (g.translations.empty() || g.untranslated.empty()) continue;
    const ConsistencyGroup::Variant* best = &g.translations.front();
    for (const ConsistencyGroup::Variant& v : g.translations)
      if (v.count > best->count) best = &v;
    plan.push_back({g.original, best->translation, g.untranslated});
  }
  return plan;
}

size_t PropagationRowCount(const std::vector<Propagation>& plan) {
  size_t n = 0;
  for (const Propagation& p : plan) n += p.rows.size();
  return n;
}

size_t ApplyPropagation(Document& doc, const std::vector<Propagation>& plan) {
  size_t filled = 0;
  for (const Propagation& p : plan)
    for (size_t row : p.rows) {
      if (row >= doc.Entries.size()) continue;
      TranslationEntry& e = doc.Entries[row];
      if (e.Original != p.original || !e.Translation.empty()) continue;
      e.Translation = p.translation;
      ++filled;
    }
  if (filled > 0) doc.DocModified = true;
  return filled;
}

}  // namespace kx
