#include "framework/text_settings.h"
#include "platform/presenter.h"
#include "records/ttc_time.h"
#include "records_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

class IniciatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterRecordClasses();
        ResetTextFormatSettings();
    }

    // The initiator collection of every class (37 bytes of record).
    static std::unique_ptr<TRecIniciatorColl> EveryIniciator() {
        auto all = test::EveryRecordClass();
        return std::unique_ptr<TRecIniciatorColl>(
            dynamic_cast<TRecIniciatorColl*>(all->AtDelete(2).release()));
    }

    // b byte, w word, sw scaled word with 2 decimals, h four hex bytes.
    static std::unique_ptr<TRecIniciatorColl> Small() {
        auto inits = std::make_unique<TRecIniciatorColl>();
        inits->Add<TByteElIniciatorObj>("b")->Value = 0x11;
        inits->Add<TWordElIniciatorObj>("W")->Value = 0x2222;
        auto* scaled = inits->Add<TSpecWordElIniciatorObj>("sw");
        scaled->Value = 5;
        scaled->Decimals = 3;
        inits->Add<THexBuffElIniciatorObj>("h")->Bytes.assign(4, 0);
        return inits;
    }

    static Bytes Values(const TRecIniciatorColl& inits) {
        Bytes record(inits.GetIniciatorRecSize());
        EXPECT_TRUE(inits.AssignRecValues(record));
        return record;
    }

    HeadlessPresenter presenter_{[](std::string_view) {
    }};
    ScopedPresenter scoped_{presenter_};
    test::AppErrorLog errors_;
};

TEST_F(IniciatorTest, ExportedHeaderAndValuesImportToTheSameBytes) {
    const std::uint32_t stamp = *PackTTCTime({2080, 12, 31, 23, 59, 58});
    const TReal48 real = *DoubleToReal48(-1.5);
    Bytes record{0xA5, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF};
    const Bytes stampBytes = test::LeBytes(stamp);
    record.insert(record.end(), stampBytes.begin(), stampBytes.end());
    record.insert(record.end(), real.begin(), real.end());
    record.insert(record.end(), {3,    'a',  '_', 'b', 0, 0,    0x01, 0x80, 0xD2, 0x04,
                                 0xFB, 0xFF, 1,   0,   0, 0x80, 0x10, 0,    0xFF, 0});
    const struct {
        std::unique_ptr<TRecIniciatorColl> (*make)();
        Bytes record;
        std::string_view text;
    } cases[] = {
        {EveryIniciator, record,
         "['b';'w';'i';'t';'r';'s';'p';'sw';'ss';'sl';'h']($A5;$1234;$FFFFFFFE;31/12/2080 23:59:58;"
         "-1.50000000000000E+00;'a b';$8001;12.34;-0.5;$80000001;'1000FF')\r\n"},
        {[] { return std::make_unique<TRecIniciatorColl>(); }, {}, "[]()\r\n"},
    };
    for (const auto& c : cases) {
        MemoryStream out;
        TLexWriter writer(out, 1000);
        const auto exporter = c.make();
        exporter->ExportHeaderList(writer);
        ASSERT_TRUE(exporter->ExportRecordValue(c.record, writer));
        writer.WrFinish();
        EXPECT_EQ(std::string(out.Data().begin(), out.Data().end()), c.text);

        const auto importer = c.make();
        MemoryStream in(out.Data());
        TLexReader reader(in);
        bool changed = false;
        ASSERT_TRUE(importer->ImportHeaderListOK(reader) && importer->ImportHeaderValuesOK(reader, changed));
        EXPECT_EQ(changed, !c.record.empty()); // the database reference $8001
        EXPECT_EQ(Values(*importer), c.record);
    }
}

