// Opens an installer and saves it again and again, alternating between two states of the model,
// until it is killed. The crash test kills it at random moments and looks at the files.
//
//   kivo_save_loop <installer dir> <executable dir> loop   print "ready" after the load, then save
//                                                          state A, B, A, ... for ever, printing
//                                                          "saved" after each save
//   kivo_save_loop <installer dir> <executable dir> a|b    save that state once and end

#include <cstdio>
#include <string>

#include "platform/ui.h"
#include "store/modTAVIN.h"

namespace {

class ConsoleUi : public kivo::UiServices {
public:
    explicit ConsoleUi(std::string exeDir) : exeDir_(std::move(exeDir)) {}
    kivo::MsgResult MessageBox(const std::string& text, kivo::MsgButtons, const std::string&) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return kivo::MsgResult::OK;
    }
    std::string BrowseForFolder(const std::string&) override { return {}; }
    std::string OpenFileDialog(const std::string&, const std::string&) override { return {}; }
    void SetHourglass(bool) override {}
    void EndProgram() override { ended_ = true; }
    bool ProgramEnded() const override { return ended_; }
    std::string ExecutableDir() override { return exeDir_; }

private:
    std::string exeDir_;
    bool ended_ = false;
};

// The two states differ in values only, so each gives the same bytes whatever the file held.
bool SaveState(bool a) {
    OemInstall o = modTAVIN::GetOemInstall();
    o.SetupTitle = a ? "State A" : "State B, with a title long enough to change the file's size";
    o.UserName = a ? "Ann" : "Bea";
    o.Iss.SelectedLanguage = a ? 1 : 2;
    modTAVIN::SetOemInstall(o);
    return modTAVIN::SaveTavinIni();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <installer dir> <executable dir> loop|a|b\n", argv[0]);
        return 2;
    }
    ConsoleUi ui(argv[2]);
    kivo::SetUi(&ui);
    if (!modTAVIN::OpenInstallerDir(argv[1]) || !modTAVIN::LoadInstaller()) return 1;
    const std::string mode = argv[3];
    if (mode != "loop") return SaveState(mode == "a") ? 0 : 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (bool a = true;; a = !a) {
        if (!SaveState(a)) return 1;
        std::printf("saved\n");
        std::fflush(stdout);
    }
}
