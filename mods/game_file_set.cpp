#include "mods/game_file_set.h"

#include <filesystem>
#include <system_error>

#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"

namespace {

std::string failureText(const FileSetOutcome& outcome) {
    switch (outcome.failure) {
        case FileSetOutcome::Failure::SourceUnreadable:
            return englishText("can't read {file}", {{"file", outcome.path}});
        case FileSetOutcome::Failure::WriteProtected:
            return englishText("{file} is write-protected", {{"file", outcome.path}});
        case FileSetOutcome::Failure::WriteFailed:
            return withReadOnlyFolderNote(englishText("can't write {file}", {{"file", outcome.path}}),
                                          outcome.path);
        case FileSetOutcome::Failure::ReplaceFailed:
            return englishText("can't replace {file}", {{"file", outcome.path}});
        case FileSetOutcome::Failure::None:
            break;
    }
    return {};
}

}  // namespace

std::string withReadOnlyFolderNote(const std::string& line, const std::string& path) {
    std::filesystem::path folder = nativePath(path).parent_path();
    std::error_code error;
    while (folder.has_relative_path() && !std::filesystem::exists(folder, error))
        folder = folder.parent_path();
    const std::string text = utf8PathText(folder);
    return isWriteProtected(text) ? englishText("{reason} (the folder {folder} is read-only)",
                                                {{"reason", line}, {"folder", text}})
                                  : line;
}

StepOutcome installFileSet(const std::vector<FileCopy>& files, Reporter& reporter) {
    const FileSetOutcome outcome = replaceFiles(files);
    if (!outcome.succeeded()) {
        const std::string reason =
            englishText("Can't install the new atlases: {reason}; the game's files are as they were.",
                        {{"reason", failureText(outcome)}});
        reporter.logError(reason);
        return StepOutcome::failed(reason);
    }
    for (const FileCopy& file : files) reporter.logInfo("Installed atlas file: " + file.destination);
    return StepOutcome::done();
}
