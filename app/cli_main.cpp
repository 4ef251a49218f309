// ravelin-cli: Ravelin's main jobs without a window, in the working directory (or --workdir DIR).

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless_commands.h"
#include "app/program_language.h"
#include "platform/console.h"
#include "platform/file_io.h"
#include "platform/localized_text.h"
#include "platform/system_language.h"
#include "platform/text_utilities.h"
#include "ui/terminal/terminal_ui.h"

namespace {

struct CommandInfo {
    std::string_view name;
    HeadlessCommand command;
    // Empty when the command takes none; in brackets when it may be left out; ending in "..." when it may
    // be given more than once.
    std::string_view argumentName;
    std::string_view summary;  // one line for the usage text
    std::string_view help;     // the command's own help
};

constexpr CommandInfo kCommands[] = {
    {"setup", HeadlessCommand::Setup, "[GAME_DIR]",
     translatable("set up from the game installed in GAME_DIR"),
     translatable(
         "Set up the working directory for the game in GAME_DIR, as the desktop program's first start\n"
         "does: check GAME_DIR, create the working directories, unpack the original atlases and cut\n"
         "them into icons. Without GAME_DIR, the one installation 'games' finds is used; when it finds\n"
         "several they are listed and the exit code is 2.")},
    {"update", HeadlessCommand::Update, "", translatable("take the atlases of the updated game apart again"),
     translatable(
         "Unpack the original atlases again from the remembered game directory and cut them into\n"
         "icons, after a game update; the new client version is remembered. With --install, then build\n"
         "the new atlases and install them, in one go: the step after a patch when Ravelin's atlases are\n"
         "in the game. The summary names the new vehicles that have no replacement yet.")},
    {"icons", HeadlessCommand::Icons, "DIR", translatable("use DIR as the new contour icon directory"),
     translatable("Make DIR the directory of the new contour icons and count the PNG files in it.")},
    {"build", HeadlessCommand::Build, "", translatable("create the new atlases"),
     translatable(
         "Create Atlases: build the new marker atlas, then the new battle atlas, from the replacement\n"
         "icons (the default icon wherever there is none). Then print a summary on stdout: per atlas\n"
         "the icons replaced, unreadable or of another size, the new icons without a replacement, and\n"
         "the files in the icon directory that match no icon, each with the nearest icon name.")},
    {"install", HeadlessCommand::Install, "", translatable("put the new atlases into the game"),
     translatable(
         "Copy the new atlases (their XML and images) into the game's folder of loose files\n"
         "GAME_DIR/res_mods/<folder>/gui/flash/atlases/, or with --package their .wotmod package into\n"
         "GAME_DIR/mods/<folder>/; the folder is the one the game's paths.xml names, else the game\n"
         "version. All or nothing; what Ravelin installed the other way is taken out, files of others\n"
         "in the way are kept in backups/, and 'uninstall' undoes it. The game's packages are never\n"
         "touched.")},
    {"uninstall", HeadlessCommand::Uninstall, "", translatable("take out what Ravelin put into the game"),
     translatable(
         "Remove every file Ravelin put into the game that is still as Ravelin wrote it and put back\n"
         "the files it replaced, from backups/. A file changed since is left alone and named.")},
    {"package", HeadlessCommand::Package, "[FILE]",
     translatable("write the new atlases as a .wotmod package"),
     translatable(
         "Write the new atlases as the game's mod package FILE (default: ravelin.atlases_<version>.wotmod\n"
         "in the working directory): stored, a folder entry for every folder, meta.xml, the atlases\n"
         "under res/gui/flash/atlases/. The same build gives the same bytes.")},
    {"status", HeadlessCommand::Status, "", translatable("show directories, version and counts"),
     translatable(
         "Show the directories, the game version and the icon counts, per atlas also how many icons\n"
         "are replaced, unreadable, of another size or new, and how many files match no icon.")},
    {"report", HeadlessCommand::Report, "[FILE]", translatable("write the icon report page"),
     translatable(
         "Write a page (HTML, pictures embedded, so it can be mailed or posted as it is) with every\n"
         "atlas's icon states and counts, the replacements beside their default icons, the new icons,\n"
         "and the files that match no icon with the nearest icon name. FILE defaults to\n"
         "ravelin-report.html in the working directory.")},
    {"import", HeadlessCommand::Import, "SOURCE...", translatable("take the icons of other icon packs"),
     translatable(
         "Take the icons of icon packs: each SOURCE a .wotmod, .mtmod or .zip package, a folder (a\n"
         "res_mods/<folder> tree, an unpacked mod, the atlas files, or loose icon PNGs), or an atlas XML\n"
         "with its image beside it. Each atlas is cut by its own XML and each icon compared with today's\n"
         "game icon of the same name: those that differ are written as NAME.png into the new contour icon\n"
         "directory (or DIR of --into), with --all also those equal to the game's. Names today's game\n"
         "lacks (other mods' sprites) go into its extra/<atlas>/ folder, and the build carries them along.\n"
         "Files already in the folder are kept and named, unless --replace. The first SOURCE gives a name\n"
         "first. A summary on stdout names, per atlas, the icons imported, equal to the game's and kept,\n"
         "the names today's game lacks, and the names of today's game the pack lacks.")},
    {"conflicts", HeadlessCommand::Conflicts, "", translatable("name other mods that ship the atlases"),
     translatable(
         "Look for other mods that ship battleAtlas or vehicleMarkerAtlas: files in the game's\n"
         "res_mods/<folder>/gui/flash/atlases/ that Ravelin did not write, and packages at any depth in\n"
         "mods/<folder>/ that hold res/gui/flash/atlases/. One line each says which copy the game shows\n"
         "(res_mods before packages; packages that load_order.xml lists, the last listed winning; then\n"
         "the others by meta.xml id or file name, a later one holding a file of an earlier one not\n"
         "loaded at all), and how many entries a copy has that Ravelin's atlas lacks, which 'import'\n"
         "can take in. Only reads. Exit code 0 when no other mod ships either atlas, 3 when one does,\n"
         "1 when a package or file could not be read (named on stderr).")},
    {"games", HeadlessCommand::Games, "", translatable("list the game installations found"),
     translatable(
         "List the installations of the game found in the Game Centers' records (Wargaming's and\n"
         "Lesta's), Steam's libraries, Lutris's Wine prefixes and ~/Games/wargaming-game-center, one a\n"
         "line: path, client (WG or Lesta), realm (EU, NA, CT for the Common Test, ...) and version,\n"
         "separated by tabs. Records that cannot be read are named on stderr.")},
};

struct OptionInfo {
    std::string_view name;
    std::string_view help;
};

constexpr OptionInfo kOptions[] = {
    {"--workdir DIR", translatable("work in DIR instead of the current directory")},
    {"--lang CODE", translatable("messages in language CODE (ru, de, pl, en; default: the system's)")},
    {"--yes", translatable("answer questions with Yes (default: No)")},
    {"--package",
     translatable("install: the .wotmod package into mods/ instead of the files into res_mods/")},
    {"--install", translatable("update: then build the new atlases and install them")},
    {"--into DIR", translatable("import: into DIR instead of the new contour icon directory")},
    {"--all", translatable("import: also the icons equal to the game's")},
    {"--replace", translatable("import: replace files already in the folder")},
    {"--help", translatable("show this help, or a command's help after the command")},
};

std::string commandLine(const CommandInfo& info) {
    std::string line(info.name);
    if (!info.argumentName.empty()) line += " " + std::string(info.argumentName);
    return line;
}

// Two columns: the entry padded to a common width, then its text.
void printColumn(std::FILE* out, const std::string& entry, std::string_view text) {
    constexpr std::size_t kColumn = 17;
    std::string line = "  " + entry;
    if (entry.size() < kColumn) line.append(kColumn - entry.size(), ' ');
    writeText(out, line + std::string(text) + "\n");
}

void printUsage(std::FILE* out) {
    writeText(out, localized("Usage:") +
                       " ravelin-cli [--workdir DIR] [--yes] [OPTIONS] COMMAND [ARGUMENT...]\n\n" +
                       localized("Commands:") + "\n");
    for (const CommandInfo& info : kCommands) printColumn(out, commandLine(info), localized(info.summary));
    writeText(out, "\n" + localized("Options:") + "\n");
    for (const OptionInfo& option : kOptions)
        printColumn(out, std::string(option.name), localized(option.help));
    writeText(
        out,
        "\n" +
            localized("Exit code 0 on success; otherwise 1 with the reason on the last line of stderr (2 "
                      "for usage errors, and for a setup that found several games).") +
            "\n");
}

int usageError(const std::string& message) {
    writeText(stderr, "ravelin-cli: " + message + "\n" + localized("Try 'ravelin-cli --help'.") + "\n");
    return 2;
}

const CommandInfo* findCommand(std::string_view name) {
    for (const CommandInfo& info : kCommands) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

// Too few words, or too many: a path with blanks given without quotes is the usual cause.
std::string argumentCountError(const CommandInfo& info, const std::vector<std::string>& words) {
    const std::string name(info.name);
    if (info.argumentName.empty()) return localized("{command} takes no argument", {{"command", name}});
    if (info.argumentName.ends_with("..."))
        return localized("{command} needs {argument}", {{"command", name}, {"argument", info.argumentName}});
    const bool optional = info.argumentName.starts_with("[");
    const std::string argument(optional ? info.argumentName.substr(1, info.argumentName.size() - 2)
                                        : info.argumentName);
    if (words.size() < 2)
        return localized("{command} needs {argument}", {{"command", name}, {"argument", argument}});
    std::string joined = words[1];
    for (std::size_t i = 2; i < words.size(); ++i) joined += " " + words[i];
    const std::string quoted = "ravelin-cli " + name + " \"" + joined + "\"";
    return optional
               ? localized(
                     "too many arguments: {command} takes at most one {argument}; put a path with blanks "
                     "in quotes: {example}",
                     {{"command", name}, {"argument", argument}, {"example", quoted}})
               : localized(
                     "too many arguments: {command} takes one {argument}; put a path with blanks in "
                     "quotes: {example}",
                     {{"command", name}, {"argument", argument}, {"example", quoted}});
}

// The report's lines, each with the control characters that ravelin.conf or the game's files put in it
// shown escaped; the line ends and the tabs between the fields of the games' list stay.
std::string printableLines(const std::string& report) {
    std::string shown;
    for (std::size_t start = 0; start < report.size();) {
        const std::size_t end = std::min(report.find_first_of("\n\t", start), report.size());
        shown += printableText(std::string_view(report).substr(start, end - start));
        if (end < report.size()) shown += report[end];
        start = end + 1;
    }
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    useUtf8Console();
    ignoreFileSizeSignal();
    const std::optional<std::string> language = languageOption(argc, argv);
    chooseProgramLanguage(language, systemLanguages());
    std::string workdir;
    bool yes = false;
    bool help = false;
    bool package = false;
    bool install = false;
    ImportRequest import;
    bool importOption = false;  // one of import's options was given
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--yes") {
            yes = true;
        } else if (word == "--package") {
            package = true;
        } else if (word == "--install") {
            install = true;
        } else if (word == "--all" || word == "--replace") {
            (word == "--all" ? import.all : import.replace) = true;
            importOption = true;
        } else if (word == "--into") {
            if (++i >= argc)
                return usageError(localized("{option} needs a directory", {{"option", "--into"}}));
            import.into = absolutePathText(argv[i]);
            importOption = true;
        } else if (word == "--help" || word == "-h") {
            help = true;
        } else if (word == "--lang" || word.starts_with("--lang=")) {
            if (word == "--lang" && ++i >= argc)
                return usageError(localized("{option} needs a language code", {{"option", "--lang"}}));
        } else if (word == "--workdir") {
            if (++i >= argc)
                return usageError(localized("{option} needs a directory", {{"option", "--workdir"}}));
            workdir = argv[i];
        } else if (word.rfind("--", 0) == 0) {
            return usageError(localized("unknown option {option}", {{"option", word}}));
        } else {
            words.push_back(word);
        }
    }
    if (words.empty()) {
        if (help) {
            printUsage(stdout);
            return 0;
        }
        return usageError(localized("no command given"));
    }
    const CommandInfo* info = findCommand(words[0]);
    if (!info) return usageError(localized("unknown command {command}", {{"command", words[0]}}));
    if (help) {
        writeText(stdout, localized("Usage:") + " ravelin-cli [--workdir DIR] [--yes] " + commandLine(*info) +
                              "\n\n" + localized(info->help) + "\n");
        return 0;
    }
    if (package && info->command != HeadlessCommand::Install)
        return usageError(
            localized("{option} goes with {command}", {{"option", "--package"}, {"command", "install"}}));
    if (install && info->command != HeadlessCommand::Update)
        return usageError(
            localized("{option} goes with {command}", {{"option", "--install"}, {"command", "update"}}));
    if (importOption && info->command != HeadlessCommand::Import)
        return usageError(localized("--into, --all and --replace go with import"));
    const bool optional = info->argumentName.starts_with("[");
    const bool many = info->argumentName.ends_with("...");
    const std::size_t expectedWords = info->argumentName.empty() ? 1 : 2;
    if (words.size() != expectedWords && !(optional && words.size() == 1) && !(many && words.size() > 2))
        return usageError(argumentCountError(*info, words));
    for (std::size_t i = 1; many && i < words.size(); ++i)
        import.sources.push_back(absolutePathText(words[i]));
    // A path named on the command line as the caller sees it, before moving into the working directory.
    const std::string argument = words.size() > 1 ? absolutePathText(words[1]) : std::string();

