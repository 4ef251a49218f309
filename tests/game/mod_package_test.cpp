#include "game/mod_package.h"

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_context.h"

namespace {

struct ReadEntry {
    std::string name;
    bool folder = false;
    std::string content;
};

std::vector<ReadEntry> readPackage(const std::string& path) {
    std::vector<ReadEntry> entries;
    struct archive* reader = archive_read_new();
    archive_read_support_format_zip(reader);
    EXPECT_EQ(archive_read_open_filename(reader, path.c_str(), 10240), ARCHIVE_OK);
    struct archive_entry* entry = nullptr;
    while (archive_read_next_header(reader, &entry) == ARCHIVE_OK) {
        ReadEntry read{archive_entry_pathname(entry), archive_entry_filetype(entry) == AE_IFDIR, {}};
        char buffer[4096];
        for (la_ssize_t n; (n = archive_read_data(reader, buffer, sizeof buffer)) > 0;)
            read.content.append(buffer, n);
        entries.push_back(read);
    }
    archive_read_free(reader);
    return entries;
}

// The compression method of every local header.
std::vector<int> localHeaderMethods(const std::string& bytes) {
    std::vector<int> found;
    for (std::size_t at = 0; (at = bytes.find("PK\x03\x04", at)) != std::string::npos; at += 4)
        found.push_back(static_cast<unsigned char>(bytes[at + 8]) | static_cast<unsigned char>(bytes[at + 9])
                                                                        << 8);
    return found;
}

}  // namespace

TEST(ModPackage, StoredWithEveryFolderMetaFirstAndTheSameBytesEachTime) {
    TestContext t;
    writeFileText("a.xml", "<root/>");
    writeFileText("b.dds", std::string(100000, 'D'));
    writeFileText("empty", "");
    const ModPackageInfo info{"ravelin.atlases", "2.4.1.0 Common Test", "Ravelin & co", "3 <icons> replaced"};
    const std::vector<ModPackageFile> files = {{"gui/flash/atlases/a.xml", "a.xml"},
                                               {"gui/flash/atlases/b.dds", "b.dds"},
                                               {"gui/other/empty", "empty"}};
    ASSERT_TRUE(writeModPackage("one.wotmod", info, files, t.reporter));
    ASSERT_TRUE(writeModPackage("two.wotmod", info, files, t.reporter));
    const std::string bytes = readFileText("one.wotmod");
    EXPECT_EQ(bytes, readFileText("two.wotmod"));

    const std::string meta =
        "<root>\r\n  <id>ravelin.atlases</id>\r\n  <version>2.4.1.0 Common Test</version>\r\n"
        "  <name>Ravelin &amp; co</name>\r\n  <description>3 &lt;icons&gt; "
        "replaced</description>\r\n</root>\r\n";
    EXPECT_EQ(modPackageMetaXml(info), meta);
    const std::vector<ReadEntry> entries = readPackage("one.wotmod");
    const std::vector<std::pair<std::string, bool>> expected = {{"meta.xml", false},
                                                                {"res/", true},
                                                                {"res/gui/", true},
                                                                {"res/gui/flash/", true},
                                                                {"res/gui/flash/atlases/", true},
                                                                {"res/gui/flash/atlases/a.xml", false},
                                                                {"res/gui/flash/atlases/b.dds", false},
                                                                {"res/gui/other/", true},
                                                                {"res/gui/other/empty", false}};
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].name, expected[i].first);
        EXPECT_EQ(entries[i].folder, expected[i].second) << entries[i].name;
    }
    EXPECT_EQ(entries[0].content, meta);
    EXPECT_EQ(entries[6].content, std::string(100000, 'D'));
    EXPECT_EQ(localHeaderMethods(bytes), std::vector<int>(expected.size(), 0));  // all stored
    EXPECT_EQ(t.log.errorCount(), 0);

    // A source that cannot be read fails the package and keeps the previous one.
    EXPECT_FALSE(writeModPackage("one.wotmod", info, {{"gui/x", "missing"}}, t.reporter));
    EXPECT_EQ(readFileText("one.wotmod"), bytes);
    EXPECT_EQ(t.entries().back(), "ERROR: Can't put into the mod package: missing");
}
