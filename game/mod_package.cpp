#include "game/mod_package.h"

#include <archive.h>
#include <archive_entry.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>

#include "game/game_directory.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

// 2000-01-01 00:00:00 UTC: any fixed time a zip's DOS date can hold.
constexpr time_t kEntryTime = 946684800;
constexpr std::size_t kChunkSize = 1 << 16;

struct ArchiveWriterFree {
    void operator()(struct archive* writer) const { archive_write_free(writer); }
};
struct ArchiveEntryFree {
    void operator()(struct archive_entry* entry) const { archive_entry_free(entry); }
};

la_ssize_t writeToOutput(struct archive*, void* output, const void* buffer, size_t length) {
    auto* file = static_cast<OutputFile*>(output);
    file->write(buffer, length);
    return file->failed() ? -1 : static_cast<la_ssize_t>(length);
}

// One entry's header: a folder when size is none.
bool writeHeader(struct archive* writer, const std::string& name, std::optional<std::int64_t> size) {
    const std::unique_ptr<struct archive_entry, ArchiveEntryFree> entry(archive_entry_new());
    archive_entry_set_pathname(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), size ? AE_IFREG : AE_IFDIR);
    archive_entry_set_perm(entry.get(), size ? 0644 : 0755);
    archive_entry_set_size(entry.get(), size.value_or(0));
    archive_entry_set_mtime(entry.get(), kEntryTime, 0);
    return archive_write_header(writer, entry.get()) == ARCHIVE_OK;
}

bool writeData(struct archive* writer, const void* data, std::size_t size) {
    return size == 0 || archive_write_data(writer, data, size) == static_cast<la_ssize_t>(size);
}

// A file's entry, its content streamed from the source; false names nothing (the caller does).
bool writeFileEntry(struct archive* writer, const std::string& name, const std::string& sourcePath) {
    const std::int64_t size = fileSize(sourcePath);
    FileHandle source = size >= 0 ? openFile(sourcePath, "rb") : nullptr;
    if (!source || !writeHeader(writer, name, size)) return false;
    std::vector<char> chunk(kChunkSize);
    std::int64_t written = 0;
    while (const std::size_t read = std::fread(chunk.data(), 1, chunk.size(), source.get())) {
        if (!writeData(writer, chunk.data(), read)) return false;
        written += static_cast<std::int64_t>(read);
    }
    return written == size && !std::ferror(source.get());
}

}  // namespace

std::string_view modPackageExtension(const std::string& installDirectory) {
    return gameClientIn(installDirectory) == GameClient::Lesta ? ".mtmod" : ".wotmod";
}

std::string modPackageMetaXml(const ModPackageInfo& info) {
    return "<root>\r\n  <id>" + markupEscaped(info.id) + "</id>\r\n  <version>" +
           markupEscaped(info.version) + "</version>\r\n  <name>" + markupEscaped(info.name) +
           "</name>\r\n  <description>" + markupEscaped(info.description) + "</description>\r\n</root>\r\n";
}

bool writeModPackage(const std::string& path, const ModPackageInfo& info,
                     const std::vector<ModPackageFile>& files, Reporter& reporter) {
    std::optional<OutputFile> output = OutputFile::open(path, OutputFile::Mode::Replace);
    if (!output) {
        reporter.logError(englishText("Can't write mod package: {file}", {{"file", path}}));
        return false;
    }
    const std::unique_ptr<struct archive, ArchiveWriterFree> writer(archive_write_new());
    archive_write_set_format_zip(writer.get());
    archive_write_zip_set_compression_store(writer.get());
    archive_write_set_bytes_in_last_block(writer.get(), 1);
    if (archive_write_open(writer.get(), &*output, nullptr, writeToOutput, nullptr) != ARCHIVE_OK) {
        reporter.logError(englishText("Can't write mod package: {file}", {{"file", path}}));
        return false;
    }
    const std::string meta = modPackageMetaXml(info);
    bool written = writeHeader(writer.get(), "meta.xml", static_cast<std::int64_t>(meta.size())) &&
                   writeData(writer.get(), meta.data(), meta.size());
    std::set<std::string> folders;
    for (const ModPackageFile& file : files) {
        if (!written) break;
        const std::string name = "res/" + file.nameInGame;
        for (std::size_t slash = name.find('/'); written && slash != std::string::npos;
             slash = name.find('/', slash + 1)) {
            const std::string folder = name.substr(0, slash + 1);
            if (folders.insert(folder).second) written = writeHeader(writer.get(), folder, std::nullopt);
        }
        if (written && !writeFileEntry(writer.get(), name, file.sourcePath)) {
            reporter.logError(
                englishText("Can't put into the mod package: {file}", {{"file", file.sourcePath}}));
            return false;
        }
    }
    written = written && archive_write_close(writer.get()) == ARCHIVE_OK;
    if (!written || !output->finish()) {
        reporter.logError(englishText("Can't write mod package: {file}", {{"file", path}}));
        return false;
    }
    reporter.logInfo("Mod package written: " + path);
    return true;
}
