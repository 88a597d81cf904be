// The module state and the plain operations through which the windows read and change the
// model: whole-record copies out and in, the launch list, the two flags.

#include <filesystem>

#include "store/modTAVIN.h"

namespace modTAVIN {

State& S() {
    static State state;
    return state;
}

void ResetState() { S() = State{}; }

std::string PathIn(const std::string& dir, const std::string& name) {
    // Plain concatenation: the directory is kept as the user chose it.
    return dir + static_cast<char>(std::filesystem::path::preferred_separator) + name;
}

namespace {

// True when index names an entry of a list of count entries.
bool InList(int index, int count) { return index >= 1 && index <= count; }

}  // namespace

void CloseInstaller() {
    S().InstallerOpen = false;
    S().Modified = false;
}

bool IsInstallerOpen() { return S().InstallerOpen; }

bool IsModified() { return S().Modified; }

std::string GetInstallerDir() { return S().InstallerDir; }

OemInstall GetOemInstall() { return S().OemSettings; }

void SetOemInstall(const OemInstall& record) {
    // Every store marks the model modified, also when nothing changed.
    S().Modified = true;
    S().OemSettings = record;
}

BlindCopy GetBlindCopy(int16_t index) {
    if (!InList(index, S().BlindCopies.Count())) return BlindCopy{};
    return S().BlindCopies(index);
}

int16_t BlindCopyCount() { return static_cast<int16_t>(S().BlindCopies.Count()); }

LaunchEntry GetLaunch(int16_t index) {
    if (!InList(index, S().Launches.Count())) return LaunchEntry{};
    return S().Launches(index);
}

int16_t LaunchCount() { return static_cast<int16_t>(S().Launches.Count()); }

void SetLaunch(int16_t index, const LaunchEntry& record) {
    // The Sublaunch tab stores the command line on every keystroke; that alone is no change
    // that needs saving, so Modified stays as it is.
    if (!InList(index, S().Launches.Count())) return;
    S().Launches(index) = record;
}

void InsertLaunch(int16_t position, const LaunchEntry& record) {
    auto& launches = S().Launches;
    // Position 0 is the list's unused slot: inserting there would push an empty entry into
    // the list, so it is refused like a position beyond the end.
    if (!InList(position, launches.Count() + 1)) return;
    launches.InsertAt(position, record);
    S().Modified = true;
}

void DeleteLaunch(int16_t index) {
    auto& launches = S().Launches;
    if (!InList(index, launches.Count())) return;
    launches.RemoveAt(index);
    S().Modified = true;
}

void SwapLaunches(int16_t a, int16_t b) {
    auto& launches = S().Launches;
    if (!InList(a, launches.Count()) || !InList(b, launches.Count())) return;
    launches.Swap(a, b);
    S().Modified = true;
}

}  // namespace modTAVIN
