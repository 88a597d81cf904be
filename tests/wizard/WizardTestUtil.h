#pragma once
// Shared set-up of the wizard tests: a clean model and working record, the scripted UI, a
// KIVO.ini of our own beside the "executable", and small builders for the model.

#include <gtest/gtest.h>

#include <string>

#include "store/modTAVIN.h"
#include "support/FakeUi.h"
#include "support/TempDir.h"
#include "wizard/modWizUI.h"

inline constexpr const char* kFullProduct = "Vontu(R) Tessary(R) 5.0";
inline constexpr const char* kViewerProduct = "Tessary Lumeno 5.0";
inline constexpr const char* kFormsProduct = "Tessary Sanctile 5.0";
inline constexpr const char* kNoEditionProduct = "Vontu(R) Tessary(R) Fumarel 5.0";

// The rows spelled out here, not taken from the code under test.
inline RegEntry Reg(const char* key, const char* name, const char* type, const char* data) {
    return RegEntry{"All", "HKEY_LOCAL_MACHINE", key, name, type, data};
}
inline constexpr char kCollabKey[] = "Software\\Vontu\\Vontu Tessary\\5.0\\Collab\\cServerSettings";
inline constexpr char kViewerKey[] = "SOFTWARE\\Vontu\\Tessary Lumeno\\5.0\\VontuViewer";
inline constexpr char kFullKey[] = "SOFTWARE\\Vontu\\Vontu Tessary\\5.0\\VontuViewer";
inline RegEntry Collab(const char* server) { return Reg(kCollabKey, "tDAVFDF", "STRING", server); }
inline RegEntry Update(const char* key, const char* name) { return Reg(key, name, "Number", "1"); }

class WizardFixture : public ::testing::Test {
protected:
    TempDir dir;
    FakeUi ui{dir.path()};

    void SetUp() override {
        modTAVIN::ResetState();
        modWizUI::ResetState();
        modTAVIN::S().KivoIniPath = dir / "KIVO.ini";
        modTAVIN::S().InstallerOpen = true;
    }
    void TearDown() override {
        modTAVIN::ResetState();
        modWizUI::ResetState();
    }

    static OemInstall& Model() { return modTAVIN::S().OemSettings; }

    // Edits the working record the way the pages do: a copy, changed, stored back.
    template <class Change>
    static void ChangeRecord(Change change) {
        modWizUI::WizardSettings w = modWizUI::GetWizardSettings();
        change(w);
        modWizUI::SetWizardSettings(w);
    }

    // A first copy list with one "All" group holding the given registry rows.
    static void AddCopyList(std::initializer_list<RegEntry> rows = {}) {
        BlindCopy bc;
        bc.Name = "Core";
        bc.Section = "Comp1 BlindCopy";
        FileGroup g;
        g.Platform = "All";
        g.PlatformList.Append("All");
        g.Language = "All";
        g.LanguageList.Append("All");
        for (const RegEntry& r : rows) g.RegEntries.Append(r);
        if (!g.RegEntries.Empty()) bc.Groups.Append(g);
        modTAVIN::S().BlindCopies.Append(bc);
    }

    // Every registry row of copy list 1, in order.
    static std::vector<RegEntry> Rows() {
        std::vector<RegEntry> out;
        if (modTAVIN::BlindCopyCount() < 1) return out;
        for (const FileGroup& g : modTAVIN::S().BlindCopies(1).Groups) {
            for (const RegEntry& r : g.RegEntries) out.push_back(r);
        }
        return out;
    }

    static void AddComponent(const std::string& parent, const std::string& name, bool enabled) {
        Model().Components.Append(ComponentEntry{parent, name, enabled});
    }
    static void AddLanguage(const std::string& name, const std::string& code) {
        Model().Iss.Languages.Append(LanguageEntry{name, code});
    }
};
