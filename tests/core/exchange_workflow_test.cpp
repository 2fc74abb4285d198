// The work left in a document: next untranslated row, view filters, consistency of repeated
// originals and copying a translation into the untranslated rows of the same original.
#include <gtest/gtest.h>

#include "exchange/workflow.h"

namespace {

// Rows as "original=translation", "*" in front for a checked row.
void Fill(kx::Document& doc, std::initializer_list<const char*> rows) {
  doc.DocOpened = true;
  for (std::string r : rows) {
    kx::TranslationEntry e;
    if (r[0] == '*') {
      e.Checked = true;
      r.erase(0, 1);
    }
    size_t eq = r.find('=');
    e.Original = r.substr(0, eq);
    if (eq != std::string::npos) e.Translation = r.substr(eq + 1);
    doc.Entries.push_back(e);
  }
}

TEST(NextUntranslated, SearchesOnThenWrapsToTheTopOnce) {
  kx::Document doc;
  Fill(doc, {"a", "b=B", "c", "d=D"});
  struct {
    size_t from;
    std::optional<size_t> next;
  } cases[] = {
      {0, 2},         // skips the translated row
      {2, 0},         // past the last untranslated row: wraps to the top
      {3, 0},         // from the last row
      {SIZE_MAX, 0},  // no selection: from the top
  };
  for (const auto& c : cases) EXPECT_EQ(kx::NextUntranslated(doc, c.from), c.next) << c.from;

  kx::Document one;
  Fill(one, {"a=A", "b", "c=C"});
  EXPECT_EQ(kx::NextUntranslated(one, 1), 1u);  // the only one left is the row itself
  kx::Document done;
  Fill(done, {"a=A", "b=B"});
  EXPECT_EQ(kx::NextUntranslated(done, 0), std::nullopt);
  EXPECT_EQ(kx::NextUntranslated(kx::Document{}, 0), std::nullopt);
}

TEST(ViewFilter, SelectsRowsByState) {
  kx::Document doc;
  Fill(doc, {"a", "b=B", "*c", "*d=D"});
  struct {
    kx::ViewFilter filter;
    std::vector<size_t> rows;
  } cases[] = {
      {kx::ViewFilter::All, {0, 1, 2, 3}},
      {kx::ViewFilter::Untranslated, {0, 2}},
      {kx::ViewFilter::Translated, {1, 3}},
      {kx::ViewFilter::Checked, {2, 3}},
  };
  for (const auto& c : cases) {
    std::vector<size_t> rows;
    for (size_t i = 0; i < doc.Entries.size(); ++i)
      if (kx::RowPasses(doc.Entries[i], c.filter)) rows.push_back(i);
    EXPECT_EQ(rows, c.rows) << kx::ViewFilterName(c.filter);
  }
}

TEST(Consistency, ListsOriginalsWhoseRowsDisagree) {
  kx::Document doc;
  Fill(doc, {"Yes=Да", "No=Нет", "Yes=Ага", "Yes", "Back", "No=Нет", "Yes=Да", "Go", "Back", ".",
             ".=x", "Ok=Ок", "No"});
  std::vector<kx::ConsistencyGroup> groups = kx::CheckConsistency(doc);
  ASSERT_EQ(groups.size(), 2u);  // "Back" and "Go" have no translation, "." is no text

  EXPECT_EQ(groups[0].original, "Yes");
  EXPECT_EQ(groups[0].rows, (std::vector<size_t>{0, 2, 3, 6}));
  ASSERT_EQ(groups[0].translations.size(), 2u);
  EXPECT_EQ(groups[0].translations[0].translation, "Да");
  EXPECT_EQ(groups[0].translations[0].count, 2u);
  EXPECT_EQ(groups[0].untranslated, std::vector<size_t>{3});
  EXPECT_TRUE(groups[0].Conflicting());

  EXPECT_EQ(groups[1].original, "No");  // one translation, but an untranslated row
  EXPECT_FALSE(groups[1].Conflicting());
  EXPECT_EQ(groups[1].untranslated, std::vector<size_t>{12});
}

TEST(Consistency, PropagationFillsOnlyRowsStillUntranslated) {
  kx::Document doc;
  Fill(doc, {"Yes=Ага", "Yes=Да", "Yes", "Yes=Да", "No=Нет", "No", "No", "Go"});
  std::vector<kx::Propagation> plan = kx::PlanPropagation(kx::CheckConsistency(doc));
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].translation, "Да");  // used by most rows, not the first seen
  EXPECT_EQ(plan[0].rows, std::vector<size_t>{2});
  EXPECT_EQ(plan[1].rows, (std::vector<size_t>{5, 6}));
  EXPECT_EQ(kx::PropagationRowCount(plan), 3u);

  doc.Entries[6].Translation = "Не";  // translated after the preview: kept
  EXPECT_FALSE(doc.DocModified);
  EXPECT_EQ(kx::ApplyPropagation(doc, plan), 2u);
  EXPECT_TRUE(doc.DocModified);
  EXPECT_EQ(doc.Entries[2].Translation, "Да");
  EXPECT_EQ(doc.Entries[5].Translation, "Нет");
  EXPECT_EQ(doc.Entries[6].Translation, "Не");
  EXPECT_EQ(doc.Entries[7].Translation, "");

  doc.DocModified = false;
  EXPECT_EQ(kx::ApplyPropagation(doc, plan), 0u);  // nothing left to fill
  EXPECT_FALSE(doc.DocModified);
}

}  // namespace
