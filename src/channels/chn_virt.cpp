#include "channels/chn_virt.h"

#include "channels/chn_collection.h"
#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "platform/text_case.h"

#include <algorithm>
#include <utility>

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "DWN|NOD|DNO|LRB|CHT|CHN|";
constexpr std::size_t kStateTextMax = 80;

// The channels obtaining their lower channel right now, outermost first (main thread only). A new lower
// channel reads its own INI key and may obtain one in turn, so a channel named below itself (directly or
// through others) would otherwise be created without end.
std::vector<const TChnVirt*>& ChannelsLinking() {
    static std::vector<const TChnVirt*> linking;
    return linking;
}

class LinkingScope {
public:
    explicit LinkingScope(const TChnVirt& channel) { ChannelsLinking().push_back(&channel); }
    ~LinkingScope() { ChannelsLinking().pop_back(); }
    LinkingScope(const LinkingScope&) = delete;
    LinkingScope& operator=(const LinkingScope&) = delete;
};

bool IsLinking(std::string_view typeName, std::string_view name) {
    return std::any_of(ChannelsLinking().begin(), ChannelsLinking().end(), [&](const TChnVirt* channel) {
        return SameTextNoCase(channel->TypeName(), typeName) && SameTextNoCase(channel->Name, name);
    });
}

} // namespace

TChnVirt::TChnVirt(std::string_view name) : TChnVirt(name, kTypeName) {}

TChnVirt::TChnVirt(std::string_view name, std::string_view typeName)
    : TNameObject(name),
      typeName_(Cp1250ToUpper(typeName.substr(0, std::min(typeName.size(), kTypeNameMax)))),
      codeBase_(ChNumName(typeName_)) {}

TChnVirt::~TChnVirt() {
    opErr_ = 0;
    if (CHStatus() != CHS_Close) {
        CHClose();
    }
    DropLowerChannel();
    for (TChnVirt* sharer : sharers_) {
        sharer->lower_ = nullptr;
    }
    RemoveChInst(*this);
}

bool TChnVirt::FinishCreate() {
    const std::string created = std::string(ClassName()) + "/" + std::string(ClassName()) + ".Create ";
    if (Name.empty()) {
        TraceInit(created + "(inherited)");
        return false;
    }
    const bool failed = ReadParamFromINI(TestDebugMask(kChnTraceInit));
    AddChInst(*this);
    TraceInit(created + (failed ? "ERROR " : "OK ") + Name + ":" + typeName_ + "=[" + ParamsToText() + "]");
    return failed;
}

bool TChnVirt::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, kKeywords)) {
    case 1:
        return LexGetField(dwn_, 0, 0xFF);
    case 2:
        // Nodes travel as single bytes: a larger value is refused here, not on every frame.
        return LexGetField(nod_, 0, 0xFF);
    case 3:
        return LexGetField(dno_, 0, 0xFF);
    case 4: {
        std::uint16_t size = 0;
        if (LexGetField(size, 0, 0xFFFF)) {
            return true;
        }
        lrbBlock_ = std::vector<std::uint8_t>(size);
        LrbChanged();
        return false;
    }
    case 5:
        return ParseLowerName(cht_, kTypeNameMax);
    case 6:
        return ParseLowerName(chn_, kNameMax);
    default:
        return TNameObject::ParseKeyword(keyword);
    }
}

std::optional<std::string> TChnVirt::GetParamText(std::string_view keyword) const {
    switch (LexKeyIndex(Cp1250ToUpper(keyword), kKeywords)) {
    case 1:
        return std::to_string(dwn_);
    case 2:
        return "$" + HexB(static_cast<std::uint8_t>(nod_));
    case 3:
        return "$" + HexB(static_cast<std::uint8_t>(dno_));
    case 4:
        return std::to_string(LRB());
    case 5:
        return cht_;
    case 6:
        return chn_;
    default:
        return TNameObject::GetParamText(keyword);
    }
}

std::string TChnVirt::ParamsToText() const {
    std::string text = TNameObject::ParamsToText();
    const bool all = ALL != 0;
    if (dwn_ != 0 || all) {
        text += " DWN=" + std::to_string(dwn_);
    }
    if (nod_ != 0 || all) {
        text += " NOD=$" + HexB(static_cast<std::uint8_t>(nod_));
    }
    if (dno_ != 0 || all) {
        text += " DNO=$" + HexB(static_cast<std::uint8_t>(dno_));
    }
    if (LRB() != 0 || all) {
        text += " LRB=" + std::to_string(LRB());
    }
    if (!cht_.empty() || all) {
        text += " CHT=" + LexStrText(cht_);
    }
    if (!chn_.empty() || all) {
        text += " CHN=" + LexStrText(chn_);
    }
    return text;
}

