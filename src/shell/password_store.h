#pragma once

#include "framework/name_coll.h"
#include "framework/name_object.h"
#include "platform/scoped_install.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// The users file in the program's folder.
inline constexpr std::string_view kUsersFileName = "RAVLO.PSW";
// Longest user name and password.
inline constexpr std::size_t kUserTextMax = 40;
// Largest users file read: 256 users of a whole line each fit several times over.
inline constexpr std::size_t kUsersFileMax = 256 * 1024;

// Option bits of a user.
inline constexpr std::uint16_t kUserOptCrc = 0x0001;      // his values carry a CRC (the store's bit)
inline constexpr std::uint16_t kUserOptOwnEntry = 0x0002; // may change his own entry
inline constexpr std::uint16_t kUserOptLower = 0x0004;    // may change the users of a lower level

// Whether a user name or password can be stored: a value is written between single quotes on one
// line, so a quote or a control character would break the file and lock everybody out.
bool IsStorableUserText(std::string_view text);

// One user: a line of the users file, "USR='name' OPT=... PSW='...' LEV=..." after the keys of a
// named object. Option, password and level values are stored through a character substitution,
// followed by a CRC when the user's option bit 0 is set; this hides them from a casual look, it
// does not protect them.
class TPasswordNameObj final : public TNameObject {
public:
    static constexpr std::string_view kClassName = "TPasswordNameObj";

    TPasswordNameObj(std::string_view name, bool withCrc);

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    bool WithCrc() const { return (Opt & kUserOptCrc) != 0; }

    // The stored form of text: every character from "0" ($30) on is mirrored into $30..$FF (the
    // substitution is its own inverse); with withCrc a non-empty text gets the CRC-16 of its
    // characters as 4 hex digits, substituted as well.
    static std::string Encode(std::string_view text, bool withCrc);
    // The text back; with withCrc a text shorter than 5 characters, or whose last 4 characters are
    // not the hex digits of the CRC of the others, decodes to an empty text.
    static std::string Decode(std::string_view text, bool withCrc);

    std::string UserName;
    std::string Password;
    std::uint8_t Level = 0;
    std::uint16_t Opt = 0;
};

// Why a load or save failed; Code 0 and an empty Text when all went well. The texts never quote
// a line of the file, since it holds a password.
struct TPswResult {
    static constexpr int kOk = 0;
    static constexpr int kIoError = 1;
    static constexpr int kHeaderError = 2;
    static constexpr int kUserError = 3;
    static constexpr int kCorrupted = 4;

    int Code = kOk;
    std::string Text;
    bool Ok() const { return Code == kOk; }
};

// The users store: the header line " PFX=... MAX=... LOC=n OPT=$hhhh CRC=$hhhh" and one line per
// user. CRC is the CRC-16 over all users, so that a file edited by hand is refused.
class TPasswordLabelColl final : public TNameColl {
public:
    static constexpr std::string_view kClassName = "TPasswordLabelColl";

    explicit TPasswordLabelColl(std::string_view name = {}) : TNameColl(name) {}

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::string ParamsToText() const override;

    TPasswordNameObj* UserAt(std::int32_t index) const { return dynamic_cast<TPasswordNameObj*>(At(index)); }
    // The first user of that name (ASCII letters compared without case); nullptr when none.
    const TPasswordNameObj* GetUser(std::string_view userName) const;
    // Whether the first user of that name has that password (both compared without case of ASCII
    // letters; neither may be empty); then opt and level are his, else both 0.
    bool CheckUser(std::string_view userName, std::string_view password, std::uint16_t& opt,
                   std::uint8_t& level) const;
    // Appends a user; his option bit 0 is the store's.
    TPasswordNameObj& AddUser(std::string_view userName, std::string_view password, std::uint8_t level,
                              std::uint16_t opt);

    // Reads the users file, when it is a regular file of at most kUsersFileMax bytes. On any error
    // the store is left without users, so that a damaged or tampered file lets nobody in.
    TPswResult Load(const std::filesystem::path& file);
    // The same from the file's bytes; fileName names it in the error texts.
    TPswResult LoadFromText(std::string_view bytes, std::string_view fileName);
    // The file's text: renews CRC (and HasCrc); a LOC of 156 is written as 1.
    std::string SaveToText();
    // Writes the file privately (mode 0600) under a temporary name renamed into place; the previous
    // file stays as the one backup (RAVLO.~SW). A user whose name or password cannot be stored fails
    // the save and nothing is written.
    TPswResult Save(const std::filesystem::path& file);
    // Orders the users by 2 hex digits of Level + UserName and renumbers them (PFX + 2 hex digits of
    // the index, MAX := count - 1).
    void Sort();
    // "*** TPasswordLabelColl(" + Name + ") **** Count=" + count to a writer channel, then one line per
    // user with his name, level and options. The dump reaches trace windows and the runtime log: it
    // never shows a password, not even in its stored form, which anyone can turn back.
    void WriteColl(int chn) const;
    // CRC-16 from 0 over, for each user, the name, the password, the level and Opt (low byte first).
    std::uint16_t UsersCrc() const;

    std::uint8_t Loc = 0;
    std::uint16_t Opt = 0;
    std::uint16_t Crc = 0;
    bool HasCrc = false;

private:
    TPswResult LoadLines(std::span<const std::string> lines, std::string_view fileName,
                         std::string_view readError);
};

// The program's users store, set by the main form; nullptr while there is none.
TPasswordLabelColl* GetUsersStore();
TPasswordLabelColl* SetUsersStore(TPasswordLabelColl* store);
using ScopedUsersStore = ScopedInstall<TPasswordLabelColl, SetUsersStore>;

} // namespace ravlo
