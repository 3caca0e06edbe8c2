#include "shell/password_store.h"

#include "framework/app_names.h"
#include "framework/crc16.h"
#include "framework/file_name_check.h"
#include "framework/io_error.h"
#include "framework/keyword_lexer.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "framework/writer_channels.h"
#include "platform/atomic_file.h"
#include "platform/file_io.h"
#include "platform/text_case.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

namespace ravlo {
namespace {

constexpr unsigned kPrivateFileMode = 0600;
constexpr std::uint8_t kLocWrittenAsOne = 156;
constexpr std::size_t kCrcDigits = 4;
// Write error of the I/O error texts.
constexpr int kWriteErrorCode = 101;

// The substitution: $30..$FF reversed, everything below "0" unchanged.
constexpr std::array<char, 256> MakeSubstitution() {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[c] = static_cast<char>(c < 0x30 ? c : 0x12F - c);
    }
    return table;
}
constexpr std::array<char, 256> kSubstitution = MakeSubstitution();

std::string Substitute(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return kSubstitution[static_cast<std::uint8_t>(c)]; });
    return out;
}

std::uint16_t TextCrc(std::string_view text) {
    return Crc16Block({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, 0);
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

TPasswordLabelColl*& GlobalStore() {
    static TPasswordLabelColl* store = nullptr;
    return store;
}

// A USR or PSW value: quoted text as it stands, or a bare word with only its ASCII letters
// upper-cased, so that stored bytes above $7F are never changed.
std::string ReadStoredText() {
    LexSkipSep();
    const TLexState& s = LexState();
    if (s.LexPos <= s.LexLine.size() && (s.LexLine[s.LexPos - 1] == '\'' || s.LexLine[s.LexPos - 1] == '"')) {
        return LexGetStr();
    }
    return AsciiToUpper(LexGetRawWord());
}

// An OPT or LEV value: a word, decoded, then a number within [0, max].
std::optional<std::int32_t> ReadStoredNumber(bool withCrc, std::int32_t max) {
    const std::optional<std::int32_t> value =
        ValInt32(TPasswordNameObj::Decode(AsciiToUpper(LexGetRawWord()), withCrc));
    if (!value || *value < 0 || *value > max) {
        return std::nullopt;
    }
    return value;
}

bool SameName(const TPasswordNameObj& user, std::string_view userName) {
    return SameAsciiNoCase(user.UserName, userName);
}

// A user's entry name: the store's prefix and his index.
std::string EntryName(std::string_view prefix, std::int32_t index) {
    return CutText(std::string(prefix) + HexB(static_cast<std::uint8_t>(index)), TNameObject::kNameMax);
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        const std::size_t end = std::min(bytes.find('\n'), bytes.size());
        std::string line(bytes.substr(0, end));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(CutToShort(std::move(line)));
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    return lines;
}

bool BlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<std::uint8_t>(c) <= ' '; });
}

} // namespace

bool IsStorableUserText(std::string_view text) {
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<std::uint8_t>(c);
        return byte < 0x20 || byte == 0x7F || c == '\'';
    });
}

TPasswordNameObj::TPasswordNameObj(std::string_view name, bool withCrc)
    : TNameObject(name), Opt(withCrc ? kUserOptCrc : 0) {}

std::string TPasswordNameObj::Encode(std::string_view text, bool withCrc) {
    std::string out = Substitute(text);
    if (withCrc && !text.empty()) {
        out += Substitute(HexW(TextCrc(text)));
    }
    return out;
}

std::string TPasswordNameObj::Decode(std::string_view text, bool withCrc) {
    std::string out = Substitute(text);
    if (!withCrc) {
        return out;
    }
    if (out.size() <= kCrcDigits) {
        return {};
    }
    const std::string digits = out.substr(out.size() - kCrcDigits);
    out.resize(out.size() - kCrcDigits);
    if (!std::all_of(digits.begin(), digits.end(), IsHexDigit) ||
        ValInt32("$" + digits) != static_cast<std::int32_t>(TextCrc(out))) {
        return {};
    }
    return out;
}

