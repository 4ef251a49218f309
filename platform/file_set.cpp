#include "platform/file_set.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/file_io.h"

namespace {

using Failure = FileSetOutcome::Failure;

// The old content of a destination, kept under another name until the set is in place: a second link
// to it where that is safe, else a copy.
std::optional<std::string> keepPrevious(const std::string& destination) {
    std::error_code error;
    if (!std::filesystem::exists(nativePath(destination), error)) return std::string();
    for (unsigned attempt = 0; attempt < 16; ++attempt) {
        const std::string kept = temporaryNameBeside(destination, attempt);
        const auto keptPath = nativePath(kept);
#ifndef _WIN32
        // Windows could not remove a second link to a file the game holds open; a copy it can.
        std::filesystem::create_hard_link(nativePath(destination), keptPath, error);
        if (!error) return kept;
#endif
        std::filesystem::copy_file(nativePath(destination), keptPath, error);
        if (!error) return kept;
        if (error == std::errc::file_exists) continue;
        std::filesystem::remove(keptPath, error);
        return std::nullopt;
    }
    return std::nullopt;
}

void removeQuietly(const std::string& path) {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove(nativePath(path), ignored);
}

}  // namespace

FileSetOutcome replaceFiles(const std::vector<FileCopy>& files) {
    for (const FileCopy& file : files) {
        if (isWriteProtected(file.destination)) return {Failure::WriteProtected, file.destination};
    }
    // Every new file complete beside its destination; the temporary files go with `written` on failure.
    std::vector<OutputFile> written;
    written.reserve(files.size());
    for (const FileCopy& file : files) {
        std::optional<OutputFile> output = OutputFile::open(file.destination, OutputFile::Mode::Replace);
        if (!output) return {Failure::WriteFailed, file.destination};
        if (!copyInto(file.source, *output)) return {Failure::SourceUnreadable, file.source};
        if (!output->finishWriting()) return {Failure::WriteFailed, file.destination};
        written.push_back(std::move(*output));
    }
    // The previous files are kept aside (empty: there was none), so a failed rename can be undone.
    std::vector<std::string> previous;
    FileSetOutcome outcome;
    for (const FileCopy& file : files) {
        std::optional<std::string> kept = keepPrevious(file.destination);
        if (!kept) {
            outcome = {Failure::ReplaceFailed, file.destination};
            break;
        }
        previous.push_back(*kept);
    }
    std::size_t replaced = 0;
    while (outcome.succeeded() && replaced < written.size()) {
        if (written[replaced].replaceDestination())
            ++replaced;
        else
            outcome = {Failure::ReplaceFailed, written[replaced].path()};
    }
    for (std::size_t i = 0; i < replaced && !outcome.succeeded(); ++i) {
        std::error_code error;
        if (previous[i].empty())
            removeQuietly(files[i].destination);
        else
            std::filesystem::rename(nativePath(previous[i]), nativePath(files[i].destination), error);
    }
    for (const std::string& kept : previous) removeQuietly(kept);
    return outcome;
}
