// Hostile, truncated and corrupt archives: nothing is written outside the
// target directory, refused entries are named in the report, damage fails the
// command with a report, never a crash.
#include "archive_fixture.h"

using namespace archive_test;

namespace {

// Builds an archive from entries "f|name|data", "l|name|target" (symbolic
// link), "h|name|target" (hard link); OUT in a name stands for the outside
// directory. ZIP for names ending in .zip, else gzip-TAR. Every entry holding
// "evil" must be refused.
const char* const make_script = R"(
import io, sys, tarfile, zipfile
path, outside = sys.argv[1], sys.argv[2]
entries = [a.replace('OUT', outside).split('|', 2) for a in sys.argv[3:]]
if path.endswith('.zip'):
    z = zipfile.ZipFile(path, 'w')
    for kind, name, data in entries:
        i = zipfile.ZipInfo(name)
        if kind == 'l':
            i.create_system = 3
            i.external_attr = 0o120777 << 16
        z.writestr(i, data)
else:
    t = tarfile.open(path, 'w:gz', format=tarfile.GNU_FORMAT)
    for kind, name, data in entries:
        i = tarfile.TarInfo(name)
        if kind == 'f':
            i.size = len(data)
            t.addfile(i, io.BytesIO(data.encode()))
        else:
            i.type = tarfile.SYMTYPE if kind == 'l' else tarfile.LNKTYPE
            i.linkname = data
            t.addfile(i)
)";

struct Hostile { const char* label; const char* archive; std::vector<std::string> entries; };

class HostileArchive : public ArchiveTest, public ::testing::WithParamInterface<Hostile> {
protected:
    void make(const std::string& archive, const std::vector<std::string>& entries)
    {
        std::ofstream(at("make.py")) << make_script;
        std::string command = "python3 '" + at("make.py") + "' '" + at(archive) + "' '" + at("outside") + "'";
        for (const std::string& e : entries)
            command += " '" + e + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
};

TEST_P(HostileArchive, WritesNothingOutsideAndNamesWhatItSkipped)
{
    if (!have_python())
        GTEST_SKIP() << "python3 is not installed";
    write_file(at("outside/victim.txt"), "safe", 1600000000);
    make(GetParam().archive, GetParam().entries);
    const auto outside = tree_of(at("outside"));

    const bool zip = std::string(GetParam().archive).ends_with(".zip");
    const Answer a = zip ? call_component("unzip32.dll", "UnZip", "-x \"" + at(GetParam().archive) + "\" \"" + at("target") + "\\\"")
                         : call_component("tar32.dll", "Tar", "-x -f \"" + at(GetParam().archive) + "\" -o \"" + at("target") + "\\\"");
    EXPECT_EQ(a.code, 0x8003) << a.report;
    EXPECT_NE(a.report.find("skipped ("), std::string::npos) << a.report;
    EXPECT_EQ(archiver_for(GetParam().archive)->extract_all(at(GetParam().archive).c_str(), at("target2").c_str()), 0);
    EXPECT_EQ(tree_of(at("outside")), outside);
    EXPECT_EQ(tree_of(at("target")), tree_of(at("target2")));
    const unsigned long evil = crc32(0, reinterpret_cast<const Bytef*>("evil"), 4);
    for (const auto& [name, f] : tree_of(at("target")))
        EXPECT_NE(f.crc, evil) << name << ": a refused entry was written";
}

const Hostile hostile[] = {
    {"DotDot", "a.zip", {"f|../outside/evil.txt|evil"}},
    {"Backslashes", "a.zip", {"f|..\\outside\\evil.txt|evil", "f|ok.txt|fine"}},
    {"AbsolutePath", "a.tgz", {"f|OUT/abs.txt|evil"}},
    {"DriveLetter", "a.zip", {"f|C:/evil.txt|evil"}},
    {"LinkOutThenThroughIt", "a.tgz", {"l|link|../outside", "f|link/evil.txt|fine"}},
    {"AbsoluteLinkInZip", "a.zip", {"l|link|OUT", "f|link/evil.txt|fine"}},
    {"LinkOutThenSameName", "a.tgz", {"l|victim.txt|../outside/victim.txt", "f|victim.txt|fine"}},
    {"InnerLinkThenSameName", "a.tgz", {"f|inside.txt|good", "l|same|inside.txt", "f|same|evil"}},
    {"InnerDirLinkThenThroughIt", "a.tgz", {"f|d/x|good", "l|dl|d", "f|dl/x|evil"}},
    {"HardLinkOut", "a.tgz", {"h|hard|../outside/victim.txt"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, HostileArchive, ::testing::ValuesIn(hostile),
                         [](const auto& info) { return std::string(info.param.label); });

// Links inside the tree are replaced, not refused, when an archive is
// extracted a second time.
TEST_F(HostileArchive, ExtractingTwiceReplacesInnerLinks)
{
    if (!have_python())
        GTEST_SKIP() << "python3 is not installed";
    make("a.tgz", {"f|d/x|good", "l|dl|d", "l|fl|d/x"});
    for (int round = 0; round < 2; ++round)
        EXPECT_EQ(archiver_for("a.tgz")->extract_all(at("a.tgz").c_str(), at("target").c_str()), 1) << round;
    EXPECT_EQ(fs::read_symlink(at("target/fl")), "d/x");
}

// Truncated and overwritten archives of each format fail with a report.
TEST_F(ArchiveTest, DamagedArchivesFailWithAReport)
{
    write_file(at("src/data.bin"), generated_bytes(400000, 5), 1600000000);
    write_file(at("src/b.txt"), generated_bytes(1000, 6), 1600000000);
    struct Case { const char *name, *dll, *prefix, *extract; } cases[] = {{"a.zip", "unzip32.dll", "UnZip", "-x \"%s\" \"%s\\\""},
                 {"a.tgz", "tar32.dll", "Tar", "-x -f \"%s\" -o \"%s\\\""}};
    for (const Case& c : cases) {
        for (int damage = 0; damage < 3; ++damage) {
            ASSERT_EQ(archiver_for(c.name)->add(at(c.name).c_str(), at("src").c_str()), 1);
            const auto size = fs::file_size(at(c.name));
            if (damage == 0) {
                fs::resize_file(at(c.name), size / 2);
            } else {
                std::fstream f(at(c.name), std::ios::in | std::ios::out | std::ios::binary);
                f.seekp(static_cast<std::streamoff>(damage == 1 ? size * 2 / 5 : 0));
                f.write("\x13\x37\xde\xad\xbe\xef\x00\xff\x13\x37\xde\xad\xbe\xef\x00\xff", 16);
            }
            char line[1024];
            std::snprintf(line, sizeof line, c.extract, at(c.name).c_str(), at("out").c_str());
            const Answer a = call_component(c.dll, c.prefix, line);
            EXPECT_NE(a.code, 0) << c.name << " damage " << damage;
            EXPECT_NE(a.report.find("error: "), std::string::npos) << a.report;
            EXPECT_EQ(archiver_for(c.name)->extract_all(at(c.name).c_str(), at("out").c_str()), 0);
            EXPECT_EQ(archiver_for(c.name)->check_archive(at(c.name).c_str(), CHECKARCHIVE_FULLCRC), 0);
            EXPECT_EQ(archiver_for(c.name)->open_archive(nullptr, at(c.name).c_str(), 0), nullptr);
            fs::remove(at(c.name));
        }
    }
}

}  // namespace