bool TPasswordNameObj::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "USR|OPT|PSW|LEV|")) {
    case 1:
        UserName = CutText(ReadStoredText(), kUserTextMax);
        return !IsStorableUserText(UserName);
    case 2:
        if (const std::optional<std::int32_t> value = ReadStoredNumber(WithCrc(), 0xFFFF)) {
            Opt = static_cast<std::uint16_t>((*value & ~kUserOptCrc) | (Opt & kUserOptCrc));
            return false;
        }
        return true;
    case 3:
        Password = CutText(Decode(ReadStoredText(), WithCrc()), kUserTextMax);
        return !IsStorableUserText(Password);
    case 4:
        if (const std::optional<std::int32_t> value = ReadStoredNumber(WithCrc(), 0xFF)) {
            Level = static_cast<std::uint8_t>(*value);
            return false;
        }
        return true;
    default:
        return TNameObject::ParseKeyword(keyword);
    }
}

std::string TPasswordNameObj::ParamsToText() const {
    std::string text = TNameObject::ParamsToText();
    if (!UserName.empty()) {
        text += " USR='" + UserName + "'";
    }
    if (const auto options = static_cast<std::uint16_t>(Opt & ~kUserOptCrc); options != 0) {
        text += " OPT=" + Encode("$" + HexW(options), WithCrc());
    }
    if (!Password.empty()) {
        text += " PSW='" + Encode(Password, WithCrc()) + "'";
    }
    return text + " LEV=" + Encode(std::to_string(Level), WithCrc());
}

bool TPasswordLabelColl::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "LOC|OPT|CRC")) {
    case 1:
        return LexGetField(Loc, 0, 0xFF);
    case 2:
        return LexGetField(Opt, 0, 0xFFFF);
    case 3:
        HasCrc = !LexGetField(Crc, 0, 0xFFFF);
        return !HasCrc;
    default:
        return TNameColl::ParseKeyword(keyword);
    }
}

std::string TPasswordLabelColl::ParamsToText() const {
    return TNameColl::ParamsToText() + " LOC=" + std::to_string(Loc) + " OPT=$" + HexW(Opt) + " CRC=$" +
           HexW(Crc);
}

const TPasswordNameObj* TPasswordLabelColl::GetUser(std::string_view userName) const {
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TPasswordNameObj* user = UserAt(i); user != nullptr && SameName(*user, userName)) {
            return user;
        }
    }
    return nullptr;
}

bool TPasswordLabelColl::CheckUser(std::string_view userName, std::string_view password, std::uint16_t& opt,
                                   std::uint8_t& level) const {
    opt = 0;
    level = 0;
    if (userName.empty() || password.empty()) {
        return false;
    }
    const TPasswordNameObj* user = GetUser(userName);
    if (user == nullptr || !SameAsciiNoCase(user->Password, password)) {
        return false;
    }
    opt = user->Opt;
    level = user->Level;
    return true;
}

TPasswordNameObj& TPasswordLabelColl::AddUser(std::string_view userName, std::string_view password,
                                              std::uint8_t level, std::uint16_t opt) {
    auto user = std::make_unique<TPasswordNameObj>(EntryName(PFX, Count()), (Opt & kUserOptCrc) != 0);
    user->UserName = CutText(std::string(userName), kUserTextMax);
    user->Password = CutText(std::string(password), kUserTextMax);
    user->Level = level;
    user->Opt = static_cast<std::uint16_t>((opt & ~kUserOptCrc) | (Opt & kUserOptCrc));
    TPasswordNameObj& added = *user;
    Insert(std::move(user));
    return added;
}

TPswResult TPasswordLabelColl::Load(const std::filesystem::path& file) {
    std::string bytes;
    const int error = ReadRegularFile(file, kUsersFileMax, bytes);
    std::string readError;
    if (error == EINVAL) {
        readError = "not a regular file";
    } else if (error == EFBIG) {
        readError = "larger than " + std::to_string(kUsersFileMax / 1024) + " KB";
    } else if (error != 0) {
        readError = IoErrnoText(error, IoAccess::Read, file);
    }
    return LoadLines(SplitLines(bytes), PathText(file), readError);
}

TPswResult TPasswordLabelColl::LoadFromText(std::string_view bytes, std::string_view fileName) {
    return LoadLines(SplitLines(bytes), fileName, {});
}

