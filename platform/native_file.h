#pragma once

// A file opened for writing through the system's own calls, without the C library's stream between:
// on Windows a stream adds calls to every open and close, and creating thousands of icon files is what
// costs there. Unbuffered; OutputFile buffers above it.

#include <cstddef>
#include <cstdint>
#include <string>

class NativeFile {
public:
    enum class Opening {
        CreateNew,  // fails, with alreadyExisted(), when the file is there
        Truncate,   // created or emptied
        Append,     // created or written at its end
    };

    // path: UTF-8. Check isOpen().
    static NativeFile open(const std::string& path, Opening opening);

    NativeFile() = default;
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;
    ~NativeFile() { close(); }

    bool isOpen() const;
    // Whether open() with CreateNew failed because the file exists.
    bool alreadyExisted() const { return alreadyExisted_; }
    // Writes all of data; false when any of it could not be written (a full disk, a size limit).
    bool writeAll(const void* data, std::size_t size);
    // False when closing reported a failure (a write the system had deferred).
    bool close();

private:
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));
#else
    int descriptor_ = -1;
#endif
    bool alreadyExisted_ = false;
};
