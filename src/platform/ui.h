#pragma once
// Everything modal or process-wide that the store and the windows need from the desktop:
// message boxes, the folder browser, the file-open dialog, the hourglass, ending the program
// and the directory of the running executable. The app installs a Qt implementation; tests
// install a scripted fake, so that nothing ever blocks on a modal dialog.
//
// All texts are Windows-1252 bytes.

#include <string>

namespace kivo {

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgResult { OK, Cancel, Yes, No };

class UiServices {
public:
    virtual ~UiServices() = default;

    // Shows a message box without an icon and returns the button pressed. Closing the box
    // without a choice answers Cancel (or OK for a box that has only OK).
    virtual MsgResult MessageBox(const std::string& text, MsgButtons buttons,
                                 const std::string& title) = 0;

    // Modal choice of one existing folder; the empty text when cancelled.
    virtual std::string BrowseForFolder(const std::string& title) = 0;

    // Modal file-open dialog. The filter has the form "Description|pattern|Description|pattern".
    // Returns the chosen file's full path, or the empty text when cancelled.
    virtual std::string OpenFileDialog(const std::string& filter,
                                       const std::string& initialDir) = 0;

    virtual void SetHourglass(bool on) = 0;

    // Ends the program at once. In the app this does not return. A caller must return right
    // after it all the same: a test's fake records the end and returns.
    virtual void EndProgram() = 0;

    // True once EndProgram has been called (only ever observable in tests).
    virtual bool ProgramEnded() const = 0;

    // The directory of the running executable (native separators, no trailing separator).
    virtual std::string ExecutableDir() = 0;
};

// The services in use. Must be set (SetUi) before anything calls Ui().
UiServices& Ui();
void SetUi(UiServices* services);

}  // namespace kivo
