#include "game/client_version.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/test_context.h"

namespace {

std::string versionFrom(TestContext& t, const std::string& config) {
    writeFileText("WoTLauncher.cfg", config);
    return readClientVersion(t.settings.wotInstallDir, t.reporter);
}

}  // namespace

TEST(ClientVersion, TakesTheFirstElementOnOneLineWithoutBlanksAround) {
    TestContext t;
    t.settings.wotInstallDir = t.directory.text();
    struct Case {
        const char* config;
        const char* expected;
    };
    const Case cases[] = {
        {"<info>\r\n  <client_ver>1.0.2.3</client_ver>\r\n</info>", "1.0.2.3"},
        {"  <CLIENT_VER>1.0</Client_Ver>", "1.0"},
        {"<client_ver> 1.24.1.0\t</client_ver>", "1.24.1.0"},
        {"<client_ver>2.4.1.0 Common Test</client_ver>", "2.4.1.0 Common Test"},
        {"<client_ver>first</client_ver>\n<client_ver>second</client_ver>", "first"},
        {"<client_ver>split\n</client_ver>", ""},
        {"</client_ver><client_ver>backwards", ""},
        {"<other>1</other>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        EXPECT_EQ(versionFrom(t, c.config), c.expected);
        EXPECT_EQ(t.entries().back(), std::string("Get game client version: ") + c.expected);
    }
    EXPECT_EQ(t.log.errorCount(), 0);
}

TEST(ClientVersion, MissingFileGivesTheEmptyTextAndOneError) {
    TestContext t;
    t.settings.wotInstallDir = t.directory.text() + "missing/";
    EXPECT_EQ(readClientVersion(t.settings.wotInstallDir, t.reporter), "");
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{"ERROR: Can't get the game version, insufficient rights?"}));
}

TEST(ClientVersion, TodaysClientsNameItInVersionXml) {
    TestContext t;
    t.settings.wotInstallDir = t.directory.text();
    const char* realdata = std::getenv("RAVELIN_REALDATA");
    const std::string versionXml =
        realdata && std::filesystem::exists(std::string(realdata) + "/WorldofTanks-Code-2.4.0.2-version.xml")
            ? readFileText(std::string(realdata) + "/WorldofTanks-Code-2.4.0.2-version.xml")
            : "<version.xml>\n\t<appname>\t#menu:login/version\t</appname>\n\t<version> v.2.4.0.2 #966 "
              "</version>\n";
    writeFileText("version.xml", versionXml);
    // No launcher configuration at all, then one without the element: version.xml answers, no error.
    EXPECT_EQ(readClientVersion(t.settings.wotInstallDir, t.reporter), "2.4.0.2");
    EXPECT_EQ(versionFrom(t, "<info><patch_info_urls/></info>"), "2.4.0.2");
    // The launcher configuration wins when it names a version.
    EXPECT_EQ(versionFrom(t, "<client_ver>1.20.0.0</client_ver>"), "1.20.0.0");
    EXPECT_EQ(t.log.errorCount(), 0);
    EXPECT_EQ(t.entries().front(), "Get game client version: 2.4.0.2");

    EXPECT_EQ(versionFromVersionElement("\tv.1.30.0.0 #1234\t"), "1.30.0.0");
    EXPECT_EQ(versionFromVersionElement("1.9"), "1.9");
    EXPECT_EQ(versionFromVersionElement("  "), "");
}

// The version becomes a folder name inside the game: anything that could lead elsewhere is refused where
// it is read, and shown escaped.
TEST(ClientVersion, UnusableVersionsAreRefused) {
    TestContext t;
    t.settings.wotInstallDir = t.directory.text();
    struct Case {
        std::string config;
        std::string shown;
    };
    const Case cases[] = {
        {"<client_ver>../../../../../../tmp/x</client_ver>", "../../../../../../tmp/x"},
        {"<client_ver>..</client_ver>", ".."},
        {"<client_ver>1.0/../../x</client_ver>", "1.0/../../x"},
        {"<client_ver>C:\\x</client_ver>", "C:\\x"},
        {"<client_ver>.hidden</client_ver>", ".hidden"},
        {"<client_ver>1.0\x1b]0;owned\x07\xc2\x9b</client_ver>", "1.0\\x1B]0;owned\\x07\\u009B"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.config);
        EXPECT_EQ(versionFrom(t, c.config), "");
        EXPECT_EQ(t.entries().back(), "ERROR: Unusable game version: '" + c.shown + "'");
    }
    std::filesystem::remove("WoTLauncher.cfg");
    writeFileText("version.xml", "<version> v.../../x #1 </version>");
    EXPECT_EQ(readClientVersion(t.settings.wotInstallDir, t.reporter), "");
    EXPECT_EQ(t.entries().back(), "ERROR: Unusable game version: '../../x'");
}

#ifndef _WIN32  // FIFOs and device links
TEST(ClientVersion, OnlyRegularFilesOfModestSizeAreRead) {
    TestContext t;
    t.settings.wotInstallDir = t.directory.text();
    ASSERT_EQ(::mkfifo("WoTLauncher.cfg", 0644), 0);
    std::filesystem::create_symlink("/dev/zero", "version.xml");
    EXPECT_EQ(readClientVersion(t.settings.wotInstallDir, t.reporter), "");  // returns instead of hanging
    std::filesystem::remove("WoTLauncher.cfg");
    writeFileText("WoTLauncher.cfg", "<client_ver>1.0</client_ver>" + std::string(1 << 20, ' '));
    EXPECT_EQ(readClientVersion(t.settings.wotInstallDir, t.reporter), "");
    EXPECT_EQ(t.entries().back(), "ERROR: Can't get the game version, insufficient rights?");
}
#endif
