#include "platform/directory_lock.h"

#include <string_view>

#include "platform/file_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// The process id at the start of the lock file's text; 0 when there is none.
long processIdIn(std::string_view text) {
    long id = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || id > 100000000) break;
        id = id * 10 + (c - '0');
    }
    return id;
}

}  // namespace

#ifdef _WIN32

struct DirectoryLock::Handle {
    HANDLE file = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);  // the lock goes with the handle
    }
};

namespace {

// Windows locks bytes against reading too, so the lock lies far beyond the process id at the start.
OVERLAPPED lockedRange() {
    OVERLAPPED range{};
    range.OffsetHigh = 1;
    return range;
}

}  // namespace

long currentProcessId() {
    return static_cast<long>(GetCurrentProcessId());
}

DirectoryLock DirectoryLock::take(const std::string& directory, const std::string& fileName) {
    const std::string path = directory + fileName;
    auto handle = std::make_unique<Handle>();
    handle->file = CreateFileW(nativePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle->file == INVALID_HANDLE_VALUE) return DirectoryLock(Status::Unusable, path, 0, nullptr);
    OVERLAPPED range = lockedRange();
    if (!LockFileEx(handle->file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        if (GetLastError() != ERROR_LOCK_VIOLATION) return DirectoryLock(Status::Unusable, path, 0, nullptr);
        char text[32] = {};
        DWORD read = 0;
        OVERLAPPED start{};
        ReadFile(handle->file, text, sizeof text - 1, &read, &start);
        return DirectoryLock(Status::Taken, path, processIdIn(std::string_view(text, read)), nullptr);
    }
    const std::string id = std::to_string(currentProcessId()) + "\n";
    DWORD written = 0;
    OVERLAPPED start{};
    if (WriteFile(handle->file, id.data(), static_cast<DWORD>(id.size()), &written, &start)) {
        SetFilePointer(handle->file, static_cast<LONG>(written), nullptr, FILE_BEGIN);
        SetEndOfFile(handle->file);
    }
    return DirectoryLock(Status::Held, path, 0, std::move(handle));
}

#else

struct DirectoryLock::Handle {
    int file = -1;
    ~Handle() {
        if (file >= 0) ::close(file);  // the lock goes with the last descriptor
    }
};

long currentProcessId() {
    return static_cast<long>(::getpid());
}

DirectoryLock DirectoryLock::take(const std::string& directory, const std::string& fileName) {
    const std::string path = directory + fileName;
    auto handle = std::make_unique<Handle>();
    // Close-on-exec: a program Ravelin starts (a file manager) must not keep the lock after Ravelin ends.
    handle->file = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // Someone else's lock file that this user may not write still locks.
    if (handle->file < 0 && errno == EACCES) handle->file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle->file < 0) return DirectoryLock(Status::Unusable, path, 0, nullptr);
    if (::flock(handle->file, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) return DirectoryLock(Status::Unusable, path, 0, nullptr);
        char text[32] = {};
        const ssize_t read = ::pread(handle->file, text, sizeof text - 1, 0);
        return DirectoryLock(
            Status::Taken, path,
            read > 0 ? processIdIn(std::string_view(text, static_cast<std::size_t>(read))) : 0, nullptr);
    }
    const std::string id = std::to_string(currentProcessId()) + "\n";
    if (::ftruncate(handle->file, 0) == 0) {
        const ssize_t written = ::pwrite(handle->file, id.data(), id.size(), 0);
        static_cast<void>(written);  // the id only helps the message of the one turned away
    }
    return DirectoryLock(Status::Held, path, 0, std::move(handle));
}

#endif

DirectoryLock::DirectoryLock(Status status, std::string path, long holder, std::unique_ptr<Handle> handle)
    : status_(status), path_(std::move(path)), holder_(holder), handle_(std::move(handle)) {}

DirectoryLock::DirectoryLock(DirectoryLock&&) noexcept = default;
DirectoryLock& DirectoryLock::operator=(DirectoryLock&&) noexcept = default;
DirectoryLock::~DirectoryLock() = default;
