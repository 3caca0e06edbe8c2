#include "framework/keyword_lexer.h"
#include "framework/name_coll.h"
#include "framework/name_object.h"
#include "platform/exception.h"
#include "platform/ini_file.h"
#include "platform/presenter.h"
#include "support/app_fixtures.h"

#include <gtest/gtest.h>

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

TEST(NameObjectTest, KeywordsUpdRuleAndRanges) {
    TNameObject object;
    EXPECT_FALSE(object.ParseParams("{ comment } UPD=1 ; ALL=1"));
    EXPECT_EQ(object.UPD, 1);
    EXPECT_EQ(object.ALL, 0);

    // Write-once cannot override write-every-time; 0 always applies.
    EXPECT_FALSE(object.ParseParams("UPD=2"));
    EXPECT_EQ(object.UPD, 1);
    EXPECT_FALSE(object.ParseParams("UPD=0 UPD=2 all=-3"));
    EXPECT_EQ(object.UPD, 2);
    EXPECT_EQ(object.ALL, 1);

    // A byte field refuses what a byte cannot hold, and the value stays.
    EXPECT_TRUE(object.ParseParams("UPD=300"));
    EXPECT_EQ(object.UPD, 2);
    EXPECT_TRUE(object.ParseParams("UPD=-1"));
    EXPECT_TRUE(object.ParseParams("UPD"));
    EXPECT_TRUE(object.ParseParams("FOO=1"));
    // UPDATE is read as UPD.
    EXPECT_FALSE(object.ParseParams("UPDATE 0"));
    EXPECT_EQ(object.UPD, 0);
}

TEST(NameObjectTest, ParamTextsReadBackAndNamesMatchMasks) {
    TNameObject object("X");
    EXPECT_EQ(object.ParamsToText(), "");
    object.UPD = 1;
    EXPECT_EQ(object.ParamsToText(), " UPD=1");
    object.ALL = 1;
    EXPECT_EQ(object.ParamsToText(), " UPD=1 ALL=1");
    object.UPD = 0;
    EXPECT_EQ(object.ParamsToText(), " UPD=0 ALL=1");
    EXPECT_EQ(object.GetParamText("all"), "1");
    EXPECT_EQ(object.GetParamText("UPD"), "0");
    EXPECT_EQ(object.GetParamText("NAM"), std::nullopt);
    // What is written reads back to the same settings.
    TNameObject copy;
    EXPECT_FALSE(copy.ParseParams(object.ParamsToText()));
    EXPECT_EQ(copy.ALL, 1);
    EXPECT_FALSE(copy.ParseParams("{nothing}"));

    const TNameObject named("SL12");
    EXPECT_EQ(named.CompareName("SL*"), 0);
    EXPECT_EQ(named.CompareName("sl1?"), 0);
    EXPECT_EQ(named.CompareName("SL2*"), -1);
    const TNameObject longName(std::string(40, 'N'));
    EXPECT_EQ(longName.Name, std::string(32, 'N'));
    EXPECT_EQ(longName.GetName(), longName.Name);
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
    EXPECT_EQ(label.UPD, 1);

    // Write once: UPD drops to 0 before the text is made, and no second write follows.
    TNameObject once("ONCE");
    once.UPD = 2;
    once.WriteParamToINI();
    EXPECT_EQ(once.UPD, 0);
    EXPECT_EQ(WrittenValue("ONCE"), "{nothing}");
    IniFile(AppIniName()).DeleteKey("WRITE", "ONCE");
    once.WriteParamToINI();
    EXPECT_EQ(WrittenValue("ONCE"), "<none>");
    // The read section is left as it was.
    EXPECT_EQ(IniFile(AppIniName()).ReadString("READ", "LBL"), "NAM='Board One' UPD=1");
}