TPswResult TPasswordLabelColl::LoadLines(std::span<const std::string> lines, std::string_view fileName,
                                         std::string_view readError) {
    FreeAll();
    Crc = 0;
    HasCrc = false;
    TPswResult result;
    const auto fail = [&result, fileName](int code, std::size_t line) {
        if (result.Ok()) {
            result = {code, std::string(fileName) + ":Syntax Err:line " + std::to_string(line + 1)};
        }
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0) {
            if (ParseParams(lines[i])) {
                fail(TPswResult::kHeaderError, i);
            }
            continue;
        }
        if (BlankLine(lines[i])) {
            continue;
        }
        auto user = std::make_unique<TPasswordNameObj>(EntryName(PFX, Count()), (Opt & kUserOptCrc) != 0);
        if (user->ParseParams(lines[i])) {
            fail(TPswResult::kUserError, i);
            continue;
        }
        Insert(std::move(user));
    }
    if (result.Ok() && !readError.empty()) {
        result = {TPswResult::kIoError, std::string(fileName) + ":Err=" + std::string(readError)};
    }
    if (result.Ok() && (!HasCrc || UsersCrc() != Crc)) {
        result = {TPswResult::kCorrupted, std::string(fileName) + ":file corrupted!"};
    }
    if (!result.Ok()) {
        FreeAll();
    }
    return result;
}

std::string TPasswordLabelColl::SaveToText() {
    if (Loc == kLocWrittenAsOne) {
        Loc = 1;
    }
    // Every user's CRC bit is the store's, as a load will take it.
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (TPasswordNameObj* user = UserAt(i)) {
            user->Opt = static_cast<std::uint16_t>((user->Opt & ~kUserOptCrc) | (Opt & kUserOptCrc));
        }
    }
    Crc = UsersCrc();
    HasCrc = true;
    std::string text = ParamsToText() + "\r\n";
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TPasswordNameObj* user = UserAt(i)) {
            text += user->ParamsToText() + "\r\n";
        }
    }
    return text;
}

TPswResult TPasswordLabelColl::Save(const std::filesystem::path& file) {
    const std::string errorText = PathText(file) + ":Err=" + IoErrorText(kWriteErrorCode);
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TPasswordNameObj* user = UserAt(i);
        if (user != nullptr && (!IsStorableUserText(user->UserName) || !IsStorableUserText(user->Password))) {
            return {TPswResult::kIoError, errorText};
        }
    }
    const std::string text = SaveToText();
    // Only a users file is kept as the backup: whatever else stands under the name is not read.
    if (std::string previous; ReadRegularFile(file, kUsersFileMax, previous) == 0 &&
                              !WriteFileAtomic(BackupName(file), previous, kPrivateFileMode)) {
        return {TPswResult::kIoError, errorText};
    }
    if (!WriteFileAtomic(file, text, kPrivateFileMode)) {
        return {TPswResult::kIoError, errorText};
    }
    return {};
}

void TPasswordLabelColl::WriteColl(int chn) const {
    Writelnsys(chn,
               "*** " + std::string(kClassName) + "(" + Name + ") **** Count=" + std::to_string(Count()));
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TPasswordNameObj* user = UserAt(i)) {
            Writelnsys(chn, user->Name + "=" + user->TNameObject::ParamsToText() + " USR='" + user->UserName +
                                "' LEV=" + std::to_string(user->Level) + " OPT=$" + HexW(user->Opt));
        }
    }
}

void TPasswordLabelColl::Sort() {
    std::vector<std::unique_ptr<TrbStreamable>> items = DeleteAll();
    const auto key = [](const std::unique_ptr<TrbStreamable>& item) {
        const auto* user = dynamic_cast<const TPasswordNameObj*>(item.get());
        return user == nullptr ? std::string() : HexB(user->Level) + user->UserName;
    };
    std::stable_sort(items.begin(), items.end(),
                     [&key](const auto& a, const auto& b) { return key(a) < key(b); });
    for (auto& item : items) {
        if (auto* user = dynamic_cast<TPasswordNameObj*>(item.get())) {
            user->Name = EntryName(PFX, Count());
            user->Opt = static_cast<std::uint16_t>((user->Opt & ~kUserOptCrc) | (Opt & kUserOptCrc));
        }
        Insert(std::move(item));
    }
    MAX = Count() - 1;
}

std::uint16_t TPasswordLabelColl::UsersCrc() const {
    std::vector<std::uint8_t> bytes;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TPasswordNameObj* user = UserAt(i)) {
            bytes.insert(bytes.end(), user->UserName.begin(), user->UserName.end());
            bytes.insert(bytes.end(), user->Password.begin(), user->Password.end());
            bytes.push_back(user->Level);
            bytes.push_back(static_cast<std::uint8_t>(user->Opt & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(user->Opt >> 8));
        }
    }
    return Crc16Block(bytes, 0);
}

TPasswordLabelColl* GetUsersStore() {
    return GlobalStore();
}

TPasswordLabelColl* SetUsersStore(TPasswordLabelColl* store) {
    TPasswordLabelColl* previous = GlobalStore();
    GlobalStore() = store;
    return previous;
}

} // namespace ravlo
