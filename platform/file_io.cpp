#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

std::filesystem::path nativePath(const std::string& path) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(path.begin(), path.end()));
#else
    return std::filesystem::path(path);
#endif
}

std::string utf8PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string absolutePathText(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(nativePath(path), error);
    return error ? path : utf8PathText(absolute.lexically_normal());
}

FileHandle openFile(const std::string& path, const char* mode) {
    if (path.empty()) return nullptr;
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FileHandle(_wfopen(nativePath(path).c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
}

bool fileHoldsBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    const auto size = std::filesystem::file_size(nativePath(path), error);
    if (error || size != bytes.size()) return false;
    const std::optional<std::vector<std::uint8_t>> content = readWholeFile(path);
    return content && *content == bytes;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    FileHandle file = openFile(path, "rb");
    if (!file) return std::nullopt;
    std::error_code error;
    const auto size = std::filesystem::file_size(nativePath(path), error);
    if (error) return std::nullopt;
    try {
        std::vector<std::uint8_t> content(static_cast<std::size_t>(size));
        if (size > 0 && std::fread(content.data(), 1, content.size(), file.get()) != content.size()) {
            return std::nullopt;
        }
        return content;
    } catch (const std::exception&) {  // too large to hold
        return std::nullopt;
    }
}

std::string temporaryNameBeside(const std::string& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = 0;
#else
    const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    return path + ".tmp" + std::to_string(process) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt);
}

