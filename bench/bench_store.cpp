// Cost of opening, loading and saving a large installer (20 copy lists of 25 groups of 20 files,
// with shortcuts and registry values: about 1 MB and 30,000 keys), and of the same installer
// twice as large; and the cost of loading settings files of 10 MB whose counts claim far more
// entries than the file holds.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include "platform/profile.h"
#include "platform/ui.h"
#include "store/modTAVIN.h"

namespace {

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

struct Scratch {
    Scratch() {
        std::string templ =
            (std::filesystem::temp_directory_path() / "kivo-bench-store-XXXXXX").string();
        if (mkdtemp(templ.data())) path = templ;
        std::filesystem::create_directories(path + "/exe");
        std::filesystem::create_directories(path + "/inst");
        Write("exe/KIVO.ini", "[LANGUAGES]\r\n0009=English\r\n0011=Japanese\r\n");
    }
    ~Scratch() { std::filesystem::remove_all(path); }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string Installer() const { return path + "/inst"; }
    std::string path;
};

// Appends "key=value\r\n".
void Line(std::string& out, const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

// A settings file of `lists` components, each with a copy list of 25 groups; every group holds
// 20 files, a shortcut and a registry value.
std::string LargeSettingsFile(int lists) {
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Vontu(R) Tessary(R) 5.0.5 Patch\r\n";
    t += "[OEM Install]\r\nSetupTitle=Large installer\r\nDisplayWelcomeDlg=YES\r\n";
    t += "[SetupType]\r\nType=Typical\r\n[Components]\r\n";
    Line(t, "NUMBER", " " + std::to_string(lists));
    for (int c = 1; c <= lists; ++c) {
        const std::string comp = "Comp" + std::to_string(c);
        Line(t, comp + "Parent", "Tessary");
        Line(t, comp, "Component " + std::to_string(c));
        Line(t, comp + "Enabled", "YES");
    }
    for (int c = 1; c <= lists; ++c) {
        t += "[Comp" + std::to_string(c) + " BlindCopy]\r\nNumberOfGroups=25\r\n";
        for (int g = 1; g <= 25; ++g) {
            const std::string p = "Group" + std::to_string(g);
            Line(t, p + "Platform", "All");
            Line(t, p + "Language", "All");
            Line(t, p + "NumberOfFiles", "20");
            Line(t, p + "DestDir", "Folder" + std::to_string(g));
            Line(t, p + "Loc", "Src\\C" + std::to_string(c));
            for (int f = 1; f <= 20; ++f) {
                Line(t, p + "Filename" + std::to_string(f), "file" + std::to_string(f) + ".dat");
                Line(t, p + "File" + std::to_string(f) + "ExpandType", "Normal");
            }
            Line(t, p + "NumberOfIcons", "1");
            const std::string icon = p + "Icon1";
            for (const char* field : {"Style", "Folder", "SubFolder", "Exe", "ExeSubDir",
                                      "Description", "App", "AppLoc"})
                Line(t, icon + field, "x");
            Line(t, icon + "Number", " 0");
            Line(t, p + "NumberOfRegEntries", "1");
            const std::string reg = p + "RegEntry1";
            Line(t, reg + "Platform", "All");
            Line(t, reg + "ParentKey", "HKEY_LOCAL_MACHINE");
            Line(t, reg + "Key", "SOFTWARE\\Vontu\\Tessary");
            Line(t, reg + "ValueName", "V" + std::to_string(g));
            Line(t, reg + "ValueType", "STRING");
            Line(t, reg + "ValueData", "1");
        }
    }
    t += "[OEM Remove Shortcut]\r\nTessary 5.0=NO\r\n[Launches]\r\nNumberOfLaunches= 0\r\n";
    return t;
}

struct LargeInstaller {
    explicit LargeInstaller(int lists) {
        scratch.Write("inst/TAVIN.ini", LargeSettingsFile(lists));
        scratch.Write("inst/Setup.lid",
                      "[Languages]\r\ncount=2\r\nDefault=0009\r\nkey0=0009\r\nkey1=0011\r\n");
        scratch.Write("inst/Setup.iss", "[Application]\r\nName=Tessary\r\nLang=0009\r\n");
        ui.exeDir = scratch.path + "/exe";
        kivo::SetUi(&ui);
    }
    ~LargeInstaller() { kivo::SetUi(nullptr); }

    void OpenAndLoad() {
        modTAVIN::ResetState();
        if (!modTAVIN::OpenInstallerDir(scratch.Installer()) || !modTAVIN::LoadInstaller())
            std::abort();
    }

    Scratch scratch;
    BenchUi ui;
};

void Report(benchmark::State& state, const LargeInstaller& inst) {
    state.counters["file_KB"] =
        static_cast<double>(std::filesystem::file_size(inst.scratch.Installer() + "/TAVIN.ini")) /
        1024.0;
}

// Opening and loading, the file read afresh each time (a first open parses it).
void BM_OpenAndLoad(benchmark::State& state) {
    LargeInstaller inst(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        kivo::profile::ClearCache();
        inst.OpenAndLoad();
    }
    int files = 0;
    for (const BlindCopy& bc : modTAVIN::S().BlindCopies)
        for (const FileGroup& g : bc.Groups) files += g.Files.Count();
    state.counters["files"] = files;
    Report(state, inst);
}
BENCHMARK(BM_OpenAndLoad)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

// A whole save: backup, every key written into the batch, one replace of TAVIN.ini. Each save
// changes a value, so that the file really is written.
void BM_Save(benchmark::State& state) {
    LargeInstaller inst(static_cast<int>(state.range(0)));
    inst.OpenAndLoad();
    bool flip = false;
    for (auto _ : state) {
        OemInstall o = modTAVIN::GetOemInstall();
        o.SetupTitle = (flip = !flip) ? "Large installer, saved" : "Large installer";
        modTAVIN::SetOemInstall(o);
        if (!modTAVIN::SaveTavinIni()) std::abort();
    }
    Report(state, inst);
}
BENCHMARK(BM_Save)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

// ---- Hostile settings files ---------------------------------------------------------------------

constexpr std::size_t kHostileBytes = 10u * 1024 * 1024;

// Pads a section with long key names up to the file size: the most key-list bytes per file byte,
// so the most allowance a section can get.
void Pad(std::string& t, std::size_t upTo) {
    for (int i = 0; t.size() < upTo; ++i)
        Line(t, "Padding" + std::to_string(i) + std::string(100, 'k'), "");
}

// Every group of every section claims the most entries a count can hold.
void ClaimEverything(std::string& t, int groups) {
    Line(t, "NumberOfGroups", "32767");
    for (int g = 1; g <= groups; ++g) {
        const std::string p = "Group" + std::to_string(g);
        for (const char* count :
             {"NumberOfFiles", "NumberOfIcons", "NumberOfRegEntries", "NumberOfIniEntries"})
            Line(t, p + count, "32767");
    }
}

std::string HostileFile(int shape) {
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Hostile\r\n";
    switch (shape) {
        case 0:  // one section, counts everywhere, padded to 10 MB
            t += "[Components]\r\nNUMBER=1\r\n[Comp1 BlindCopy]\r\n";
            ClaimEverything(t, 32767);
            Pad(t, kHostileBytes);
            break;
        case 1: {  // as many components as a count allows, each section claiming everything
            t += "[Components]\r\nNUMBER=32767\r\n";
            for (int c = 1; c <= 32767 && t.size() < kHostileBytes; ++c) {
                t += "[Comp" + std::to_string(c) + " BlindCopy]\r\n";
                ClaimEverything(t, 2);
                Pad(t, t.size() + 200);
            }
            break;
        }
        case 2:  // no components: one padded section named a hundred times over
            t += "[ABlindCopy]\r\n";
            ClaimEverything(t, 64);
            Pad(t, kHostileBytes);
            for (int i = 0; i < 200; ++i) t += "[ablindcopy]\r\n";
            break;
        default:  // huge launch and language counts
            t += "[Launches]\r\nNumberOfLaunches=32767\r\n[Components]\r\nNUMBER=32767\r\n";
            Pad(t, kHostileBytes);
            break;
    }
    return t;
}

double PeakMegabytes() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_maxrss) / 1024.0;
}

void BM_LoadHostile(benchmark::State& state) {
    LargeInstaller inst(1);
    inst.scratch.Write("inst/TAVIN.ini", HostileFile(static_cast<int>(state.range(0))));
    inst.scratch.Write("inst/Setup.lid", "[Languages]\r\ncount=32767\r\n");
    for (auto _ : state) {
        kivo::profile::ClearCache();
        inst.OpenAndLoad();
    }
    long entries = 0;
    for (const BlindCopy& bc : modTAVIN::S().BlindCopies) {
        entries += bc.Groups.Count();
        for (const FileGroup& g : bc.Groups)
            entries += g.Files.Count() + g.Icons.Count() + g.RegEntries.Count() +
                       g.IniEntries.Count();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["peak_MB"] = PeakMegabytes();
    Report(state, inst);
}
BENCHMARK(BM_LoadHostile)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
