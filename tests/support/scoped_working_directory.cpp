#include "tests/support/scoped_working_directory.h"

#include <random>
#include <system_error>

#include "platform/path_separator.h"

ScopedWorkingDirectory::ScopedWorkingDirectory() : previous_(std::filesystem::current_path()) {
    std::random_device random;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() / ("ravelin-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) break;
    }
    path_ = std::filesystem::canonical(path_);
    std::filesystem::current_path(path_);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    // Tests may leave read-only directories behind; make everything writable before removing it.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ScopedWorkingDirectory::text() const {
    return withTrailingSeparator(path_.string());
}
