#include "support/TavinText.h"

std::string OemInstallSection(const OemInstallValues& v) {
    return "[OEM Install]\n"
           "SetupTitle=" +
           v.setupTitle +
           "\n"
           "SetupCaptionBarTitle=" +
           v.captionBarTitle +
           "\n"
           "DisplayWelcomeDlg=YES\n"
           "DisplayEULA=" +
           v.eula +
           "\n"
           "DisplayTypeOfInstallDlg=YES\n"
           "DisplaySelectDestDirDlg=NO\n"
           "DisplayCustomDlg=YES\n"
           "DisplayUserInfoDlg=" +
           v.userInfoDlg +
           "\n"
           "DisplayConfirmRegDlg=YES\n"
           "DisplayStartCopyDlg=YES\n"
           "DisplayFinishDlg=YES\n"
           "DisplayFinalMessage=YES\n"
           "DisplayRebootDlg=YES\n"
           "DisplayMaintUIDlg=NO\n"
           "DisplayBillboards=YES\n"
           "ProgGroupName=" +
           v.progGroupName +
           "\n"
           "DisplayBackGround=YES\n"
           "DisplayProgressBar=YES\n"
           "ProgressBarStart=YES\n"
           "ProgressBarEnd=YES\n"
           "CloseRunningApps=YES\n"
           "InstallModeSilent=" +
           v.silent +
           "\n"
           "UninstallCombineVersions=YES\n"
           "UninstallPreviousVersions=YES\n"
           "UninstallModeSilent=YES\n"
           "UserCompanyName=" +
           v.company +
           "\n"
           "UserSerialNumber=" +
           v.serial +
           "\n"
           "DefaultDestDir=" +
           v.destDir +
           "\n"
           "UserName=" +
           v.userName +
           "\n"
           "PDFOutputFolder=\n"
           "IgnoreInstallWarnings=NO\n";
}
