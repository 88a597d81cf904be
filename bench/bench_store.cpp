// Cost of opening, loading and saving a large installer (20 copy lists of 25 groups of 20 files,
// with shortcuts and registry values: about 1 MB and 30,000 keys), and of the same installer
// twice as large; and the cost of loading settings files of 10 MB whose counts claim far more
// entries than the file holds.

#include "BenchInstaller.h"

namespace {

using bench::ClaimEverything;
using bench::kHostileBytes;
using bench::Line;

// A settings file of `lists` components, each with a copy list of 25 groups; every group holds
// 20 files, a shortcut and a registry value.
std::string LargeSettingsFile(int lists) {
    std::string t = "[Main]\r\nTavinVersion=1.2\r\nProduct=Vontu(R) Tessary(R) 5.0.5 Patch\r\n";
    t += "[OEM Install]\r\nSetupTitle=Large installer\r\nDisplayWelcomeDlg=YES\r\n";
    t += "[SetupType]\r\nType=Typical\r\n[Components]\r\n";
    bench::Components(t, lists, "Component ");
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
            bench::Fields(t, p + "RegEntry1",
                          {{"Platform", "All"},
                           {"ParentKey", "HKEY_LOCAL_MACHINE"},
                           {"Key", "SOFTWARE\\Vontu\\Tessary"},
                           {"ValueName", "V" + std::to_string(g)},
                           {"ValueType", "STRING"},
                           {"ValueData", "1"}});
        }
    }
    t += "[OEM Remove Shortcut]\r\nTessary 5.0=NO\r\n[Launches]\r\nNumberOfLaunches= 0\r\n";
    return t;
}

// The installer directory with a Setup.iss beside TAVIN.ini.
struct LargeInstaller : bench::BenchInstaller {
    explicit LargeInstaller(const std::string& tavin) : BenchInstaller("kivo-bench-store", tavin) {
        Write("inst/Setup.iss", "[Application]\r\nName=Tessary\r\nLang=0009\r\n");
    }
};

// Opening and loading, the file read afresh each time (a first open parses it).
void BM_OpenAndLoad(benchmark::State& state) {
    LargeInstaller inst(LargeSettingsFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        kivo::profile::ClearCache();
        inst.OpenAndLoad();
    }
    int files = 0;
    for (const BlindCopy& bc : modTAVIN::S().BlindCopies)
        for (const FileGroup& g : bc.Groups) files += g.Files.Count();
    state.counters["files"] = files;
    bench::ReportFileSize(state, inst);
}
BENCHMARK(BM_OpenAndLoad)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

// A whole save: backup, every key written into the batch, one replace of TAVIN.ini. Each save
// changes a value, so that the file really is written.
void BM_Save(benchmark::State& state) {
    LargeInstaller inst(LargeSettingsFile(static_cast<int>(state.range(0))));
    inst.OpenAndLoad();
    bool flip = false;
    for (auto _ : state) {
        OemInstall o = modTAVIN::GetOemInstall();
        o.SetupTitle = (flip = !flip) ? "Large installer, saved" : "Large installer";
        modTAVIN::SetOemInstall(o);
        if (!modTAVIN::SaveTavinIni()) std::abort();
    }
    bench::ReportFileSize(state, inst);
}
BENCHMARK(BM_Save)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

// ---- Hostile settings files ---------------------------------------------------------------------

// Pads a section with long key names up to the file size: the most key-list bytes per file byte,
// so the most allowance a section can get.
void Pad(std::string& t, std::size_t upTo) {
    for (int i = 0; t.size() < upTo; ++i)
        Line(t, "Padding" + std::to_string(i) + std::string(100, 'k'), "");
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
        case 3:  // many lines: short keys under counts claiming everything
            t += "[Components]\r\nNUMBER=1\r\n[Comp1 BlindCopy]\r\n";
            ClaimEverything(t, 32767);
            for (int i = 0; t.size() < kHostileBytes; ++i) Line(t, std::to_string(i), "");
            break;
        case 4:  // the most lines a file can hold: lines of one character
            t += "[Components]\r\nNUMBER=1\r\n[Comp1 BlindCopy]\r\n";
            ClaimEverything(t, 32767);
            while (t.size() < kHostileBytes) t += "=\r\n";
            break;
        default:  // huge launch and language counts
            t += "[Launches]\r\nNumberOfLaunches=32767\r\n[Components]\r\nNUMBER=32767\r\n";
            Pad(t, kHostileBytes);
            break;
    }
    return t;
}

void BM_LoadHostile(benchmark::State& state) {
    LargeInstaller inst(HostileFile(static_cast<int>(state.range(0))));
    inst.Write("inst/Setup.lid", "[Languages]\r\ncount=32767\r\n");
    for (auto _ : state) {
        kivo::profile::ClearCache();
        inst.OpenAndLoad();
    }
    long entries = 0;
    for (const BlindCopy& bc : modTAVIN::S().BlindCopies) {
        entries += bc.Groups.Count();
        for (const FileGroup& g : bc.Groups)
            entries +=
                g.Files.Count() + g.Icons.Count() + g.RegEntries.Count() + g.IniEntries.Count();
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["peak_MB"] = bench::PeakMegabytes();
    bench::ReportFileSize(state, inst);
}
BENCHMARK(BM_LoadHostile)->DenseRange(0, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
