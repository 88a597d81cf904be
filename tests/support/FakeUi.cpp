#include "support/FakeUi.h"

#include <gtest/gtest.h>

using kivo::MsgButtons;
using kivo::MsgResult;

FakeUi::FakeUi(std::string dir) : exeDir(std::move(dir)) { kivo::SetUi(this); }

FakeUi::~FakeUi() {
    if (checkLeftovers) {
        EXPECT_TRUE(answers.empty()) << answers.size() << " message answer(s) never asked for";
        EXPECT_TRUE(folders.empty()) << folders.size() << " folder answer(s) never asked for";
        EXPECT_TRUE(files.empty()) << files.size() << " file answer(s) never asked for";
    }
    kivo::SetUi(nullptr);
}

std::vector<std::string> FakeUi::Texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
}

void FakeUi::ClearLog() {
    messages.clear();
    folderTitles.clear();
    fileDialogs.clear();
}

MsgResult FakeUi::MessageBox(const std::string& text, MsgButtons buttons,
                             const std::string& title) {
    messages.push_back({text, buttons, title});
    if (buttons == MsgButtons::OK) {
        // A box with only OK needs no scripted answer, but takes one if it is queued.
        if (!answers.empty() && answers.front() == MsgResult::OK) answers.pop_front();
        return MsgResult::OK;
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unanswered message box: " << text;
        return MsgResult::Cancel;
    }
    MsgResult r = answers.front();
    answers.pop_front();
    return r;
}

std::string FakeUi::BrowseForFolder(const std::string& title) {
    folderTitles.push_back(title);
    if (folders.empty()) {
        ADD_FAILURE() << "unanswered folder browser: " << title;
        return {};
    }
    std::string r = folders.front();
    folders.pop_front();
    return r;
}

std::string FakeUi::OpenFileDialog(const std::string& filter, const std::string& initialDir) {
    fileDialogs.push_back({filter, initialDir});
    if (files.empty()) {
        ADD_FAILURE() << "unanswered file dialog: " << filter;
        return {};
    }
    std::string r = files.front();
    files.pop_front();
    return r;
}

void FakeUi::SetHourglass(bool on) {
    hourglass = on;
    if (on) ++hourglassOnCalls;
}
