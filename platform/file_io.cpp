#include "platform/file_io.h"

#include <atomic>
#include <cerrno>
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

FileHandle openFile(const std::string& path, const char* mode) {
    if (path.empty()) return nullptr;
#ifdef _WIN32
    const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
    return FileHandle(_wfopen(nativePath(path).c_str(), wideMode.c_str()));
#else
    return FileHandle(std::fopen(path.c_str(), mode));
#endif
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

namespace {

std::string temporaryNameFor(const std::string& path, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = 0;
#else
    const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    return path + ".tmp" + std::to_string(process) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt);
}

// A file the user may not write is not replaced; a replaced file keeps its permission bits.
bool takeOverDestinationMode(const std::string& temporaryPath, const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(nativePath(path), error);
    if (error || !std::filesystem::exists(status)) return true;  // nothing there to replace
#ifdef _WIN32
    if ((status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
        return false;
#else
    if (::access(path.c_str(), W_OK) != 0) return false;
#endif
    std::filesystem::permissions(nativePath(temporaryPath), status.permissions(), error);
    return !error;
}

}  // namespace

std::optional<OutputFile> OutputFile::open(const std::string& path, Mode mode, std::size_t bufferSize) {
    if (path.empty()) return std::nullopt;
    FileHandle handle;
    std::string temporaryPath;
    if (mode == Mode::Replace) {
        // An existing directory of that name could never be replaced.
        std::error_code error;
        if (std::filesystem::is_directory(nativePath(path), error)) return std::nullopt;
        for (unsigned attempt = 0; attempt < 16 && !handle; ++attempt) {
            temporaryPath = temporaryNameFor(path, attempt);
            handle = openFile(temporaryPath, "wbx");
            if (!handle && errno != EEXIST) break;
        }
    } else {
        handle = openFile(path, mode == Mode::Append ? "ab" : "wb");
    }
    if (!handle) return std::nullopt;
    std::setvbuf(handle.get(), nullptr, _IOFBF, bufferSize);
    return OutputFile(std::move(handle), path, mode == Mode::Replace ? temporaryPath : std::string());
}

OutputFile::OutputFile(FileHandle handle, std::string path, std::string temporaryPath)
    : handle_(std::move(handle)), path_(std::move(path)), temporaryPath_(std::move(temporaryPath)) {}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : handle_(std::move(other.handle_)),
      path_(std::move(other.path_)),
      temporaryPath_(std::move(other.temporaryPath_)),
      failed_(other.failed_) {
    other.temporaryPath_.clear();
}

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::write(const void* data, std::size_t size) {
    if (!handle_ || failed_ || size == 0) return;
    if (std::fwrite(data, 1, size, handle_.get()) != size) failed_ = true;
}

bool OutputFile::finish() {
    if (!handle_) return false;
    if (std::fflush(handle_.get()) != 0 || std::ferror(handle_.get())) failed_ = true;
    if (std::fclose(handle_.release()) != 0) failed_ = true;
    if (failed_) {
        discard();
        return false;
    }
    if (temporaryPath_.empty()) return true;
    if (!takeOverDestinationMode(temporaryPath_, path_)) {
        discard();
        return false;
    }
    std::error_code error;
    std::filesystem::rename(nativePath(temporaryPath_), nativePath(path_), error);
    if (error) {
        discard();
        return false;
    }
    temporaryPath_.clear();
    return true;
}

void OutputFile::discard() {
    handle_.reset();
    if (!temporaryPath_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(nativePath(temporaryPath_), ignored);
        temporaryPath_.clear();
    }
}

bool copyFile(const std::string& source, const std::string& destination) {
    FileHandle input = openFile(source, "rb");
    if (!input) return false;
    std::optional<OutputFile> output = OutputFile::open(destination, OutputFile::Mode::Replace);
    if (!output) return false;
    std::vector<char> buffer(1u << 20);
    for (;;) {
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), input.get());
        if (read > 0) output->write(buffer.data(), read);
        if (read < buffer.size()) break;
    }
    if (std::ferror(input.get())) return false;
    return output->finish();
}
