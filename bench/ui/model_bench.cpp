// The main window's list over a million entries: resetting the model after an opening, drawing
// the list scrolled to its end, toggling a check mark, and a search over every row.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include "list_view.h"
#include "search/find_match.h"
#include "streams/cp1251.h"
#include "translation_model.h"

namespace {

constexpr int kRows = 1000000;

void Fill(kx::Document& doc) {
  doc.Entries.clear();
  doc.Entries.reserve(kRows);
  const std::string original = kx::Utf8ToCp1251("Press 5 to continue the game ");
  const std::string translation = kx::Utf8ToCp1251("Нажмите 5, чтобы продолжить игру ");
  for (int i = 0; i < kRows; ++i)
    doc.Entries.push_back(
        {original + std::to_string(i), translation + std::to_string(i), i % 7 == 0, 0});
}

struct Bench {
  kx::Document doc;
  TranslationModel model{doc};
  TListView view;
  Bench() {
    view.resize(620, 400);
    view.setModel(&model);
    view.show();
  }
};

// Kept to the end of the run: its widgets must not outlive the application object.
Bench& TheBench() {
  static Bench* b = new Bench;
  return *b;
}

void BM_ModelResetAfterOpening(benchmark::State& state) {
  Bench& b = TheBench();
  for (auto _ : state) {
    b.model.BeginDocumentChange();
    Fill(b.doc);
    b.model.EndDocumentChange();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ModelResetAfterOpening)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrollToTheEndAndDraw(benchmark::State& state) {
  Bench& b = TheBench();
  if (b.doc.Entries.size() != kRows) {
    b.model.BeginDocumentChange();
    Fill(b.doc);
    b.model.EndDocumentChange();
  }
  bool end = false;
  for (auto _ : state) {
    QScrollBar* bar = b.view.verticalScrollBar();
    bar->setValue(end ? bar->minimum() : bar->maximum());
    end = !end;
    b.view.viewport()->repaint();
  }
}
BENCHMARK(BM_ScrollToTheEndAndDraw)->Unit(benchmark::kMillisecond);

void BM_ToggleACheckMark(benchmark::State& state) {
  Bench& b = TheBench();
  bool on = false;
  for (auto _ : state) {
    b.model.setData(b.model.index(kRows / 2, 0), on ? Qt::Checked : Qt::Unchecked,
                    Qt::CheckStateRole);
    on = !on;
    QApplication::processEvents();
  }
}
BENCHMARK(BM_ToggleACheckMark)->Unit(benchmark::kMicrosecond);

void BM_SearchEveryRowCaseInsensitive(benchmark::State& state) {
  Bench& b = TheBench();
  for (auto _ : state) {
    kx::SearchState search{kx::Utf8ToCp1251("сохранить"), kx::SearchColumn::Translation, false, 0};
    benchmark::DoNotOptimize(kx::FindNextMatch(b.doc, search));
  }
}
BENCHMARK(BM_SearchEveryRowCaseInsensitive)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
