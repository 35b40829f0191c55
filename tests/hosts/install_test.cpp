// `cmake --install` of this build into a staging folder, as a package build
// does: every file where the screensaver hosts look for it, nothing else, and
// the host files valid for the tools that read them.

#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "process.h"

namespace {

const std::string kSourceDir = GLIMMERFALL_SOURCE_DIR;
const std::string kBinaryDir = GLIMMERFALL_BINARY_DIR;

struct InstalledFile {
    const char* path;    // below the staging folder
    const char* source;  // the file it must equal, relative to the build or source folder
    bool fromBuild;
    bool executable;
};

const InstalledFile kFiles[] = {
    {"usr/bin/glimmerfall", "glimmerfall", true, true},
    {"usr/libexec/xscreensaver/glimmerfall", "glimmerfall", true, true},
    {"usr/share/xscreensaver/config/glimmerfall.xml", "data/glimmerfall.xml", false, false},
    {"usr/share/applications/screensavers/glimmerfall.desktop", "data/glimmerfall.desktop", false, false},
    {"usr/share/icons/hicolor/16x16/apps/glimmerfall.png", "data/icons/hicolor/16x16/apps/glimmerfall.png", false,
     false},
    {"usr/share/icons/hicolor/32x32/apps/glimmerfall.png", "data/icons/hicolor/32x32/apps/glimmerfall.png", false,
     false},
    {"usr/share/icons/hicolor/64x64/apps/glimmerfall.png", "data/icons/hicolor/64x64/apps/glimmerfall.png", false,
     false},
    {"usr/share/man/man6/glimmerfall.6", "data/glimmerfall.6", false, false},
};

std::string quote(const std::string& text)
{
    return "'" + text + "'";
}

using testsupport::readFile;

class Install : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(stageDir.made());
        stage = stageDir.path();
        int status = -1;
        const std::string log = testsupport::shell("DESTDIR=" + quote(stage) + " " + quote(CMAKE_COMMAND)
                                                       + " --install " + quote(kBinaryDir) + " --prefix /usr 2>&1",
                                                   &status);
        ASSERT_EQ(status, 0) << log;
    }
    std::string installed(const char* path) const { return stage + "/" + path; }

    // A tool's verdict on an installed file: its output, and 0 in *status when it is content.
    std::string check(const std::string& command, const char* path, int* status) const
    {
        return testsupport::shell(command + " " + quote(installed(path)) + " 2>&1", status);
    }

    testsupport::TempDir stageDir{"gf-install"};
    std::string stage;
};

TEST_F(Install, LaysOutEveryFileAndNothingElse)
{
    std::set<std::string> expected;
    for (const InstalledFile& f : kFiles) {
        expected.insert(f.path);
        const std::string source = (f.fromBuild ? kBinaryDir : kSourceDir) + "/" + f.source;
        struct stat st {};
        ASSERT_EQ(stat(installed(f.path).c_str(), &st), 0) << f.path << " is missing";
        EXPECT_EQ(readFile(installed(f.path)), readFile(source)) << f.path << " differs from " << f.source;
        EXPECT_EQ((st.st_mode & S_IXUSR) != 0, f.executable) << f.path;
        EXPECT_EQ(st.st_mode & (S_IWGRP | S_IWOTH), 0u) << f.path << " is writable by others";
    }
    std::set<std::string> found;
    std::istringstream listing(testsupport::shell("cd " + quote(stage) + " && find . -type f -printf '%P\\n'"));
    for (std::string line; std::getline(listing, line);)
        found.insert(line);
    EXPECT_EQ(found, expected);
}

TEST_F(Install, HostFilesAreValidAndNameTheRootRun)
{
    const char* const xml = "usr/share/xscreensaver/config/glimmerfall.xml";
    const char* const desktop = "usr/share/applications/screensavers/glimmerfall.desktop";
    int status = -1;
    std::string output = check("xmllint --noout", xml, &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "");
    output = check("desktop-file-validate --no-hints", desktop, &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "") << "no warnings either";

    // What XScreenSaver's and Xfce's settings read from the XML.
    const struct {
        const char* xpath;
        const char* value;
    } kXmlFacts[] = {
        {"string(/screensaver/@name)", "glimmerfall"},
        {"string(/screensaver/@_label)", "Glimmerfall"},
        {"string(/screensaver/@gl)", "yes"},
        {"string(/screensaver/command/@arg)", "--root"},
        {"count(/screensaver/*)", "2"},  // the command and the description: no options
        {"boolean(normalize-space(/screensaver/_description))", "true"},
    };
    for (const auto& fact : kXmlFacts) {
        std::string value = check(std::string("xmllint --xpath '") + fact.xpath + "'", xml, &status);
        value.erase(value.find_last_not_of('\n') + 1);  // some versions end the value with a new line
        EXPECT_EQ(value, fact.value) << fact.xpath;
    }

    const std::string entry = readFile(installed(desktop));
    for (const char* line : {"\nName=Glimmerfall\n", "\nExec=glimmerfall --root\n", "\nTryExec=glimmerfall\n",
                             "\nIcon=glimmerfall\n", "\nCategories=Screensaver;\n", "\nType=Application\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << "missing" << line;
    EXPECT_NE(entry.find("\nComment="), std::string::npos);
}

TEST_F(Install, ManualPageFormatsWithoutWarnings)
{
    int status = -1;
    const std::string output = check("groff -man -ww -z", "usr/share/man/man6/glimmerfall.6", &status);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "");
}

}  // namespace
