// The user management without widgets: who sees whom, the checks on leaving a user, adding,
// deleting and what OK puts into the store.
#include "shell/user_attr_editor.h"
#include "support/box_recorder.h"
#include "support/fake_val_control.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

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
        {1, "jo'hn", "j", "2", true, "A user name or password can't hold ' or control characters."},
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

} // namespace
} // namespace ravlo
