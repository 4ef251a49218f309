#pragma once

// The boundary through which the program reaches windows and dialogs. It holds no toolkit type, so the
// core builds and is tested without a display.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/localized_text.h"
#include "ui/build_summary_view.h"
#include "ui/icon_overview_view.h"

enum class MessageKind { Plain, Information, Error, Question };

// Callers of a question test for Yes only.
enum class MessageAnswer { Ok, Yes, No };

// The events the main flow acts on; everything else stays inside the window layer.
enum class UiEvent {
    MainWindowCloseRequest,
    ChooseGameDirectory,      // ". . ." beside the install directory
    ChooseNewIconsDirectory,  // ". . ." beside the new contour icon directory
    CreateAtlases,
    SaveInGameDirectoryChecked,  // the check box, clicked into either state
    SaveInGameDirectoryUnchecked,
    OpenInstructions,     // "?"
    CloseInstructions,    // "Close" of the instructions window
    OpenIconOverview,     // "Icons…"
    RefreshIconOverview,  // F5 in the icon overview: read the files again
    IconOverviewClosed,   // its size may have changed
    ImportChosen,    // "Import icon packs…" or "Import icons from a folder…", with the sources chosen
    PathsDropped,    // files or folders dropped onto the main window or the overview
    LanguageChosen,  // an entry of the main window's Language menu, with its code
};

// An event and what it carries: the paths of ImportChosen and PathsDropped, absolute and in the order
// given, which is the order the import takes them in; the language of LanguageChosen. An event without
// either converts from its kind.
struct WindowEvent {
    WindowEvent(UiEvent kind, std::vector<std::string> paths = {})  // NOLINT: implicit on purpose
        : kind(kind), paths(std::move(paths)) {}
    static WindowEvent languageChosen(std::string code) {
        WindowEvent event(UiEvent::LanguageChosen);
        event.language = std::move(code);
        return event;
    }

    UiEvent kind;
    std::vector<std::string> paths;
    std::string language;  // a code of choosableLanguages(), or empty for the system's language
    friend bool operator==(const WindowEvent&, const WindowEvent&) = default;
};

inline constexpr int kChoseOtherFolder = -1;
inline constexpr int kChoseNothing = -2;

// What every job needs: dialogs and the progress of a long step.
class Ui {
public:
    virtual ~Ui() = default;

    // Dialogs: modal, they block until answered.
    virtual MessageAnswer showMessage(const std::string& title, const std::string& text,
                                      MessageKind kind) = 0;
    // The chosen directory ending in the path separator, or the empty text on cancel.
    virtual std::string chooseFolder(const std::string& title, const std::string& initialDirectory) = 0;

    // The installations found, one line each, in a list with "Other folder…" beside it: the index of the
    // chosen line, kChoseOtherFolder, or kChoseNothing when the window was closed.
    virtual int chooseInstallation(const std::vector<std::string>& installations) = 0;

    // The progress window; at most one, a second open replaces the first.
    virtual void openProgressWindow(const std::string& title) = 0;
    virtual void setProgressText(const std::string& text) = 0;
    virtual void setProgressBar(int value) = 0;  // clamps to 0..100
    virtual void closeProgressWindow() = 0;
};

// The main window's rows of default icons, one per atlas kind (the program checks that they agree).
inline constexpr std::size_t kAtlasRowCount = 2;

// What the main window shows of one atlas kind: where its default icons are and how many.
struct AtlasIconsView {
    std::string iconDirectory;
    std::int32_t icons = 0;
};

// What the main window shows.
struct MainWindowView {
    std::string installDirectory;
    std::array<AtlasIconsView, kAtlasRowCount> atlases;  // in the order of the atlas kinds
    std::string newIconDirectory;
    std::string gameVersion;
    std::int32_t newIcons = 0;
    bool saveInGameDirectory = false;  // "Create Atlases" also puts the atlases into the game
    // The context menu's Language menu: "System language", then these; the one of the code checked, or
    // "System language" when the code is empty.
    std::vector<LanguageChoice> languages;
    std::string language;
};

// The desktop program's windows on top of the dialogs.
class DesktopUi : public Ui {
public:
    virtual bool openMainWindow() = 0;
    virtual void refreshMainWindow(const MainWindowView& view) = 0;
    virtual void showMainWindow() = 0;
    virtual void openInstructionsWindow() = 0;
    virtual void closeInstructionsWindow() = 0;
    // The one box after "Create Atlases": modal, with OK, "Open folder" (the system's file manager) and
    // "Show icons", which the flow answers with the icon overview.
    virtual BuildSummaryChoice showBuildSummary(const BuildSummaryView& view) = 0;
    // The icon overview, modeless: opened, or brought to the front and refreshed when it is open.
    virtual void showIconOverview(const IconOverviewView& view) = 0;
    // The overview's size now, or as it was closed; none before it was first opened.
    virtual std::optional<OverviewWindowSize> iconOverviewSize() const = 0;
    // Whether the overview is open (shown), so that what changes its files can show it afresh.
    virtual bool iconOverviewOpen() const = 0;

    // The languages the desktop asks for, most wanted first, as the toolkit reads them from the system.
    virtual std::vector<std::string> systemLanguages() const = 0;
    // After the language changed: the open windows are made anew in it, where they were. The main window
    // waits for a refresh; an open overview is closed (the flow has taken its size) for the flow to show
    // afresh, and opens where it was.
    virtual void remakeWindows() = 0;

    // The event loop's wait: the next event the flow acts on.
    virtual WindowEvent waitEvent() = 0;

    // When the operating system asks the program to end (SIGTERM or Ctrl+C on Linux, the session's end on
    // Windows), the backend calls the handler, which writes what the normal exit writes, and then ends the
    // process: the flow may be anywhere, even inside a dialog, and the system does not wait long.
    virtual void setEndRequestHandler(std::function<void()> handler) = 0;
};
