// Readers of outside text at growing sizes, each beside a plain program doing the same work, so
// that a reader whose time grows faster than its input shows at once: the times of the larger
// sizes must grow as the baseline's do.
//
//   BM_FormFileParse/reader/<n>     a form file of one control with n properties, read
//   BM_FormFileParse/baseline/<n>   the same text split into lines and its names put in a hash map
//   BM_CountTokens/reader/<n>       CountTokens over n commas
//   BM_CountTokens/baseline/<n>     std::count of the commas in the same text
//
// Each case checks its result once and reports an error instead of a time when it is wrong.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/FormFile.h"
#include "presentation/basTOKENS.h"
#include "runtime/Error.h"

namespace {

using tamarind::platform::FormFile;

std::string FormWithProperties(int64_t n) {
  std::string text = "TAMARIND-FORM 1\nForm \"F\"\nBegin Gauge \"G\" 0 0 1200 600\n";
  for (int64_t i = 0; i < n; ++i) text += "  \"Property" + std::to_string(i) + "\" = Long " + std::to_string(i) + "\n";
  return text + "End\nEndForm\n";
}

void BM_FormFileParse_reader(benchmark::State& state) {
  const std::string text = FormWithProperties(state.range(0));
  size_t count = 0;
  for (auto _ : state) {
    const FormFile f = FormFile::Parse(text);
    count = f.controls[0].properties.Entries().size();
    benchmark::DoNotOptimize(count);
  }
  if (count != static_cast<size_t>(state.range(0))) state.SkipWithError("wrong number of properties");
}

void BM_FormFileParse_baseline(benchmark::State& state) {
  const std::string text = FormWithProperties(state.range(0));
  size_t count = 0;
  for (auto _ : state) {
    std::unordered_map<std::string, std::string> byName;
    for (size_t start = 0; start < text.size();) {
      const size_t end = text.find('\n', start);
      const std::string_view line = std::string_view(text).substr(start, end - start);
      const size_t open = line.find('"'), close = line.find('"', open + 1);
      if (line.starts_with("  \"")) byName.emplace(line.substr(open + 1, close - open - 1), line.substr(close + 4));
      start = end + 1;
    }
    count = byName.size();
    benchmark::DoNotOptimize(count);
  }
  if (count != static_cast<size_t>(state.range(0))) state.SkipWithError("wrong number of properties");
}

class SilentBox : public tamarind::MessageBoxService {
 public:
  tamarind::MsgBoxResult MsgBox(const std::string&, int32_t, const std::string&) override { return tamarind::vbOK; }
};

void BM_CountTokens_reader(benchmark::State& state) {
  const std::string text(static_cast<size_t>(state.range(0)), ',');
  SilentBox box;
  int16_t count = 0;
  for (auto _ : state) {
    count = tamarind::basTOKENS::CountTokens(box, text, ",");
    benchmark::DoNotOptimize(count);
  }
  if (count != state.range(0) + 1) state.SkipWithError("wrong token count");
}

void BM_CountTokens_baseline(benchmark::State& state) {
  const std::string text(static_cast<size_t>(state.range(0)), ',');
  int64_t count = 0;
  for (auto _ : state) {
    count = std::count(text.begin(), text.end(), ',') + 1;
    benchmark::DoNotOptimize(count);
  }
  if (count != state.range(0) + 1) state.SkipWithError("wrong token count");
}

}  // namespace

BENCHMARK(BM_FormFileParse_reader)->Name("BM_FormFileParse/reader")->Arg(1000)->Arg(4000)->Arg(16000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormFileParse_baseline)->Name("BM_FormFileParse/baseline")->Arg(1000)->Arg(4000)->Arg(16000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountTokens_reader)->Name("BM_CountTokens/reader")->Arg(8191)->Arg(32766)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CountTokens_baseline)->Name("BM_CountTokens/baseline")->Arg(8191)->Arg(32766)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
