// The communication process over a pseudo-terminal against the board simulator: it opens the port,
// sends board frames through the real channel stack and reports what the board answers.
#include "protocol/board_answers.h"
#include "support/comm_rig.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace ravlo {
namespace {

using testing::CommLine;
using testing::CommRig;
using testing::Report;
using Codes = std::vector<std::uint16_t>;

constexpr std::uint8_t kPort = 7;

class CommVoksimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!voksim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs (build the target voksim)";
        }
    }
    void TearDown() override {
        rig.reset();
        EXPECT_EQ(voksim_.Stop(), 0) << "voksim ends cleanly on SIGTERM";
    }

    // Starts the simulator and the rig on its terminal as COM7.
    void Start(std::vector<std::string> args) {
        ASSERT_TRUE(voksim_.Start(kPort, args)) << "voksim did not start or named no terminal";
        rig.emplace("DWN=0", CommLine::Real);
    }

    // Sets the line, opens and connects.
    void Connect(std::uint32_t baud) {
        rig->PostChnParam(kPort, baud);
        rig->Post(RAVLOCOMM_MA_CrOpCo);
        ASSERT_TRUE(rig->RunUntil([this] { return rig->master->StateCodes().size() == 2; }));
        ASSERT_EQ(rig->master->StateCodes(), (Codes{MAS_0, MAS_Connected})) << Errors();
        EXPECT_EQ(ComOpenPort, kPort);
        EXPECT_EQ(ComBaud, baud);
    }

    // Sends a frame and waits for count reports of received frames.
    std::vector<Report> Exchange(const TVokFrame& frame, std::size_t count, std::uint8_t par1 = 0) {
        const std::size_t before = rig->master->Received().size();
        rig->PostTxD(TRavloCommFrameRec::ForFrame(frame), par1);
        rig->RunUntil([&] { return rig->master->Received().size() >= before + count; });
        const std::vector<Report> all = rig->master->Received();
        return {all.begin() + static_cast<std::ptrdiff_t>(before), all.end()};
    }

    void Disconnect() {
        rig->Post(RAVLOCOMM_MA_DiClDe);
        ASSERT_TRUE(rig->RunUntil([this] { return rig->master->StateCodes().back() == MAS_0; }));
        EXPECT_EQ(ComOpenPort, 0);
    }

    std::string Errors() const {
        std::ostringstream text;
        for (const std::string& line : rig->writer.Errors()) {
            text << line << "\n";
        }
        return text.str();
    }

    std::optional<CommRig> rig;

private:
    testing::VoksimOnCom voksim_;
};

std::uint8_t FrameType(const Report& report) {
    return report.Data.size() > TRavloCommFrameRec::kHeaderLen ? report.Data[TRavloCommFrameRec::kHeaderLen]
                                                               : 0;
}

std::span<const std::uint8_t> FrameOf(const Report& report) {
    return std::span<const std::uint8_t>(report.Data).subspan(TRavloCommFrameRec::kHeaderLen);
}

TEST_F(CommVoksimTest, RqstIsAnsweredWithTheBoardKind) {
    Start({"--no-throttle"});
    Connect(4800);

    const std::vector<Report> answers = Exchange(BuildBareFrame(ft_Rqst), 1, 0x21);
    ASSERT_EQ(answers.size(), 1u) << Errors();
    EXPECT_EQ(ParseRqstAnswer(FrameOf(answers[0])).Value(), DEV_Vok386);
    EXPECT_EQ(answers[0].Par2, 0x21);
    EXPECT_TRUE(rig->master->ErrorCodes().empty());
    EXPECT_EQ(rig->comm->Stat.OK, 1);
    EXPECT_EQ(rig->comm->Stat.r, 0);
    Disconnect();
}

TEST_F(CommVoksimTest, AMemoryReadIsAnsweredWithItsBytesAndTheEndFrame) {
    testing::ScratchDir dir;
    const std::vector<std::uint8_t> bytes = {0x10, 0x03, 0x10, 0x01, 0xAA, 0x55, 0x00, 0xFF,
                                             0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x10};
    const std::filesystem::path image = dir.Write("image.bin", std::string(bytes.begin(), bytes.end()));
    Start({"--no-throttle", "--board", "v40", "--baud", "9600", "--memory-in", image.string() + "@12340"});
    Connect(9600);

    EXPECT_EQ(ParseRqstAnswer(FrameOf(Exchange(BuildBareFrame(ft_Rqst), 1).at(0))).Value(), DEV_VokV40);
    // MemD answers the request; MemE arrives after it and is passed up while nothing is awaited.
    const std::vector<Report> answers = Exchange(BuildMemFrame(LinToFarPtr(0x12340), 16), 2);
    ASSERT_EQ(answers.size(), 2u) << Errors();
    const auto memD = ParseMemD(FrameOf(answers[0]));
    ASSERT_TRUE(memD.Ok());
    EXPECT_EQ(memD->Address, LinToFarPtr(0x12340));
    EXPECT_EQ(std::vector<std::uint8_t>(memD->Data.begin(), memD->Data.end()), bytes);
    EXPECT_EQ(FrameType(answers[1]), ft_MemE);
    Disconnect();
}

TEST_F(CommVoksimTest, AMuteBoardGetsTheFrameRepPlusOneTimesThenNoAnswerIsReported) {
    testing::ScratchDir dir;
    const std::filesystem::path trace = dir.Path() / "trace.txt";
    Start({"--no-throttle", "--baud", "19200", "--mute", "all", "--trace", trace.string()});
    Connect(19200);

    rig->PostTxD(TRavloCommFrameRec::ForFrame(BuildBareFrame(ft_Rqst)));
    ASSERT_TRUE(rig->RunUntil([this] { return !rig->master->ErrorCodes().empty(); }));
    EXPECT_EQ(rig->master->ErrorCodes(), (Codes{CommErr_NoAnswer}));
    EXPECT_EQ(rig->comm->Stat.r, 2);
    EXPECT_EQ(rig->comm->Stat.e, 1);
    EXPECT_TRUE(rig->master->Received().empty());
    Disconnect();

    std::istringstream lines(testing::ReadFileText(trace));
    int heard = 0;
    for (std::string line; std::getline(lines, line);) {
        heard += line.find("<- ") != std::string::npos && line.find("Rqst") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(heard, 3) << testing::ReadFileText(trace);
}

} // namespace
} // namespace ravlo
