#pragma once
// A scripted stand-in for the desktop: queues of answers for message boxes, folder browsers and
// file dialogs, and a log of every prompt. It installs itself for its lifetime. A prompt that
// finds no answer fails the test (and answers Cancel / the empty text); answers left over at the
// end fail it too.

#include <deque>
#include <string>
#include <vector>

#include "platform/ui.h"

class FakeUi : public kivo::UiServices {
public:
    struct Message {
        std::string text;
        kivo::MsgButtons buttons;
        std::string title;
    };
    struct FileDialogCall {
        std::string filter;
        std::string initialDir;
    };

    explicit FakeUi(std::string exeDir = {});
    ~FakeUi() override;
    FakeUi(const FakeUi&) = delete;
    FakeUi& operator=(const FakeUi&) = delete;

    // Scripting.
    FakeUi& Answer(kivo::MsgResult r) {
        answers.push_back(r);
        return *this;
    }
    FakeUi& Folder(std::string path) {
        folders.push_back(std::move(path));
        return *this;
    }
    FakeUi& File(std::string path) {
        files.push_back(std::move(path));
        return *this;
    }

    // The texts of the messages shown so far.
    std::vector<std::string> Texts() const;
    // Forgets the log (not the queues).
    void ClearLog();

    // kivo::UiServices
    kivo::MsgResult MessageBox(const std::string& text, kivo::MsgButtons buttons,
                               const std::string& title) override;
    std::string BrowseForFolder(const std::string& title) override;
    std::string OpenFileDialog(const std::string& filter, const std::string& initialDir) override;
    void SetHourglass(bool on) override;
    void EndProgram() override { ended = true; }
    bool ProgramEnded() const override { return ended; }
    std::string ExecutableDir() override { return exeDir; }

    std::deque<kivo::MsgResult> answers;
    std::deque<std::string> folders;
    std::deque<std::string> files;

    std::vector<Message> messages;
    std::vector<std::string> folderTitles;
    std::vector<FileDialogCall> fileDialogs;
    bool hourglass = false;
    int hourglassOnCalls = 0;
    bool ended = false;
    std::string exeDir;
    // Set false to let a test end with answers left over.
    bool checkLeftovers = true;

private:
    kivo::UiServices* previous_ = nullptr;
};
