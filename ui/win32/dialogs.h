#pragma once

// The modal dialogs: message boxes of the four kinds and the folder picker. The native ones sit behind
// a seam so that tests can answer them; the modality around them is the backend's own (ModalScope).

#include <windows.h>

#include <string>
#include <vector>

#include "ui/ui.h"

class Win32Dialogs {
public:
    virtual ~Win32Dialogs() = default;
    // The answer, No when the box cannot be shown.
    virtual MessageAnswer showMessage(HWND owner, const std::string& title, const std::string& text,
                                      MessageKind kind) = 0;
    // The chosen folder's path as Windows writes it, or the empty text on cancel or without a file-system
    // path.
    virtual std::string chooseFolder(HWND owner, const std::string& title,
                                     const std::string& initialDirectory) = 0;
    // The icon packs and atlas XML files chosen to import, as Windows writes their paths; empty on cancel.
    virtual std::vector<std::string> chooseImportFiles(HWND owner) = 0;
    // The build summary with "Open folder", "Show icons" and OK; the button that closed it.
    virtual SummaryBoxButton showSummary(HWND owner, const BuildSummaryView& view) = 0;
    // Shows the folder in the system's file manager.
    virtual void openFolder(const std::string& folder) = 0;
};

// MessageBoxW and the system's file and folder pickers (IFileOpenDialog).
class NativeDialogs : public Win32Dialogs {
public:
    MessageAnswer showMessage(HWND owner, const std::string& title, const std::string& text,
                              MessageKind kind) override;
    std::string chooseFolder(HWND owner, const std::string& title,
                             const std::string& initialDirectory) override;
    // The system's file picker, several files at once.
    std::vector<std::string> chooseImportFiles(HWND owner) override;
    // A task dialog with the two buttons.
    SummaryBoxButton showSummary(HWND owner, const BuildSummaryView& view) override;
    void openFolder(const std::string& folder) override;
};

// While it lives, no window of the program's thread but the dialog's owner takes input and none stays on
// top of the dialog; afterwards exactly the windows it changed get their state back.
class ModalScope {
public:
    explicit ModalScope(HWND owner);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    std::vector<HWND> disabled_;
    std::vector<HWND> wereTopmost_;
};

// The owner of a dialog: the foreground window when it is one of the program's, else none.
HWND dialogOwner();
