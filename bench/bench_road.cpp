// The open road and the saves on an installer of the shape of a large real one (TAVIN.ini of
// about 1.36 MB and 37,700 keys: 20 components, 500 copy-list groups of 20 files with one
// shortcut, two registry rows and one INI row each, 5 launches) and on one twice its size; and
// load and save of 10 MB settings files built to make a load or a save as costly as it can be.
//
// Run with --benchmark_repetitions=7 for min and median; each run reports the process's peak
// memory so far, which is meaningful when one benchmark runs alone (--benchmark_filter).

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
        return kivo::MsgResult::OK;
    }
    std::string BrowseForFolder(const std::string&) override { return {}; }
    std::string OpenFileDialog(const std::string&, const std::string&) override { return {}; }
    void SetHourglass(bool) override {}
    void EndProgram() override {}
    bool ProgramEnded() const override { return false; }
    std::string ExecutableDir() override { return exeDir; }
    std::string exeDir;
};

void Line(std::string& out, const std::string& key, const std::string& value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

// `scale` 1: the real installer's shape; 2: twice as many components, groups and keys.
std::string RealShapedFile(int scale) {
    const int components = 20 * scale;
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Vontu(R) Tessary(R) 5.0.5 Patch\r\n";
    t += "[OEM Install]\r\nSetupTitle=Vontu Tessary 5.0 Professional Edition\r\n";
    for (const char* flag : {"DisplayWelcomeDlg", "DisplayEULA", "DisplayTypeOfInstallDlg",
                             "DisplayUserInfoDlg", "DisplayFinishDlg", "DisplayBillboards",
                             "DisplayConfirmRegDlg", "DisplayStartCopyDlg", "DisplayProgressBar",
                             "DisplayRebootDlg", "DisplayMaintUIDlg", "DisplayBackGround",
                             "DisplayCustomDlg", "DisplayFinalMessage", "CloseRunningApps",
                             "DisplaySelectDestDirDlg", "InstallModeSilent", "UninstallModeSilent",
                             "IgnoreInstallWarnings", "ProgressBarStart", "ProgressBarEnd",
                             "WriteSetupLog", "CheckDiskSpace", "CheckAdminRights",
                             "ShowReadme", "ShowLicense", "RegisterFonts", "UpdatePath",
                             "CreateUninstaller", "RunAfterInstall", "KeepSettings"})
        Line(t, flag, "YES");
    Line(t, "DefaultCompany", "Vontu Corporation");
    Line(t, "DefaultDestDir", "C:\\Program Files\\Vontu\\Tessary");
    t += "[SetupType]\r\nType=Typical\r\n[Components]\r\n";
    Line(t, "NUMBER", " " + std::to_string(components));
    for (int c = 1; c <= components; ++c) {
        const std::string comp = "Comp" + std::to_string(c);
        Line(t, comp + "Parent", "Tessary");
        Line(t, comp, "Component number " + std::to_string(c));
        Line(t, comp + "Enabled", "YES");
    }
    for (int c = 1; c <= components; ++c) {
        t += "[Comp" + std::to_string(c) + " BlindCopy]\r\nNumberOfGroups=25\r\n";
        for (int g = 1; g <= 25; ++g) {
            const std::string p = "Group" + std::to_string(g);
            Line(t, p + "Platform", "Win95,WinNT");
            Line(t, p + "Language", "0009,0011");
            Line(t, p + "NumberOfFiles", "20");
            Line(t, p + "DestDir", "<TARGETDIR>\\Component" + std::to_string(c));
            Line(t, p + "Loc", "Disk1\\Data\\C" + std::to_string(c) + "G" + std::to_string(g));
            for (int f = 1; f <= 20; ++f) {
                Line(t, p + "Filename" + std::to_string(f),
                     "tessary_program_module_" + std::to_string(f) + ".dll");
                Line(t, p + "File" + std::to_string(f) + "ExpandType", "Normal");
            }
            Line(t, p + "NumberOfIcons", "1");
            const std::string icon = p + "Icon1";
            Line(t, icon + "Style", "Shortcut");
            Line(t, icon + "Folder", "<PROGRAMS>");
            Line(t, icon + "SubFolder", "Vontu Tessary");
            Line(t, icon + "Exe", "tessary.exe");
            Line(t, icon + "ExeSubDir", "Program");
            Line(t, icon + "Description", "Tessary component " + std::to_string(c));
            Line(t, icon + "Number", " 0");
            Line(t, icon + "App", "Tessary");
            Line(t, icon + "AppLoc", "<TARGETDIR>");
            Line(t, p + "NumberOfRegEntries", "2");
            for (int r = 1; r <= 2; ++r) {
                const std::string reg = p + "RegEntry" + std::to_string(r);
                Line(t, reg + "Platform", "All");
                Line(t, reg + "ParentKey", "HKEY_LOCAL_MACHINE");
                Line(t, reg + "Key", "SOFTWARE\\Vontu\\Tessary\\5.0");
                Line(t, reg + "ValueName", "Value" + std::to_string(r));
                Line(t, reg + "ValueType", "STRING");
                Line(t, reg + "ValueData", "1");
            }
            Line(t, p + "NumberOfIniEntries", "1");
            const std::string ini = p + "IniEntry1";
            Line(t, ini + "Platform", "All");
            Line(t, ini + "FileLoc", "<WINDIR>");
            Line(t, ini + "FileName", "tessary.ini");
            Line(t, ini + "Section", "Settings");
            Line(t, ini + "Key", "Group" + std::to_string(g));
            Line(t, ini + "Value", "Installed");
        }
    }
    t += "[OEM Remove Shortcut]\r\nTessary 4.0=NO\r\nTessary 4.5=YES\r\n";
    t += "[Launches]\r\nNumberOfLaunches= 5\r\n";
    for (int i = 1; i <= 5; ++i) {
        const std::string p = "Launch" + std::to_string(i);
        Line(t, p + "Platform", "All");
        Line(t, p + "Language", "All");
        Line(t, p + "Type", "Exe");
        Line(t, p + "Program", "<SRCDIR>\\Extras\\setup" + std::to_string(i) + ".exe");
        Line(t, p + "CmdLine", "/s /v\"/qn\"");
        Line(t, p + "ChangeDir", "NO");
        Line(t, p + "Wait", "YES");
    }
    return t;
}

struct Installer {
    explicit Installer(const std::string& tavin) {
        std::string templ =
            (std::filesystem::temp_directory_path() / "kivo-bench-road-XXXXXX").string();
        if (!mkdtemp(templ.data())) std::abort();
        path = templ;
        std::filesystem::create_directories(path + "/exe");
        std::filesystem::create_directories(path + "/inst");
        Write("exe/KIVO.ini", "[LANGUAGES]\r\n0009=English\r\n0011=Japanese\r\n");
        Write("inst/TAVIN.ini", tavin);
        Write("inst/Setup.lid", "[Languages]\r\ncount=2\r\nDefault=0009\r\nkey0=0009\r\nkey1=0011\r\n");
        ui.exeDir = path + "/exe";
        kivo::SetUi(&ui);
    }
    ~Installer() {
        kivo::SetUi(nullptr);
        std::filesystem::remove_all(path);
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
    }
    std::string Tavin() const { return path + "/inst/TAVIN.ini"; }
    void OpenAndLoad() {
        modTAVIN::ResetState();
        if (!modTAVIN::OpenInstallerDir(path + "/inst") || !modTAVIN::LoadInstaller()) std::abort();
    }

    std::string path;
    BenchUi ui;
};

double PeakMegabytes() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, const Installer& inst) {
    state.counters["file_KB"] = static_cast<double>(std::filesystem::file_size(inst.Tavin())) / 1024.0;
    state.counters["peak_MB"] = PeakMegabytes();
}

