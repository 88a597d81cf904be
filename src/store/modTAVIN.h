#pragma once
// The installer settings store: the in-memory model of the one open installer, opening and
// checking an installer directory, loading the model from the installer's files, saving it back,
// and the operations through which the windows read and change it.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/atomicfile.h"
#include "store/model.h"

namespace modTAVIN {

// ---- Module state ---------------------------------------------------------------------------
struct State {
    std::string SetupLidPath;
    std::string SetupIssPath;
    std::string KivoIniPath;
    std::string TavinIniPath;
    std::string InstallerDir;
    bool InstallerOpen = false;
    bool Modified = false;
    OemInstall OemSettings;
    OneBasedList<BlindCopy> BlindCopies;
    OneBasedList<LaunchEntry> Launches;
    // TAVIN.ini and Setup.iss as the load read them, or as the last save or the open's version
    // update left them (none: nothing to compare with). A save that finds either otherwise asks
    // before it writes over another program's change.
    std::optional<kivo::platform::FileState> TavinIniState;
    std::optional<kivo::platform::FileState> SetupIssState;
    // Factory values ([OEM Install] keys and values) of products whose import into KIVO.ini
    // could not be written: kept for the rest of the run in its stead, by product.
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> FactoryValues;
};

// The one instance of the module state.
State& S();
// Back to the state at program start (tests).
void ResetState();

// dir followed by the native separator and name.
std::string PathIn(const std::string& dir, const std::string& name);

// ---- Model operations -----------------------------------------------------------------------
void CloseInstaller();
bool IsInstallerOpen();
bool IsModified();
std::string GetInstallerDir();
OemInstall GetOemInstall();
void SetOemInstall(const OemInstall& record);
BlindCopy GetBlindCopy(int16_t index);
int16_t BlindCopyCount();
LaunchEntry GetLaunch(int16_t index);
int16_t LaunchCount();
void SetLaunch(int16_t index, const LaunchEntry& record);
void InsertLaunch(int16_t position, const LaunchEntry& record);
void DeleteLaunch(int16_t index);
void SwapLaunches(int16_t a, int16_t b);

// ---- Copy-list operations -------------------------------------------------------------------
bool SameFileLocation(const FileEntry& a, const FileEntry& b);
bool SameFile(const FileEntry& a, const FileEntry& b);
bool SameRegValue(const RegEntry& a, const RegEntry& b);
bool SameRegEntry(const RegEntry& a, const RegEntry& b);
void AddFileToBlindCopy(int16_t index, const FileEntry& file);
void RemoveFileFromBlindCopy(int16_t index, const FileEntry& file);
// valueData, when given, receives the ValueData of the last match.
bool FindRegEntry(int16_t index, const RegEntry& value, std::string* valueData = nullptr);
void SetRegEntry(int16_t index, const RegEntry& value);
void RemoveRegEntry(int16_t index, const RegEntry& value);
void RemoveEmptyGroups();
// Destination folders are Windows folders, where A\Old and a\old are one folder. These two
// work on the files of every group of copy list `index` whose destination is the folder or lies
// below it.
// Renames or moves oldFolder: each such file keeps its place below newFolder. False, with nothing
// changed, when a destination would then pass Util::kValueChars (one read gives back no more).
bool MoveDestFolder(int16_t index, const std::string& oldFolder, const std::string& newFolder);
// Removes those files.
void RemoveDestFolder(int16_t index, const std::string& folder);

// ---- Opening and checking an installer directory --------------------------------------------
bool OpenInstallerDir(const std::string& dir);
bool KivoHasProductSection();
void ImportOemInstallToKivo();
bool CheckSilentUserInfo();
bool HasResponseFile();
bool UpdateSetupIns(const std::string& dir);
bool CheckInstallerVersion(const std::string& dir);
bool IsVersion50Product(const std::string& settingsFile);

// ---- Loading the model ----------------------------------------------------------------------
bool LoadInstaller();
void LoadTavinIni();
// Takes TAVIN.ini and Setup.iss as they stand now for the files the model was opened from: a
// later save asks before it writes over what changed since.
void RecordFilesAsOpened();
void LoadLanguageSettings();
void LoadLanguages();
void LoadComponents();
void LoadComponentBlindCopies();
void LoadBlindCopySectionsByName();
void LoadBlindCopySection(int16_t position, const std::string& name, const std::string& section);
void LoadRemoveShortcuts();
void LoadLaunches();
void LoadProductDefaults();
void SetSilentDefaults();

// ---- Saving the model -----------------------------------------------------------------------
// False when nothing was saved (a message has named the file and the reason); the model then
// stays modified.
bool SaveTavinIni();
// Removes from `dir` the temporary files of saves of this machine that were killed halfway.
void RemoveStaleSaveTemps(const std::string& dir);
void WriteComponents();
void SaveResponseFile();
void Write_ISSFile();
void DeleteResponseFile();
void WriteBlindCopySections();
void WriteRemoveShortcuts();
void WriteLaunches();

}  // namespace modTAVIN
