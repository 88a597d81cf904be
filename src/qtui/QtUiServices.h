#pragma once
// The desktop services of the running program, on Qt: message boxes without an icon, the folder
// browser, the file-open dialog, the hourglass pointer, ending the process.

#include <QString>

#include "platform/ui.h"

class QtUiServices : public kivo::UiServices {
public:
    kivo::MsgResult MessageBox(const std::string& text, kivo::MsgButtons buttons,
                               const std::string& title) override;
    std::string BrowseForFolder(const std::string& title) override;
    std::string OpenFileDialog(const std::string& filter, const std::string& initialDir) override;
    void SetHourglass(bool on) override;
    [[noreturn]] void EndProgram() override;
    bool ProgramEnded() const override { return false; }
    std::string ExecutableDir() override;

private:
    bool hourglass_ = false;
};

// "Desc|pat|Desc|pat" (patterns separated by ';') as Qt's "Desc (pat);;Desc (pat)". "*.*" means
// every file, as it does on Windows.
QString QtFileFilter(const std::string& filter);
