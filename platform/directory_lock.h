#pragma once

// One writer per folder: an exclusive lock the operating system holds for this process (flock on POSIX,
// LockFileEx on Windows) on a lock file inside the folder, so it ends with the process however that ends.
// The file holds the holder's process id, for the message of the one turned away; it stays in the folder.

#include <memory>
#include <string>

class DirectoryLock {
public:
    enum class Status {
        Held,      // this process holds the lock now
        Taken,     // another process (or another lock of this one) holds it
        Unusable,  // the lock file cannot be created or locked (a read-only folder): nothing is held
    };

    // Tries once, without waiting. The directory ends in a separator.
    static DirectoryLock take(const std::string& directory, const std::string& fileName);

    DirectoryLock(DirectoryLock&&) noexcept;
    DirectoryLock& operator=(DirectoryLock&&) noexcept;
    ~DirectoryLock();  // releases the lock

    Status status() const { return status_; }
    bool held() const { return status_ == Status::Held; }
    // The process id the holder wrote, when Taken and it could be read; else 0.
    long holder() const { return holder_; }
    const std::string& path() const { return path_; }

private:
    struct Handle;
    DirectoryLock(Status status, std::string path, long holder, std::unique_ptr<Handle> handle);

    Status status_;
    std::string path_;
    long holder_ = 0;
    std::unique_ptr<Handle> handle_;
};

// This process's id.
long currentProcessId();
