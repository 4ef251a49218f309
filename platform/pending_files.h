#pragma once

// Files that go in together. Each is first written completely: under a temporary name beside the file it
// replaces, or in place where there is no earlier file to lose. Only then are they all put in place. A
// step that could not write one of them drops the lot, and every earlier file stays.

#include <string>
#include <unordered_map>
#include <vector>

#include "platform/file_io.h"

class Reporter;

class PendingFiles {
public:
    PendingFiles() = default;
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    // Unless put in place, removes what it holds: the temporary files, and the files written in place.
    ~PendingFiles();

    // Takes a file whose writing is complete (OutputFile::finishWriting succeeded). A file that may not
    // be replaced (isWriteProtected) is refused now rather than when the rest goes in: false, and the
    // write is noted as failed.
    bool add(OutputFile&& file);
    // A file to remove when the others go in (an image of a format the client no longer ships).
    void removeWithTheRest(const std::string& path);
    // A file of the step could not be written: the caller drops the step instead of putting it in place.
    void noteWriteFailure() { writeFailed_ = true; }
    bool writeFailed() const { return writeFailed_; }

    // Where path's content is until the files are put in place: its pending file, "" when it is to be
    // removed, else path itself. A relative path and its absolute form are the same file here.
    std::string currentPath(const std::string& path) const;

    // Renames every file over its destination in the order they were added, then removes what is to go.
    // Each file that could not be replaced or removed is logged; false when there was one (the others are
    // in place all the same).
    bool putInPlace(Reporter& reporter);

private:
    std::vector<OutputFile> files_;
    std::unordered_map<std::string, std::string> current_;  // an absolute destination, where its content is
    bool writeFailed_ = false;
    bool placed_ = false;
};
