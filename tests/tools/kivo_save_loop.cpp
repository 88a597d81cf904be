// Opens an installer and saves it again and again until it is killed; each save writes its own
// number into both files, so that the crash test can tell which save each file comes from.
//
//   kivo_save_loop <installer dir> <executable dir> loop <n>   print "ready" after the open and
//                                                              the load, then save n, n+1, ...
//                                                              for ever, printing "saved" after
//                                                              each save
//   kivo_save_loop <installer dir> <executable dir> save <n>   save n once and end
//   kivo_save_loop <installer dir> <executable dir> open       open and load only
//
// Save n puts "Save n" into [OEM Install] SetupTitle of TAVIN.ini and n into [Application] Lang
// of Setup.iss.

#include <cstdio>
#include <string>

#include "platform/ui.h"
#include "store/modTAVIN.h"

namespace {

class ConsoleUi : public kivo::UiServices {
public:
    explicit ConsoleUi(std::string exeDir) : exeDir_(std::move(exeDir)) {}
    kivo::MsgResult MessageBox(const std::string& text, kivo::MsgButtons,
                               const std::string&) override {
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

bool Save(long n) {
    OemInstall o = modTAVIN::GetOemInstall();
    o.SetupTitle = "Save " + std::to_string(n);
    o.Iss.WriteResponseFile = true;
    o.Iss.Languages.Clear();
    o.Iss.Languages.Append({"Save", std::to_string(n)});
    o.Iss.SelectedLanguage = 1;
    modTAVIN::SetOemInstall(o);
    return modTAVIN::SaveTavinIni();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 3 ? argv[3] : "";
    if (!(argc == 4 && mode == "open") && !(argc == 5 && (mode == "loop" || mode == "save"))) {
        std::fprintf(stderr, "usage: %s <installer dir> <executable dir> loop <n>|save <n>|open\n",
                     argv[0]);
        return 2;
    }
    ConsoleUi ui(argv[2]);
    kivo::SetUi(&ui);
    if (!modTAVIN::OpenInstallerDir(argv[1]) || !modTAVIN::LoadInstaller()) return 1;
    if (mode == "open") return 0;
    long n = std::stol(argv[4]);
    if (mode == "save") return Save(n) ? 0 : 1;
    std::printf("ready\n");
    std::fflush(stdout);
    for (;; ++n) {
        if (!Save(n)) return 1;
        std::printf("saved\n");
        std::fflush(stdout);
    }
}
