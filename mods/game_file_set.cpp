#include "mods/game_file_set.h"

#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/reporter.h"

namespace {

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

}  // namespace

std::string readOnlyFolderNote(const std::string& path) {
    std::filesystem::path folder = nativePath(path).parent_path();
    std::error_code error;
    while (folder.has_relative_path() && !std::filesystem::exists(folder, error))
        folder = folder.parent_path();
    const std::string text = utf8PathText(folder);
    return isWriteProtected(text) ? " (the folder " + text + " is read-only)" : std::string();
}

StepOutcome installFileSet(const std::vector<FileCopy>& files, Reporter& reporter) {
    const FileSetOutcome outcome = replaceFiles(files);
    if (!outcome.succeeded()) {
        const std::string reason =
            "Can't install the new atlases: " + failureText(outcome) + "; the game's files are as they were.";
        reporter.logError(reason);
        return StepOutcome::failed(reason);
    }
    for (const FileCopy& file : files) reporter.logInfo("Installed atlas file: " + file.destination);
    return StepOutcome::done();
}
