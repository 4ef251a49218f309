#include "mods/pack_files.h"

#include <algorithm>
#include <set>

#include "platform/text_utilities.h"

namespace {

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && findIgnoringAsciiCase(a, b) == 0;
}

bool endsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           equalsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

}  // namespace

std::optional<std::string> packRelativePath(std::string_view path) {
    if (path.empty()) return std::nullopt;
    std::string relative;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(path.find_first_of("/\\", start), path.size());
        const std::string_view part = path.substr(start, end - start);
        // A trailing separator marks a folder entry; everything else must name something.
        if (part.empty() && end < path.size()) return std::nullopt;
        if (part == "." || part == "..") return std::nullopt;
        if (start == 0 && part.size() >= 2 && part[1] == ':') return std::nullopt;  // a drive such as C:
        for (const char c : part) {
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return std::nullopt;
        }
        relative += part;
        if (end >= path.size()) break;
        relative += '/';
        start = end + 1;
    }
    return relative;
}

PackFile packFileOf(std::string_view relativePath) {
    PackFile file;
    const std::size_t slash = relativePath.rfind('/');
    const std::string_view name =
        slash == std::string_view::npos ? relativePath : relativePath.substr(slash + 1);
    file.folder = std::string(relativePath.substr(0, relativePath.size() - name.size()));
    for (const AtlasKind& kind : kAtlasKinds) {
        if (equalsIgnoringAsciiCase(name, kind.atlasXmlName)) {
            file.role = PackFileRole::AtlasXml;
        } else if (equalsIgnoringAsciiCase(name, kind.atlasDdsImageName) ||
                   equalsIgnoringAsciiCase(name, kind.atlasImageName)) {
            file.role = PackFileRole::AtlasImage;
            file.dds = equalsIgnoringAsciiCase(name, kind.atlasDdsImageName);
        } else {
            continue;
        }
        file.kind = &kind;
        return file;
    }
    if (name.size() > 4 && endsWithIgnoringAsciiCase(name, ".png") &&
        (file.folder.empty() || endsWithIgnoringAsciiCase(file.folder, "/contour/") ||
         equalsIgnoringAsciiCase(file.folder, "contour/"))) {
        file.role = PackFileRole::LooseIcon;
        file.iconName = std::string(name.substr(0, name.size() - 4));
    }
    return file;
}

PackLayout packLayoutOf(const std::vector<std::string>& paths) {
    PackLayout layout;
    std::vector<PackFile> files;
    files.reserve(paths.size());
    for (const std::string& path : paths) files.push_back(packFileOf(path));

    std::set<std::string> looseNames;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const PackFile& file = files[i];
        if (file.role == PackFileRole::LooseIcon && looseNames.insert(file.iconName).second)
            layout.looseIcons.push_back({file.iconName, i});
        if (file.role != PackFileRole::AtlasXml) continue;
        std::optional<PackAtlasPlace>& place = layout.atlases[file.kind->index];
        if (place) {
            layout.passedOver.push_back(paths[i] + " (the atlas was taken from " + paths[place->xml] + ")");
            continue;
        }
        // The image beside it: DDS, today's format, before PNG.
        std::optional<PackAtlasPlace> found;
        for (std::size_t j = 0; j < files.size(); ++j) {
            const PackFile& image = files[j];
            if (image.role != PackFileRole::AtlasImage || image.kind != file.kind ||
                image.folder != file.folder)
                continue;
            if (!found || (image.dds && !found->dds)) found = PackAtlasPlace{i, j, image.dds};
            if (found->dds) break;
        }
        if (found)
            place = found;
        else
            layout.passedOver.push_back(paths[i] + " (no atlas image beside it)");
    }
    // A pack of nothing but icons wrapped in a folder: the PNG files of the first folder that holds any.
    const bool nothingFound =
        layout.looseIcons.empty() && std::none_of(layout.atlases.begin(), layout.atlases.end(),
                                                  [](const auto& place) { return place.has_value(); });
    std::optional<std::string> iconFolder;
    for (std::size_t i = 0; nothingFound && i < files.size(); ++i) {
        const std::string& path = paths[i];
        if (path.size() <= 4 || !endsWithIgnoringAsciiCase(path, ".png")) continue;
        if (!iconFolder) iconFolder = files[i].folder;
        if (files[i].folder != *iconFolder) continue;
        std::string name = path.substr(iconFolder->size(), path.size() - iconFolder->size() - 4);
        if (looseNames.insert(name).second) layout.looseIcons.push_back({std::move(name), i});
    }
    return layout;
}
