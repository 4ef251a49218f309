#include "app/mod_install.h"

#include <filesystem>

#include "app/context.h"
#include "app/event_log.h"
#include "app/install_set.h"
#include "app/settings.h"
#include "app/tracked_install.h"
#include "app/work_lock.h"
#include "game/mod_directory.h"
#include "game/mod_folders.h"
#include "platform/file_io.h"

namespace {

// Why nothing could be written at path when its folder (the nearest one that exists) is read-only.
std::string readOnlyFolderNote(const std::string& path) {
    std::filesystem::path folder = nativePath(path).parent_path();
    std::error_code error;
    while (folder.has_relative_path() && !std::filesystem::exists(folder, error))
        folder = folder.parent_path();
    const std::string text = utf8PathText(folder);
    return isWriteProtected(text) ? " (the folder " + text + " is read-only)" : std::string();
}

std::string failureText(const FileSetOutcome& outcome) {
    switch (outcome.failure) {
        case FileSetOutcome::Failure::SourceUnreadable:
            return "can't read " + outcome.path;
        case FileSetOutcome::Failure::WriteProtected:
            return outcome.path + " is write-protected";
        case FileSetOutcome::Failure::WriteFailed:
            return "can't write " + outcome.path + readOnlyFolderNote(outcome.path);
        case FileSetOutcome::Failure::ReplaceFailed:
            return "can't replace " + outcome.path;
        case FileSetOutcome::Failure::None:
            break;
    }
    return {};
}

StepOutcome failedWith(Context& context, const std::string& reason) {
    context.log.logError(reason);
    return StepOutcome::failed(reason);
}

// The first error the steps before the copy logged, which stopped the install.
StepOutcome failedAsLogged(Context& context) {
    return StepOutcome::failed(
        context.log.lastError().value_or(std::string("Can't install the new atlases (see ravelin.log)")));
}

}  // namespace

StepOutcome installFileSet(Context& context, const std::vector<FileCopy>& files) {
    const FileSetOutcome outcome = replaceFiles(files);
    if (!outcome.succeeded())
        return failedWith(context, "Can't install the new atlases: " + failureText(outcome) +
                                       "; the game's files are as they were.");
    for (const FileCopy& file : files) context.log.logInfo("Installed atlas file: " + file.destination);
    return StepOutcome::done();
}

StepOutcome installNewAtlases(Context& context, InstallWay way) {
    const Settings& settings = context.settings;
    if (settings.wotInstallDir.empty() || settings.wotLastVersion.empty())
        return failedWith(context,
                          "Can't install the new atlases: the game directory or its version is unknown.");
    const std::optional<ModFolders> folders =
        readModFolders(settings.wotInstallDir, settings.wotLastVersion, context.reporter);
    if (!folders) return failedAsLogged(context);
    std::string directory;
    std::vector<FileCopy> files;
    if (way == InstallWay::LooseFiles) {
        directory = modAtlasDirectory(settings.wotInstallDir, folders->looseFiles);
        const auto names = builtAtlasFiles(context, "install");
        if (!names) return failedAsLogged(context);
        for (const std::string& name : *names)
            files.push_back({settings.acCurrentDir + name, directory + name});
    } else {
        directory = modPackageDirectory(settings.wotInstallDir, folders->packages);
        const std::string name = defaultPackageName(context);
        if (!writeAtlasPackage(context, settings.acCurrentDir + name)) return failedAsLogged(context);
        files.push_back({settings.acCurrentDir + name, directory + name});
    }
    const std::string root = settings.wotInstallDir + (way == InstallWay::LooseFiles ? "res_mods" : "mods");
    if (!liesInside(directory, root))
        return failedWith(context, "Can't install the new atlases: " + directory + " is not inside " + root);
    // Held until the files are in and recorded: another working directory installing into the same game
    // would take out or back up what this one puts in.
    std::string refusal;
    const std::optional<DirectoryLock> gameLock = lockGameModFolder(context, refusal);
    if (!gameLock) return failedWith(context, refusal);
    if (!createModDirectory(directory))
        return failedWith(context, "Can't create directory: " + directory + readOnlyFolderNote(directory));
    StepOutcome outcome = installTracked(context, files);
    if (outcome.succeeded()) outcome.place = directory;
    return outcome;
}
