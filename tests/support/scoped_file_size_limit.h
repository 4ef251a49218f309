#pragma once

// Makes writes beyond the given file size fail (EFBIG) for the lifetime of the object, the way a full
// disk makes them fail part-way. POSIX only: on Windows the tests that need it are skipped.

#ifdef _WIN32
#define RAVELIN_SKIP_WITHOUT_FILE_SIZE_LIMIT() GTEST_SKIP() << "no file size limit on Windows"

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(unsigned long) {}
};
#else
#include <sys/resource.h>

#include <csignal>

#define RAVELIN_SKIP_WITHOUT_FILE_SIZE_LIMIT() static_cast<void>(0)

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};
#endif
