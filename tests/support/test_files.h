#pragma once

// Small file helpers for tests.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

std::string readFileText(const std::string& path);
void writeFileText(const std::string& path, const std::string& content);
std::vector<std::uint8_t> readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& content);
// The file's lines split at CR LF (a missing final CR LF gives a last line of its own).
std::vector<std::string> readCrLfLines(const std::string& path);
// The log's lines with the elapsed stamps removed.
std::vector<std::string> unstampedLines(const std::vector<std::string>& lines);
// Every regular file below root, by its path relative to root, with its content.
using Snapshot = std::map<std::string, std::string>;
Snapshot snapshotOf(const std::filesystem::path& root);
