#pragma once

// The instructions window: the built-in instructions in a read-only rich-text field, a narrow tool
// window without close box. "Close", Escape, Enter and Alt+F4 ask the flow to close it.

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

    // The window's own keys, taken before the dialog keys: Escape and Enter close it, Tab leaves the text
    // field (which would keep it). True when the message was one of them.
    bool takeKey(const MSG& message);
    // Makes the window as tall as it may be within the given height of its inside, in 96-dpi pixels.
    void fitHeight(int availableClientHeight);

private:
    explicit Win32InstructionsWindow(std::function<void()> onClose) : onClose_(std::move(onClose)) {}
    void layOut(UINT dpi) override;
    void layOutWithin(UINT dpi, int availableClientHeight);
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::function<void()> onClose_;
};
