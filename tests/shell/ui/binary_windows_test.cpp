// The binary write and read windows on the offscreen platform before a fake board: what they show
// of what was typed and chosen, and what they ask the board to write or read.
#include "framework/number_text.h"
#include "framework/ui/file_dialog_answer.h"
#include "framework/ui/qt_test_app.h"
#include "framework/ui/tr_main_form.h"
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/ui/reader_form.h"
#include "shell/ui/writer_form.h"
#include "support/box_recorder.h"
#include "support/fake_board_memory.h"
#include "support/scratch_dir.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace ravlo {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// A window of the main form, as the menu opens it; the run's kept values start as at program start.
class BinaryWindowsTest : public ::testing::Test {
protected:
    BinaryWindowsTest() {
        LastWriteAddr() = MakeFarPtr(0x0000, 0xC800);
        ReadSettings() = {};
        main_.resize(900, 600);
        main_.show();
    }
    ~BinaryWindowsTest() override {
        LastWriteAddr() = MakeFarPtr(0x0000, 0xC800);
        ReadSettings() = {};
    }

    template <class Window>
    Window& Open() {
        auto* window = new Window(board_);
        main_.AddMdiChild(window);
        return *window;
    }
    QString Text(const QWidget& window, const char* name) const {
        if (const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name))) {
            return label->text();
        }
        if (const auto* combo = window.findChild<QComboBox*>(QString::fromLatin1(name))) {
            return combo->currentText();
        }
        return testing::Child<QLineEdit>(window, name).text();
    }
    void Type(QWidget& window, const char* name, const QString& text) {
        if (auto* combo = window.findChild<QComboBox*>(QString::fromLatin1(name))) {
            combo->setEditText(text);
            emit combo->lineEdit()->editingFinished();
            return;
        }
        auto& edit = testing::Child<QLineEdit>(window, name);
        edit.setText(text);
        emit edit.textEdited(text);
    }
    // The button closes its window, which goes.
    void ClosesWith(QWidget& window, const char* button) {
        const QPointer<QWidget> form(&window);
        testing::ClickButton(window, button);
        EXPECT_TRUE(testing::ProcessEventsUntil([&form] { return form.isNull(); })) << button;
    }

    testing::BoxRecorder boxes_;
    testing::FakeBoardMemory board_;
    testing::ScratchDir dir_;
    TTrMainForm main_;
};

TEST_F(BinaryWindowsTest, TheWriterFillsTheBlockWithTheValueOfItsChoice) {
    struct Case {
        const char* radio;
        std::uint8_t fill;
    };
    for (const Case& c : {Case{"rbEmpty", 0x00}, Case{"rbFull", 0xFF}, Case{"rbUser", 0xA5}}) {
        SCOPED_TRACE(c.radio);
        TfWriter& writer = Open<TfWriter>();
        EXPECT_EQ(Text(writer, "cbAddress"), QStringLiteral("$C800:0000"));
        EXPECT_EQ(Text(writer, "edLength"), QStringLiteral("$100"));
        testing::Child<QRadioButton>(writer, c.radio).click();
        EXPECT_EQ(testing::Child<QLineEdit>(writer, "edUserVal").isEnabled(), c.fill == 0xA5)
            << "for the user's value only";
        EXPECT_FALSE(testing::Child<QLineEdit>(writer, "edFileName").isEnabled());
        Type(writer, "edUserVal", QStringLiteral("$A5"));
        Type(writer, "edLength", QStringLiteral("10"));
        Type(writer, "cbAddress", QStringLiteral("D000:0010"));
        testing::ClickButton(writer, "btWrite");
        ASSERT_EQ(board_.Calls.size(), 1U);
        EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0010, 0xD000));
        EXPECT_EQ(board_.Calls[0].Data, Bytes(16, c.fill));
        EXPECT_EQ(board_.Calls[0].Name, "< WHOLE BLOCK WITH $" + HexB(c.fill) + " >");
        board_.Calls.clear();
        LastWriteAddr() = MakeFarPtr(0x0000, 0xC800);
        ClosesWith(writer, "btClose");
    }
    EXPECT_TRUE(boxes_.texts.empty());
}

