#include "platform/ini_document.h"
#include "platform/ini_file.h"
#include "support/scratch_dir.h"

#include <climits>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;
using Names = std::vector<std::string>;

// A file as people write them: comments, blank lines, odd spacing, a line the format does not know.
constexpr std::string_view kSettings = "; settings of the test bench\r\n"
                                       "orphan=before any section\r\n"
                                       "\r\n"
                                       "[SECTIONS]\r\n"
                                       "RD_SECTION = BENCH   \r\n"
                                       "WR_SECTION=BENCH_WR\r\n"
                                       "\r\n"
                                       "[Bench]\r\n"
                                       "; the application object\r\n"
                                       "APP=DM $0003 THR=5 {drive}\r\n"
                                       "  COMM  =\t'COMPORTX'  NOD=255\r\n"
                                       "just some words\r\n"
                                       "APP=second copy\r\n"
                                       "\r\n"
                                       "[COM]\r\n"
                                       "Port=3\r\n";

TEST(IniDocument, RoundTripKeepsEveryByte) {
    const std::string_view unixStyle = "[a]\nx=1\n;c\n\n  odd line ]]\n[b]\ny=2"; // no final line end
    const std::string_view mixed = "[a]\r\nx=1\n\xE8\xF8=\x9E\r\n";
    for (const std::string_view text : {kSettings, unixStyle, mixed, std::string_view()}) {
        EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
    }
}

