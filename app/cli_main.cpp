// ravelin-cli: Ravelin's main jobs without a window, in the working directory (or --workdir DIR).

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/headless_commands.h"
#include "ui/terminal/terminal_ui.h"

namespace {

struct CommandInfo {
    HeadlessCommand command;
    const char* argumentName;  // nullptr when the command takes none
    const char* help;
};

const std::map<std::string, CommandInfo> kCommands = {
    {"setup",
     {HeadlessCommand::Setup, "GAME_DIR",
      "Set up the working directory for the game in GAME_DIR, as the desktop program's first start\n"
      "does: check GAME_DIR, create the working directories, unpack the original atlases and cut\n"
      "them into icons."}},
    {"update",
     {HeadlessCommand::Update, nullptr,
      "Unpack the original atlases again from the remembered game directory and cut them into\n"
      "icons, after a game update; the new client version is remembered."}},
    {"icons",
     {HeadlessCommand::Icons, "DIR",
      "Make DIR the directory of the new contour icons and count the PNG files in it."}},
    {"build",
     {HeadlessCommand::Build, nullptr,
      "Create Atlases: build the new marker atlas, then the new battle atlas, from the replacement\n"
      "icons (the default icon wherever there is none)."}},
    {"status",
     {HeadlessCommand::Status, nullptr, "Show the directories, the game version and the icon counts."}},
};

void printUsage(std::FILE* out) {
    std::fputs(
        "Usage: ravelin-cli [--workdir DIR] [--yes] COMMAND [ARGUMENT]\n"
        "\n"
        "Commands:\n"
        "  setup GAME_DIR   set up from the game installed in GAME_DIR\n"
        "  update           take the atlases of the updated game apart again\n"
        "  icons DIR        use DIR as the new contour icon directory\n"
        "  build            create the new atlases\n"
        "  status           show directories, version and counts\n"
        "\n"
        "Options:\n"
        "  --workdir DIR    work in DIR instead of the current directory\n"
        "  --yes            answer questions with Yes (default: No)\n"
        "  --help           show this help, or a command's help after the command\n"
        "\n"
        "Exit code 0 on success; otherwise 1 with the reason on the last line of stderr (2 for usage "
        "errors).\n",
        out);
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "ravelin-cli: %s\n", message.c_str());
    std::fputs("Try 'ravelin-cli --help'.\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string workdir;
    bool yes = false;
    bool help = false;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--yes") {
            yes = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--workdir") {
            if (++i >= argc) return usageError("--workdir needs a directory");
            workdir = argv[i];
        } else if (word.rfind("--", 0) == 0) {
            return usageError("unknown option " + word);
        } else {
            words.push_back(word);
        }
    }
    if (words.empty()) {
        if (help) {
            printUsage(stdout);
            return 0;
        }
        return usageError("no command given");
    }
    const auto found = kCommands.find(words[0]);
    if (found == kCommands.end()) return usageError("unknown command " + words[0]);
    const CommandInfo& info = found->second;
    if (help) {
        std::printf("Usage: ravelin-cli [--workdir DIR] [--yes] %s%s%s\n\n%s\n", words[0].c_str(),
                    info.argumentName ? " " : "", info.argumentName ? info.argumentName : "", info.help);
        return 0;
    }
    const std::size_t expectedWords = info.argumentName ? 2 : 1;
    if (words.size() != expectedWords) {
        return usageError(info.argumentName ? words[0] + " needs " + info.argumentName
                                            : words[0] + " takes no argument");
    }
    std::string argument = words.size() > 1 ? words[1] : std::string();

    std::error_code error;
    if (info.command == HeadlessCommand::Setup) {
        // The game directory is named as the caller sees it, before moving into the working directory.
        const auto absolute = std::filesystem::absolute(argument, error);
        if (!error) argument = absolute.lexically_normal().string();
    }
    if (info.command == HeadlessCommand::Icons) {
        const auto absolute = std::filesystem::absolute(argument, error);
        if (!error) argument = absolute.lexically_normal().string();
    }
    if (!workdir.empty()) {
        std::filesystem::create_directories(workdir, error);
        std::filesystem::current_path(workdir, error);
        if (error) {
            std::fprintf(stderr, "ravelin-cli: can't work in %s: %s\n", workdir.c_str(),
                         error.message().c_str());
            return 1;
        }
    }

    TerminalUi ui(
        stderr, yes, ::isatty(STDERR_FILENO) != 0,
        info.command == HeadlessCommand::Setup ? std::optional<std::string>(argument) : std::nullopt);
    const HeadlessOutcome outcome = runHeadlessCommand(info.command, argument, ui);
    if (info.command == HeadlessCommand::Status && outcome.succeeded)
        std::fputs(outcome.report.c_str(), stdout);
    if (!outcome.succeeded) {
        std::fprintf(stderr, "ravelin-cli: %s\n", outcome.reason.c_str());
        return 1;
    }
    return 0;
}
