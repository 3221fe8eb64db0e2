// The archive bridge: choice of archiver by extension, binding, run and its
// report buffer, refused command lines and options, version texts, the write
// time after add, and self-extracting archives refused.
#include "archive_fixture.h"

using namespace archive_test;

namespace {

TEST_F(ArchiveTest, ChoosesTheArchiverByExtension)
{
    EXPECT_NE(dynamic_cast<TarArchiver*>(archiver_for("backup.TGZ")), nullptr);
    EXPECT_NE(dynamic_cast<TarArchiver*>(archiver_for("x.tar.gz")), nullptr);
    EXPECT_NE(dynamic_cast<TarArchiver*>(archiver_for("old.Z")), nullptr);
    EXPECT_NE(dynamic_cast<ZipArchiver*>(archiver_for("a.Zip")), nullptr);
    EXPECT_EQ(archiver_for("data.rar"), nullptr);
    EXPECT_EQ(archiver_for(nullptr), nullptr);
    EXPECT_EQ(archiver_for("a.zip"), archiver_for("b.ZIP")) << "one archiver per format";
}

TEST_F(ArchiveTest, ExtractingAMissingArchiveSucceedsWithoutACommand)
{
    for (const char* name : {"missing.zip", "missing.tgz"}) {
        ASSERT_NE(archiver_for(name), nullptr);
        EXPECT_EQ(archiver_for(name)->extract_all(at(name).c_str(), at("out").c_str()), 1);
    }
    EXPECT_TRUE(statuses().empty());
    EXPECT_FALSE(fs::exists(at("out")));
}

TEST_F(ArchiveTest, ZipCreatesOnlyWithItsEngineBeside)
{
    fs::create_directories(at("components"));
    for (const char* dll : {"unzip32.dll", "zip32j.dll"})
        fs::create_symlink(bin_dir() + "/" + dll, at("components/") + dll);
    setenv("OSTREL_COMPONENT_DIR", at("components").c_str(), 1);
    write_file(at("src/a.txt"), "a", 1600000000);
    Archiver* zip = archiver_for("x.zip");
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip->can_create(), 0);
    EXPECT_EQ(zip->add(at("x.zip").c_str(), at("src").c_str()), 0);
    EXPECT_FALSE(fs::exists(at("x.zip")));

    fs::create_symlink(bin_dir() + "/zip32.dll", at("components/zip32.dll"));
    archiver_release_all();
    zip = archiver_for("x.zip");
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip->can_create(), 1);
    EXPECT_EQ(zip->add(at("x.zip").c_str(), at("src").c_str()), 1);
    EXPECT_TRUE(fs::exists(at("x.zip")));
}

TEST_F(ArchiveTest, RunWithoutASizeGivesTheComponent60000Bytes)
{
    if (!have_python())
        GTEST_SKIP() << "python3 is not installed";
    // A listing far longer than the default buffer: the traced report is cut to it.
    ASSERT_EQ(std::system(("python3 -c \"import zipfile; z = zipfile.ZipFile('" + at("long.zip") +
                           "', 'w'); [z.writestr('%04d' % i + 'n' * 90, '') for i in range(800)]\"")
                              .c_str()),
              0);
    Archiver* zip = archiver_for("long.zip");
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip->run(nullptr, 0, "-l \"%s\"", at("long.zip").c_str()), 1);
    EXPECT_EQ(traced().size(), static_cast<std::size_t>(ARCHIVE_REPORT_DEFAULT - 1));
    EXPECT_EQ(statuses(), (std::vector<std::string>{"UnZip", ""}));

    // A given size is the component's buffer; the copy keeps room for the terminator.
    char out[9];
    out[8] = '@';
    EXPECT_EQ(zip->run(out, 8, "-l \"%s\"", at("long.zip").c_str()), 1);
    EXPECT_EQ(std::strlen(out), 7u);
    EXPECT_EQ(out[8], '@');
}

TEST_F(ArchiveTest, RefusesLongCommandLinesAndUnknownOptions)
{
    const std::string long_name = at(std::string(600, 'n') + ".zip");
    Archiver* zip = archiver_for("a.zip");
    ASSERT_NE(zip, nullptr);
    EXPECT_EQ(zip->run(nullptr, 0, "-l \"%s\"", long_name.c_str()), 0);
    EXPECT_TRUE(statuses().empty()) << "the component was not called";

    struct Case { const char *dll, *prefix; std::string line, expected; } cases[] = {
        {"unzip32.dll", "UnZip", "-x " + long_name, "refused"},
        {"unzip32.dll", "UnZip", "-x -k --frob a.zip", "unknown option: -k --frob"},
        {"tar32.dll", "Tar", "-x -f", "needs a value"},
        {"tar32.dll", "Tar", "-x -f \"open.tgz", "quote"},
        {"tar32.dll", "Tar", "-c -x -f a.tgz", "one of -c, -x and -t"},
        {"zip32j.dll", "Zip", "-r a.zip", "nothing to add"},
    };
    for (const Case& c : cases) {
        const Answer a = call_component(c.dll, c.prefix, c.line);
        EXPECT_NE(a.code, 0) << c.line;
        EXPECT_NE(a.report.find(c.expected), std::string::npos) << a.report;
    }
    // The report never fills the caller's buffer to the last byte.
    EXPECT_EQ(call_component("unzip32.dll", "UnZip", "-x -k a.zip", 8).report.size(), 7u);
}

TEST_F(ArchiveTest, VersionTextsNameTheComponents)
{
    char text[ARCHIVE_VERSION_TEXT];
    ASSERT_EQ(archiver_for("a.zip")->version_text(text), 1);
    EXPECT_STREQ(text, "Zip unzip32.dll ver.1.00 and zip32j.dll ver.1.00");
    ASSERT_EQ(archiver_for("a.tgz")->version_text(text), 1);
    EXPECT_STREQ(text, "Tar tar32.dll ver.1.00");
    EXPECT_EQ(archiver_for("a.tgz")->dll_version(), 100);
}

TEST_F(ArchiveTest, SelfExtractingArchivesAreNotMade)
{
    for (const char* name : {"a.zip", "a.tgz"}) {
        traced().clear();
        EXPECT_EQ(archiver_for(name)->special(at(name).c_str()), 0);
        EXPECT_NE(traced().find("self-extracting archives are not made on this platform"),
                  std::string::npos);
    }
}

class WriteTimeAfterAdd : public ArchiveTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(WriteTimeAfterAdd, IsTheNewestOfTheSource)
{
    Archiver* a = archiver_for(GetParam());
    if (!a)
        GTEST_SKIP() << "no component for " << GetParam() << " in the build";
    make_tree(at("src"), 12, 0);
    const SYSTEMTIME newest = newest_write_time(at("src").c_str());
    ASSERT_EQ(a->add(at(GetParam()).c_str(), at("src").c_str()), 1);
    const SYSTEMTIME got = local_write_time(at(GetParam()).c_str());
    EXPECT_EQ(std::memcmp(&got, &newest, sizeof got), 0);
}
INSTANTIATE_TEST_SUITE_P(Formats, WriteTimeAfterAdd, ::testing::Values("t.tgz", "t.cab"),
                         [](const auto& info) { return std::string(info.param).substr(2); });

}  // namespace
