#include "app/game_directory_choice.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/program_exit.h"
#include "app/settings.h"
#include "game/client_version.h"
#include "game/game_directory.h"
#include "game/installation_search.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/path_separator.h"
#include "ui/ui.h"

namespace {

// Where the picker starts: at the game directory chosen before while it exists, else at the usual install
// location on Windows, the home directory elsewhere.
std::string pickerStartDirectory(const Settings& settings) {
    if (!settings.wotInstallDir.empty() && fileSize(settings.wotInstallDir) == kPathIsDirectory)
        return settings.wotInstallDir;
#ifdef _WIN32
    return "C:\\Program Files (x86)";
#else
    return homeDirectory();
#endif
}

struct Rejection {
    std::string_view question;  // asked in the dialog loop: try again?
    std::string_view fatal;     // the end when the answer is no
};

constexpr Rejection kCancelled{
    translatable("You abort the selection, there is no valid directory!\r\nTry again?"),
    translatable("Didn't select the World of Tanks install dir.")};
constexpr Rejection kMissing{translatable("The selected directory does not exist!\r\nSelect another one?"),
                             translatable("The selected directory doesn't exist.")};
constexpr Rejection kWithoutExecutable{translatable("Can't find the World of Tanks® executeable, maybe it is "
                                                    "the wrong directory?\r\nSelect another one?"),
                                       translatable("Didn't find the World of Tanks® executeable.")};

const Rejection* rejectionOf(const std::string& directory) {
    switch (checkGameDirectory(directory)) {
        case GameDirectoryCheck::Missing:
        case GameDirectoryCheck::IsFile:  // the picker gives folders only
            return &kMissing;
        case GameDirectoryCheck::WithoutExecutable:
            return &kWithoutExecutable;
        case GameDirectoryCheck::Valid:
            break;
    }
    return nullptr;
}

// A trailing separator of the platform's kind is added unless there is one.
std::string asDirectory(std::string path) {
    if (path.back() != kPathSeparator) path += kPathSeparator;
    return path;
}

// What is wrong with a directory named on the command line, said about that path, in English for the
// log and in the user's language; empty when it is the game's.
struct DirectoryProblem {
    std::string logged;
    std::string shown;
};
DirectoryProblem namedDirectoryProblem(std::string path) {
    while (path.size() > 1 && isPathSeparator(path.back())) path.pop_back();
    std::string_view text;
    std::string parent;
    switch (checkGameDirectory(path)) {
        case GameDirectoryCheck::Missing:
            text = translatable("The game directory {path} doesn't exist.");
            break;
        case GameDirectoryCheck::IsFile:
            text = translatable("{path} is a file: give the folder that holds it, {parent}");
            parent = withTrailingSeparator(utf8PathText(nativePath(path).parent_path()));
            break;
        case GameDirectoryCheck::WithoutExecutable:
            text = translatable(
                "Didn't find the World of Tanks® executable {executable} (or {lestaExecutable}) in {path}");
            path = withTrailingSeparator(path);
            break;
        case GameDirectoryCheck::Valid:
            return {};
    }
    const auto filled = [&](std::string_view form) {
        return fillPlaceholders(form, {{"path", path},
                                       {"parent", parent},
                                       {"executable", kGameExecutableName},
                                       {"lestaExecutable", kLestaExecutableName}});
    };
    return {filled(text), filled(localized(text))};
}

void remember(Context& context, const std::string& directory) {
    context.log.logInfo("Valid World of Tanks® install dir found: " + directory + ".");
    context.settings.wotInstallDir = directory;
    context.settings.wotLastVersion = readClientVersion(directory, context.reporter);
}

// What the search found, offered before the folder picker: one installation by a question, several in
// the chooser. The path chosen, or the empty text when the chooser was closed as a picker is cancelled.
std::string offeredOrPicked(Context& context, const std::vector<GameInstallation>& found) {
    if (found.size() == 1) {
        const GameInstallation& only = found.front();
        if (context.ui.showMessage(
                localized("World of Tanks® found"),
                localized("World of Tanks® is installed in\r\n{directory} ({label}).\r\nUse this "
                          "installation?",
                          {{"directory", only.directory}, {"label", installationLabel(only)}}),
                MessageKind::Question) == MessageAnswer::Yes)
            return only.directory;
    } else if (found.size() > 1) {
        std::vector<std::string> lines;
        for (const GameInstallation& installation : found)
            lines.push_back(installationLabel(installation) + " - " + installation.directory);
        const int choice = context.ui.chooseInstallation(lines);
        if (choice >= 0 && static_cast<std::size_t>(choice) < found.size())
            return found[static_cast<std::size_t>(choice)].directory;
        if (choice != kChoseOtherFolder) return {};
    }
    return context.ui.chooseFolder(localized("Select the WoT install dir:"),
                                   pickerStartDirectory(context.settings));
}

}  // namespace

void selectInstallDirectory(Context& context) {
    const std::vector<GameInstallation> found = findGameInstallations(context.places, context.reporter);
    for (const GameInstallation& installation : found) {
        context.log.logInfo("Found World of Tanks® installation: " + installation.directory + " (" +
                            installationLabel(installation) + ")");
    }
    // Each rejected choice either starts a complete new attempt or ends the program.
    for (;;) {
        context.log.logInfo("Selecting new World of Tanks® install directory.");
        std::string path = offeredOrPicked(context, found);
        const Rejection* rejection = &kCancelled;
        if (!path.empty()) {
            path = asDirectory(path);
            rejection = rejectionOf(path);
        }
        if (!rejection) {
            remember(context, path);
            return;
        }
        if (context.ui.showMessage(localized("Error"), localized(rejection->question),
                                   MessageKind::Question) != MessageAnswer::Yes)
            raiseFatalError(context, rejection->fatal);
    }
}

void useInstallDirectory(Context& context, const std::string& directory) {
    if (directory.empty()) raiseFatalError(context, kCancelled.fatal);
    const DirectoryProblem problem = namedDirectoryProblem(directory);
    if (!problem.logged.empty()) raiseFatalError(context, problem.logged, problem.shown);
    remember(context, asDirectory(directory));
}
