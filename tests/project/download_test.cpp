#include "platform/file_time.h"
#include "platform/message_box_flags.h"
#include "project/download.h"
#include "project/freshness.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_globals.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

constexpr std::string_view kChangedQuestion =
    "Memory map changed. Recommended Generation! \r\nDownload anyway?";
constexpr std::string_view kOldFilesQuestion =
    "Some of .BIN files has different time, it could be old!\rGeneration is recommended. Download anyway?";

// Takes every block the download hands over.
class FakeBoard final : public TBoardDownloader {
public:
    struct Write {
        TSegOfsPtr address;
        std::vector<std::uint8_t> data;
        std::string name;
    };

    bool WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                        std::string_view shownName) override {
        writes.push_back({address, std::move(data), std::string(shownName)});
        return accept;
    }

    std::vector<Write> writes;
    bool accept = true;
};

class DownloadTest : public ProjectTest {
protected:
    void Generated() { romNames_ = OpenGeneratedRomModules(); }
    void Touch(const std::string& module) {
        WriteFileWriteTime(File(module + ".BIN"), FileTime{ExeFileTime.ns + 2'000'000'000});
    }

    std::vector<std::string> romNames_;
    FakeBoard board_;
};

TEST_F(DownloadTest, FreshBinFilesGoToTheBoardModuleByModuleAlsoFromASmallProject) {
    Generated();
    ASSERT_TRUE(DownloadProject(board_));
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    ASSERT_EQ(board_.writes.size(), romNames_.size());
    for (std::size_t i = 0; i < romNames_.size(); ++i) {
        const FakeBoard::Write& write = board_.writes[i];
        EXPECT_EQ(write.name, romNames_[i] + ".BIN");
        EXPECT_EQ(write.address, MakeFarPtr(0, Module(romNames_[i]).Address));
        const std::string file = dir_.Text(romNames_[i] + ".BIN");
        EXPECT_EQ(write.data, std::vector<std::uint8_t>(file.begin(), file.end()));
    }
    // A write the board refuses stops the download.
    board_.writes.clear();
    board_.accept = false;
    EXPECT_FALSE(DownloadProject(board_));
    EXPECT_EQ(board_.writes.size(), 1U);

    // The .MEM is stamped with the executable's time, as the .BIN files were.
    ASSERT_TRUE(WriteMemFile());
    ResetProjectModel();
    ProjectType = TProjectType::Small;
    ExeFileTime = FileTime{};
    ASSERT_TRUE(ReadMemFile());
    board_.writes.clear();
    board_.accept = true;
    presenter_.Clear();
    ASSERT_TRUE(DownloadProject(board_));
    EXPECT_TRUE(presenter_.Boxes().empty()) << presenter_.Texts().front();
    EXPECT_EQ(board_.writes.size(), romNames_.size());
    EXPECT_EQ(Module(romNames_[0]).ModuleLength, board_.writes[0].data.size());
}

TEST_F(DownloadTest, FreshnessFollowsTheExecutablesTime) {
    Generated();
    for (const std::string& name : romNames_) {
        Module(name).ModuleLength = 0;
        EXPECT_FALSE(IsBinOutdated(Module(name))) << name;
        EXPECT_EQ(Module(name).ModuleLength, dir_.Text(name + ".BIN").size());
    }
    EXPECT_FALSE(IsBinOutdated(Module("RAM")));
    tModule irom("IROM", 0x2000, 0x1000); // its code travels inside INITCODE: no file of its own
    irom.Insert(std::make_unique<tModUnit>(MUnitT::CodeInDataSeg, "Graph", 0x10, 0, 0x10));
    EXPECT_FALSE(IsBinOutdated(irom));
    Touch(romNames_[0]);
    EXPECT_TRUE(IsBinOutdated(Module(romNames_[0])));
    std::filesystem::remove(File(romNames_[1] + ".BIN"));
    EXPECT_TRUE(IsBinOutdated(Module(romNames_[1])));
}

TEST_F(DownloadTest, AChangedDesignOrOldFilesAreAskedAboutOnce) {
    Generated();
    for (const bool changed : {true, false}) {
        ProjectModel().Modules->Changed = changed;
        if (!changed) {
            for (const std::string& name : romNames_) {
                Touch(name);
            }
        }
        const std::string_view question = changed ? kChangedQuestion : kOldFilesQuestion;
        board_.writes.clear();
        presenter_.Clear();
        presenter_.Answer(IDNO);
        presenter_.Answer(IDYES);
        EXPECT_FALSE(DownloadProject(board_));
        EXPECT_TRUE(board_.writes.empty());
        EXPECT_TRUE(DownloadProject(board_));
        EXPECT_EQ(presenter_.Texts(), std::vector<std::string>(2, std::string(question)));
        EXPECT_EQ(presenter_.Boxes()[0].flags & MB_TYPEMASK, MB_YESNO);
        EXPECT_EQ(board_.writes.size(), romNames_.size());
    }
}

TEST_F(DownloadTest, NothingIsSentWithoutProjectWithUnplacedUnitsOrWithAMissingOrBrokenBin) {
    EXPECT_FALSE(DownloadProject(board_));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"At first select project."});
    Generated();
    const std::string last = romNames_.back() + ".BIN";
    std::string bytes = dir_.Text(last);
    bytes[20] = static_cast<char>(bytes[20] + 1);
    std::filesystem::remove(File(last));
    EXPECT_FALSE(DownloadProject(board_));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Can't open file: " + File(last).string()});

    dir_.Write(last, bytes);
    WriteFileWriteTime(File(last), ExeFileTime);
    presenter_.Clear();
    EXPECT_FALSE(DownloadProject(board_));
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_NE(presenter_.Texts()[0].find("is no ROM image"), std::string::npos) << presenter_.Texts()[0];

    tModule& ram = Module("RAM");
    ASSERT_TRUE(MoveUnit(ram, ram.UnitByName("Heap"), *ProjectModel().Unplaced));
    presenter_.Clear();
    EXPECT_FALSE(DownloadProject(board_));
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Some unit(s) not placed."});
    EXPECT_TRUE(board_.writes.empty());
}

} // namespace
} // namespace ravlo
