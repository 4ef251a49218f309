#pragma once

// Which icons a game update brought: when an atlas is taken apart again and its catalogue names differ
// from the previous catalogue's, the names that were not there before are written to a list beside the
// catalogue. Taking the same atlas apart again leaves the list as it is, so it keeps describing the last
// update.

#include <optional>
#include <string>
#include <vector>

class PendingFiles;
struct AtlasKind;

// The list's file name: the catalogue's, "-new" before its extension ("battleatlas-new.dat").
std::string newIconListName(const AtlasKind& kind);

// Writes the list at path when there was a previous, non-empty catalogue whose names differ from current's,
// leaving it in pending; false only when that write failed (noted in pending).
bool rememberNewIconNames(const std::string& path, const std::optional<std::vector<std::string>>& previous,
                          const std::vector<std::string>& current, PendingFiles& pending);

// The remembered names, one per line; none remembered when the file is missing.
std::vector<std::string> readNewIconNames(const std::string& path);
