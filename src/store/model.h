#pragma once
// The records of the installer settings model. Fields are named and ordered after the keys of
// the installer's files they hold. Texts are Windows-1252 bytes; flags are bool; whole numbers
// are 16-bit signed.

#include <cstdint>
#include <string>

#include "store/OneBasedList.h"

struct ComponentEntry {
    std::string Parent;
    std::string Name;
    bool Enabled = false;
    bool operator==(const ComponentEntry&) const = default;
};

struct RemoveShortcutEntry {
    std::string Name;
    bool Remove = false;
    bool operator==(const RemoveShortcutEntry&) const = default;
};

struct LanguageEntry {
    std::string Name;
    std::string Code;
    bool operator==(const LanguageEntry&) const = default;
};

struct LaunchEntry {
    std::string Platform;
    std::string Language;
    std::string Type;
    std::string Program;
    std::string CmdLine;
    std::string ChangeDir;
    std::string Wait;
    bool operator==(const LaunchEntry&) const = default;
};

struct FileEntry {
    std::string DestDir;
    std::string Loc;
    std::string FileName;
    std::string ExpandType;
    bool operator==(const FileEntry&) const = default;
};

struct IconEntry {
    std::string Style;
    std::string Folder;
    std::string SubFolder;
    std::string Exe;
    std::string ExeSubDir;
    std::string Description;
    int16_t Number = 0;
    std::string App;
    std::string AppLoc;
    bool operator==(const IconEntry&) const = default;
};

struct RegEntry {
    std::string Platform;
    std::string ParentKey;
    std::string Key;
    std::string ValueName;
    std::string ValueType;
    std::string ValueData;
    bool operator==(const RegEntry&) const = default;
};

struct IniEntry {
    std::string Platform;
    std::string FileLoc;
    std::string FileName;
    std::string Section;
    std::string Key;
    std::string Value;
    bool operator==(const IniEntry&) const = default;
};

struct FileGroup {
    OneBasedList<std::string> PlatformList;
    std::string Platform;
    OneBasedList<std::string> LanguageList;
    std::string Language;
    std::string DestDir;
    std::string Loc;
    int16_t NumberOfFiles = 0;  // counts as read (see the save)
    OneBasedList<FileEntry> Files;
    int16_t NumberOfIcons = 0;
    OneBasedList<IconEntry> Icons;
    int16_t NumberOfRegEntries = 0;
    OneBasedList<RegEntry> RegEntries;
    int16_t NumberOfIniEntries = 0;
    OneBasedList<IniEntry> IniEntries;

    // Empty: no files, icons, registry entries or INI entries, whatever else it holds.
    bool IsEmpty() const {
        return Files.Empty() && Icons.Empty() && RegEntries.Empty() && IniEntries.Empty();
    }
    bool operator==(const FileGroup&) const = default;
};

struct BlindCopy {
    std::string Name;
    std::string Section;
    int16_t NumberOfGroups = 0;  // count as read
    OneBasedList<FileGroup> Groups;
    bool operator==(const BlindCopy&) const = default;
};

struct IssSettings {
    bool WriteResponseFile = false;
    OneBasedList<LanguageEntry> Languages;
    int16_t SelectedLanguage = 0;
    int16_t DefaultLanguage = 0;
    bool operator==(const IssSettings&) const = default;
};

struct OemInstall {
    std::string Product;
    std::string SetupTitle;
    std::string SetupCaptionBarTitle;
    bool DisplayWelcomeDlg = false;
    bool DisplayEULA = false;
    bool DisplayTypeOfInstallDlg = false;
    bool DisplaySelectDestDirDlg = false;
    bool DisplayCustomDlg = false;
    bool DisplayUserInfoDlg = false;
    bool DisplayConfirmRegDlg = false;
    bool DisplayStartCopyDlg = false;
    bool DisplayFinishDlg = false;
    bool DisplayFinalMessage = false;
    bool DisplayRebootDlg = false;
    bool DisplayMaintUIDlg = false;
    bool DisplayBillboards = false;
    std::string ProgGroupName;
    bool DisplayBackGround = false;
    bool DisplayProgressBar = false;
    bool ProgressBarStart = false;
    bool ProgressBarEnd = false;
    bool CloseRunningApps = false;
    bool InstallModeSilent = false;
    bool UninstallCombineVersions = false;
    bool UninstallPreviousVersions = false;
    bool UninstallModeSilent = false;
    std::string UserName;
    std::string UserCompanyName;
    std::string UserSerialNumber;
    bool ProductHidesUserInfoDlg = false;  // computed at load, never written
    std::string DefaultDestDir;
    bool ProductHidesDestDirDlgs = false;  // computed at load, never written
    std::string PDFOutputFolder;
    std::string Type;
    bool ProductHidesTypeDlg = false;  // computed at load, never written
    OneBasedList<RemoveShortcutEntry> RemoveShortcuts;
    OneBasedList<ComponentEntry> Components;
    IssSettings Iss;
    int16_t NumberOfLaunches = 0;  // count as read
    bool IgnoreInstallWarnings = false;
    bool operator==(const OemInstall&) const = default;
};
