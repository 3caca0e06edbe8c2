// The users store: the stored form of values, loading, saving, login checks and the level rule.
#include "shell/password_store.h"
#include "support/scratch_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace ravlo {
namespace {

using User = TPasswordNameObj;

// Two users, the second with a level whose stored digits lie above $7F ("9" is stored as $F6).
void AddTwoUsers(TPasswordLabelColl& store) {
    store.Opt = kUserOptCrc;
    store.AddUser("John", "Secret", 254, kUserOptOwnEntry | kUserOptLower);
    store.AddUser("eve", "pw x", 9, 0);
}

TEST(UsersStore, EncodeMirrorsFromDigitZeroAndDecodeChecksTheCrc) {
    EXPECT_EQ(User::Encode("0A !/", false), "\xFF\xEE !/");
    for (const std::string text : {"a", "Secret", "254", "$0006", "\x80\xFF"}) {
        for (const bool withCrc : {false, true}) {
            const std::string stored = User::Encode(text, withCrc);
            EXPECT_EQ(User::Decode(stored, withCrc), text);
            if (withCrc) {
                for (std::size_t i = 0; i < stored.size(); ++i) {
                    std::string changed = stored;
                    changed[i] = static_cast<char>(changed[i] ^ 1);
                    EXPECT_EQ(User::Decode(changed, true), "") << text << " byte " << i;
                }
            }
        }
    }
    EXPECT_EQ(User::Decode(User::Encode("1234", false), true), "") << "too short for a text and a CRC";
    EXPECT_EQ(User::Decode(User::Encode("xZZZZ", false), true), "") << "no hex digits";
}

TEST(UsersStore, ASavedStoreLoadsAndAnyChangeEmptiesIt) {
    TPasswordLabelColl saved;
    AddTwoUsers(saved);
    const std::string text = saved.SaveToText();
    TPasswordLabelColl store;
    ASSERT_TRUE(store.LoadFromText(text, "U.PSW").Ok());
    ASSERT_EQ(store.Count(), 2);
    EXPECT_EQ(store.UserAt(1)->Level, 9);
    EXPECT_EQ(store.UserAt(0)->Password, "Secret");
    EXPECT_EQ(store.UserAt(0)->Opt, kUserOptCrc | kUserOptOwnEntry | kUserOptLower);

    const auto replaced = [&text](std::string_view from, std::string_view to) {
        std::string changed = text;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    const std::string crc = text.substr(text.find("CRC="), 9);
    const std::string level = User::Encode("9", true);
    const struct {
        std::string text;
        int code;
    } damaged[] = {
        {replaced(crc, "CRC=$0000"), TPswResult::kCorrupted},
        {replaced(crc, ""), TPswResult::kCorrupted},
        {replaced("'John'", "'Joan'"), TPswResult::kCorrupted},
        {replaced(User::Encode("Secret", true), User::Encode("Secreu", true)), TPswResult::kCorrupted},
        {replaced(level, "\xF7" + level.substr(1)), TPswResult::kUserError},
        {replaced(" LOC=", " LOX="), TPswResult::kHeaderError},
        {replaced("'John'", "'Jo'hn'"), TPswResult::kUserError},
        {replaced("'eve'", "\"e've\""), TPswResult::kUserError},
        {"", TPswResult::kCorrupted},
    };
    for (const auto& [changed, code] : damaged) {
        EXPECT_EQ(store.LoadFromText(changed, "U.PSW").Code, code) << changed;
        EXPECT_EQ(store.Count(), 0) << "a damaged file lets nobody in";
    }
}

TEST(UsersStore, CheckUserTakesTheFirstOfANameWithAsciiCaseIgnored) {
    TPasswordLabelColl store;
    AddTwoUsers(store);
    store.AddUser("JOHN", "other", 1, 0);
    store.AddUser("\310ech", "\341", 1, 0); // "Čech" with the password "á"
    std::uint16_t opt = 1;
    std::uint8_t level = 1;
    const struct {
        const char* name;
        const char* password;
        bool ok;
        std::uint8_t level;
    } cases[] = {
        {"jOhN", "SECRET", true, 254}, {"John", "other", false, 0},   {"", "Secret", false, 0},
        {"\310ECH", "\341", true, 1},  {"\350ech", "\341", false, 0}, {"\310ech", "\301", false, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(store.CheckUser(c.name, c.password, opt, level), c.ok) << c.name << "/" << c.password;
        EXPECT_EQ(level, c.level);
    }
}

TEST(UsersStore, SaveWritesAPrivateFileKeepsABackupAndRefusesUnstorableTexts) {
    testing::ScratchDir dir;
    TPasswordLabelColl store;
    AddTwoUsers(store);
    store.Loc = 156;
    const auto file = dir / "RAVLO.PSW";
    dir.Write("RAVLO.PSW", "old");
    ASSERT_TRUE(store.Save(file).Ok());
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(dir.Text("RAVLO.~SW"), "old");
    TPasswordLabelColl loaded;
    ASSERT_TRUE(loaded.Load(file).Ok());
    EXPECT_EQ(loaded.Loc, 1);

    const std::string written = dir.Text("RAVLO.PSW");
    for (const std::string bad : {"a'b", "a\tb", "a\x7F"}) {
        store.UserAt(1)->Password = bad;
        EXPECT_EQ(store.Save(file).Code, TPswResult::kIoError);
        EXPECT_EQ(dir.Text("RAVLO.PSW"), written);
    }
}

} // namespace
} // namespace ravlo
