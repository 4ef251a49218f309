#include "platform/text_file.h"

namespace {

constexpr std::size_t kBufferSize = 4096;

// Length of the sequence a lead byte starts, or 0 for a byte that cannot start a character.
int sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return lead >= 0xC2 ? 2 : 0;  // C0 and C1 only start overlong forms
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return lead <= 0xF4 ? 4 : 0;
    return 0;
}

// Whether the second byte keeps a 3- or 4-byte sequence short of overlong forms, surrogates and
// code points above U+10FFFF.
bool secondByteAllowed(unsigned char lead, unsigned char second) {
    if (lead == 0xE0) return second >= 0xA0;
    if (lead == 0xED) return second <= 0x9F;
    if (lead == 0xF0) return second >= 0x90;
    if (lead == 0xF4) return second <= 0x8F;
    return true;
}

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

std::optional<TextFile> openTextFileForReading(const std::string& path, bool /*shared*/) {
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
    std::string line;
    for (;;) {
        const int byte = file.takeByte();
        if (byte < 0 || byte == '\n' || byte == 0) return line;
        if (byte == '\r') {
            if (file.peekByte() == '\n') file.takeByte();
            return line;
        }
        const auto lead = static_cast<unsigned char>(byte);
        const int length = sequenceLength(lead);
        if (length == 0) {
            line += '?';
            continue;
        }
        std::string sequence(1, static_cast<char>(lead));
        while (static_cast<int>(sequence.size()) < length) {
            const int next = file.peekByte();
            if (next < 0 || (next & 0xC0) != 0x80) break;
            if (sequence.size() == 1 && !secondByteAllowed(lead, static_cast<unsigned char>(next))) break;
            sequence += static_cast<char>(file.takeByte());
        }
        // A sequence cut short stands for one "?"; the byte that interrupted it is read on its own.
        line += static_cast<int>(sequence.size()) == length ? sequence : std::string("?");
    }
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
