// The users file as the program reads it, from the disk and from its bytes alike. A file that does
// not load lets nobody in; one that loads holds only users who can log in, and is saved as a file
// that loads to the same users and saves to the same text again. Users added by the program (the
// first input byte odd) are saved and read back unchanged whenever their names and passwords can be
// stored, and the save is refused when they cannot. Every stored value decodes to itself.
#include "fuzz_support.h"
#include "shell/password_store.h"

#include <algorithm>
#include <vector>

using namespace ravlo;

namespace {

constexpr std::string_view kFileName = "RAVLO.PSW";
constexpr int kUsersMax = 32;

struct UserView {
    std::string name;
    std::string password;
    std::uint8_t level = 0;
    std::uint16_t opt = 0;
    bool operator==(const UserView&) const = default;
};

struct StoreView {
    std::string prefix;
    std::int32_t max = 0;
    std::uint8_t loc = 0;
    std::uint16_t opt = 0;
    std::vector<UserView> users;
    bool operator==(const StoreView&) const = default;
};

StoreView ViewOf(const TPasswordLabelColl& store) {
    StoreView view{store.PFX, store.MAX, store.Loc, store.Opt, {}};
    for (std::int32_t i = 0; i < store.Count(); ++i) {
        const TPasswordNameObj* user = store.UserAt(i);
        fuzz::Check(user != nullptr, "every item of the store is a user");
        view.users.push_back({user->UserName, user->Password, user->Level, user->Opt});
    }
    return view;
}

void CheckCodec(std::string_view text) {
    for (const bool withCrc : {false, true}) {
        fuzz::Check(TPasswordNameObj::Decode(TPasswordNameObj::Encode(text, withCrc), withCrc) == text,
                    "a stored value decodes to itself");
    }
}

// The first user of each name logs in with his password, and with no other.
void CheckLogins(const TPasswordLabelColl& store) {
    for (std::int32_t i = 0; i < store.Count(); ++i) {
        const TPasswordNameObj& user = *store.UserAt(i);
        fuzz::Check(IsStorableUserText(user.UserName) && IsStorableUserText(user.Password),
                    "a loaded user can be stored again");
        if (user.UserName.empty() || user.Password.empty() || store.GetUser(user.UserName) != &user) {
            continue;
        }
        std::uint16_t opt = 0;
        std::uint8_t level = 0;
        fuzz::Check(store.CheckUser(user.UserName, user.Password, opt, level) && opt == user.Opt &&
                        level == user.Level,
                    "a user logs in with his password and gets his rights");
        fuzz::Check(!store.CheckUser(user.UserName, user.Password + "x", opt, level) && opt == 0 &&
                        level == 0,
                    "another password lets nobody in");
    }
}

// What a store saves loads again to the same store, and saves to the same text.
void CheckSavedText(TPasswordLabelColl& store) {
    const std::string text = store.SaveToText();
    TPasswordLabelColl again;
    fuzz::Check(again.LoadFromText(text, kFileName).Ok(), "a saved store loads");
    fuzz::Check(ViewOf(again) == ViewOf(store), "a saved store loads to the same users");
    fuzz::Check(again.SaveToText() == text, "a loaded store saves to the same text");
}

void LoadFile(std::span<const std::uint8_t> bytes) {
    const std::string_view text = fuzz::AsText(bytes);
    CheckCodec(text);
    TPasswordLabelColl store;
    const TPswResult result = store.Load(fuzz::WriteScratchFile(kFileName, text));
    TPasswordLabelColl fromText;
    const TPswResult textResult = fromText.LoadFromText(text, kFileName);
    fuzz::Check(textResult.Code == result.Code && ViewOf(fromText) == ViewOf(store),
                "the file and its bytes load alike");
    if (!result.Ok()) {
        fuzz::Check(store.Count() == 0 && !result.Text.empty(), "a file that does not load lets nobody in");
        return;
    }
    CheckLogins(store);
    CheckSavedText(store);
}

void SaveUsers(fuzz::FuzzInput& input) {
    TPasswordLabelColl store;
    store.Opt = input.Word();
    store.Loc = input.Byte();
    const bool sort = (input.Byte() & 1) != 0;
    bool storable = true;
    for (int i = 0; i < kUsersMax && input.Remaining() > 0; ++i) {
        const std::uint8_t level = input.Byte();
        const std::uint16_t opt = input.Word();
        const std::string_view name = fuzz::AsText(input.Until(0));
        const std::string_view password = fuzz::AsText(input.Until(0));
        CheckCodec(name);
        CheckCodec(password);
        const TPasswordNameObj& user = store.AddUser(name, password, level, opt);
        storable = storable && IsStorableUserText(user.UserName) && IsStorableUserText(user.Password);
    }
    if (sort) {
        const StoreView before = ViewOf(store);
        store.Sort();
        const StoreView after = ViewOf(store);
        fuzz::Check(store.MAX == store.Count() - 1, "a sorted store is numbered");
        fuzz::Check(std::is_sorted(after.users.begin(), after.users.end(),
                                   [](const UserView& a, const UserView& b) {
                                       return a.level != b.level ? a.level < b.level : a.name < b.name;
                                   }),
                    "a sorted store is in order of level and name");
        fuzz::Check(std::is_permutation(before.users.begin(), before.users.end(), after.users.begin(),
                                        after.users.end()),
                    "sorting keeps every user");
    }
    const std::filesystem::path file = fuzz::ScratchFolder() / kFileName;
    const TPswResult saved = store.Save(file);
    fuzz::Check(saved.Ok() == storable, "a save is refused exactly when a name or password cannot be stored");
    if (!saved.Ok()) {
        return;
    }
    TPasswordLabelColl loaded;
    fuzz::Check(loaded.Load(file).Ok(), "a saved store loads");
    fuzz::Check(ViewOf(loaded) == ViewOf(store), "a saved store loads to the same users");
    CheckLogins(loaded);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    if ((input.Byte() & 1) == 0) {
        LoadFile(input.Rest());
    } else {
        SaveUsers(input);
    }
    return 0;
}
