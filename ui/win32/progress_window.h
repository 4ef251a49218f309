#pragma once

// The progress window: a narrow tool window without close box, one wrapping text line and a smooth
// 0..100 bar, widened where its title would not fit its title bar. It takes no input. The step only stores
// its latest text and value; they reach the controls when the window repaints.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "ui/win32/window_support.h"

class Win32ProgressWindow : public NativeWindow {
public:
    static constexpr int kTextLineId = 14;
    static constexpr int kBarId = 15;

    // Shown at once over the owner (or the active window), or nothing when it cannot be created.
    static std::unique_ptr<Win32ProgressWindow> create(const std::string& title, HWND owner);

    void setText(const std::string& text);
    void setValue(int value);  // clamped to 0..100
    // Puts the stored text and value into the controls and draws the window at once.
    void repaint();

    HWND textLine() const { return GetDlgItem(handle_, kTextLineId); }
    HWND bar() const { return GetDlgItem(handle_, kBarId); }

private:
    Win32ProgressWindow() = default;
    void layOut(UINT dpi) override;
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string title_;
    std::optional<std::string> pendingText_;
    std::string shownText_;
    std::optional<int> pendingValue_;
    int shownValue_ = 0;
};
