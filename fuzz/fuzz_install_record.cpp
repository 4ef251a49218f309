// The install record of any content: read without fault, every line either an entry or named as
// unreadable, and what was read is written and read again to the same entries.

#include <cstdio>
#include <cstdlib>

#include "mods/install_record.h"
#include "fuzz/fuzz_sandbox.h"

namespace {

bool sameRecord(const InstallRecord& a, const InstallRecord& b) {
    return installRecordText(a) == installRecordText(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const InstallRecordReading reading = readInstallRecordText(asText(data, size));
    for (const auto& installed : reading.record.installed) {
        if (installed.path.empty()) {
            std::fprintf(stderr, "an entry without path\n");
            std::abort();
        }
    }
    const InstallRecordReading again = readInstallRecordText(installRecordText(reading.record));
    if (!again.unreadableLines.empty() || !sameRecord(again.record, reading.record) ||
        again.record.installed.size() != reading.record.installed.size() ||
        again.record.backups.size() != reading.record.backups.size()) {
        std::fprintf(stderr, "the record read differs once written\n");
        std::abort();
    }
    return 0;
}
