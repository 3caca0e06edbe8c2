#include "project/exe_reader.h"
#include "project/project_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::ProjectTest;

void PutWord(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// A hand-made executable: a 32-byte header, no relocations, image bytes counting up.
std::vector<std::uint8_t> SmallExe(std::uint16_t pages, std::uint16_t lastPage, std::size_t fileSize) {
    std::vector<std::uint8_t> bytes(fileSize, 0);
    PutWord(bytes, 0, 0x5A4D);
    PutWord(bytes, 2, lastPage);
    PutWord(bytes, 4, pages);
    PutWord(bytes, 8, 2); // header paragraphs
    PutWord(bytes, 24, 0x1C);
    for (std::size_t i = 32; i < fileSize; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i - 32);
    }
    return bytes;
}

class ExeReaderTest : public ProjectTest {
protected:
    std::unique_ptr<tExeFile> OpenBytes(const std::vector<std::uint8_t>& bytes) {
        return tExeFile::Open(dir_.Write("TEST.EXE", std::string(bytes.begin(), bytes.end())));
    }
    std::string Name() const { return (dir_ / "TEST.EXE").string(); }
};

TEST_F(ExeReaderTest, LastPageCountZeroMeansAFullPageAndNoRelocationsIsOnlyWarned) {
    auto exe = OpenBytes(SmallExe(2, 0, 1024));
    ASSERT_NE(exe, nullptr);
    EXPECT_EQ(exe->LoadImageSize(), 1024U - 32U);
    EXPECT_TRUE(exe->ReadRelocations());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Err ? zero reloads ?"});
    auto partial = OpenBytes(SmallExe(2, 100, 612));
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->LoadImageSize(), 512U + 100U - 32U);
    std::vector<std::uint8_t> bytes(4);
    ASSERT_TRUE(partial->ReadImage(0x100, bytes));
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x00, 0x01, 0x02, 0x03}));
    EXPECT_FALSE(partial->ReadImage(partial->LoadImageSize() - 3, bytes)); // past the image
}

TEST_F(ExeReaderTest, MalformedHeadersAreRefusedWithTheirMessage) {
    std::vector<std::tuple<const char*, std::vector<std::uint8_t>, std::string>> cases; // what, file, message
    auto badMagic = SmallExe(2, 0, 1024);
    badMagic[1] = 'Y';
    cases.push_back({"signature", badMagic, "Invalid Exe format in "});
    cases.push_back({"short header", std::vector<std::uint8_t>(10, 0x4D), "Could not read from file: "});
    cases.push_back({"image past the file", SmallExe(3, 0, 1024), "Invalid Exe format in "});
    cases.push_back({"no pages", SmallExe(0, 0, 1024), "Invalid Exe format in "});
    cases.push_back({"last page above 512", SmallExe(2, 513, 1025), "Invalid Exe format in "});
    auto relocPast = SmallExe(2, 0, 1024);
    PutWord(relocPast, 6, 300); // 300 entries of 4 bytes from $1C
    cases.push_back({"relocation table past the file", relocPast, "Invalid Exe format in "});
    auto headerPast = SmallExe(2, 0, 1024);
    PutWord(headerPast, 8, 0x100);
    cases.push_back({"header larger than the file", headerPast, "Invalid Exe format in "});
    for (const auto& [what, bytes, message] : cases) {
        presenter_.Clear();
        EXPECT_EQ(OpenBytes(bytes), nullptr) << what;
        EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{message + Name()}) << what;
    }
    presenter_.Clear();
    EXPECT_EQ(tExeFile::Open(dir_ / "MISSING.EXE"), nullptr);
    EXPECT_EQ(presenter_.Texts(),
              std::vector<std::string>{"Could not open file: " + (dir_ / "MISSING.EXE").string()});
}

TEST_F(ExeReaderTest, RelocationOutsideTheImageIsACorruptExecutable) {
    auto bytes = SmallExe(2, 0, 1024);
    PutWord(bytes, 6, 1);
    PutWord(bytes, 0x1C, 0x03DF); // offset: the word's high byte lies past the 992-byte image
    PutWord(bytes, 0x1E, 0);
    auto exe = OpenBytes(bytes);
    ASSERT_NE(exe, nullptr);
    EXPECT_FALSE(exe->ReadRelocations());
    EXPECT_EQ(presenter_.Texts(), std::vector<std::string>{"Err 27 - asi corrupted exe file."});
    EXPECT_TRUE(exe->Relocations().empty());

    PutWord(bytes, 0x1C, 0x03DE);
    exe = OpenBytes(bytes);
    ASSERT_NE(exe, nullptr);
    EXPECT_TRUE(exe->ReadRelocations());
    EXPECT_EQ(exe->Relocations().at(0).ImageOffset(), 0x3DEU);
}

} // namespace
} // namespace ravlo
