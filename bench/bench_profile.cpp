// Cost of the profile engine as the store uses it: an open reads thousands of keys one call at a
// time, a save writes thousands of keys inside one batch.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/profile.h"
#include "store/Util.h"

namespace {

constexpr int kCalls = 30000;

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

struct TempDir {
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "kivo-bench-XXXXXX").string();
        if (mkdtemp(templ.data())) path = templ;
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// A file of about `kilobytes` KB: one section of 30-byte key lines, plus a few small sections
// around it, as a settings file has.
struct SampleFile {
    explicit SampleFile(int kilobytes) {
        std::string bytes = "[Main]\r\nTavinVersion=1.2\r\n[Big]\r\n";
        for (int i = 0; bytes.size() < static_cast<std::size_t>(kilobytes) * 1024; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "Comp%05dFileName=value-%09d\r\n", i, i);
            bytes += line;
            keys.push_back(std::string(line, 17));
        }
        bytes += "[Launches]\r\nNumberOfLaunches= 0\r\n";
        content = bytes;
        WriteFileBytes(path, content);
    }
    TempDir dir;
    std::string path = dir / "Tavin.ini";
    std::string content;
    std::vector<std::string> keys;
};

void BM_ReadDistinctKeys(benchmark::State& state) {
    SampleFile file(static_cast<int>(state.range(0)));
    kivo::profile::ClearCache();
    Util::GetIniString("Big", file.keys[0], "", file.path);  // the first read parses the file
    std::size_t next = 0;
    for (auto _ : state) {
        for (int i = 0; i < kCalls; ++i) {
            benchmark::DoNotOptimize(Util::GetIniString("Big", file.keys[next], "", file.path));
            if (++next == file.keys.size()) next = 0;
        }
    }
    state.counters["keys"] = static_cast<double>(file.keys.size());
    state.counters["per_call"] = benchmark::Counter(
        static_cast<double>(kCalls),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReadDistinctKeys)
    ->Arg(16)
    ->Arg(150)
    ->Arg(1024)
    ->Arg(4096)
    ->Unit(benchmark::kMillisecond);

void BM_FirstRead(benchmark::State& state) {
    SampleFile file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        kivo::profile::ClearCache();
        state.ResumeTiming();
        benchmark::DoNotOptimize(Util::GetIniString("Big", file.keys.back(), "", file.path));
    }
}
BENCHMARK(BM_FirstRead)->Arg(150)->Arg(1024)->Unit(benchmark::kMillisecond);

// A save: every key of the big section gets a new value inside one batch; the time includes
// reading the file and the commit (which flushes the file to the disk).
void BM_BatchSave(benchmark::State& state) {
    SampleFile file(static_cast<int>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WriteFileBytes(file.path, file.content);
        kivo::profile::ClearCache();
        const std::string value = "new-" + std::to_string(++round);
        state.ResumeTiming();
        kivo::profile::BeginBatch();
        for (int i = 0; i < kCalls; ++i) {
            Util::WriteIniString("Big", file.keys[static_cast<std::size_t>(i) % file.keys.size()],
                                 value, file.path);
        }
        if (!kivo::profile::CommitBatch().ok) state.SkipWithError("commit failed");
    }
}
BENCHMARK(BM_BatchSave)->Arg(150)->Arg(1024)->Unit(benchmark::kMillisecond);

// Writes outside a batch replace the file each time: their cost grows with the file.
void BM_SingleWrite(benchmark::State& state) {
    SampleFile file(static_cast<int>(state.range(0)));
    kivo::profile::ClearCache();
    int round = 0;
    for (auto _ : state) {
        Util::WriteIniString("Big", file.keys[0], std::to_string(++round), file.path);
    }
}
BENCHMARK(BM_SingleWrite)->Arg(150)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
