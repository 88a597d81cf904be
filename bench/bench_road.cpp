// The open road and the saves on an installer of the shape of a large real one (TAVIN.ini of
// about 1.36 MB and 37,700 keys: 20 components, 500 copy-list groups of 20 files with one
// shortcut, two registry rows and one INI row each, 5 launches) and on one twice its size; and
// load and save of 10 MB settings files built to make a load or a save as costly as it can be.
//
// Run with --benchmark_repetitions=7 for min and median; each run reports the process's peak
// memory so far, which is meaningful when one benchmark runs alone (--benchmark_filter).

#include "BenchInstaller.h"

namespace {

using bench::Fields;
using bench::kHostileBytes;
using bench::Line;

// `scale` 1: the real installer's shape; 2: twice as many components, groups and keys.
std::string RealShapedFile(int scale) {
    const int components = 20 * scale;
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Vontu(R) Tessary(R) 5.0.5 Patch\r\n";
    t += "[OEM Install]\r\nSetupTitle=Vontu Tessary 5.0 Professional Edition\r\n";
    for (const char* flag : {"DisplayWelcomeDlg",
                             "DisplayEULA",
                             "DisplayTypeOfInstallDlg",
                             "DisplayUserInfoDlg",
                             "DisplayFinishDlg",
                             "DisplayBillboards",
                             "DisplayConfirmRegDlg",
                             "DisplayStartCopyDlg",
                             "DisplayProgressBar",
                             "DisplayRebootDlg",
                             "DisplayMaintUIDlg",
                             "DisplayBackGround",
                             "DisplayCustomDlg",
                             "DisplayFinalMessage",
                             "CloseRunningApps",
                             "DisplaySelectDestDirDlg",
                             "InstallModeSilent",
                             "UninstallModeSilent",
                             "IgnoreInstallWarnings",
                             "ProgressBarStart",
                             "ProgressBarEnd",
                             "WriteSetupLog",
                             "CheckDiskSpace",
                             "CheckAdminRights",
                             "ShowReadme",
                             "ShowLicense",
                             "RegisterFonts",
                             "UpdatePath",
                             "CreateUninstaller",
                             "RunAfterInstall",
                             "KeepSettings"})
        Line(t, flag, "YES");
    Line(t, "DefaultCompany", "Vontu Corporation");
    Line(t, "DefaultDestDir", "C:\\Program Files\\Vontu\\Tessary");
    t += "[SetupType]\r\nType=Typical\r\n[Components]\r\n";
    bench::Components(t, components, "Component number ");
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
            Fields(t, p + "Icon1",
                   {{"Style", "Shortcut"},
                    {"Folder", "<PROGRAMS>"},
                    {"SubFolder", "Vontu Tessary"},
                    {"Exe", "tessary.exe"},
                    {"ExeSubDir", "Program"},
                    {"Description", "Tessary component " + std::to_string(c)},
                    {"Number", " 0"},
                    {"App", "Tessary"},
                    {"AppLoc", "<TARGETDIR>"}});
            Line(t, p + "NumberOfRegEntries", "2");
            for (int r = 1; r <= 2; ++r)
                Fields(t, p + "RegEntry" + std::to_string(r),
                       {{"Platform", "All"},
                        {"ParentKey", "HKEY_LOCAL_MACHINE"},
                        {"Key", "SOFTWARE\\Vontu\\Tessary\\5.0"},
                        {"ValueName", "Value" + std::to_string(r)},
                        {"ValueType", "STRING"},
                        {"ValueData", "1"}});
            Line(t, p + "NumberOfIniEntries", "1");
            Fields(t, p + "IniEntry1",
                   {{"Platform", "All"},
                    {"FileLoc", "<WINDIR>"},
                    {"FileName", "tessary.ini"},
                    {"Section", "Settings"},
                    {"Key", "Group" + std::to_string(g)},
                    {"Value", "Installed"}});
        }
    }
    t += "[OEM Remove Shortcut]\r\nTessary 4.0=NO\r\nTessary 4.5=YES\r\n";
    t += "[Launches]\r\nNumberOfLaunches= 5\r\n";
    for (int i = 1; i <= 5; ++i)
        Fields(t, "Launch" + std::to_string(i),
               {{"Platform", "All"},
                {"Language", "All"},
                {"Type", "Exe"},
                {"Program", "<SRCDIR>\\Extras\\setup" + std::to_string(i) + ".exe"},
                {"CmdLine", "/s /v\"/qn\""},
                {"ChangeDir", "NO"},
                {"Wait", "YES"}});
    return t;
}

struct Installer : bench::BenchInstaller {
    explicit Installer(const std::string& tavin) : BenchInstaller("kivo-bench-road", tavin) {}
};

void Report(benchmark::State& state, const Installer& inst) {
    bench::ReportFileSize(state, inst);
    state.counters["peak_MB"] = bench::PeakMegabytes();
}

// OpenInstallerDir ... LoadInstaller, the file parsed afresh each time. Forgetting the parsed
// copies is not timed: it closes the change notification, which the kernel takes its time over,
// and a program's first open has nothing to forget.
void TimeFreshOpens(benchmark::State& state, Installer& inst) {
    for (auto _ : state) {
        state.PauseTiming();
        kivo::profile::ClearCache();
        state.ResumeTiming();
        inst.OpenAndLoad();
    }
    Report(state, inst);
}

void BM_OpenRoad(benchmark::State& state) {
    Installer inst(RealShapedFile(static_cast<int>(state.range(0))));
    TimeFreshOpens(state, inst);
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
                t += header +
                     std::string(each > header.size() + 2 ? each - header.size() - 2 : 0, 'v') +
                     "\r\n";
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
                t += "[B" + std::to_string(s) + "BlindCopy]\r\n";
                bench::ClaimEverything(t, 8);
            }
            break;
    }
    return t;
}

void BM_LoadHostile(benchmark::State& state) {
    Installer inst(HostileFile(static_cast<int>(state.range(0))));
    inst.Write("inst/Setup.lid", "[Languages]\r\ncount=32767\r\n");
    TimeFreshOpens(state, inst);
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
        static_cast<double>(std::filesystem::file_size(inst.Tavin())) /
        static_cast<double>(bytes.size());
    Report(state, inst);
}
BENCHMARK(BM_LoadSaveHostile)->DenseRange(0, 2)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
