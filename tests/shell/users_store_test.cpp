// The users store (the stored form of values, loading, saving, login checks), the user management
// without widgets (who sees whom, the checks on leaving a user, what OK stores) and the main form's
// user commands (/U at start, the first user, a damaged users file).
#include "main_form_test_support.h"
#include "shell/exit_codes.h"
#include "shell/password_store.h"
#include "shell/user_attr_editor.h"
#include "shell/user_records.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"
#include "support/scratch_dir.h"

#include <deque>
#include <fstream>
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

TEST(UsersStore, TheDumpNamesEveryUserWithLevelAndOptionsButNeverAPassword) {
    TPasswordLabelColl store("USERS");
    AddTwoUsers(store);
    testing::CapturedWriter writer;
    store.WriteColl(0);
    const std::vector<std::string> expected = {
        "*** TPasswordLabelColl(USERS) **** Count=2",
        "#SL00= USR='John' LEV=254 OPT=$0007",
        "#SL01= USR='eve' LEV=9 OPT=$0001",
    };
    EXPECT_EQ(writer.Lines(), expected);
    for (const std::string& line : writer.Lines()) {
        for (const std::string password : {"Secret", "pw x"}) {
            for (const std::string& form :
                 {password, User::Encode(password, true), User::Encode(password, false)}) {
                EXPECT_EQ(line.find(form), std::string::npos) << line;
            }
        }
        EXPECT_EQ(line.find("PSW"), std::string::npos) << line;
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

// "ann", password "x!", level 2, options $0006, with CRCs: worked out by hand from the file format.
constexpr std::string_view kHandMadeFile =
    " PFX=#SL MAX=0 LOC=0 OPT=$0001 CRC=$6A49\r\n USR='ann' OPT=$\xFF\xFF\xFF\xF9\xFE\xEA\xEA\xED"
    " PSW='\xB7!\xFE\xF7\xEA\xFD' LEV=\xFD\xEB\xFA\xF7\xFE\r\n";

TEST(UsersStore, LoadAndSaveMatchAFileWorkedOutByHandAndOnlyASaneFileIsRead) {
    TPasswordLabelColl store;
    ASSERT_TRUE(store.LoadFromText(kHandMadeFile, "U.PSW").Ok());
    EXPECT_EQ(store.SaveToText(), kHandMadeFile);
    testing::ScratchDir dir;
    dir.Write("BIG.PSW", std::string(kUsersFileMax + 1, '\n'));
    std::filesystem::create_symlink("/dev/zero", dir / "ZERO.PSW");
    EXPECT_EQ(store.Load(dir / "BIG.PSW").Text, (dir / "BIG.PSW").string() + ":Err=larger than 256 KB");
    EXPECT_EQ(store.Load(dir / "ZERO.PSW").Text, (dir / "ZERO.PSW").string() + ":Err=not a regular file");
}

using testing::FakeValControl;

constexpr std::uint16_t kOwn = kUserOptOwnEntry;
constexpr std::uint16_t kLower = kUserOptLower;

void FillStore(TPasswordLabelColl& store) {
    store.AddUser("boss", "b", 254, kOwn | kLower);
    store.AddUser("john", "j", 2, kOwn);
    store.AddUser("mary", "m", 1, 0);
    store.AddUser("ann", "a", 5, 0);
    store.AddUser("", "x", 0, 0);
}

std::string Names(const std::vector<TLoginRecord>& users) {
    std::string names;
    for (const TLoginRecord& user : users) {
        names += user.UserName + " ";
    }
    return names;
}

TEST(UserSplit, TheEditorSeesHimselfAndLowerLevelsAsHisOptionsAllow) {
    TPasswordLabelColl store;
    FillStore(store);
    const struct {
        TLoginRecord editor;
        const char* shown;
        const char* kept;
    } cases[] = {
        {{"JOHN", "", 2, 0}, "", "boss john mary ann "},
        {{"JOHN", "", 2, kOwn}, "john ", "boss mary ann "},
        {{"JOHN", "", 2, kLower}, "mary ", "boss john ann "},
        {{"boss", "", 254, kOwn | kLower}, "boss john mary ann ", ""},
        {{"ann", "", 2, kOwn | kLower}, "mary ", "boss john ann "},
    };
    for (const auto& c : cases) {
        const TUserSplit split = SplitUsers(store, c.editor);
        EXPECT_EQ(Names(split.Shown), c.shown) << c.editor.UserName << " " << c.editor.Opt;
        EXPECT_EQ(Names(split.Kept), c.kept) << c.editor.UserName << " " << c.editor.Opt;
    }
}

class UserAttrEditorTest : public ::testing::Test {
protected:
    // The dialog for john, level 2, who may change himself and lower levels ("mary").
    void Open(std::uint16_t opt = kOwn | kLower) {
        FillStore(store_);
        editorRecord_ = PackLoginRecord({"john", {}, 2, opt});
        Reopen();
    }
    // The dialog again, on the store and for the editor as the last OK left them.
    void Reopen() {
        editor_ = std::make_unique<TUserAttrEditor>(store_, UnpackLoginRecord(editorRecord_));
        editor_->Bind(validator_,
                      {&list_, &name_, &password_, &level_, &own_, &lower_, &curName_, &curLevel_, &curOwn_,
                       &curLower_},
                      editorRecord_);
    }

    TPasswordLabelColl store_;
    std::vector<std::uint8_t> editorRecord_;
    std::unique_ptr<TUserAttrEditor> editor_;
    TRecordValidator validator_;
    FakeValControl list_{TCtrlClass::ListBox};
    FakeValControl name_, password_, level_, curName_, curLevel_;
    FakeValControl own_{TCtrlClass::CheckBox}, lower_{TCtrlClass::CheckBox};
    FakeValControl curOwn_{TCtrlClass::CheckBox}, curLower_{TCtrlClass::CheckBox};
    testing::BoxRecorder boxes_;
};

TEST_F(UserAttrEditorTest, LeavingAUserChecksWhatHeMayBeGiven) {
    Open();
    EXPECT_EQ(list_.items, (std::vector<std::string>{"1 - mary", "2 - john"})) << "sorted by level";
    EXPECT_EQ(curName_.text, "john");
    EXPECT_TRUE(curOwn_.checked && curLower_.checked);
    EXPECT_EQ(name_.text, "mary");

    const struct {
        int line;
        const char* name;
        const char* password;
        const char* level;
        bool own;
        const char* refusal;
    } cases[] = {
        {1, "john", "j", "3", true, "The level can be at most 2."},
        {1, "", "j", "2", true, "Error: Empty UserNane"},
        {1, "john", "", "2", true, "Error: Empty Password"},
        {1, "Boss", "j", "2", true, "User \"Boss\" exists already."},
        {1, "jo'hn", "j", "2", true,
         "A user name or password can't hold ', control characters or letters outside Central European code "
         "page 1250 (such as Cyrillic)."},
        {1, "  john ", "new", "2", true, nullptr},
        {0, "mary", "m", "2", false, "The level can be at most 1."},
        {0, "mary", "m", "1", false, nullptr},
    };
    for (const auto& c : cases) {
        list_.Click(c.line);
        name_.text = c.name;
        password_.text = c.password;
        level_.text = c.level;
        own_.checked = c.own;
        list_.Click(1 - c.line);
        EXPECT_EQ(boxes_.Take(), c.refusal ? c.refusal : "") << c.name << " " << c.level;
        EXPECT_EQ(list_.itemIndex, c.refusal ? c.line : 1 - c.line);
    }
    const std::vector<TLoginRecord> users = editor_->ShownUsers();
    EXPECT_EQ(users[1].UserName, "john") << "the name is trimmed";
    EXPECT_EQ(users[1].Password, "new");
}

TEST_F(UserAttrEditorTest, OnlyOptionsTheEditorHoldsCanBeGiven) {
    Open(kLower);
    ASSERT_EQ(list_.items, (std::vector<std::string>{"1 - mary"}));
    own_.checked = true;
    EXPECT_FALSE(editor_->AddUser());
    EXPECT_EQ(boxes_.Take(), "Only options you have yourself can be given.");
    own_.checked = false;
    lower_.checked = true;
    EXPECT_TRUE(editor_->AddUser());
}

TEST_F(UserAttrEditorTest, AddDeleteAndOkRefillTheStoreSorted) {
    Open();
    ASSERT_TRUE(editor_->AddUser());
    EXPECT_EQ(list_.items.front(), "0 - NewUser");
    EXPECT_EQ(list_.itemIndex, 0);
    EXPECT_EQ(name_.text, "NewUser");
    name_.text = "zed";
    password_.text = "z";
    ASSERT_TRUE(validator_.ValidateAndStore());

    list_.Click(1); // mary
    editor_->DeleteUser();
    EXPECT_EQ(list_.items, (std::vector<std::string>{"0 - zed", "2 - john"}));
    EXPECT_EQ(list_.itemIndex, 1);

    editor_->Apply(store_);
    std::string order;
    for (std::int32_t i = 0; i < store_.Count(); ++i) {
        order += store_.UserAt(i)->UserName + ":" + std::to_string(store_.UserAt(i)->Level) + " ";
    }
    EXPECT_EQ(order, "zed:0 john:2 ann:5 boss:254 ") << "kept users stay, the nameless one goes";
    EXPECT_EQ(store_.GetUser("boss")->Password, "b");
}

TEST_F(UserAttrEditorTest, TheOwnEntryFollowsARenameSoANewUserOfTheOldNameIsNobodysEqual) {
    Open();
    list_.Click(1); // his own entry
    name_.text = "john2";
    ASSERT_TRUE(editor_->AddUser());
    name_.text = "john";
    password_.text = "x";
    level_.text = "1";
    ASSERT_TRUE(validator_.ValidateAndStore());
    editor_->Apply(store_);
    EXPECT_EQ(UnpackLoginRecord(editorRecord_).UserName, "john2");

    Reopen();
    ASSERT_EQ(list_.items, (std::vector<std::string>{"1 - john", "1 - mary", "2 - john2"}));
    list_.Click(0);
    level_.text = "2";
    list_.Click(1);
    EXPECT_EQ(boxes_.Take(), "The level can be at most 1.") << "the new john is not the editor";
    level_.text = "1";
    list_.Click(2);
    editor_->DeleteUser();
    editor_->Apply(store_);
    EXPECT_EQ(UnpackLoginRecord(editorRecord_).UserName, "") << "gone, nobody stands behind his rights";
}

using testing::ShellRig;
using A = TMainAction;
using Act = std::function<int(std::span<std::uint8_t> data)>;

// What the registered user dialogs do, in the order they are shown.
std::deque<Act> script;

class ScriptedDialog final : public TModalDialog {
public:
    void BindRecord(std::span<std::uint8_t> data) override { data_ = data; }
    int ShowModal() override {
        const Act act = std::move(script.front());
        script.pop_front();
        return act(data_);
    }

private:
    std::span<std::uint8_t> data_;
};

// Checks the proposed name, then types name and password and presses OK.
Act Types(std::string proposed, std::string name, std::string password) {
    return [=](std::span<std::uint8_t> data) {
        EXPECT_EQ(UnpackLoginRecord(data).UserName, proposed);
        PackLoginRecord({name, password, 0, 0}, data.subspan(0, kLoginRecordSize));
        return mrOk;
    };
}

// The shipped INI without opening the COM port at start, and john (254) and ann (5) as users.
class UsersRig : public ShellRig {
public:
    UsersRig(bool withUsers = true) : ShellRig(QuietIni()) {
        for (const std::string_view name : {kLoginDialogName, kFirstUserDialogName, kUsersDialogName}) {
            RegisterDialog(name, [](TPlatformWindow*) { return std::make_unique<ScriptedDialog>(); });
        }
        script.clear();
        TPasswordLabelColl store;
        store.AddUser("john", "Secret", 254, kUserOptOwnEntry);
        store.AddUser("ann", "a", 5, 0);
        if (withUsers) {
            EXPECT_TRUE(store.Save(Dir() / kUsersFileName).Ok());
        }
    }
    bool Shows(A action) const { return (*host.Menus)[action].Visible; }

private:
    static std::string QuietIni() {
        std::string ini = testing::ShellIni();
        return ini.replace(ini.find("AST=1"), 5, "AST=0");
    }
};

TEST(MainUsers, SlashUProposesTheNameAndTheLevelRuleApplies) {
    const struct {
        std::string name;
        std::string password;
        std::uint8_t level;
        std::vector<std::string> events;
    } cases[] = {
        {"john", "SECRET", 254, {"- User \"john\" has been logged in"}},
        {"ANN", "a", 2, {"- User \"ann\" has been logged in"}},
        {"john", "wrong", 0, {"- User Login Error!"}},
    };
    for (const auto& c : cases) {
        UsersRig rig;
        script = {Types("john", c.name, c.password)};
        CmdLineUser = "john";
        rig.Run(CL_User);
        EXPECT_EQ(UserLevel, c.level) << c.name;
        EXPECT_EQ(rig.host.EventTexts(), c.events);
        EXPECT_EQ(rig.Shows(A::ProgramDebug), c.level == 254);
        EXPECT_EQ(CmdLineFlags & CL_User, 0);
    }
}

TEST(MainUsers, TheRunGoesOnAfterTheLoginAndEndsWhereNobodyCanAnswerIt) {
    for (const bool display : {true, false}) {
        UsersRig rig;
        rig.WriteDemo();
        rig.host.CanAnswerDialogs = display;
        script = {Types("john", "john", "Secret")};
        CmdLineUser = "john";
        rig.Run(CL_User | CL_Generate, (rig.Dir() / "DEMO.EXE").string());
        ASSERT_TRUE(rig.RunToClose(5000) != display) << "only a run without a display ends without /X";
        EXPECT_EQ(rig.core->ExitCode(), display ? kExitOk : kExitNoLogin);
        EXPECT_EQ(rig.host.HasEvent("- User \"john\" has been logged in"), display);
        EXPECT_EQ(rig.host.HasEvent("- Project succesfully generated"), display);
        EXPECT_EQ(rig.host.HasEvent("- Error, nobody can answer the login dialog"), !display);
    }
}

TEST(MainUsers, ANewInstallationOffersTheFirstUserAndADamagedFileLetsNobodyIn) {
    for (const bool yes : {true, false}) { // unanswered, the question's default is No
        UsersRig rig(false);
        ScriptedPresenter answers;
        std::optional<ScopedPresenter> guard;
        if (yes) {
            answers.QueueAnswer(IDYES);
            guard.emplace(answers);
        }
        script = {Types("", "admin", "pw")};
        rig.Run(0);
        EXPECT_EQ(rig.Shows(A::UsersMenu) && rig.Shows(A::ProgramDebug), yes);
        TPasswordLabelColl saved;
        EXPECT_EQ(saved.Load(rig.Dir() / kUsersFileName).Ok() && saved.GetUser("admin")->Level == 254, yes);
    }
    UsersRig damaged;
    const std::string text = damaged.FileText(std::string(kUsersFileName));
    std::ofstream(damaged.Dir() / kUsersFileName, std::ios::binary) << text.substr(0, text.size() - 3);
    damaged.Run(0);
    EXPECT_FALSE(damaged.Shows(A::UsersMenu));
    EXPECT_EQ(damaged.presenter.Boxes.back().Caption, "Warning");
    damaged.core->UserLogin_MenuItemClick();
    EXPECT_TRUE(damaged.host.Dialogs.empty());
}

} // namespace
} // namespace ravlo
