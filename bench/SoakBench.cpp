// A long editing session on each realisation, measured for memory rather than time. The list has
// 1,000 rows; each round clicks a name cell, types a word and presses Enter (the host stores the
// new text); every 100 rounds a header click sorts the list and a wildcard filter runs and is
// removed. After a warm-up, the growth of the heap's live bytes and of the resident size from
// then to the end is reported per round, with the control's sounds off and on.
//
//   BM_Soak/<realisation>/sounds:<0|1>
//     live_bytes_per_round   heap bytes still allocated at the end, per round after the warm-up
//     late_bytes_per_round   the same over the second half only (a one-time step, such as a
//                            container reaching its working size, does not show here; a leak does)
//     rss_growth_KiB         resident size at the end less after the warm-up
//     rounds                 rounds after the warm-up
//
// SOAK_ROUNDS sets the number of rounds (80,000 unless set); the warm-up is a tenth of them. The
// Qt desk drives real widgets with QTest input on Qt's offscreen platform.

#include <QApplication>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "bench/AllocationCounting.h"
#include "core/KestrelEvents.h"
#include "platform/Keyboard.h"
#include "tests/qt/Desks.h"

namespace {

using tamarind::Kestrel;
using tamarind::testing::Desk;

// A host as small as a real one: it opens a text box on the clicked cell and stores what was typed.
class EditingHost : public tamarind::KestrelEvents {
 public:
  explicit EditingHost(Kestrel& k) : k_(k) {}
  void ItemClick(const tamarind::platform::ListItemRef& Item, int16_t, bool) override {
    if (Item && k_.SubItemClicked() == 0) k_.ShowTextBox(Item->Text());
  }
  void ChangeComplete(const std::string&, const std::string& NewText) override {
    if (auto item = k_.SelectedItem()) item->Text(NewText);
    ++edits;
  }
  int64_t edits = 0;

 private:
  Kestrel& k_;
};

int64_t Rounds() {
  const char* env = std::getenv("SOAK_ROUNDS");
  return env && std::atoll(env) > 0 ? std::atoll(env) : 80000;
}

// The process's resident size now, in KiB.
double ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1024.0;
}

// How often a round also sorts and filters (SOAK_SORT_EVERY, 100 unless set; 0 never).
int64_t SortEvery() {
  const char* env = std::getenv("SOAK_SORT_EVERY");
  return env ? std::atoll(env) : 100;
}

void Round(Desk& desk, Kestrel& k, int64_t i) {
  static const int64_t every = SortEvery();
  desk.ClickCell(static_cast<int32_t>(i % 5 + 1), 0);
  desk.Type(i % 2 ? "Anise" : "Sumac");
  desk.PressKey(tamarind::platform::vbKeyReturn);
  if (every > 0 && i % every == every - 1) {
    desk.ClickHeader(1);
    k.FilterWild("a", 0);
    k.FilterRemove();
  }
}

void Soak(benchmark::State& state, std::unique_ptr<Desk> (*make)()) {
  const int64_t rounds = Rounds(), warmUp = rounds / 10;
  double liveGrowth = 0, rssGrowth = 0, lateGrowth = 0;
  for (auto _ : state) {
    std::unique_ptr<Desk> desk = make();
    Kestrel& k = desk->K();
    desk->AddRows(995);
    k.PlaySounds(state.range(0) != 0);
    EditingHost host(k);
    k.Attach(&host);
    for (int64_t i = 0; i < warmUp; ++i) Round(*desk, k, i);
    const int64_t liveBefore = tamarind::bench::LiveBytes();
    const double rssBefore = ResidentKiB();
    const int64_t half = (warmUp + rounds) / 2;
    for (int64_t i = warmUp; i < half; ++i) Round(*desk, k, i);
    const int64_t liveAtHalf = tamarind::bench::LiveBytes();
    for (int64_t i = half; i < rounds; ++i) Round(*desk, k, i);
    liveGrowth = static_cast<double>(tamarind::bench::LiveBytes() - liveBefore);
    lateGrowth = static_cast<double>(tamarind::bench::LiveBytes() - liveAtHalf) / static_cast<double>(rounds - half);
    rssGrowth = ResidentKiB() - rssBefore;
    if (k.ListItems().Count() != 1000) state.SkipWithError("rows were lost");
    if (host.edits != rounds) state.SkipWithError("not every round stored its edit");
    k.Attach(nullptr);
  }
  state.counters["live_bytes_per_round"] = liveGrowth / static_cast<double>(rounds - warmUp);
  state.counters["late_bytes_per_round"] = lateGrowth;
  state.counters["rss_growth_KiB"] = rssGrowth;
  state.counters["rounds"] = static_cast<double>(rounds - warmUp);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  for (const auto& [name, make] : {std::pair{"BM_Soak/headless", &tamarind::testing::MakeHeadlessDesk},
                                   std::pair{"BM_Soak/qt", &tamarind::testing::MakeQtDesk}})
    benchmark::RegisterBenchmark(name, [make = make](benchmark::State& s) { Soak(s, make); })
        ->ArgName("sounds")
        ->Arg(0)
        ->Arg(1)
        ->Iterations(1)
        ->Unit(benchmark::kSecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