TEST(NameObjectTest, NoWriteSectionWritesNothing) {
    AppIniFixture app("[SECTIONS]\nRD_SECTION=READ\n[READ]\nOBJ=UPD=1\n");
    const std::string before = app.Dir().Text("TEST.INI");
    const auto object = MakeNamed<TNameObject>("OBJ");
    ASSERT_EQ(object->UPD, 1);
    object->WriteParamToINI();
    EXPECT_EQ(app.Dir().Text("TEST.INI"), before);
}

TEST(NameObjectTest, FailedIniCheckStopsTheProgram) {
    AppIniFixture app("[SECTIONS]\nRD_SECTION=NOWHERE\n");
    ASSERT_FALSE(IniCheckText().empty());
    ScriptedPresenter presenter;
    presenter.QueueAnswer(IDOK);
    const ScopedPresenter usePresenter(presenter);
    const CatchAppExit catchExit;

    ::testing::internal::CaptureStderr();
    int code = 0;
    try {
        MakeNamed<TNameObject>("OBJ");
    } catch (const ExitCalled& exit) {
        code = exit.code;
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, kExitIniCheckFailed);
    ASSERT_EQ(presenter.Boxes().size(), 1u);
    EXPECT_EQ(presenter.Boxes()[0].text, IniCheckText());
    EXPECT_EQ(presenter.Boxes()[0].flags, MB_ICONHAND | MB_OK);
    EXPECT_NE(err.find(IniCheckText()), std::string::npos) << err;
    EXPECT_TRUE(presenter.Faults().empty());

    // Unnamed objects and collections do not stop.
    EXPECT_NO_THROW(MakeNamed<TNameObject>(""));
    CapturedWriter writer;
    EXPECT_NO_THROW(MakeNamed<TNameColl>("COLL"));
}

TEST(NameCollTest, KeywordsAndTexts) {
    TNameColl coll;
    EXPECT_EQ(coll.ParamsToText(), " PFX=#SL MAX=-1");
    EXPECT_FALSE(coll.ParseParams(""));
    EXPECT_FALSE(coll.ParseParams("MAX=$10 pfx=ab" + std::string(40, 'c')));
    EXPECT_EQ(coll.MAX, 16);
    EXPECT_EQ(coll.PFX, "AB" + std::string(30, 'C'));
    EXPECT_TRUE(coll.ParseParams("MAX=1O UPD=1"));
    EXPECT_EQ(coll.MAX, 16);
    EXPECT_EQ(coll.UPD, 0);
    // A prefix without a value would not read back.
    EXPECT_TRUE(coll.ParseParams("PFX="));
    EXPECT_TRUE(coll.ParseParams("UPD=256"));
    EXPECT_FALSE(coll.ParseParams("PFX=Q UPD=1 UPD=2"));
    EXPECT_EQ(coll.UPD, 1);
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
    auto fresh = std::make_unique<TNameObject>("ITEM0");
    auto always = std::make_unique<TNameObject>("ITEM1");
    always->UPD = 1;
    TNameObject* freshItem = fresh.get();
    coll.Insert(std::move(fresh));
    coll.Insert(std::move(always));

    coll.WriteParamToINI();
    EXPECT_EQ(WrittenValue("COLL"), "<none>");

    coll.UPD = 2;
    coll.WriteParamToINI();
    EXPECT_EQ(coll.UPD, 0);
    EXPECT_EQ(WrittenValue("COLL"), "PFX=#SL MAX=16");
    EXPECT_EQ(WrittenValue("ITEM0"), "{nothing}");
    EXPECT_EQ(freshItem->UPD, 0);
    EXPECT_EQ(WrittenValue("ITEM1"), "UPD=1");
    EXPECT_EQ(coll.NameItemAt(1)->UPD, 1);
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
        EXPECT_EQ(list.Count(), 0u);
        EXPECT_EQ(list.At(0), nullptr);
        auto late = std::make_unique<TNameObject>("LATE");
        EXPECT_EQ(list.At(0), late.get());
    }
    EXPECT_EQ(TNameObjectList::Global(), nullptr);
    // An object that outlives the list leaves nothing behind.
    const TNameObject after("AFTER");
}

} // namespace
} // namespace ravlo
