#pragma once

// A fresh temporary directory that is the process's working directory for the lifetime of the object;
// the previous working directory is restored and the temporary one removed afterwards.

#include <filesystem>
#include <string>

class ScopedWorkingDirectory {
public:
    ScopedWorkingDirectory();
    ~ScopedWorkingDirectory();
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory as the program writes it: with a trailing separator.
    std::string text() const;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
