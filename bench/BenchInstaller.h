// What the store benchmarks share: a product installer directory in a scratch folder, the
// settings-file writers and the figures each benchmark reports. Header only, because every .cpp
// in this folder is a benchmark program of its own.

#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <sys/resource.h>
#include <utility>

#include "platform/profile.h"
#include "platform/ui.h"
#include "store/modTAVIN.h"

namespace bench {

class BenchUi : public kivo::UiServices {
public:
    kivo::MsgResult MessageBox(const std::string&, kivo::MsgButtons, const std::string&) override {
        ++messages;
        return kivo::MsgResult::OK;
    }
    std::string BrowseForFolder(const std::string&) override { return {}; }
    std::string OpenFileDialog(const std::string&, const std::string&) override { return {}; }
    void SetHourglass(bool) override {}
    void EndProgram() override {}
    bool ProgramEnded() const override { return false; }
    std::string ExecutableDir() override { return exeDir; }

    std::string exeDir;
    int messages = 0;
};

// Appends "key=value\r\n".
inline void Line(std::string& out, const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

// Appends one line per field, `prefix` before each key, in the order given.
inline void Fields(std::string& out, const std::string& prefix,
                   std::initializer_list<std::pair<const char*, std::string>> fields) {
    for (const auto& [key, value] : fields) Line(out, prefix + key, value);
}

// The [Components] list body: the count, then parent, name and enabled flag of each.
inline void Components(std::string& out, int count, const std::string& label) {
    out += "NUMBER= " + std::to_string(count) + "\r\n";
    for (int c = 1; c <= count; ++c) {
        const std::string comp = "Comp" + std::to_string(c);
        Line(out, comp + "Parent", "Tessary");
        Line(out, comp, label + std::to_string(c));
        Line(out, comp + "Enabled", "YES");
    }
}

// A scratch folder holding exe/KIVO.ini and an installer directory inst/ with the given TAVIN.ini
// and a two-language Setup.lid; the program's services answer from exe/ while it lives.
class BenchInstaller {
public:
    BenchInstaller(const char* name, const std::string& tavin) {
        std::string templ =
            (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
        if (!mkdtemp(templ.data())) std::abort();
        path = templ;
        std::filesystem::create_directories(path + "/exe");
        std::filesystem::create_directories(path + "/inst");
        Write("exe/KIVO.ini", "[LANGUAGES]\r\n0009=English\r\n0011=Japanese\r\n");
        Write("inst/TAVIN.ini", tavin);
        Write("inst/Setup.lid",
              "[Languages]\r\ncount=2\r\nDefault=0009\r\nkey0=0009\r\nkey1=0011\r\n");
        ui.exeDir = path + "/exe";
        kivo::SetUi(&ui);
    }
    ~BenchInstaller() {
        kivo::SetUi(nullptr);
        std::filesystem::remove_all(path);
    }
    BenchInstaller(const BenchInstaller&) = delete;
    BenchInstaller& operator=(const BenchInstaller&) = delete;

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string Installer() const { return path + "/inst"; }
    std::string Tavin() const { return path + "/inst/TAVIN.ini"; }

    void OpenAndLoad() {
        modTAVIN::ResetState();
        if (!modTAVIN::OpenInstallerDir(Installer()) || !modTAVIN::LoadInstaller()) std::abort();
    }

    std::string path;
    BenchUi ui;
};

// The process's peak memory so far; meaningful when one benchmark runs alone.
inline double PeakMegabytes() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_maxrss) / 1024.0;
}

inline void ReportFileSize(benchmark::State& state, const BenchInstaller& inst) {
    state.counters["file_KB"] =
        static_cast<double>(std::filesystem::file_size(inst.Tavin())) / 1024.0;
}

// ---- Hostile settings files ---------------------------------------------------------------------

constexpr std::size_t kHostileBytes = 10u * 1024 * 1024;

// Every group of a section claims the most entries a count can hold.
inline void ClaimEverything(std::string& t, int groups) {
    Line(t, "NumberOfGroups", "32767");
    for (int g = 1; g <= groups; ++g) {
        const std::string p = "Group" + std::to_string(g);
        for (const char* count :
             {"NumberOfFiles", "NumberOfIcons", "NumberOfRegEntries", "NumberOfIniEntries"})
            Line(t, p + count, "32767");
    }
}

}  // namespace bench
