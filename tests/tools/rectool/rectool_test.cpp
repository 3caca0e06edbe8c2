#include "records/par_rec_data.h"
#include "records/real48.h"
#include "records/record_container.h"
#include "records/records_test_support.h"
#include "rectool/demo_records.h"
#include "rectool/rectool.h"
#include "support/scratch_dir.h"

#include <sstream>

namespace ravlo {
namespace {

// The containers a case starts from: the demo; its parameter record 0/1 with a stamp beyond 2080
// and a real beyond 1E38, or with line ends and the end-of-data byte in its label; a record type
// whose field grew after the type's size was stored.
enum class Start { Demo, Unreadable, Lines, Broken };

// Where record 0/1's elements lie.
constexpr std::size_t kLabelAt = 7;
constexpr std::size_t kRatioAt = 15;
constexpr std::size_t kSinceAt = 21;

class RectoolTest : public test::RecordsTest {
protected:
    void Make(Start start) {
        const std::unique_ptr<TDBColl> dataBases = rectool::BuildDemoRecords();
        const std::span<std::uint8_t> rec(AppParRecData()->GetParRecObjPtr(0, 1)->DscrRecPtr);
        if (start == Start::Unreadable) {
            PutLE(rec, kSinceAt, 0xFFFFFFFFu);
            PutBytes(rec, *DoubleToReal48(1.5e38), kRatioAt);
        } else if (start == Start::Lines) {
            PutBytes(rec, std::vector<std::uint8_t>{5, 'a', '\n', 'b', 26, '\r', 0, 0}, kLabelAt);
        } else if (start == Start::Broken) {
            AppRecTypesDscrColl()->ItemAt(0)->ItemAt(2)->Size = 300;
        }
        SaveRecordContainerFile(dir_ / "in", dataBases.get());
        ResetAppExtension();
    }

    // The exit code and what the command wrote, out and err together.
    std::pair<int, std::string> Run(std::vector<std::string> args) {
        for (std::string& arg : args) {
            arg = arg == "IN" ? (dir_ / "in").string() : arg == "OUT" ? (dir_ / "out").string() : arg;
        }
        std::ostringstream out;
        std::ostringstream err;
        const int code = rectool::RunRectool(args, out, err);
        return {code, out.str() + err.str()};
    }

    testing::ScratchDir dir_;
};

TEST_F(RectoolTest, CommandsTellTheTruthAndRefusalsLeaveTheFile) {
    const struct {
        Start start;
        std::vector<std::string> args;
        int exit;
        std::string_view shows;
        // What `export IN 0 1` shows afterwards; empty: the file is as it was.
        std::string_view exported;
    } cases[] = {
        {Start::Unreadable,
         {"check", "IN"},
         1,
         "0/1 'Ramp down': the value of 'since' does not read back",
         ""},
        {Start::Unreadable, {"check", "IN"}, 1, "the value of 'ratio' does not read back", ""},
        {Start::Unreadable, {"import", "IN", "0", "1", "['step'](9)"}, 0, "", "($09;"},
        {Start::Unreadable,
         {"import", "IN", "0", "1", "['since'](1/1/2024 6:00:00)"},
         0,
         "",
         "01/01/2024 06:00:00)"},
        {Start::Demo, {"import", "IN", "0", "1", "{new step} ['step'](9)"}, 0, "", "($09;"},
        {Start::Demo,
         {"import", "IN", "0", "1", "($01;$0002;3;'x';1;1/1/2024)"},
         0,
         "",
         "($01;$0002;$00000003;'x';"},
        {Start::Demo, {"import", "IN", "0", "1", "['label']('a'#10'b')"}, 0, "", ";'a'#10'b';"},
        {Start::Lines, {"import", "IN", "0", "1", "{export}"}, 0, "", ""},
        {Start::Demo, {"import", "IN", "0", "1", "['step'](9) ;"}, 1, "1:13 text after the values", ""},
        {Start::Demo, {"import", "IN", "0", "1", "['stepp'](9)"}, 1, "1:8 unknown column 'stepp'", ""},
        {Start::Demo,
         {"import", "IN", "0", "1", "['label']('8 chars!')"},
         1,
         "text of 8 characters <0;7>",
         ""},
        {Start::Broken, {"import", "IN", "0", "0", "['step'](9)"}, 1, "not saved", ""},
        {Start::Broken, {"resave", "IN", "OUT"}, 1, "finding(s) while loading; not saved", ""},
        {Start::Broken, {"render", "IN"}, 1, "DscrRecSize=$0016<>$0136", ""},
        {Start::Broken, {"recipe", "IN"}, 1, "RecSize=$0016<>$0136", ""},
        {Start::Demo, {"render", "--form", "csv", "IN"}, 0, "Scaled:     1.23;", ""},
        {Start::Demo, {"check", "--form=win", "IN"}, 2, "'check' takes no --form", ""},
        {Start::Demo, {"export", "IN", "abc", "0"}, 2, "DE and LA are numbers", ""},
        {Start::Demo, {"ttc", "unpack", "$FFFFFFFF"}, 1, "outside the packed range", ""},
        {Start::Demo, {"ttc", "unpack", "$FFFG"}, 2, "no hex number", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        Make(c.start);
        std::vector<std::string> args = c.args;
        if (args.back() == "{export}") {
            args.back() = Run({"export", "IN", "0", "1"}).second;
        }
        const std::string before = dir_.Text("in");
        const auto [exit, shown] = Run(args);
        EXPECT_EQ(exit, c.exit) << shown;
        EXPECT_NE(shown.find(c.shows), std::string::npos) << shown;
        if (c.exported.empty()) {
            EXPECT_EQ(dir_.Text("in"), before);
        } else {
            EXPECT_NE(Run({"export", "IN", "0", "1"}).second.find(c.exported), std::string::npos);
        }
        EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
    }

    // A damaged type's size grows no record: the devices keep their stored bytes.
    Make(Start::Broken);
    test::AppErrorLog errors;
    const std::unique_ptr<TDBColl> dataBases = LoadRecordContainerFile(dir_ / "in");
    EXPECT_EQ(dataBases->ItemAt(0)->ItemAt(0)->Data().size(), 22u);
}

} // namespace
} // namespace ravlo
