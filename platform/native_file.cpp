#include "platform/native_file.h"

#include <utility>

#include "platform/file_io.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#endif

NativeFile::NativeFile(NativeFile&& other) noexcept {
    *this = std::move(other);
}

#ifdef _WIN32

NativeFile NativeFile::open(const std::string& path, Opening opening) {
    NativeFile file;
    const DWORD access = opening == Opening::Append ? FILE_APPEND_DATA : GENERIC_WRITE;
    const DWORD disposition = opening == Opening::CreateNew  ? CREATE_NEW
                              : opening == Opening::Truncate ? CREATE_ALWAYS
                                                             : OPEN_ALWAYS;
    // Shared as the C library shares the files it opens.
    file.handle_ = CreateFileW(nativePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    file.alreadyExisted_ = !file.isOpen() && GetLastError() == ERROR_FILE_EXISTS;
    return file;
}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        alreadyExisted_ = other.alreadyExisted_;
    }
    return *this;
}

bool NativeFile::isOpen() const {
    return handle_ != INVALID_HANDLE_VALUE;
}

bool NativeFile::writeAll(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool NativeFile::close() {
    if (!isOpen()) return true;
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0;
}

#else

NativeFile NativeFile::open(const std::string& path, Opening opening) {
    NativeFile file;
    const int flags = opening == Opening::CreateNew  ? O_CREAT | O_EXCL
                      : opening == Opening::Truncate ? O_CREAT | O_TRUNC
                                                     : O_CREAT | O_APPEND;
    do {
        file.descriptor_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
    } while (file.descriptor_ < 0 && errno == EINTR);
    file.alreadyExisted_ = file.descriptor_ < 0 && errno == EEXIST;
    return file;
}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
        alreadyExisted_ = other.alreadyExisted_;
    }
    return *this;
}

bool NativeFile::isOpen() const {
    return descriptor_ >= 0;
}

bool NativeFile::writeAll(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool NativeFile::close() {
    if (!isOpen()) return true;
    // Not retried after EINTR: the descriptor is gone either way on Linux.
    return ::close(std::exchange(descriptor_, -1)) == 0;
}

#endif