TEST_F(IniciatorTest, ImportsChangeNothingUnlessTheWholeTextReads) {
    const Bytes initial{0x11, 0x22, 0x22, 5, 0, 0, 0, 0, 0};
    const struct {
        std::string_view text;
        Bytes values;           // empty: as initial, and the import fails
        std::string_view error; // the end of the reader's message
    } cases[] = {
        {"['B';'sw';'w';'h'](1;12.34;$0003;'0A 0b')", {1, 3, 0, 0xD2, 0x04, 0x0A, 0x0B, 0, 0}, ""},
        {"['b';'q';'w']($01;'skip';$0003)", {1, 3, 0, 5, 0, 0, 0, 0, 0}, ""},
        {"['sw'](-1)", {0x11, 0x22, 0x22, 0, 0, 0, 0, 0, 0}, ""},
        {"['sw'](700)", {0x11, 0x22, 0x22, 0xFF, 0xFF, 0, 0, 0, 0}, ""},
        {"['b';'h']($01;'0102030405')", {}, "1:26 05"},
        {"['b';'h']($01;'01G2')", {}, " G"},
        {"['b';'w']($01)", {}, "';'  1:14"},
        {"['b';'w']($01;$0002;$03)", {}, "')'  1:20"},
        {"['b'] $01)", {}, "'('  1:7"},
        {"['b' 'w']", {}, "';'  1:6"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto inits = Small();
        MemoryStream in = test::TextStream(c.text);
        TLexReader reader(in);
        bool changed = false;
        const bool ok = inits->ImportHeaderListOK(reader) && inits->ImportHeaderValuesOK(reader, changed);
        EXPECT_EQ(ok, !c.values.empty());
        EXPECT_EQ(Values(*inits), c.values.empty() ? initial : c.values);
        EXPECT_TRUE(reader.ErrorText().ends_with(c.error)) << reader.ErrorText();
    }
}

TEST_F(IniciatorTest, CSVValuesAndHeader) {
    auto inits = std::make_unique<TRecIniciatorColl>();
    inits->Add<TDBPtrElIniciatorObj>("p")->Value = 0xFFFF;
    inits->Insert(Small()->AtDelete(0));
    inits->Insert(Small()->AtDelete(2));
    std::string header;
    inits->GetInicCollCSVHeaderStr(header);
    EXPECT_EQ(header, "\"p\";\"b\";\"sw\";");
    MemoryStream in = test::TextStream("$0010;$05;\r\n6.5;");
    TLexReader reader(in);
    bool changed = false;
    ASSERT_TRUE(inits->ImportRecordCSVValuesOK(reader, changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(Values(*inits), (Bytes{0x10, 0, 5, 0x8A, 0x02}));
}

TEST_F(IniciatorTest, NamesWidthsAndRecordLengths) {
    auto inits = Small();
    std::int32_t index = 0;
    std::string name;
    EXPECT_TRUE(inits->TestUniqueHeaderNames(index, name, 10));
    EXPECT_EQ(index, -1);
    inits->Add<TByteElIniciatorObj>("w");
    EXPECT_FALSE(inits->TestUniqueHeaderNames(index, name, 10));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(name, "W");
    inits->DefineHeaderEl("w");
    inits->DefineHeaderEl("none");
    EXPECT_EQ(*inits->HeaderList, (std::vector<std::int32_t>{1, -1}));

    Bytes wrong(5, 0xEE);
    EXPECT_FALSE(inits->AssignRecValues(wrong));
    EXPECT_EQ(wrong, Bytes(5, 0xEE));
    MemoryStream out;
    TLexWriter writer(out);
    EXPECT_FALSE(inits->ExportRecordValue(wrong, writer));
    EXPECT_EQ(writer.Line(), "");
    EXPECT_EQ(errors_.lines,
              (std::vector<std::string>{"# TRecIniciatorColl.AssignRecValues RecLng=5<> 10",
                                        "# TRecIniciatorColl.ExportRecordValue RecLng=5<> 10"}));

    TPStrElIniciatorObj text;
    text.Text = "abcdef";
    const std::pair<std::uint8_t, Bytes> sized[] = {
        {5, {4, 'a', 'b', 'c', 'd'}}, {1, {0, 0xEE, 0xEE, 0xEE, 0xEE}}, {0, Bytes(5, 0xEE)}};
    for (const auto& [size, expected] : sized) {
        text.Size = size;
        Bytes element(5, 0xEE);
        text.AssignValue(std::span(element).first(size));
        EXPECT_EQ(element, expected) << int{size};
    }
}

} // namespace
} // namespace ravlo
