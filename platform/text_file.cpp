#include "platform/text_file.h"

#include "platform/pending_files.h"
#include "platform/text_utilities.h"

namespace {

constexpr std::size_t kBufferSize = 4096;

}  // namespace

std::optional<TextFile> createTextFile(const std::string& path) {
    auto output = OutputFile::open(path, OutputFile::Mode::Truncate, kBufferSize);
    if (!output) return std::nullopt;
    return TextFile(std::move(*output));
}

std::optional<TextFile> createReplacementTextFile(const std::string& path) {
    auto output = OutputFile::open(path, OutputFile::Mode::Replace, kBufferSize);
    if (!output) return std::nullopt;
    return TextFile(std::move(*output));
}

std::optional<TextFile> openTextFile(const std::string& path, bool append) {
    auto output =
        OutputFile::open(path, append ? OutputFile::Mode::Append : OutputFile::Mode::Truncate, kBufferSize);
    if (!output) return std::nullopt;
    return TextFile(std::move(*output));
}

std::optional<TextFile> openTextFileForReading(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(nativePath(path), error)) return std::nullopt;
    FileHandle handle = openFile(path, "rb");
    if (!handle) return std::nullopt;
    std::setvbuf(handle.get(), nullptr, _IONBF, 0);  // the TextFile buffers itself
    return TextFile(std::move(handle));
}

void writeLine(TextFile& file, std::string_view text) {
    if (!file.output_) return;
    file.output_->write(text);
    file.output_->write("\r\n", 2);
}

bool TextFile::fillBuffer() {
    if (position_ < end_) return true;
    if (!input_) return false;
    position_ = 0;
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), input_.get());
    return end_ > 0;
}

int TextFile::peekByte() {
    return fillBuffer() ? static_cast<unsigned char>(buffer_[position_]) : -1;
}

int TextFile::takeByte() {
    const int byte = peekByte();
    if (byte >= 0) ++position_;
    return byte;
}

std::string readLine(TextFile& file) {
    // Line ends are ASCII, so they can never be inside a character: collect the raw line, then decode.
    std::string raw;
    for (;;) {
        const int byte = file.takeByte();
        if (byte < 0 || byte == '\n' || byte == 0) break;
        if (byte == '\r') {
            if (file.peekByte() == '\n') file.takeByte();
            break;
        }
        raw += static_cast<char>(byte);
    }
    return validUtf8(raw);
}

bool atEndOfFile(TextFile& file) {
    return file.peekByte() < 0;
}

bool closeTextFile(TextFile& file) {
    file.input_.reset();
    if (!file.output_) return true;
    const bool succeeded = file.output_->finish();
    file.output_.reset();
    return succeeded;
}

bool closeTextFileInto(TextFile& file, PendingFiles& pending) {
    file.input_.reset();
    if (!file.output_) return true;
    bool succeeded = file.output_->finishWriting();
    if (succeeded)
        succeeded = pending.add(std::move(*file.output_));
    else
        pending.noteWriteFailure();
    file.output_.reset();
    return succeeded;
}
