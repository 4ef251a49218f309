// Times the desktop program's own flow (runProgram) with its real windows, Qt on Linux, Win32 on Windows,
// answering for the user: every question Yes, the game's folder where one is asked for.
//   ravelin_window_bench first-start GAME_DIR   in an empty working directory (the current one): the first
//                                               start until the main window shows, then the program ends
//                                               as after a close (time the whole process)
//   ravelin_window_bench create-atlases         in a working directory set up before: prints the
//                                               milliseconds from "Create Atlases" to its summary box
// A start that finds a game update takes its atlases apart first, as the user's Yes asks.

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/main_flow.h"
#include "platform/path_separator.h"

#ifdef _WIN32
#include "ui/win32/win32_ui.h"
using BackendUi = Win32Ui;
#else
#include <QApplication>

#include "ui/qt/qt_ui.h"
using BackendUi = QtUi;
#endif

namespace {

using Clock = std::chrono::steady_clock;

class BenchUi : public BackendUi {
public:
    BenchUi(std::string gameDirectory, bool createAtlases)
        : gameDirectory_(std::move(gameDirectory)), createAtlases_(createAtlases) {}

    MessageAnswer showMessage(const std::string&, const std::string&, MessageKind) override {
        return MessageAnswer::Yes;
    }
    std::string chooseFolder(const std::string&, const std::string&) override {
        return withTrailingSeparator(gameDirectory_);
    }
    int chooseInstallation(const std::vector<std::string>&) override { return kChoseOtherFolder; }

    // The main window is up: "Create Atlases" once if asked for, then the close request.
    WindowEvent waitEvent() override {
        if (!createAtlases_ || pressed_) return UiEvent::MainWindowCloseRequest;
        pressed_ = true;
        start_ = Clock::now();
        return UiEvent::CreateAtlases;
    }
    BuildSummaryChoice showBuildSummary(const BuildSummaryView& view) override {
        if (!pressed_) return BuildSummaryChoice::Close;  // a build the start made after a game update
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
        std::printf("create-atlases %lld ms%s\n", static_cast<long long>(elapsed.count()),
                    view.warning ? " (with errors)" : "");
        return BuildSummaryChoice::Close;
    }

private:
    std::string gameDirectory_;
    bool createAtlases_;
    bool pressed_ = false;
    Clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc > 1 ? argv[1] : "";
    if (!((mode == "first-start" && argc == 3) || (mode == "create-atlases" && argc == 2))) {
        std::fprintf(stderr, "usage: %s first-start GAME_DIR | create-atlases\n", argv[0]);
        return 2;
    }
#ifndef _WIN32
    QApplication application(argc, argv);
#endif
    BenchUi ui(mode == "first-start" ? argv[2] : "", mode == "create-atlases");
    return runProgram(ui);
}
