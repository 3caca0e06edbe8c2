#include "framework/app_data.h"
#include "records_test_support.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

class FakeRecord : public SemanticRecord {
public:
    bool IsModified() const override { return modified; }
    void MarkModified() override { modified = true; }
    bool modified = false;
};

// Runs sem over the field values as one run: start, one field event each, end.
void RunSemantic(TSemantics& sem, std::uint8_t sub, std::vector<std::vector<std::uint8_t>>& fields,
                 FakeRecord* rec = nullptr) {
    sem.Evaluate(kSemRunStart, sub, {});
    for (auto& field : fields) {
        sem.CurRec = rec;
        sem.Evaluate(kSemFieldValue, sub, field);
    }
    sem.Evaluate(kSemRunEnd, sub, {});
}

class SemanticsTest : public test::RecordsTest {
protected:
    SemValueCell cell_;
    TScanObjColl scan_;
    FakeRecord record_;
};

TEST_F(SemanticsTest, AggregatesOverARun) {
    const auto two = test::LeBytes(2), minusFive = test::LeBytes(-5);
    const struct {
        std::unique_ptr<TGetFceSem> sem;
        std::uint8_t fce;
        std::vector<std::vector<std::uint8_t>> fields;
        std::uint32_t start;
        std::uint32_t result;
        bool found;
    } cases[] = {
        {std::make_unique<TByteGetFceSem>(), kFceMax, {{7}, {255}, {3}}, 0, 255, true},
        {std::make_unique<TByteGetFceSem>(), kFceMin, {{7}, {255}, {3}}, 0, 3, true},
        {std::make_unique<TByteGetFceSem>(), kFceSum, {{7}, {255}, {3}}, 0, 265, true},
        {std::make_unique<TByteGetFceSem>(), kFceAnd, {{7}, {255}, {3}}, 0xFFFF, 3, true},
        {std::make_unique<TByteGetFceSem>(), kFceOr, {{4}, {1}}, 0, 5, true},
        {std::make_unique<TByteGetFceSem>(), kFceMaxBelowTop, {{7}, {255}, {3}}, 0, 7, true},
        {std::make_unique<TByteGetFceSem>(), kFceEqual, {{7}, {3}}, 3, 3, true},
        {std::make_unique<TByteGetFceSem>(), kFceEqual, {{7}}, 3, 3, false},
        {std::make_unique<TWordGetFceSem>(), kFceMax, {{0x34, 0x12}, {0xFF, 0x00}}, 0, 0x1234, true},
        {std::make_unique<TLIntGetFceSem>(), kFceMin, {two, minusFive}, 0, 0xFFFFFFFB, true},
        {std::make_unique<TLIntGetFceSem>(), kFceMax, {minusFive, two}, 0, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sem->ClassName() << " " << int{c.fce} << " " << c.result);
        auto fields = c.fields;
        SemValueCell cell;
        cell.W = static_cast<std::uint16_t>(c.start);
        cell.L = c.start;
        c.sem->FceCode = c.fce;
        c.sem->Cell = &cell;
        RunSemantic(*c.sem, kSemTest, fields);
        EXPECT_EQ(dynamic_cast<TLIntGetFceSem*>(c.sem.get()) ? cell.L : cell.W, c.result);
        EXPECT_EQ(c.sem->Found, c.found);
    }
}

TEST_F(SemanticsTest, WritingMarksTheRecordOnlyOnAChange) {
    TPStrGetFceSem text;
    text.Cell = &cell_;
    cell_.Text = "abcdef";
    std::vector<std::vector<std::uint8_t>> fields{{3, 'x', 'y', 'z'}};
    RunSemantic(text, kSemWrite, fields, &record_);
    EXPECT_TRUE(record_.modified);
    record_.modified = false;
    RunSemantic(text, kSemWrite, fields, &record_);
    EXPECT_FALSE(record_.modified);
    EXPECT_EQ(fields[0], (std::vector<std::uint8_t>{3, 'a', 'b', 'c'}));
}

