#pragma once

// The chooser of installations: the lines in a list box, the first selected; "OK" (Enter, a double click)
// takes the selected line, "Other folder…" asks for the folder picker, "Cancel", Escape and the close box
// choose nothing. Win32Ui runs it modally.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/win32/window_support.h"

class Win32InstallationChooser : public NativeWindow {
public:
    static constexpr int kPromptId = 18;
    static constexpr int kListId = 19;
    static constexpr int kOtherFolderId = 20;

    // Shown at once, activated, centred over the owner; nothing when it cannot be created.
    static std::unique_ptr<Win32InstallationChooser> create(HWND owner,
                                                            const std::vector<std::string>& installations);

    // The answer once given: a line's index, kChoseOtherFolder or kChoseNothing.
    const std::optional<int>& answer() const { return answer_; }

    HWND list() const { return GetDlgItem(handle_, kListId); }
    HWND otherFolderButton() const { return GetDlgItem(handle_, kOtherFolderId); }
    HWND useButton() const { return GetDlgItem(handle_, IDOK); }
    HWND cancelButton() const { return GetDlgItem(handle_, IDCANCEL); }

private:
    Win32InstallationChooser() = default;
    void layOut(UINT dpi) override;
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::optional<int> answer_;
};