// OpenInstallerDir ... LoadInstaller, the file parsed afresh each time. Forgetting the parsed
// copies is not timed: it closes the change notification, which the kernel takes its time over,
// and a program's first open has nothing to forget.
void BM_OpenRoad(benchmark::State& state) {
    Installer inst(RealShapedFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        kivo::profile::ClearCache();
        state.ResumeTiming();
        inst.OpenAndLoad();
    }
    Report(state, inst);
}
BENCHMARK(BM_OpenRoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A save after one edit: backup, every key written, TAVIN.ini replaced once.
void BM_SaveEdited(benchmark::State& state) {
    Installer inst(RealShapedFile(static_cast<int>(state.range(0))));
    inst.OpenAndLoad();
    if (!modTAVIN::SaveTavinIni()) std::abort();
    bool flip = false;
    for (auto _ : state) {
        OemInstall o = modTAVIN::GetOemInstall();
        o.SetupTitle = (flip = !flip) ? "Vontu Tessary 5.0, saved" : "Vontu Tessary 5.0";
        modTAVIN::SetOemInstall(o);
        if (!modTAVIN::SaveTavinIni()) std::abort();
    }
    Report(state, inst);
}
BENCHMARK(BM_SaveEdited)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A save of a model that did not change since the last save.
void BM_SaveUnchanged(benchmark::State& state) {
    Installer inst(RealShapedFile(static_cast<int>(state.range(0))));
    inst.OpenAndLoad();
    if (!modTAVIN::SaveTavinIni()) std::abort();
    for (auto _ : state) {
        if (!modTAVIN::SaveTavinIni()) std::abort();
    }
    Report(state, inst);
}
BENCHMARK(BM_SaveUnchanged)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// ---- Hostile settings files ---------------------------------------------------------------------

constexpr std::size_t kHostileBytes = 10u * 1024 * 1024;

std::string HostileFile(int shape) {
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Hostile\r\n";
    switch (shape) {
        case 0: {  // 300,000 sections: every component's copy list claims all a count can hold
            constexpr int kSections = 300000, kLists = 32767;
            t += "[Components]\r\nNUMBER=32767\r\n";
            for (int s = 1; s <= kLists; ++s) {
                t += "[Comp" + std::to_string(s) + " BlindCopy]\r\nNumberOfGroups=32767\r\n";
                Line(t, "Group1NumberOfFiles", "32767");
                Line(t, "Group1NumberOfIcons", "32767");
            }
            // The other sections share what is left of the 10 MB.
            const std::size_t each = (kHostileBytes - t.size()) / (kSections - kLists);
            for (int s = kLists + 1; s <= kSections; ++s) {
                const std::string header = "[S" + std::to_string(s) + "]\r\nk=";
                t += header + std::string(each > header.size() + 2 ? each - header.size() - 2 : 0, 'v') + "\r\n";
            }
            break;
        }
        case 1:  // one copy list claiming every group, whose keys it does not hold; padded with
                 // copy-list keys of groups beyond the count
            t += "[Components]\r\nNUMBER=1\r\n[Comp1 BlindCopy]\r\nNumberOfGroups=32767\r\n";
            for (int g = 1; t.size() < kHostileBytes; ++g) {
                const std::string p = "Group" + std::to_string(g);
                Line(t, p + "NumberOfFiles", "32767");
            }
            break;
        default:  // no components: sections found by name, each claiming everything
            for (int s = 1; t.size() < kHostileBytes; ++s) {
                t += "[B" + std::to_string(s) + "BlindCopy]\r\nNumberOfGroups=32767\r\n";
                for (int g = 1; g <= 8; ++g) {
                    const std::string p = "Group" + std::to_string(g);
                    for (const char* count : {"NumberOfFiles", "NumberOfIcons",
                                              "NumberOfRegEntries", "NumberOfIniEntries"})
                        Line(t, p + count, "32767");
                }
            }
            break;
    }
    return t;
}

void BM_LoadHostile(benchmark::State& state) {
    Installer inst(HostileFile(static_cast<int>(state.range(0))));
    inst.Write("inst/Setup.lid", "[Languages]\r\ncount=32767\r\n");
    for (auto _ : state) {
        state.PauseTiming();
        kivo::profile::ClearCache();
        state.ResumeTiming();
        inst.OpenAndLoad();
    }
    Report(state, inst);
}
BENCHMARK(BM_LoadHostile)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

// Load and save of the same files; the saved size against the loaded one.
void BM_LoadSaveHostile(benchmark::State& state) {
    const std::string bytes = HostileFile(static_cast<int>(state.range(0)));
    Installer inst(bytes);
    for (auto _ : state) {
        state.PauseTiming();
        inst.Write("inst/TAVIN.ini", bytes);
        kivo::profile::ClearCache();
        state.ResumeTiming();
        inst.OpenAndLoad();
        modTAVIN::S().Modified = true;
        if (!modTAVIN::SaveTavinIni()) std::abort();
    }
    state.counters["saved_per_loaded"] =
        static_cast<double>(std::filesystem::file_size(inst.Tavin())) / static_cast<double>(bytes.size());
    Report(state, inst);
}
BENCHMARK(BM_LoadSaveHostile)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