TEST(IniDocument, LookupsIgnoreCaseAndBlanksAndTheFirstOfEqualKeysWins) {
    const IniDocument ini = IniDocument::Parse(kSettings);
    EXPECT_EQ(ini.ReadString("sections", "rd_section", "-"), "BENCH");
    EXPECT_EQ(ini.ReadString(" BENCH ", "comm", "-"), "'COMPORTX'  NOD=255"); // quotes are kept
    EXPECT_EQ(ini.ReadString("bench", "Missing", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("nowhere", "APP", "fallback"), "fallback");
    EXPECT_EQ(ini.ReadString("BENCH", "APP", ""), "DM $0003 THR=5 {drive}");
    EXPECT_TRUE(ini.SectionExists("com"));
    EXPECT_FALSE(ini.SectionExists("COMM"));
    EXPECT_TRUE(ini.KeyExists("Com", "PORT"));
    // Comments and unknown lines are no keys; keys before any section belong to none.
    EXPECT_EQ(ini.KeyNames("bench"), (Names{"APP", "COMM"}));
    for (const auto& [section, key] : {std::pair{"BENCH", "; the application object"},
                                       {"BENCH", "just some words"},
                                       {"", "orphan"},
                                       {"SECTIONS", "orphan"}}) {
        EXPECT_FALSE(ini.KeyExists(section, key)) << key;
    }
    EXPECT_EQ(ini.SectionNames(), (Names{"SECTIONS", "Bench", "COM"}));

    // Accented capitals match their small letters in the code page.
    const IniDocument czech = IniDocument::Parse("[N\xC1ZEV]\n\x8Akoda=1\n");
    EXPECT_EQ(czech.ReadString("n\xE1zev", "\x9Akoda", ""), "1");

    // A section that comes twice is one section.
    const IniDocument twice = IniDocument::Parse("[A]\nk1 = v1\n[b]\nz=0\n[a]\nK1=again\nk2= v2 \n");
    EXPECT_EQ(twice.SectionNames(), (Names{"A", "b"}));
    EXPECT_EQ(twice.KeyNames("a"), (Names{"k1", "k2"}));
    EXPECT_EQ(twice.SectionLines("A"), (Names{"k1=v1", "K1=again", "k2=v2"}));
    EXPECT_EQ(twice.ReadString("a", "k2", ""), "v2");
}

TEST(IniDocument, IntegersTakeTheLeadingDigits) {
    const IniDocument ini =
        IniDocument::Parse("[n]\nplain=42\nunit=250 ms\nnegative=-7\nhex=$10\nword=abc\n"
                           "empty=\nhuge=99999999999999999999\ntiny=-99999999999999999999\n");
    const std::pair<const char*, int> cases[] = {{"plain", 42},  {"unit", 250},     {"negative", -7},
                                                 {"hex", 0},     {"word", 0},       {"empty", 5},
                                                 {"missing", 5}, {"huge", INT_MAX}, {"tiny", INT_MIN}};
    for (const auto& [key, value] : cases) {
        EXPECT_EQ(ini.ReadInteger("n", key, 5), value) << key;
    }
    EXPECT_TRUE(ini.ReadBool("n", "plain", false));
    EXPECT_FALSE(ini.ReadBool("n", "word", true));
    EXPECT_TRUE(ini.ReadBool("n", "missing", true));
}

TEST(IniDocument, WritesUpdateInPlaceOrAfterTheSectionsLastKeyOrInANewSection) {
    IniDocument ini = IniDocument::Parse(kSettings);
    ASSERT_TRUE(ini.WriteString("bench", "comm", "'COM2'"));
    ASSERT_TRUE(ini.WriteString("BENCH", "NEW", "1"));
    std::string expected(kSettings);
    expected.replace(expected.find("'COMPORTX'  NOD=255"), 19, "'COM2'"); // spelling and spacing survive
    expected.insert(expected.find("\r\n\r\n[COM]") + 2, "NEW=1\r\n");
    EXPECT_EQ(ini.Serialize(), expected);

    IniDocument comments = IniDocument::Parse("[E]\n; only a comment\n\n[F]\n");
    ASSERT_TRUE(comments.WriteString("e", "K", "v"));
    EXPECT_EQ(comments.Serialize(), "[E]\nK=v\n; only a comment\n\n[F]\n");

    IniDocument unended = IniDocument::Parse("[A]\nx=1"); // the last line has no line end
    ASSERT_TRUE(unended.WriteString("LASTPROJECTS", "P1", "C:\\PRJ\\DEMO.EXE"));
    EXPECT_EQ(unended.Serialize(), "[A]\nx=1\n\n[LASTPROJECTS]\nP1=C:\\PRJ\\DEMO.EXE\n");
    IniDocument fresh;
    ASSERT_TRUE(fresh.WriteString("COM", "Port", "1"));
    EXPECT_EQ(fresh.Serialize(), "[COM]\r\nPort=1\r\n");
    IniDocument twice = IniDocument::Parse("[RD]\nAPP= UPD=1\n"); // as the first write of " UPD=1" left it
    ASSERT_TRUE(twice.WriteString("RD", "APP", " UPD=1"));
    EXPECT_EQ(twice.Serialize(), "[RD]\nAPP= UPD=1\n") << "written again, the line stays as it was";
}

TEST(IniDocument, WritesThatWouldBreakTheFileAreRefusedAndDeletesTakeEveryCopy) {
    IniDocument ini = IniDocument::Parse(kSettings);
    for (const auto& [section, key, value] : {std::tuple{"BENCH", "APP", "one\r\n[EVIL]\r\nx=1"},
                                              {"BENCH", "A=B", "1"},
                                              {"BENCH", "", "1"},
                                              {"", "KEY", "1"},
                                              {"BAD]NAME", "KEY", "1"},
                                              {"BENCH", ";KEY", "1"}}) {
        EXPECT_FALSE(ini.WriteString(section, key, value)) << section << " " << key;
    }
    EXPECT_EQ(ini.Serialize(), kSettings);

    EXPECT_TRUE(ini.DeleteKey("bench", "app"));
    EXPECT_FALSE(ini.KeyExists("BENCH", "APP")); // the second copy went as well
    EXPECT_FALSE(ini.DeleteKey("bench", "app"));
    EXPECT_TRUE(ini.DeleteSection("Sections"));
    EXPECT_FALSE(ini.DeleteSection("Sections"));
    EXPECT_EQ(ini.Serialize(), "; settings of the test bench\r\norphan=before any section\r\n\r\n"
                               "[Bench]\r\n; the application object\r\n  COMM  =\t'COMPORTX'  NOD=255\r\n"
                               "just some words\r\n\r\n[COM]\r\nPort=3\r\n");
}

constexpr std::string_view kRtdw = "; shared settings\r\n[COM]\r\nPort=2\r\nBaud=9600\r\n";

TEST(IniFile, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    const ScratchDir dir;
    IniFile ini(dir / "RTDW.INI");
    EXPECT_FALSE(ini.Exists());
    EXPECT_EQ(ini.ReadString("COM", "Port", "1"), "1");
    EXPECT_TRUE(ini.SectionNames().empty());
    EXPECT_TRUE(ini.DeleteKey("COM", "Port"));
    EXPECT_FALSE(ini.Exists()); // nothing to delete, nothing written

    ASSERT_TRUE(ini.WriteInteger("COM", "Port", 3));
    EXPECT_EQ(dir.Read("RTDW.INI"), "[COM]\r\nPort=3\r\n");
    EXPECT_EQ(dir.Listing(), "RTDW.INI"); // no temporary file left behind
}

TEST(IniFile, TwoObjectsOnOneFileSeeEachOthersWritesAndDeletes) {
    const ScratchDir dir;
    dir.Write("RTDW.INI", kRtdw);
    IniFile first(dir / "RTDW.INI");
    IniFile second(dir / "RTDW.INI");
    ASSERT_TRUE(first.WriteString("IOACCESS", "A1", "$0300"));
    EXPECT_EQ(second.ReadString("ioaccess", "a1"), "$0300");
    ASSERT_TRUE(second.WriteBool("COM", "RTS", true));
    EXPECT_TRUE(first.ReadBool("COM", "RTS", false));
    EXPECT_EQ(first.ReadInteger("COM", "Baud", 0), 9600);
    EXPECT_EQ(dir.Read("RTDW.INI"),
              "; shared settings\r\n[COM]\r\nPort=2\r\nBaud=9600\r\nRTS=1\r\n\r\n[IOACCESS]\r\nA1=$0300\r\n");

    EXPECT_FALSE(first.WriteString("COM", "Port", "2\n[B]")); // a refused value is not written
    ASSERT_TRUE(first.DeleteKey("com", "BAUD"));
    ASSERT_TRUE(second.DeleteSection("ioaccess"));
    EXPECT_EQ(dir.Read("RTDW.INI"), "; shared settings\r\n[COM]\r\nPort=2\r\nRTS=1\r\n\r\n");
    EXPECT_EQ(first.SectionLines("COM"), (std::vector<std::string>{"Port=2", "RTS=1"}));
}

TEST(IniFile, KeepsPermissionsOfTheFile) {
    const ScratchDir dir;
    dir.Write("app.ini", "[A]\n");
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(dir / "app.ini", perms);
    ASSERT_TRUE(IniFile(dir / "app.ini").WriteString("A", "k", "v"));
    EXPECT_EQ(fs::status(dir / "app.ini").permissions(), perms);
}

TEST(IniFile, WriteThroughSymbolicLinkKeepsTheLinkAndAnUnreadableFileIsNeverOverwritten) {
    const ScratchDir dir;
    dir.Write("real.ini", "[A]\n");
    fs::create_symlink("real.ini", dir / "link.ini");
    ASSERT_TRUE(IniFile(dir / "link.ini").WriteString("A", "k", "v"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(dir.Read("real.ini"), "[A]\nk=v\n");

    fs::create_directory(dir / "app.ini"); // exists, but cannot be read as a file
    IniFile ini(dir / "app.ini");
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ini.ReadString("A", "k", "default"), "default");
    EXPECT_FALSE(ini.WriteString("A", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir / "app.ini"));
}

// The temporary file cannot be made (a read-only folder), or is made but cannot take all the bytes
// (the process's file size limit): the file and what is read stay as they were.
TEST(IniFile, FailedWritesLeaveTheFileAloneAndNoTrace) {
    ScratchDir dir;
    dir.Write("RTDW.INI", kRtdw);
    IniFile ini(dir / "RTDW.INI");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{kRtdw.size(), saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool written = ini.WriteString("COM", "Parity", "odd");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(dir.Read("RTDW.INI"), kRtdw);
    EXPECT_EQ(dir.Listing(), "RTDW.INI");

    if (!dir.MakeReadOnly()) {
        GTEST_SKIP() << "this file system cannot make a folder read-only for this user";
    }
    EXPECT_FALSE(ini.WriteString("COM", "Port", "4"));
    EXPECT_FALSE(ini.DeleteSection("COM"));
    EXPECT_EQ(dir.Read("RTDW.INI"), kRtdw);
    EXPECT_EQ(ini.ReadString("COM", "Port"), "2");
    EXPECT_EQ(dir.Listing(), "RTDW.INI");
}

} // namespace
} // namespace ravlo
