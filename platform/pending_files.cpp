#include "platform/pending_files.h"
#include "platform/localized_text.h"

#include "platform/file_system.h"
#include "platform/reporter.h"

PendingFiles::~PendingFiles() {
    if (placed_) return;
    // Temporary files go with their OutputFile; files written in place have no earlier file to keep.
    for (const OutputFile& file : files_) {
        if (!file.isReplacement()) removeFile(file.path());
    }
}

bool PendingFiles::add(OutputFile&& file) {
    if (file.isReplacement() && isWriteProtected(file.path())) {
        noteWriteFailure();
        return false;  // its temporary file goes with it
    }
    current_[absolutePathText(file.path())] = file.contentPath();
    files_.push_back(std::move(file));
    return true;
}

void PendingFiles::removeWithTheRest(const std::string& path) {
    current_[absolutePathText(path)].clear();
}

std::string PendingFiles::currentPath(const std::string& path) const {
    const auto found = current_.find(absolutePathText(path));
    return found == current_.end() ? path : found->second;
}

bool PendingFiles::putInPlace(Reporter& reporter) {
    placed_ = true;
    bool succeeded = true;
    const auto failed = [&](const std::string& path) {
        reporter.logError(englishText("Can't put the file in place: {file}", {{"file", path}}));
        succeeded = false;
    };
    for (OutputFile& file : files_) {
        if (!file.replaceDestination()) failed(file.path());
    }
    for (const auto& [path, content] : current_) {
        if (content.empty() && !removeFile(path) && fileSize(path) != kPathMissing) failed(path);
    }
    files_.clear();
    current_.clear();
    return succeeded;
}