    if (!workdir.empty()) {
        std::error_code error;
        // Only setup makes a new working directory; elsewhere a missing one is a mistyped name.
        if (info->command == HeadlessCommand::Setup) {
            std::filesystem::create_directories(nativePath(workdir), error);
        } else if (!std::filesystem::exists(nativePath(workdir), error)) {
            writeText(stderr, "ravelin-cli: " +
                                  localized("the working directory {directory} doesn't exist",
                                            {{"directory", workdir}}) +
                                  "\n");
            return 1;
        }
        std::filesystem::current_path(nativePath(workdir), error);
        if (error) {
            writeText(stderr, "ravelin-cli: " +
                                  localized("can't work in {directory}: {reason}",
                                            {{"directory", workdir}, {"reason", error.message()}}) +
                                  "\n");
            return 1;
        }
    }

    if (!workdir.empty()) chooseProgramLanguage(language, systemLanguages());  // its settings may name one

    TerminalUi ui(stderr, yes, ConsoleLine::open(stderr));
    const HeadlessCommand command = package   ? HeadlessCommand::InstallPackage
                                    : install ? HeadlessCommand::UpdateInstall
                                              : info->command;
    const HeadlessOutcome outcome = command == HeadlessCommand::Import
                                        ? runImportCommand(import, ui)
                                        : runHeadlessCommand(command, argument, ui);
    writeText(stderr, printableLines(outcome.notes));
    // Each error once, the reason of a failure last.
    for (const std::string& error : ui.errors()) {
        if (outcome.succeeded || error != outcome.reason)
            writeText(stderr, "ravelin-cli: " + printableText(error) + "\n");
    }
    // The report goes to stdout whenever there is one: the list of several installations to pick one from,
    // and after a failure the summary of a build, of a setup or update that ran to its end, or of an
    // install that left files behind.
    writeText(stdout, printableLines(outcome.report));
    if (!outcome.succeeded) {
        writeText(stderr, "ravelin-cli: " + printableText(outcome.reason) + "\n");
        return outcome.needsChoice ? 2 : 1;
    }
    return outcome.conflictsFound ? 3 : 0;
}
