#include "fuzz/fuzz_sandbox.h"

#include "platform/path_separator.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

const std::filesystem::path& fuzzSandbox() {
    static const std::filesystem::path sandbox = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "ravelin-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        const std::filesystem::path root = pattern;
        std::filesystem::create_directory(root / "work");
        std::filesystem::current_path(root / "work");
        return root;
    }();
    return sandbox;
}

std::string workingDirectoryText() {
    return withTrailingSeparator((fuzzSandbox() / "work").string());
}

void checkNothingWrittenOutside() {
    for (const auto& entry : std::filesystem::directory_iterator(fuzzSandbox())) {
        const std::string name = entry.path().filename().string();
        if (name != "work" && name != "game") {
            std::fprintf(stderr, "written outside the working directory: %s\n", entry.path().c_str());
            std::abort();
        }
    }
}

void resetDirectory(const std::string& name) {
    std::error_code ignored;
    std::filesystem::remove_all(name, ignored);
    std::filesystem::create_directories(name, ignored);
}

std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}
