#include "tests/support/test_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

std::string readFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFileText(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out << content;
}

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    const std::string text = readFileText(path);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& content) {
    writeFileText(path, std::string(content.begin(), content.end()));
}

std::vector<std::string> readCrLfLines(const std::string& path) {
    const std::string text = readFileText(path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> unstampedLines(const std::vector<std::string>& lines) {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
        const bool stamped = line.size() >= 16 && line[0] == '[' && line.compare(13, 3, "]  ") == 0;
        result.push_back(stamped ? line.substr(16) : line);
    }
    return result;
}

Snapshot snapshotOf(const std::filesystem::path& root) {
    Snapshot files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(root).string()] = readFileText(entry.path().string());
    }
    return files;
}
