// The registry class: the path model, the hex text, and the SQLite store behind it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_run.h"
#include "platform/posix/registry_store.h"
#include "platform/posix/sqlite_storage.h"
#include "platform/registry_emulation.h"
#include "registry/registry_access.h"

namespace {

const char kAgentKey[] = "HKLM\\SOFTWARE\\DORAZA";
const char kManyKey[] = "HKLM\\SOFTWARE\\DORAZA\\Many";
constexpr int kManySubkeys = 10000;

void BM_ParseKeyPath(benchmark::State& state, const char* path) {
  for (auto _ : state) {
    std::string sPath = path;
    std::string subKey;
    RegKey root = 0;
    clsRegistryAccess::ParseKeyPath(sPath, subKey, root);
    benchmark::DoNotOptimize(root);
    benchmark::DoNotOptimize(subKey);
  }
}
BENCHMARK_CAPTURE(BM_ParseKeyPath, short_token, "HKLM\\SOFTWARE\\DORAZA");
BENCHMARK_CAPTURE(BM_ParseKeyPath, long_name,
                  "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                  "User Shell Folders");

std::string AllBytes(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(i * 7 + 3);
  return s;
}

void BM_BinToStr(benchmark::State& state) {
  const std::string bytes = AllBytes(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(clsRegistryAccess::BinToStr(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_BinToStr)->Arg(1 << 10)->Arg(1 << 20);

void BM_StrToBin(benchmark::State& state) {
  // The text as BinToStr writes it: spaces to remove, pairs to read.
  const std::string text =
      clsRegistryAccess::BinToStr(AllBytes(static_cast<std::size_t>(state.range(0))));
  for (auto _ : state) {
    std::string sBin = text;
    benchmark::DoNotOptimize(clsRegistryAccess::StrToBin(sBin));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_StrToBin)->Arg(1 << 10)->Arg(1 << 20);

// A store file with the agent's identity and a key of kManySubkeys subkeys.
class SeededStore {
 public:
  SeededStore() {
    Registry& registry = run_.ctx().platform.registry;
    RegKey key = 0;
    if (registry.CreateKey(reg::kLocalMachine, "SOFTWARE\\DORAZA\\Many", key) != 0)
      throw std::runtime_error("the store cannot be written");
    registry.CloseKey(key);
    std::string err;
    clsRegistryAccess& reg = run_.ctx().RegistryAccess();
    reg.WriteString(kAgentKey, "RegID", "1234", err);
    reg.WriteString(kAgentKey, "SITEID", "7", err);
    // One transaction for the many keys: seeding through the class would commit each.
    SqliteStorage storage(run_.StorePath());
    RegistryStorage::KeyId id = 3;  // HKEY_LOCAL_MACHINE
    for (const char* part : {"SOFTWARE", "DORAZA", "Many"})
      storage.FindChild(id, EmulatedRegistry::Fold(part), id);
    storage.BeginWrite();
    RegistryStorage::KeyId child = 0;
    for (int i = 0; i < kManySubkeys; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "Sub%05d", i);
      storage.AddChild(id, name, EmulatedRegistry::Fold(name), child);
    }
    storage.Commit();
  }
  BenchRun& run() { return run_; }

 private:
  BenchRun run_;
};

SeededStore& Store() {
  static SeededStore store;
  return store;
}

// A fresh registry object on the file each time: the database is opened and its schema
// read before the value.
void BM_ReadStringCold(benchmark::State& state) {
  BenchRun& run = Store().run();
  for (auto _ : state) {
    std::unique_ptr<Registry> registry = posix::OpenRegistryStore(run.StorePath());
    Platform platform = run.ctx().platform;
    Platform fresh{*registry,      platform.system,  platform.environment,
                   platform.clock, platform.files,   platform.wmi,
                   platform.net,   platform.process, platform.window};
    RunContext ctx(fresh);
    clsRegistryAccess access(ctx);
    ctx.registryAccess = &access;
    std::string err;
    benchmark::DoNotOptimize(ctx.RegistryAccess().ReadString(kAgentKey, "RegID", err));
  }
}
BENCHMARK(BM_ReadStringCold)->Unit(benchmark::kMicrosecond);

void BM_ReadStringWarm(benchmark::State& state) {
  clsRegistryAccess& reg = Store().run().ctx().RegistryAccess();
  std::string err;
  reg.ReadString(kAgentKey, "RegID", err);
  for (auto _ : state) benchmark::DoNotOptimize(reg.ReadString(kAgentKey, "SITEID", err));
}
BENCHMARK(BM_ReadStringWarm)->Unit(benchmark::kMicrosecond);

void BM_WriteString(benchmark::State& state) {
  clsRegistryAccess& reg = Store().run().ctx().RegistryAccess();
  std::string err;
  std::int64_t n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reg.WriteString(kAgentKey, "Bench", std::to_string(++n), err));
  }
}
BENCHMARK(BM_WriteString)->Unit(benchmark::kMicrosecond);

void BM_EnumKeys(benchmark::State& state) {
  clsRegistryAccess& reg = Store().run().ctx().RegistryAccess();
  std::vector<std::string> keys;
  for (auto _ : state) {
    keys.clear();
    benchmark::DoNotOptimize(reg.EnumKeys(kManyKey, keys));
  }
  if (keys.size() != static_cast<std::size_t>(kManySubkeys))
    state.SkipWithError(("the key lists " + std::to_string(keys.size()) + " subkeys").c_str());
  state.counters["keys"] = static_cast<double>(keys.size());
}
BENCHMARK(BM_EnumKeys)->Unit(benchmark::kMillisecond);

}  // namespace
