#include "framework/keyword_lexer.h"
#include "framework/name_coll.h"
#include "framework/name_object.h"
#include "platform/exception.h"
#include "platform/ini_file.h"
#include "platform/presenter.h"
#include "support/app_fixtures.h"

#include <gmock/gmock.h>

namespace ravlo {
namespace {

using testing::AppIniFixture;
using testing::CapturedWriter;
using testing::CatchAppExit;
using testing::ExitCalled;

constexpr std::string_view kIni = "[SECTIONS]\r\n"
                                  "RD_SECTION=READ\r\n"
                                  "WR_SECTION=WRITE\r\n"
                                  "[READ]\r\n"
                                  "OBJ=UPD=1 ALL=1\r\n"
                                  "BAD=UPD=1 ALL=X UPD=0\r\n"
                                  "LBL=NAM='Board One' UPD=1\r\n"
                                  "BADLBL=NAM='x' BOGUS=1\r\n"
                                  "COLL=MAX=$10 UPD=2\r\n"
                                  "BADCOLL=PFX=ab MAX=1O UPD=1\r\n";

// A descendant with a keyword of its own, as the process labels and channels have.
class TTestLabel : public TNameObject {
public:
    using TNameObject::TNameObject;
    std::string_view ClassName() const override { return "TTestLabel"; }
    bool ParseKeyword(std::string_view keyword) override {
        if (LexKeyIndex(keyword, "NAM|") == 1) {
            Nam = LexGetStr();
            return false;
        }
        return TNameObject::ParseKeyword(keyword);
    }
    std::string ParamsToText() const override { return TNameObject::ParamsToText() + " NAM='" + Nam + "'"; }
    std::string Nam;
};

// The value of the key in the write section of the application INI.
std::string WrittenValue(std::string_view key) {
    return IniFile(AppIniName()).ReadString("WRITE", key, "<none>");
}

// The lines and the error lines a call writes on channel 0.
struct Written {
    std::vector<std::string> lines, errors;
};
template <class Call>
Written WrittenBy(Call call) {
    CapturedWriter writer;
    call();
    return {writer.Lines(), writer.Errors()};
}

TEST(NameObjectTest, KeywordsUpdRuleRangesTextsAndNames) {
    TNameObject object;
    const struct {
        const char* params;
        bool failed;
        int upd, all;
    } steps[] = {{"{ comment } UPD=1 ; ALL=1", false, 1, 0},
                 {"UPD=2", false, 1, 0},              // write-once cannot override write-every-time
                 {"UPD=0 UPD=2 all=-3", false, 2, 1}, // 0 always applies
                 {"UPD=300", true, 2, 1}, // a byte field refuses what a byte cannot hold; the value stays
                 {"UPD=-1", true, 2, 1},
                 {"UPD", true, 2, 1},
                 {"FOO=1", true, 2, 1},
                 {"UPDATE 0", false, 0, 1}}; // UPDATE is read as UPD
    for (const auto& s : steps) {
        EXPECT_EQ(object.ParseParams(s.params), s.failed) << s.params;
        EXPECT_EQ(std::pair(int{object.UPD}, int{object.ALL}), std::pair(s.upd, s.all)) << s.params;
    }
    EXPECT_EQ(TNameObject().ParamsToText(), "");
    EXPECT_EQ(object.ParamsToText(), " UPD=0 ALL=1");
    EXPECT_EQ(object.GetParamText("all"), "1");
    EXPECT_EQ(object.GetParamText("NAM"), std::nullopt);
    TNameObject copy; // what is written reads back
    EXPECT_FALSE(copy.ParseParams(object.ParamsToText()));
    EXPECT_EQ(copy.ALL, 1);
    EXPECT_FALSE(copy.ParseParams("{nothing}"));
    EXPECT_EQ(TNameObject("SL12").CompareName("sl1?"), 0);
    EXPECT_EQ(TNameObject("SL12").CompareName("SL2*"), -1);
    EXPECT_EQ(TNameObject(std::string(40, 'N')).Name, std::string(32, 'N'));
}

TEST(NameObjectTest, ReadsItsKeyAfterConstructionAndReportsReadErrors) {
    AppIniFixture app(kIni);
    std::unique_ptr<TTestLabel> label;
    EXPECT_TRUE(WrittenBy([&] { label = MakeNamed<TTestLabel>("LBL"); }).lines.empty());
    EXPECT_EQ(label->Nam, "Board One");
    EXPECT_EQ(label->UPD, 1);
    EXPECT_EQ(
        WrittenBy([&] { EXPECT_FALSE(label->ReadParamFromINI(true)); }).lines,
        std::vector<std::string>{"INIFile=" + PathText(AppIniName()) + "[READ],LBL=NAM='Board One' UPD=1"});
    EXPECT_EQ(WrittenBy([] { EXPECT_TRUE(TNameObject("NOPE").ReadInitialParams()); }).errors,
              std::vector<std::string>{"NOPE:TNameObject.ReadParamFromINI: chybi/prazdne entry NOPE="});
    // The failed keyword stops the parse; what came before it stays applied. The run-time class names
    // the object.
    TNameObject bad("BAD");
    EXPECT_EQ(WrittenBy([&] { EXPECT_TRUE(bad.ReadInitialParams()); }).errors,
              (std::vector<std::string>{"BAD:TNameObject.ReadParamFromINI: - chyba v zadani parametru:",
                                        "### UPD=1 ALL=X#"}));
    EXPECT_EQ(bad.UPD, 1);
    EXPECT_EQ(WrittenBy([] { EXPECT_EQ(MakeNamed<TTestLabel>("BADLBL")->Nam, "x"); }).errors,
              (std::vector<std::string>{"BADLBL:TTestLabel.ReadParamFromINI: - chyba v zadani parametru:",
                                        "### NAM='x' BOGUS#"}));
    // No name: nothing read, nothing reported.
    EXPECT_TRUE(WrittenBy([] { EXPECT_FALSE(TNameObject().ReadParamFromINI(true)); }).lines.empty());
}

TEST(NameObjectTest, WriteBackFollowsUpd) {
    AppIniFixture app(kIni);
    TTestLabel label("LBL");
    label.WriteParamToINI();
    EXPECT_EQ(WrittenValue("LBL"), "<none>");
    label.UPD = 1;
    label.Nam = "Two  Words";
    label.WriteParamToINI();
    EXPECT_EQ(WrittenValue("LBL"), "UPD=1 NAM='Two  Words'");
    // Write once: UPD drops to 0 before the text is made, and no second write follows.
    TNameObject once("ONCE");
    once.UPD = 2;
    once.WriteParamToINI();
    EXPECT_EQ(WrittenValue("ONCE"), "{nothing}");
    IniFile(AppIniName()).DeleteKey("WRITE", "ONCE");
    once.WriteParamToINI();
    EXPECT_EQ(WrittenValue("ONCE"), "<none>");
    EXPECT_EQ(IniFile(AppIniName()).ReadString("READ", "LBL"), "NAM='Board One' UPD=1"); // left alone
    // Without a write section nothing is written.
    AppIniFixture readOnly("[SECTIONS]\nRD_SECTION=READ\n[READ]\nOBJ=UPD=1\n");
    const std::string before = readOnly.Dir().Text("TEST.INI");
    const auto object = MakeNamed<TNameObject>("OBJ");
    ASSERT_EQ(object->UPD, 1);
    object->WriteParamToINI();
    EXPECT_EQ(readOnly.Dir().Text("TEST.INI"), before);
}

TEST(NameObjectTest, FailedIniCheckStopsTheProgram) {
    AppIniFixture app("[SECTIONS]\nRD_SECTION=NOWHERE\n");
    ScriptedPresenter presenter;
    presenter.QueueAnswer(IDOK);
    const ScopedPresenter usePresenter(presenter);
    const CatchAppExit catchExit;
    ::testing::internal::CaptureStderr();
    EXPECT_THAT([] { MakeNamed<TNameObject>("OBJ"); },
                ::testing::Throws<ExitCalled>(::testing::Field(&ExitCalled::code, kExitIniCheckFailed)));
    const std::string err = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(presenter.Boxes().size(), 1u);
    EXPECT_EQ(presenter.Boxes()[0].text, IniCheckText());
    EXPECT_EQ(presenter.Boxes()[0].flags, MB_ICONHAND | MB_OK);
    EXPECT_NE(err.find(IniCheckText()), std::string::npos) << err;
    // Unnamed objects and collections do not stop.
    EXPECT_NO_THROW(MakeNamed<TNameObject>(""));
    CapturedWriter writer;
    EXPECT_NO_THROW(MakeNamed<TNameColl>("COLL"));
}

TEST(NameCollTest, KeywordsAndTexts) {
    TNameColl coll;
    EXPECT_EQ(coll.ParamsToText(), " PFX=#SL MAX=-1");
    EXPECT_FALSE(coll.ParseParams("MAX=$10 pfx=ab" + std::string(40, 'c')));
    EXPECT_EQ(coll.PFX, "AB" + std::string(30, 'C'));
    EXPECT_TRUE(coll.ParseParams("MAX=1O UPD=1"));
    EXPECT_EQ(std::pair(coll.MAX, int{coll.UPD}), std::pair(16, 0));
    EXPECT_TRUE(coll.ParseParams("PFX="));         // a prefix without a value would not read back
    EXPECT_FALSE(coll.ParseParams("PFX=Q UPD=1")); // the UPD rules: NameObjectTest
    EXPECT_EQ(coll.ParamsToText(), " PFX=Q MAX=16 UPD=1");
    TNameColl copy;
    EXPECT_FALSE(copy.ParseParams(coll.ParamsToText()));
    EXPECT_EQ(copy.ParamsToText(), coll.ParamsToText());
}

TEST(NameCollTest, ReadingReportsButOnlyParseErrorsFail) {
    AppIniFixture app(kIni);
    std::unique_ptr<TNameColl> coll;
    EXPECT_TRUE(WrittenBy([&] { coll = MakeNamed<TNameColl>("COLL"); }).lines.empty());
    EXPECT_EQ(coll->MAX, 16);
    EXPECT_EQ(coll->UPD, 2);
    const Written missing = WrittenBy([] { EXPECT_FALSE(TNameColl("NOPE").ReadParamFromINI(true)); });
    EXPECT_EQ(missing.errors,
              std::vector<std::string>{"NOPE:TNameColl.ReadParamFromINI: chybi/prazdne entry NOPE="});
    ASSERT_EQ(missing.lines.size(), 2u);
    EXPECT_TRUE(missing.lines[1].ends_with("[READ],NOPE=")) << missing.lines[1];
    TNameColl bad("BADCOLL");
    EXPECT_EQ(WrittenBy([&] { EXPECT_TRUE(bad.ReadInitialParams()); }).errors,
              (std::vector<std::string>{"BADCOLL:TNameColl.ReadParamFromINI: - chyba v zadani parametru",
                                        "### PFX=ab MAX=1O#"}));
    EXPECT_EQ(bad.PFX, "AB");
}

TEST(NameCollTest, WriteOncePassesToItems) {
    AppIniFixture app(kIni);
    TNameColl coll("COLL");
    coll.MAX = 16;
    coll.Insert(std::make_unique<TNameObject>("ITEM0"));
    coll.Insert(std::make_unique<TNameObject>("ITEM1"));
    coll.NameItemAt(1)->UPD = 1;
    coll.WriteParamToINI();
    EXPECT_EQ(WrittenValue("COLL"), "<none>");
    coll.UPD = 2;
    coll.WriteParamToINI();
    EXPECT_EQ(WrittenValue("COLL"), "PFX=#SL MAX=16");
    EXPECT_EQ(WrittenValue("ITEM0"), "{nothing}");
    EXPECT_EQ(WrittenValue("ITEM1"), "UPD=1");
    EXPECT_EQ(std::pair(int{coll.UPD}, int{coll.NameItemAt(1)->UPD}), std::pair(0, 1));
}

TEST(NameObjectListTest, ObjectsEnterAndLeave) {
    const TNameObject before("EARLY");
    {
        TNameObjectList list("GlobalNameObjectList");
        EXPECT_EQ(TNameObjectList::Global(), &list);
        EXPECT_THROW(TNameObjectList("SECOND"), Exception);
        EXPECT_EQ(list.Count(), 0u);
        {
            const TNameObject a("SL1");
            const TNameObject b("MA");
            const TNameObject c("SL12");
            EXPECT_EQ(list.Count(), 3u);
            EXPECT_EQ(list.FindByMask("SL1?"), &c);
            EXPECT_EQ(list.FindByMask("ma"), &b);
            EXPECT_EQ(list.FindByMask("X*"), nullptr);
        }
        EXPECT_EQ(list.At(0), nullptr);
        auto late = std::make_unique<TNameObject>("LATE");
        EXPECT_EQ(list.At(0), late.get());
    }
    EXPECT_EQ(TNameObjectList::Global(), nullptr);
    const TNameObject after("AFTER"); // an object that outlives the list leaves nothing behind
}

} // namespace
} // namespace ravlo
