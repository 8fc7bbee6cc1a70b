// The splitter and the resolver as a run uses them, logging to a real file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <string>

#include "bench_run.h"
#include "expand/resolver.h"
#include "expand/token_splitter.h"
#include "platform/files.h"
#include "run/log_writer.h"

namespace {

constexpr std::int64_t kMostTokens = -1;
constexpr std::size_t kLogBytesBeforeReset = 64u << 20;

// A text of exactly `length` characters: `tokens` constant tokens (the three names in
// turn; for kMostTokens as many %CRLF% as fit), the rest filled with plain text.
std::string TokenText(std::size_t length, std::int64_t tokens) {
  static const std::array<std::string, 3> kNames = {"CRLF", "DATE_YYYYMMDD", "QARNSITEID"};
  std::string text;
  if (tokens == kMostTokens) {
    while (text.size() + 6 <= length) text += "%CRLF%";
  } else {
    for (std::int64_t i = 0; i < tokens; ++i) text += "%" + kNames[i % kNames.size()] + "%";
    // Too long with the three names in turn: the shortest one alone.
    if (text.size() > length) {
      text.clear();
      for (std::int64_t i = 0; i < tokens; ++i) text += "%CRLF%";
    }
  }
  text.resize(length, 'x');
  return text;
}

void BM_SplitEnvVariables(benchmark::State& state) {
  BenchRun run;
  run.OpenLog();
  const std::string input = TokenText(static_cast<std::size_t>(state.range(0)), state.range(1));
  if (input.size() != static_cast<std::size_t>(state.range(0)) || input[0] != '%') {
    state.SkipWithError("the tokens do not fit the length");
    return;
  }
  // Roughly what one expansion logs: the text, whole, once per name.
  const std::size_t names =
      static_cast<std::size_t>(std::count(input.begin(), input.end(), '%')) / 2;
  const std::size_t logBytes = (names + 4) * (input.size() + 64);
  std::size_t logged = 0;
  for (auto _ : state) {
    std::string text = input;
    std::string errorText;
    fncSplitEnvVariables(run.ctx(), text, errorText);
    if (!errorText.empty()) {
      state.SkipWithError(errorText.c_str());
      break;
    }
    benchmark::DoNotOptimize(text);
    logged += logBytes;
    if (logged >= kLogBytesBeforeReset) {
      state.PauseTiming();
      run.ResetLog();
      logged = 0;
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
  state.counters["names"] = static_cast<double>(names);
}
BENCHMARK(BM_SplitEnvVariables)
    ->ArgNames({"chars", "tokens"})
    ->Args({10, 1})
    ->Args({1000, 1})
    ->Args({1000, 100})
    ->Args({1000, kMostTokens})
    ->Args({32766, 1})
    ->Args({32766, 100})
    ->Args({32766, kMostTokens})
    ->Unit(benchmark::kMicrosecond);

void BM_ExpandEvnVariable(benchmark::State& state, const char* name) {
  BenchRun run;
  run.OpenLog();
  std::size_t n = 0;
  for (auto _ : state) {
    std::string value;
    std::string errorText;
    benchmark::DoNotOptimize(fncExpandEvnVariable(run.ctx(), name, value, errorText));
    if (++n % 100000 == 0) {
      state.PauseTiming();
      run.ResetLog();
      state.ResumeTiming();
    }
  }
}
BENCHMARK_CAPTURE(BM_ExpandEvnVariable, CRLF, "CRLF");
BENCHMARK_CAPTURE(BM_ExpandEvnVariable, DATE_YYYYMMDD, "DATE_YYYYMMDD");
BENCHMARK_CAPTURE(BM_ExpandEvnVariable, QARNSITEID, " qarnsiteid ");
BENCHMARK_CAPTURE(BM_ExpandEvnVariable, unknown, "NOSUCHNAME");

void BM_WriteLog(benchmark::State& state) {
  BenchRun run;
  run.OpenLog();
  const std::string message(static_cast<std::size_t>(state.range(0)), 'm');
  std::size_t n = 0;
  for (auto _ : state) {
    subWriteLog(run.ctx(), message);
    if (++n % 200000 == 0) {
      state.PauseTiming();
      run.ResetLog();
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (state.range(0) + 22));
}
BENCHMARK(BM_WriteLog)->Arg(40)->Arg(1000);

// The last step of every run: the buffered lines written out and the file closed.
void BM_WriteLogAndClose(benchmark::State& state) {
  BenchRun run;
  for (auto _ : state) {
    run.OpenLog();
    for (int i = 0; i < state.range(0); ++i) subWriteLog(run.ctx(), "MSG : Reading SITEID");
    run.ctx().LogStream->Close();
    run.ctx().LogStream.reset();
    state.PauseTiming();
    run.ResetLog();
    run.ctx().LogStream.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WriteLogAndClose)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