TEST_F(SemanticsTest, ScansCollectTheRecordsThatPass) {
    const struct {
        std::uint8_t valKind;
        std::uint8_t cmpOp;
        std::vector<std::uint8_t> cellField;
        std::vector<std::vector<std::uint8_t>> fields;
        int hits;
    } cases[] = {
        {1, 4, {5}, {{4}, {5}, {200}}, 1},
        {2, 2, {0, 0}, {{0xFF, 0xFF}, {1, 0}}, 1},
        {3, 2, {0, 0}, {{0xFF, 0xFF}, {1, 0}}, 0},
        {4, 5, {0, 0, 0, 0}, {{0, 0, 0, 0x80}, {1, 0, 0, 0}}, 1},
        {5, 5, {0, 0, 0, 0}, {{0, 0, 0, 0x80}, {1, 0, 0, 0}}, 2},
        {7, 1, {2, 'a', 'b'}, {{2, 'a', 'b'}, {1, 'a'}}, 1},
        {7, 2, {2, 'a', 'b'}, {{2, 'a', 'b'}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << int{c.valKind} << " " << int{c.cmpOp});
        TScanIfSem sem;
        TScanObjColl scan;
        sem.ValKind = c.valKind;
        sem.CmpOp = c.cmpOp;
        sem.Cell = &cell_;
        sem.ScanList = &scan;
        std::vector<std::vector<std::uint8_t>> cellField{c.cellField};
        RunSemantic(sem, kSemTake, cellField);
        auto fields = c.fields;
        RunSemantic(sem, kSemTest, fields, &record_);
        EXPECT_EQ(scan.Count(), c.hits);
    }

    TRefVUScanSem refs;
    refs.ScanList = &scan_;
    std::vector<std::vector<std::uint8_t>> values{{99, 0}, {105, 0}};
    RunSemantic(refs, kSemTest, values, &record_);
    ASSERT_EQ(scan_.Count(), 1);
    EXPECT_EQ(scan_.ItemAt(0)->W, 5);
    EXPECT_EQ(scan_.ItemAt(0)->Ref1, static_cast<void*>(static_cast<SemanticRecord*>(&record_)));
}

TEST_F(SemanticsTest, SortersEndSortedAfterTheRun) {
    TWordSorterSem words;
    words.ScanList = &scan_;
    std::vector<std::vector<std::uint8_t>> values{{0x2C, 0x01}, {5, 0}, {70, 0}};
    RunSemantic(words, kSemTest, values);
    ASSERT_EQ(scan_.Count(), 3);
    EXPECT_EQ(scan_.ItemAt(0)->W, 5);
    EXPECT_EQ(scan_.ItemAt(2)->W, 300);

    TScanObjColl texts;
    TAnsiStrSorterSem ansi;
    ansi.ScanList = &texts;
    std::vector<std::vector<std::uint8_t>> names{{'b', 0, 'z'}, {'A', 'x', 'y'}};
    RunSemantic(ansi, kSemTest, names);
    EXPECT_EQ(texts.ItemAt(0)->Text, "Axy");
    EXPECT_EQ(texts.ItemAt(1)->Text, "b");
}

TEST_F(SemanticsTest, TimeStampsAndRanges) {
    TTTCTimeSetSem stamp;
    stamp.OnlyModified = 1;
    std::vector<std::vector<std::uint8_t>> field{{0, 0, 0, 0}};
    RunSemantic(stamp, kSemWrite, field, &record_);
    EXPECT_EQ(field[0], std::vector<std::uint8_t>(4, 0));
    record_.modified = true;
    RunSemantic(stamp, kSemWrite, field, &record_);
    EXPECT_NE(field[0], std::vector<std::uint8_t>(4, 0));

    // Stamps compare by day, then by the afternoon flag, then by the seconds; both limits are in.
    TAcceptDWFSem accept;
    accept.AccKind = 2;
    accept.Low = (1u << 16) | 21;  // day 10, afternoon, 1 s
    accept.High = (9u << 16) | 22; // day 11, morning, 9 s
    const struct {
        std::uint32_t stamp;
        bool found;
    } stamps[] = {{(40000u << 16) | 20, false}, {(0u << 16) | 21, false}, {(1u << 16) | 21, true},
                  {(40000u << 16) | 21, true},  {(9u << 16) | 22, true},  {(10u << 16) | 22, false}};
    for (const auto& s : stamps) {
        std::vector<std::vector<std::uint8_t>> value{test::LeBytes(s.stamp)};
        RunSemantic(accept, kSemTest, value);
        EXPECT_EQ(accept.Found, s.found) << std::hex << s.stamp;
    }
}

TEST_F(SemanticsTest, IniValueFollowsTheRedirectedFile) {
    testing::AppIniFixture app(
        "[SECTIONS]\nRD_SECTION=RD\n[RD]\nA=1\n[REDIR]\nINIfileFN=other.ini\n[LOST]\nINIfileFN=no/such.ini\n");
    app.Dir().Write("other.ini", "[S]\nK=$2A\n");
    TDWAppINISetSem stored;
    stored.IniFileKey = "REDIR";
    stored.Section = "S";
    stored.KeyName = "K";
    auto loaded = test::LoadObject(test::StoreObject(&stored));
    auto& sem = dynamic_cast<TDWAppINISetSem&>(*loaded);
    EXPECT_EQ(sem.Value, 0x2Au);

    std::vector<std::vector<std::uint8_t>> field{{0x10, 0, 0, 0}};
    RunSemantic(sem, kSemSave, field);
    EXPECT_NE(app.Dir().Text("other.ini").find("K=$00000010"), std::string::npos);
    // A value that cannot be written is reported with the file's name.
    sem.IniFileKey = "LOST";
    test::AppErrorLog errors;
    RunSemantic(sem, kSemSave, field);
    ASSERT_EQ(errors.lines.size(), 1u);
    EXPECT_NE(errors.lines[0].find("no/such.ini"), std::string::npos) << errors.lines[0];

    TStrAppINISetSem text;
    text.MaxLen = 5;
    text.FmtKind = 3;
    text.Value = "n=%u!";
    text.Cell = &cell_;
    cell_.W = 0xFFFF;
    std::vector<std::vector<std::uint8_t>> textField{{0, 0, 0, 0, 0, 0, 0, 0}};
    RunSemantic(text, kSemWrite, textField, &record_);
    EXPECT_EQ(textField[0], (std::vector<std::uint8_t>{4, 'n', '=', '6', '5', 0, 0, 0}));
}

} // namespace
} // namespace ravlo