// "Specified file:" without a file asks for one first; the file's size becomes the length.
TEST_F(BinaryWindowsTest, TheWriterWritesTheFileChosenFromItsStart) {
    const fs::path file = dir_.Write("code.bin", "ABCDE");
    TfWriter& writer = Open<TfWriter>();
    {
        testing::FileDialogAnswer answer(file);
        testing::Child<QRadioButton>(writer, "rbSpecified").click();
        EXPECT_TRUE(answer.Acted());
    }
    EXPECT_TRUE(testing::Child<QRadioButton>(writer, "rbSpecified").isChecked());
    EXPECT_EQ(Text(writer, "edFileName"), QString::fromStdString(file.string()));
    EXPECT_TRUE(testing::Child<QLineEdit>(writer, "edFileName").isEnabled());
    EXPECT_FALSE(testing::Child<QLineEdit>(writer, "edUserVal").isEnabled());
    EXPECT_EQ(Text(writer, "edLength"), QStringLiteral("$00000005"));
    Type(writer, "edLength", QStringLiteral("6"));
    testing::ClickButton(writer, "btWrite");
    EXPECT_EQ(boxes_.Take(), "Length must not be higher that File size!");
    Type(writer, "edLength", QStringLiteral("3"));
    testing::ClickButton(writer, "btWrite");
    ASSERT_EQ(board_.Calls.size(), 1U);
    EXPECT_EQ(board_.Calls[0].Data, (Bytes{'A', 'B', 'C'}));
    EXPECT_EQ(board_.Calls[0].Name, file.string());
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0000, 0xC800));

    // Browsed again: the other file's size.
    const fs::path other = dir_.Write("other.bin", std::string(0x1234, 'x'));
    testing::FileDialogAnswer answer(other);
    testing::ClickButton(writer, "btBrowse");
    EXPECT_EQ(Text(writer, "edLength"), QStringLiteral("$00001234"));
    EXPECT_EQ(Text(writer, "edFileName"), QString::fromStdString(other.string()));
}

// A refused write names what is wrong and keeps the window's texts as typed.
TEST_F(BinaryWindowsTest, TheWriterRefusesWhatItCannotWrite) {
    struct Case {
        const char* length;
        const char* address;
        const char* userVal;
        std::string box;
    };
    const Case cases[] = {
        {"0", "C800:0000", "$EE", "Incorrect size format!"},
        {"10", "C800:10000", "$EE", "Incorrect address format!"},
        {"$10001", "F000:0000", "$EE", "Exceed 1MB space!"},
        {"10", "C800:0000", "$100", "Incorrect user value!"},
    };
    TfWriter& writer = Open<TfWriter>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        Type(writer, "edLength", QString::fromLatin1(c.length));
        Type(writer, "cbAddress", QString::fromLatin1(c.address));
        Type(writer, "edUserVal", QString::fromLatin1(c.userVal));
        testing::ClickButton(writer, "btWrite");
        EXPECT_EQ(boxes_.Take(), c.box);
        EXPECT_EQ(Text(writer, "edLength"), QString::fromLatin1(c.length));
        EXPECT_EQ(Text(writer, "cbAddress"), QString::fromLatin1(c.address));
    }
    EXPECT_TRUE(board_.Calls.empty());
    // Below the BIOS's data only when the user says so.
    Type(writer, "edUserVal", QStringLiteral("0"));
    Type(writer, "cbAddress", QStringLiteral("03FF:0000"));
    boxes_.answers = {IDNO, IDYES};
    testing::ClickButton(writer, "btWrite");
    EXPECT_TRUE(board_.Calls.empty());
    testing::ClickButton(writer, "btWrite");
    ASSERT_EQ(board_.Calls.size(), 1U);
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0000, 0x03FF));
}