bool TChnVirt::ParseLowerName(std::string& field, std::size_t maxLength) {
    std::string value = LexGetStr();
    value.resize(std::min(value.size(), maxLength));
    if (value != field) {
        DropLowerChannel();
        field = std::move(value);
    }
    if (cht_.empty() || chn_.empty() || lower_ != nullptr) {
        return false;
    }
    return LinkLowerChannel();
}

bool TChnVirt::LinkLowerChannel() {
    TChnResCode result = 0;
    if (ChnCollection() == nullptr) {
        result = codeBase_ | kChNoNextChannel;
    } else {
        const LinkingScope linking(*this);
        TChnNewInit found = IsLinking(cht_, chn_) ? TChnNewInit{} : ChNewInit(cht_, chn_);
        if (found.Channel == nullptr) {
            result = codeBase_ | kChChannelNoExist;
            if (TestDebugMask(kChnTraceInit)) {
                WriteErrsys(dwn_, Name + ":/TChnVirt: ChnCollection.ChNewInit(" + cht_ + "," + chn_ +
                                      ",...)=nil Error");
            }
        } else {
            lower_ = found.Channel;
            if (found.Owned) {
                ownedLower_ = std::move(found.Owned);
            } else {
                lower_->sharers_.push_back(this);
            }
            result = lower_->GetOpErr();
        }
    }
    if (result == 0) {
        return false;
    }
    WriteErrLine(result);
    KeepFirst(opErr_, result);
    return true;
}

void TChnVirt::DropLowerChannel() {
    if (ownedLower_) {
        ownedLower_.reset();
    } else if (lower_ != nullptr) {
        std::erase(lower_->sharers_, this);
    }
    lower_ = nullptr;
}

std::uint16_t TChnVirt::ChNumName(std::string_view typeName) const {
    const TChnCollection* registry = ChnCollection();
    return registry == nullptr ? 0 : registry->ChNumName(typeName);
}

std::string TChnVirt::ChTypeName(std::uint16_t code) const {
    const TChnCollection* registry = ChnCollection();
    return registry == nullptr ? std::string{} : registry->ChTypeName(code);
}

void TChnVirt::RefreshFromLower() {
    if (lower_ != nullptr) {
        state_ = lower_->CHReady();
        status_ = lower_->Status();
        TakeOpErr(lower_->GetOpErr());
    }
}

std::uint16_t TChnVirt::CHStatus() {
    RefreshFromLower();
    PollState();
    return status_;
}

std::uint16_t TChnVirt::CHReady() {
    RefreshFromLower();
    PollState();
    return state_;
}

void TChnVirt::CHOpen() {
    if (lower_ != nullptr) {
        lower_->CHOpen();
        TakeOpErr(lower_->GetOpErr());
    } else if (state_ != CHS_Close) {
        StoreOpErr(codeBase_ | kChNoClose);
    } else {
        SetState(CHS_Open);
    }
}

void TChnVirt::CHClose() {
    if (lower_ != nullptr) {
        lower_->CHClose();
        TakeOpErr(lower_->GetOpErr());
    } else {
        SetState(CHS_Close);
    }
}

void TChnVirt::CHConnect() {
    if (lower_ != nullptr) {
        lower_->CHConnect();
        TakeOpErr(lower_->GetOpErr());
    } else if (state_ != CHS_Open) {
        StoreOpErr(codeBase_ | kChNoOpen);
    } else {
        SetState(CHS_Connect);
    }
}

void TChnVirt::CHDisConnect() {
    if (lower_ != nullptr) {
        lower_->CHDisConnect();
        TakeOpErr(lower_->GetOpErr());
    } else if (state_ != CHS_Connect) {
        StoreOpErr(codeBase_ | kChNoConnect);
    } else {
        SetState(CHS_Open);
    }
}

void TChnVirt::SetNOD(std::uint8_t node) {
    nod_ = node;
    if (lower_ != nullptr) {
        lower_->SetNOD(node);
        TakeOpErr(lower_->GetOpErr());
    }
}

void TChnVirt::SetDNO(std::uint8_t node) {
    dno_ = node;
    if (lower_ != nullptr) {
        lower_->SetDNO(node);
        TakeOpErr(lower_->GetOpErr());
    }
}

void TChnVirt::CHSend(std::span<const std::uint8_t> block) {
    if (lower_ != nullptr) {
        lower_->CHSend(block);
        TakeTraErr(lower_->GetTraErr());
    } else if (state_ != CHS_Connect) {
        StoreTraErr(codeBase_ | kChNoConnect);
    }
    // A stand-alone channel sends its data nowhere.
}

std::uint16_t TChnVirt::CHSendBusy() {
    if (lower_ != nullptr) {
        const std::uint16_t busy = lower_->CHSendBusy();
        TakeTraErr(lower_->GetTraErr());
        return busy;
    }
    PollSend();
    if (state_ != CHS_Connect) {
        StoreTraErr(codeBase_ | kChNoConnect);
        return 1;
    }
    return sendBusy_;
}