bool isTemporaryFileName(std::string_view name) {
    // ".tmp" and three numbers joined by "-", at the end.
    const std::size_t mark = name.rfind(".tmp");
    if (mark == std::string_view::npos || mark == 0) return false;
    int numbers = 0;
    bool inNumber = false;
    for (const char c : name.substr(mark + 4)) {
        if (c >= '0' && c <= '9') {
            if (!inNumber) ++numbers;
            inNumber = true;
        } else if (c == '-' && inNumber && numbers < 3) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return numbers == 3 && inNumber;
}

namespace {

// Removes the temporary files among the entries; the count. Entries that cannot be read are passed over.
template <typename Iterator>
int removeTemporaryEntries(Iterator entries) {
    int removed = 0;
    std::error_code error;
    for (const Iterator end; !error && entries != end; entries.increment(error)) {
        std::error_code ignored;
        if (entries->is_regular_file(ignored) &&
            isTemporaryFileName(utf8PathText(entries->path().filename())) &&
            std::filesystem::remove(entries->path(), ignored))
            ++removed;
    }
    return removed;
}

}  // namespace

int removeTemporaryFiles(const std::string& directory, bool deep) {
    using std::filesystem::directory_options;
    std::error_code error;
    if (deep) {
        std::filesystem::recursive_directory_iterator entries(
            nativePath(directory), directory_options::skip_permission_denied, error);
        return error ? 0 : removeTemporaryEntries(std::move(entries));
    }
    std::filesystem::directory_iterator entries(nativePath(directory),
                                                directory_options::skip_permission_denied, error);
    return error ? 0 : removeTemporaryEntries(std::move(entries));
}

namespace {

// A replaced file keeps its permission bits.
bool takeOverDestinationMode(const std::string& temporaryPath, const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(nativePath(path), error);
    if (error || !std::filesystem::exists(status)) return true;  // nothing there to replace
    if (isWriteProtected(path)) return false;
    std::filesystem::permissions(nativePath(temporaryPath), status.permissions(), error);
    return !error;
}

}  // namespace

bool isWriteProtected(const std::string& path) {
    using std::filesystem::perms;
    std::error_code error;
    const auto status = std::filesystem::status(nativePath(path), error);
    if (error || !std::filesystem::exists(status)) return false;
    // The bits, not access(): root may write anything, yet a protected file is the user's word.
    if ((status.permissions() & (perms::owner_write | perms::group_write | perms::others_write)) ==
        perms::none)
        return true;
#ifdef _WIN32
    return false;
#else
    return ::access(path.c_str(), W_OK) != 0;
#endif
}

void ignoreFileSizeSignal() {
#ifndef _WIN32
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

std::optional<OutputFile> OutputFile::open(const std::string& path, Mode mode, std::size_t bufferSize) {
    if (path.empty()) return std::nullopt;
    NativeFile file;
    std::string temporaryPath;
    if (mode == Mode::Replace) {
        // An existing directory of that name could never be replaced.
        std::error_code error;
        if (std::filesystem::is_directory(nativePath(path), error)) return std::nullopt;
        for (unsigned attempt = 0; attempt < 16 && !file.isOpen(); ++attempt) {
            temporaryPath = temporaryNameBeside(path, attempt);
            file = NativeFile::open(temporaryPath, NativeFile::Opening::CreateNew);
            if (!file.isOpen() && !file.alreadyExisted()) break;
        }
    } else {
        file = NativeFile::open(
            path, mode == Mode::Append ? NativeFile::Opening::Append : NativeFile::Opening::Truncate);
    }
    if (!file.isOpen()) return std::nullopt;
    return OutputFile(std::move(file), path, mode == Mode::Replace ? temporaryPath : std::string(),
                      bufferSize);
}

OutputFile::OutputFile(NativeFile file, std::string path, std::string temporaryPath, std::size_t bufferSize)
    : file_(std::move(file)),
      bufferSize_(bufferSize),
      path_(std::move(path)),
      temporaryPath_(std::move(temporaryPath)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      buffer_(std::move(other.buffer_)),
      bufferSize_(other.bufferSize_),
      path_(std::move(other.path_)),
      temporaryPath_(std::move(other.temporaryPath_)),
      failed_(other.failed_) {
    other.temporaryPath_.clear();
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::write(const void* data, std::size_t size) {
    if (!file_.isOpen() || failed_ || size == 0) return;
    if (buffer_.size() + size > bufferSize_ && !flushBuffer()) {
        failed_ = true;
        return;
    }
    // What would fill the buffer goes straight to the file: one call for a whole icon.
    if (size >= bufferSize_) {
        if (!file_.writeAll(data, size)) failed_ = true;
        return;
    }
    if (buffer_.capacity() == 0) buffer_.reserve(bufferSize_);
    const char* bytes = static_cast<const char*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

bool OutputFile::flushBuffer() {
    const bool written = buffer_.empty() || file_.writeAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
}

bool OutputFile::finish() {
    return finishWriting() && replaceDestination();
}

bool OutputFile::finishWriting() {
    if (!file_.isOpen()) return false;
    if (!failed_ && !flushBuffer()) failed_ = true;
    if (!file_.close()) failed_ = true;
    std::vector<char>().swap(buffer_);
    if (failed_) discard();
    return !failed_;
}

bool OutputFile::replaceDestination() {
    if (failed_ || file_.isOpen()) return false;
    if (temporaryPath_.empty()) return true;
    std::error_code error;
    if (takeOverDestinationMode(temporaryPath_, path_))
        std::filesystem::rename(nativePath(temporaryPath_), nativePath(path_), error);
    else
        error = std::make_error_code(std::errc::permission_denied);
    if (error) {
        failed_ = true;
        discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void OutputFile::discard() {
    file_.close();
    buffer_.clear();
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(nativePath(temporaryPath_), ignored);
        temporaryPath_.clear();
    }
}

bool copyInto(const std::string& source, OutputFile& output) {
    FileHandle input = openFile(source, "rb");
    if (!input) return false;
    std::vector<char> buffer(1u << 20);
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), input.get());
        if (read > 0) output.write(buffer.data(), read);
        if (read < buffer.size() || output.failed()) break;
    }
    return !std::ferror(input.get());
}

bool copyFile(const std::string& source, const std::string& destination) {
    std::optional<OutputFile> output = OutputFile::open(destination, OutputFile::Mode::Replace);
    return output && copyInto(source, *output) && output->finish();
}