TEST_F(BinaryWindowsTest, TheReaderShowsItsRangeAndKeepsItInsideTheAddressSpace) {
    TfReader& reader = Open<TfReader>();
    const auto shown = [&] {
        return std::vector<QString>{Text(reader, "cbStartAddress"), Text(reader, "edLength"),
                                    Text(reader, "lblLength2"), Text(reader, "lblReadRange")};
    };
    using Texts = std::vector<QString>;
    EXPECT_EQ(shown(),
              (Texts{"$C800:0000", "$18000", "= 98304 bytes", "(Read Range:  000C8000h to 000DFFFFh)"}));
    Type(reader, "cbStartAddress", QStringLiteral("E000:0000"));
    EXPECT_EQ(shown(),
              (Texts{"$E000:0000", "$18000", "= 98304 bytes", "(Read Range:  000E0000h to 000F7FFFh)"}));
    Type(reader, "cbStartAddress", QStringLiteral("F000:0000"));
    EXPECT_EQ(shown(),
              (Texts{"$F000:0000", "$10000", "= 65536 bytes", "(Read Range:  000F0000h to 000FFFFFh)"}));
    Type(reader, "edLength", QStringLiteral("$10001"));
    EXPECT_EQ(boxes_.Take(), "Incorrect Len size!") << "told while typing";
    EXPECT_EQ(Text(reader, "edLength"), QStringLiteral("$10000"));
    Type(reader, "edLength", QStringLiteral("$100"));
    EXPECT_EQ(shown(), (Texts{"$F000:0000", "$100", "= 256 bytes", "(Read Range:  000F0000h to 000F00FFh)"}));
    Type(reader, "cbStartAddress", QStringLiteral("nonsense"));
    EXPECT_EQ(boxes_.Take(), "Incorrect address!");
    EXPECT_EQ(Text(reader, "cbStartAddress"), QStringLiteral("$F000:0000"));
    EXPECT_TRUE(board_.Calls.empty());
}

TEST_F(BinaryWindowsTest, TheReaderReadsItsRangeIntoTheFileChosen) {
    const fs::path file = dir_.Path() / "dump.bin";
    TfReader& reader = Open<TfReader>();
    EXPECT_FALSE(testing::Child<QLineEdit>(reader, "edFileName").isEnabled());
    Type(reader, "cbStartAddress", QStringLiteral("$8000:0010"));
    Type(reader, "edLength", QStringLiteral("$20"));
    {
        testing::FileDialogAnswer answer(file);
        testing::ClickButton(reader, "btBrowse");
        EXPECT_TRUE(answer.Acted());
    }
    EXPECT_EQ(Text(reader, "edFileName"), QString::fromStdString(file.string()));
    testing::ClickButton(reader, "btRead");
    ASSERT_EQ(board_.Calls.size(), 1U);
    EXPECT_EQ(board_.Calls[0].Address, MakeFarPtr(0x0010, 0x8000));
    EXPECT_EQ(board_.Calls[0].Length, 0x20U);
    EXPECT_EQ(board_.Calls[0].Name, file.string());
    ClosesWith(reader, "btCancel");

    TfReader& again = Open<TfReader>();
    EXPECT_EQ(Text(again, "edFileName"), QString::fromStdString(file.string())) << "kept for the run";
    EXPECT_EQ(Text(again, "lblReadRange"), QStringLiteral("(Read Range:  00080010h to 0008002Fh)"));
}

// An address typed by keys stays as typed: a listed address it begins like ("$E8" of "$E800:0000")
// is offered in the list, never put in its place.
TEST_F(BinaryWindowsTest, AnAddressTypedStaysAsTypedInBothWindows) {
    const struct {
        bool reader;
        const char* typed;
        const char* range;
    } cases[] = {
        {false, "$E8", nullptr},
        {false, "$C80", nullptr},
        {true, "$E0", "(Read Range:  000000E0h to 000180DFh)"},
        {true, "$80", "(Read Range:  00000080h to 0001807Fh)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QWidget& window = c.reader ? static_cast<QWidget&>(Open<TfReader>()) : Open<TfWriter>();
        auto& combo = testing::Child<QComboBox>(window, c.reader ? "cbStartAddress" : "cbAddress");
        QLineEdit& edit = *combo.lineEdit();
        window.activateWindow();
        edit.setFocus();
        ASSERT_TRUE(testing::ProcessEventsUntil([&edit] { return edit.hasFocus(); }));
        edit.selectAll();
        QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
        EXPECT_EQ(combo.currentText().toStdString(), c.typed);
        if (c.range != nullptr) {
            QTest::keyClick(&edit, Qt::Key_Return);
            EXPECT_EQ(Text(window, "lblReadRange").toStdString(), c.range);
        }
        window.parentWidget()->close();
    }
    EXPECT_TRUE(board_.Calls.empty());
}

} // namespace
} // namespace ravlo
