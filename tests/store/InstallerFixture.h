#pragma once
// An installer directory and an executable directory in a temporary folder, the store pointed at
// them, and the fake desktop installed: the ground for the load and save tests.

#include <gtest/gtest.h>

#include <string>

#include "platform/profile.h"
#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"

class InstallerTest : public ::testing::Test {
protected:
    InstallerTest() : ui(exeDir.path()) {
        kivo::profile::ClearCache();
        modTAVIN::ResetState();
        modTAVIN::State& s = modTAVIN::S();
        s.InstallerDir = dir.path();
        s.TavinIniPath = modTAVIN::PathIn(dir.path(), "Tavin.ini");
        s.SetupIssPath = modTAVIN::PathIn(dir.path(), "Setup.iss");
        s.SetupLidPath = modTAVIN::PathIn(dir.path(), "Setup.lid");
        s.KivoIniPath = modTAVIN::PathIn(exeDir.path(), "KIVO.ini");
    }
    ~InstallerTest() override { kivo::profile::ClearCache(); }

    std::string InDir(const std::string& name) const { return dir / name; }

    // Writes a file of the installer directory from LF text, with CRLF line ends.
    // Between a load and a save, as the user's own doing (not another program's).
    void Put(const std::string& name, const std::string& lfText) const {
        WriteFileBytes(dir / name, Crlf(lfText));
        if (modTAVIN::S().TavinIniState) TakeFilesAsOpened();
    }
    // The installer's files as they stand now are those the model was opened from.
    static void TakeFilesAsOpened() { modTAVIN::RecordFilesAsOpened(); }
    std::string Get(const std::string& name) const { return ReadFileBytes(dir / name); }

    void PutKivo(const std::string& lfText) const {
        WriteFileBytes(exeDir / "KIVO.ini", Crlf(lfText));
    }

    // TAVIN.ini with [Main] for the product, followed by more text.
    void PutTavin(const std::string& product, const std::string& rest = "") const {
        Put("TAVIN.ini", "[Main]\nTavinVersion=1.2\nProduct=" + product + "\n" + rest);
        modTAVIN::S().OemSettings.Product = product;
    }

    TempDir dir;
    TempDir exeDir;
    FakeUi ui;
};
