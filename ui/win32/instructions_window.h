#pragma once

// The instructions window: the built-in instructions in a read-only rich-text field, a narrow tool
// window without close box, closed only by its "Close" button.

#include <windows.h>

#include <functional>
#include <memory>

#include "ui/win32/window_support.h"

class Win32InstructionsWindow : public NativeWindow {
public:
    static constexpr int kTextFieldId = 16;
    static constexpr int kCloseButtonId = 17;

    // Shown at once, activated, centred over the owner; nothing when it cannot be created.
    static std::unique_ptr<Win32InstructionsWindow> create(HWND owner, std::function<void()> onClose);

    HWND textField() const { return GetDlgItem(handle_, kTextFieldId); }
    HWND closeButton() const { return GetDlgItem(handle_, kCloseButtonId); }

private:
    explicit Win32InstructionsWindow(std::function<void()> onClose) : onClose_(std::move(onClose)) {}
    void layOut(UINT dpi) override;
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::function<void()> onClose_;
};
