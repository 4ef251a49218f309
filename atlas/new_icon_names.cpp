#include "atlas/new_icon_names.h"

#include <unordered_set>

#include "atlas/atlas_kind.h"
#include "platform/pending_files.h"
#include "platform/text_file.h"

std::string newIconListName(const AtlasKind& kind) {
    const std::string catalogue(kind.catalogueName);
    const std::size_t dot = catalogue.rfind('.');
    if (dot == std::string::npos) return catalogue + "-new";
    return catalogue.substr(0, dot) + "-new" + catalogue.substr(dot);
}

bool rememberNewIconNames(const std::string& path, const std::optional<std::vector<std::string>>& previous,
                          const std::vector<std::string>& current, PendingFiles& pending) {
    if (!previous || previous->empty()) return true;  // the first catalogue: nothing to compare with
    const std::unordered_set<std::string> before(previous->begin(), previous->end());
    if (before == std::unordered_set<std::string>(current.begin(), current.end())) return true;
    std::optional<TextFile> file = createReplacementTextFile(path);
    if (!file) {
        pending.noteWriteFailure();
        return false;
    }
    for (const std::string& name : current) {
        if (!before.count(name)) writeLine(*file, name);
    }
    return closeTextFileInto(*file, pending);
}

std::vector<std::string> readNewIconNames(const std::string& path) {
    std::vector<std::string> names;
    std::optional<TextFile> file = openTextFileForReading(path);
    if (!file) return names;
    while (!atEndOfFile(*file)) {
        std::string line = readLine(*file);
        if (!line.empty()) names.push_back(std::move(line));
    }
    closeTextFile(*file);
    return names;
}
