#pragma once

// Replacing several files as one: a reader sees either all the old files or all the new ones, never a
// mix, as far as the file system allows.

#include <string>
#include <vector>

struct FileCopy {
    std::string source;
    std::string destination;
};

struct FileSetOutcome {
    enum class Failure { None, SourceUnreadable, WriteProtected, WriteFailed, ReplaceFailed };
    Failure failure = Failure::None;
    std::string path;  // the source or destination that failed
    bool succeeded() const { return failure == Failure::None; }
};

// Copies every source to a temporary file beside its destination; only when all copies are complete are
// they renamed over their destinations, each keeping the permission bits of the file it replaces. On any
// failure every temporary file is removed and every destination is left as it was, a destination already
// replaced being put back. A write-protected destination fails the set before anything is written.
FileSetOutcome replaceFiles(const std::vector<FileCopy>& files);