void TChnVirt::CHSendFlush() {
    if (lower_ != nullptr) {
        lower_->CHSendFlush();
        traErr_ = 0;
        TakeTraErr(lower_->GetTraErr());
    } else if (state_ != CHS_Connect) {
        StoreTraErr(codeBase_ | kChNoConnect);
    } else {
        traErr_ = 0;
    }
}

void TChnVirt::SetRecBuf(std::span<std::uint8_t> buffer) {
    recBuf_ = buffer.first(std::min<std::size_t>(buffer.size(), 0xFFFF));
}

std::uint16_t TChnVirt::CHRecEmpty() {
    PollRece();
    if (state_ != CHS_Connect) {
        StoreRecErr(codeBase_ | kChNoConnect);
        return 1;
    }
    return ReceiveState() == 0 ? 0 : 1;
}

std::uint16_t TChnVirt::CHRece() {
    if (lower_ != nullptr) {
        const std::uint16_t length = lower_->CHRece();
        TakeRecErr(lower_->GetRecErr());
        return length;
    }
    StoreRecErr(codeBase_ | kChNoReceiveReady);
    return 0;
}

std::uint8_t TChnVirt::CHReadByte() {
    if (lower_ != nullptr) {
        const std::uint8_t byte = lower_->CHReadByte();
        TakeRecErr(lower_->GetRecErr());
        return byte;
    }
    StoreRecErr(codeBase_ | kChNoReceiveReady);
    return 0;
}

void TChnVirt::CHReceFlush() {
    if (lower_ != nullptr) {
        lower_->CHReceFlush();
        recErr_ = 0;
        TakeRecErr(lower_->GetRecErr());
    } else if (state_ != CHS_Connect) {
        StoreRecErr(codeBase_ | kChNoConnect);
    } else {
        recErr_ = 0;
    }
}

void TChnVirt::GetRecNodes(std::uint16_t& source, std::uint16_t& destination) {
    if (lower_ != nullptr) {
        lower_->GetRecNodes(source, destination);
        TakeRecErr(lower_->GetRecErr());
        return;
    }
    source = lastSource_;
    destination = lastDestination_;
}

TChnResCode TChnVirt::GetOpErr() {
    return std::exchange(opErr_, TChnResCode{0});
}

TChnResCode TChnVirt::GetRecErr() {
    return std::exchange(recErr_, TChnResCode{0});
}

TChnResCode TChnVirt::GetTraErr() {
    return std::exchange(traErr_, TChnResCode{0});
}

std::string TChnVirt::ResText(TChnResCode code) const {
    if (code == res_Ok) {
        return "res_Ok";
    }
    if (lower_ != nullptr && ResTypeBits(code) != codeBase_) {
        return "->" + lower_->Name + ":" + lower_->ResText(code);
    }
    return ResTypeText(code) + ResKindText(code);
}

std::string TChnVirt::ResTypeText(TChnResCode code) const {
    return ChTypeName(code) + "\\";
}

std::string TChnVirt::ResKindText(TChnResCode code) const {
    return ChnKindText(ResKind(code)) + "\\" + ErrText(code);
}

std::string TChnVirt::ErrText(TChnResCode code) const {
    const std::uint8_t detail = ResDetail(code);
    switch (ResKind(code)) {
    case TChnResKind::T_Ok:
        return detail == 0 ? "OK" : DetailHexText(detail);
    case TChnResKind::ChState:
        return ChnStateDetailText(detail);
    default:
        return DetailHexText(detail);
    }
}

std::string TChnVirt::StateText() const {
    std::string text;
    switch (status_) {
    case CHS_Close:
        text = "CHS_Close";
        break;
    case CHS_Open:
        text = "CHS_Open";
        break;
    case CHS_Connect:
        text = "CHS_Connect";
        break;
    default:
        text = "CHS_$" + HexW(status_);
        break;
    }
    if (lower_ != nullptr) {
        text += "\\" + lower_->StateText();
    }
    text.resize(std::min(text.size(), kStateTextMax));
    return text;
}

void TChnVirt::StoreOpErr(TChnResCode code) {
    KeepFirst(opErr_, code);
    WriteErrLine(code);
}

void TChnVirt::StoreRecErr(TChnResCode code) {
    KeepFirst(recErr_, code);
    WriteErrLine(code);
}

void TChnVirt::StoreTraErr(TChnResCode code) {
    KeepFirst(traErr_, code);
    WriteErrLine(code);
}

void TChnVirt::WriteErrLine(TChnResCode code) const {
    WriteErrsys(dwn_, Name + ":" + ResText(code));
}

void TChnVirt::WriteTraceLine(std::string_view text) const {
    Writelnsys(dwn_, text);
}

void TChnVirt::TraceInit(std::string_view text) const {
    if (TestDebugMask(kChnTraceInit)) {
        Writelnsys(dwn_, Name + ":" + std::string(text));
    }
}

} // namespace ravlo
