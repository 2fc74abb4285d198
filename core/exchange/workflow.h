#pragma once
// Finding the work left in a document: the next untranslated row, the view filters of the main
// window, and originals that occur more than once with translations that differ.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"

namespace kx {

// The row after `from` (or the first row when `from` is past the end, as for no selection)
// whose translation is empty, searching to the end and then once from the top up to `from`
// itself. Nothing when every row is translated.
std::optional<size_t> NextUntranslated(const Document& doc, size_t from);

// The main window's view filters, in the order of its menu.
enum class ViewFilter { All, Untranslated, Translated, Checked };
bool RowPasses(const TranslationEntry& entry, ViewFilter filter);
// The caption the status bar shows for a filter.
std::string ViewFilterName(ViewFilter filter);

// One original that occurs in more than one row where the rows disagree: more than one
// translation, or a translation and untranslated rows.
struct ConsistencyGroup {
  std::string original;      // Windows-1251
  std::vector<size_t> rows;  // every row with this original, in order
  struct Variant {
    std::string translation;  // Windows-1251, never empty
    size_t count = 0;         // rows with it
  };
  std::vector<Variant> translations;  // in the order they first occur
  std::vector<size_t> untranslated;   // the rows of `rows` without a translation

  bool Conflicting() const { return translations.size() > 1; }
};

// Every such group, in the order of the first row of each. Empty originals (also the "."
// placeholder) are not compared: they are not texts of the game.
std::vector<ConsistencyGroup> CheckConsistency(const Document& doc);

// Copying one translation into the untranslated rows of one original.
struct Propagation {
  std::string original;
  std::string translation;
  std::vector<size_t> rows;  // the untranslated rows that receive it
};

// For every group with a translation and untranslated rows, the translation used by most of its
// rows (the first of equals) for those rows: the preview the user confirms.
std::vector<Propagation> PlanPropagation(const std::vector<ConsistencyGroup>& groups);
size_t PropagationRowCount(const std::vector<Propagation>& plan);

// Fills the planned rows that still have the original and are still untranslated; returns how
// many were filled and sets DocModified when any was.
size_t ApplyPropagation(Document& doc, const std::vector<Propagation>& plan);

}  // namespace kx
