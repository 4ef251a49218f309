#include "app/mod_install.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/install_set.h"
#include "app/settings.h"
#include "app/tracked_install.h"
#include "game/mod_directory.h"
#include "game/mod_folders.h"

namespace {

std::string failureText(const FileSetOutcome& outcome) {
    switch (outcome.failure) {
        case FileSetOutcome::Failure::SourceUnreadable:
            return "can't read " + outcome.path;
        case FileSetOutcome::Failure::WriteProtected:
            return outcome.path + " is write-protected";
        case FileSetOutcome::Failure::WriteFailed:
            return "can't write " + outcome.path;
        case FileSetOutcome::Failure::ReplaceFailed:
            return "can't replace " + outcome.path;
        case FileSetOutcome::Failure::None:
            break;
    }
    return {};
}

}  // namespace

bool installFileSet(Context& context, const std::vector<FileCopy>& files) {
    const FileSetOutcome outcome = replaceFiles(files);
    if (!outcome.succeeded()) {
        context.log.logError("Can't install the new atlases: " + failureText(outcome) +
                             "; the game's files are as they were.");
        return false;
    }
    for (const FileCopy& file : files) context.log.logInfo("Installed atlas file: " + file.destination);
    return true;
}

std::string installNewAtlases(Context& context, InstallWay way) {
    const Settings& settings = context.settings;
    if (settings.wotInstallDir.empty() || settings.wotLastVersion.empty()) {
        context.log.logError("Can't install the new atlases: the game directory or its version is unknown.");
        return {};
    }
    const std::optional<ModFolders> folders =
        readModFolders(settings.wotInstallDir, settings.wotLastVersion, context.reporter);
    if (!folders) return {};
    std::string directory;
    std::vector<FileCopy> files;
    if (way == InstallWay::LooseFiles) {
        directory = modAtlasDirectory(settings.wotInstallDir, folders->looseFiles);
        const auto names = builtAtlasFiles(context, "install");
        if (!names) return {};
        for (const std::string& name : *names)
            files.push_back({settings.acCurrentDir + name, directory + name});
    } else {
        directory = modPackageDirectory(settings.wotInstallDir, folders->packages);
        const std::string name = defaultPackageName(context);
        if (!writeAtlasPackage(context, settings.acCurrentDir + name)) return {};
        files.push_back({settings.acCurrentDir + name, directory + name});
    }
    const std::string root = settings.wotInstallDir + (way == InstallWay::LooseFiles ? "res_mods" : "mods");
    if (!liesInside(directory, root)) {
        context.log.logError("Can't install the new atlases: " + directory + " is not inside " + root);
        return {};
    }
    if (!createModDirectory(directory)) {
        context.log.logError("Can't create directory: " + directory);
        return {};
    }
    return installTracked(context, files) ? directory : std::string();
}
