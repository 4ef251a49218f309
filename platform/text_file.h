#pragma once

// Line-oriented UTF-8 text files. Lines are written with CR LF and never with a byte-order mark.
// A reader ends a line at CR, LF, CR LF, a NUL byte or the end of the file, turns every byte that
// cannot be part of a character into "?", and keeps a leading byte-order mark as U+FEFF.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_io.h"

class PendingFiles;

class TextFile {
public:
    TextFile(TextFile&&) noexcept = default;
    TextFile& operator=(TextFile&&) = delete;
    ~TextFile() = default;

private:
    friend std::optional<TextFile> createTextFile(const std::string& path);
    friend std::optional<TextFile> createReplacementTextFile(const std::string& path);
    friend std::optional<TextFile> openTextFile(const std::string& path, bool append);
    friend std::optional<TextFile> openTextFileForReading(const std::string& path);
    friend void writeLine(TextFile& file, std::string_view text);
    friend std::string readLine(TextFile& file);
    friend bool atEndOfFile(TextFile& file);
    friend bool closeTextFile(TextFile& file);
    friend bool closeTextFileInto(TextFile& file, PendingFiles& pending);

    explicit TextFile(OutputFile output) : output_(std::move(output)) {}
    explicit TextFile(FileHandle input) : input_(std::move(input)) {}

    bool fillBuffer();
    int peekByte();
    int takeByte();

    std::optional<OutputFile> output_;
    FileHandle input_;
    std::array<char, 4096> buffer_{};
    std::size_t position_ = 0;
    std::size_t end_ = 0;
};

// Creates the file, or empties an existing one, in place.
std::optional<TextFile> createTextFile(const std::string& path);
// Writes beside the file; closeTextFile renames it over the old file only when every write succeeded.
std::optional<TextFile> createReplacementTextFile(const std::string& path);
// Opens for writing, creating the file when missing; append sets the position to the end.
std::optional<TextFile> openTextFile(const std::string& path, bool append);
// Opens an existing file read-only.
std::optional<TextFile> openTextFileForReading(const std::string& path);

void writeLine(TextFile& file, std::string_view text);
// One line without its line end; the empty text at the end of the file.
std::string readLine(TextFile& file);
bool atEndOfFile(TextFile& file);
// Writes out what is buffered and closes. True when every write and the close succeeded.
bool closeTextFile(TextFile& file);
// The same for a file being written, which then goes to pending instead of into its place; a failed write
// is noted there.
bool closeTextFileInto(TextFile& file, PendingFiles& pending);
