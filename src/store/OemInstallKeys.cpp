#include "store/OemInstallKeys.h"

#include <array>

namespace modTAVIN::keys {

namespace {

constexpr OemKey Text(const char* key, std::string OemInstall::*field, bool productDefault) {
    return {key, field, nullptr, false, false, productDefault};
}
constexpr OemKey Flag(const char* key, bool OemInstall::*field, bool def) {
    return {key, nullptr, field, def, false, true};
}

const std::array<OemKey, 32> kKeys = {{
    Text("SetupTitle", &OemInstall::SetupTitle, true),
    Text("SetupCaptionBarTitle", &OemInstall::SetupCaptionBarTitle, true),
    Flag("DisplayWelcomeDlg", &OemInstall::DisplayWelcomeDlg, true),
    Flag("DisplayEULA", &OemInstall::DisplayEULA, true),
    Flag("DisplayTypeOfInstallDlg", &OemInstall::DisplayTypeOfInstallDlg, true),
    Flag("DisplaySelectDestDirDlg", &OemInstall::DisplaySelectDestDirDlg, false),
    Flag("DisplayCustomDlg", &OemInstall::DisplayCustomDlg, true),
    Flag("DisplayUserInfoDlg", &OemInstall::DisplayUserInfoDlg, true),
    Flag("DisplayConfirmRegDlg", &OemInstall::DisplayConfirmRegDlg, true),
    Flag("DisplayStartCopyDlg", &OemInstall::DisplayStartCopyDlg, true),
    Flag("DisplayFinishDlg", &OemInstall::DisplayFinishDlg, true),
    Flag("DisplayFinalMessage", &OemInstall::DisplayFinalMessage, true),
    Flag("DisplayRebootDlg", &OemInstall::DisplayRebootDlg, true),
    Flag("DisplayMaintUIDlg", &OemInstall::DisplayMaintUIDlg, false),
    Flag("DisplayBillboards", &OemInstall::DisplayBillboards, true),
    Text("ProgGroupName", &OemInstall::ProgGroupName, true),
    Flag("DisplayBackGround", &OemInstall::DisplayBackGround, true),
    Flag("DisplayProgressBar", &OemInstall::DisplayProgressBar, true),
    Flag("ProgressBarStart", &OemInstall::ProgressBarStart, true),
    Flag("ProgressBarEnd", &OemInstall::ProgressBarEnd, true),
    Flag("CloseRunningApps", &OemInstall::CloseRunningApps, true),
    Flag("InstallModeSilent", &OemInstall::InstallModeSilent, false),
    Flag("UninstallCombineVersions", &OemInstall::UninstallCombineVersions, true),
    Flag("UninstallPreviousVersions", &OemInstall::UninstallPreviousVersions, true),
    Flag("UninstallModeSilent", &OemInstall::UninstallModeSilent, true),
    Text("UserCompanyName", &OemInstall::UserCompanyName, false),
    Text("UserSerialNumber", &OemInstall::UserSerialNumber, false),
    Text("DefaultDestDir", &OemInstall::DefaultDestDir, false),
    Text("UserName", &OemInstall::UserName, false),
    Text("PDFOutputFolder", &OemInstall::PDFOutputFolder, false),
    {"Type", &OemInstall::Type, nullptr, false, true, true},
    Flag("IgnoreInstallWarnings", &OemInstall::IgnoreInstallWarnings, false),
}};

}  // namespace

std::span<const OemKey> OemKeys() { return kKeys; }

}  // namespace modTAVIN::keys
