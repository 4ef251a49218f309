#pragma once

// The byte-level file layer under text files, images and unpacked package entries.
// Paths are UTF-8 text; every function reports failure by its result.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_file.h"

// Whether many files are best created from every core at once. On Windows creating a file costs more
// than encoding it (each new name is first looked for in the whole folder), so threads share that work;
// on Linux threads creating files in one folder only queue for its lock, and one writer is quicker.
#ifdef _WIN32
inline constexpr bool kCreateFilesOnEveryCore = true;
#else
inline constexpr bool kCreateFilesOnEveryCore = false;
#endif

// UTF-8 paths to and from the file system's own form (UTF-16 on Windows).
std::filesystem::path nativePath(const std::string& path);
std::string utf8PathText(const std::filesystem::path& path);
// The path made absolute against the working directory, without "." and ".." steps; as given when the
// working directory cannot be read.
std::string absolutePathText(const std::string& path);

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// mode as for fopen ("rb", "ab", "wbx", ...).
FileHandle openFile(const std::string& path, const char* mode);

// The whole content of a file, or none when it cannot be opened or read completely.
std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path);
// Whether the file at path holds exactly these bytes (its size is looked at first).
bool fileHoldsBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

class OutputFile;

// Copies a file; the destination is replaced only when the whole copy was written. False on any failure.
bool copyFile(const std::string& source, const std::string& destination);

// Appends the whole content of source to output; false when source cannot be read.
bool copyInto(const std::string& source, OutputFile& output);

// A name for a temporary file beside path, different for each call and attempt; it may exist already.
std::string temporaryNameBeside(const std::string& path, unsigned attempt);

// Whether a file name is one temporaryNameBeside gives ("battleAtlas.xml.tmp4711-3-0"): a run that was
// killed leaves such files behind.
bool isTemporaryFileName(std::string_view name);
// Removes the temporary files (by name) in the directory, and in its subdirectories when deep; the count.
int removeTemporaryFiles(const std::string& directory, bool deep);

// A file nobody may write (no write bit, or the read-only attribute on Windows), or that this user may not
// write. Such a file is never replaced, even by root.
bool isWriteProtected(const std::string& path);

// A write beyond the process's file-size limit fails like a full disk instead of ending the process.
void ignoreFileSizeSignal();

// A file being written. A replacement is written under a temporary name beside its destination and
// renamed over it by finish() only when every write succeeded, so a failed write never destroys the
// previous file. A file the user may not write is never replaced, and a replaced file keeps its permission
// bits. Destroying an unfinished replacement removes the temporary file.
class OutputFile {
public:
    enum class Mode { Replace, Truncate, Append };

    static std::optional<OutputFile> open(const std::string& path, Mode mode, std::size_t bufferSize = 65536);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) = delete;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    void write(const void* data, std::size_t size);
    void write(std::string_view text) { write(text.data(), text.size()); }
    bool failed() const { return failed_; }
    // Flushes and closes; a replacement is renamed into place. True when everything succeeded.
    bool finish();
    // finish() in two steps, for files replaced together: the temporary file is completed and kept,
    // then renamed over its destination.
    bool finishWriting();
    bool replaceDestination();
    const std::string& path() const { return path_; }
    // Whether it is written beside its destination, to be renamed over it.
    bool isReplacement() const { return !temporaryPath_.empty(); }
    // Where its bytes are until replaceDestination(): the temporary file of a replacement, else path().
    const std::string& contentPath() const { return temporaryPath_.empty() ? path_ : temporaryPath_; }

private:
    OutputFile(NativeFile file, std::string path, std::string temporaryPath, std::size_t bufferSize);
    bool flushBuffer();
    void discard();

    NativeFile file_;
    std::vector<char> buffer_;  // reserved at the first small write
    std::size_t bufferSize_;
    std::string path_;
    std::string temporaryPath_;  // empty unless the file is a replacement
    bool failed_ = false;
};
