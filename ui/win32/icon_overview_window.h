#pragma once

// The icon overview as a native window: atlas, state filter and search on top, the atlas's icons in a
// list-view of large icons fed from an image list, the files that match no icon below. The list-view is
// virtual: it asks for the rows it shows, and a row's picture (default and replacement side by side) is
// loaded the first time it is asked for. Modeless; F5 asks the program for a fresh view, a double click
// opens the icon's folder, Escape closes it, icon packs dropped onto it are imported. It can be resized and
// maximised: the grid and the list below follow, the grid's columns share its width; a label's full name is
// its info tip.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/icon_overview_view.h"
#include "ui/win32/window_support.h"

class Win32IconOverviewWindow : public NativeWindow {
public:
    enum Control : int { AtlasChoice = 30, FilterChoice, SearchField, IconGrid, UnmatchedList, Caption };
    using EventSink = std::function<void(WindowEvent)>;
    using FolderOpener = std::function<void(const std::string& folder)>;

    // Opens at the size given (within the minimum and the work area), or the default where none was chosen.
    static std::unique_ptr<Win32IconOverviewWindow> create(HWND owner, EventSink sink,
                                                           FolderOpener openFolder,
                                                           OverviewWindowSize size = {});
    ~Win32IconOverviewWindow() override;

    void show(IconOverviewView view);
    // Its size when not maximised, and whether it is.
    OverviewWindowSize chosenSize() const;
    // F5 anywhere in the window reads the files again; false for every other message.
    bool takeKey(const MSG& message) const;

    HWND control(Control id) const { return GetDlgItem(handle_, id); }
    // The shown row's icon; for tests.
    const OverviewIcon* iconAt(int row) const;
    int picturesLoaded() const { return static_cast<int>(pictureIndex_.size()); }

private:
    Win32IconOverviewWindow(EventSink sink, FolderOpener openFolder)
        : sink_(std::move(sink)), openFolder_(std::move(openFolder)) {}
    void layOut(UINT dpi) override;
    std::optional<LRESULT> handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    SIZE frameSize() const;
    // The controls that follow the client area's size, and the grid's columns.
    void arrange();
    void fitColumns();
    void showAtlas();
    int pictureOf(const OverviewIcon& icon);
    void forgetPictures();

    EventSink sink_;
    FolderOpener openFolder_;
    IconOverviewView view_;
    std::vector<std::size_t> shown_;
    HIMAGELIST pictures_ = nullptr;
    std::unordered_map<std::string, int> pictureIndex_;  // by default and replacement path
    std::wstring textBuffer_;                            // what the list-view was last handed
    int clientWidth_ = 0;                                // when not maximised, in the layout's pixels
    int clientHeight_ = 0;
    bool openMaximized_ = false;
    int cellWidth_ = 0;  // the grid's, in the screen's pixels
};
