#include "atlas/atlas_descriptor_reader.h"

#include <algorithm>

#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::optional<std::string> atlasFieldValue(std::string_view line, std::string_view openingMarker,
                                           std::string_view closingMarker) {
    const std::size_t opening = line.find(openingMarker);
    if (opening == std::string_view::npos) return std::nullopt;
    const std::size_t valueStart = opening + openingMarker.size();
    const std::size_t closing = line.find(closingMarker);
    if (closing == std::string_view::npos || closing <= valueStart) return std::string();
    return trimText(line.substr(valueStart, closing - valueStart));
}

AtlasDescriptorReader::LineResult AtlasDescriptorReader::readLine(std::string_view line) {
    LineResult result;
    if (auto name = atlasFieldValue(line, "<name>", "</name>")) {
        // A name field always completes an entry, even an empty one: its file is ".png".
        pending_.name = std::move(*name);
        named_ = true;
        result.foundName = pending_.name;
    }
    struct NumberField {
        std::string_view opening;
        std::string_view closing;
        std::int64_t AtlasDescriptorEntry::*member;
    };
    static constexpr NumberField kNumberFields[] = {
        {"<x>", "</x>", &AtlasDescriptorEntry::x},
        {"<y>", "</y>", &AtlasDescriptorEntry::y},
        {"<width>", "</width>", &AtlasDescriptorEntry::width},
        {"<height>", "</height>", &AtlasDescriptorEntry::height},
    };
    for (const NumberField& field : kNumberFields) {
        if (auto value = atlasFieldValue(line, field.opening, field.closing)) {
            pending_.*field.member = parseInteger(*value);
        }
    }
    if (named_ && pending_.width >= 0 && pending_.height >= 0) {
        result.entry = std::move(pending_);
        pending_ = AtlasDescriptorEntry{};
        named_ = false;
    }
    return result;
}

std::optional<std::int64_t> countAtlasEntries(const std::string& path) {
    std::optional<TextFile> file = openTextFileForReading(path);
    if (!file) return std::nullopt;
    AtlasDescriptorReader reader;
    std::int64_t entries = 0;
    while (!atEndOfFile(*file)) {
        if (reader.readLine(readLine(*file)).entry) ++entries;
    }
    closeTextFile(*file);
    return entries;
}

std::vector<AtlasDescriptorEntry> atlasEntriesOfText(std::string_view text) {
    std::vector<AtlasDescriptorEntry> entries;
    AtlasDescriptorReader reader;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end =
            std::min(text.find_first_of(std::string_view("\r\n\0", 3), start), text.size());
        if (auto entry = reader.readLine(validUtf8(text.substr(start, end - start))).entry)
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}
