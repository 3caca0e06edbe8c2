#include "channels/chn_marbex_l0.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "platform/text_case.h"

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "LSB|";

// The lower channel as the deframer's byte source.
class LowerChannelSource final : public LinkByteSource {
public:
    explicit LowerChannelSource(TChnVirt* lower) : lower_(lower) {}

    RawRead ReadRaw(std::uint8_t& byte) override {
        if (lower_ == nullptr || lower_->CHRecEmpty() != 0) {
            return RawRead::Nothing;
        }
        byte = lower_->CHReadByte();
        return lower_->GetRecErr() != 0 ? RawRead::Error : RawRead::Byte;
    }

private:
    TChnVirt* lower_;
};

} // namespace

std::string LinkBlockText(std::span<const std::uint8_t> block) {
    if (block.empty()) {
        return {};
    }
    const std::uint8_t first = block.front();
    std::string text{HexN(first >> 6), '|', HexN((first >> 3) & 0x7), '|', HexN(first & 0x7), '|'};
    return text + HexBuf(block.subspan(1), block.size() - 1);
}

TChnMarbexL0::TChnMarbexL0(std::string_view name) : TChnVirt(name, kTypeName) {}

TChnMarbexL0::~TChnMarbexL0() {
    WriteParamToINI();
    UPD = 0;
    TraceInit(std::string(kClassName) + ".Destroy OK");
}

bool TChnMarbexL0::ParseKeyword(std::string_view keyword) {
    if (LexKeyIndex(keyword, kKeywords) != 1) {
        return TChnVirt::ParseKeyword(keyword);
    }
    std::uint16_t size = 0;
    if (LexGetField(size, 0, 0xFFFF)) {
        return true;
    }
    builder_.SetCapacity(size);
    return false;
}

std::optional<std::string> TChnMarbexL0::GetParamText(std::string_view keyword) const {
    if (LexKeyIndex(Cp1250ToUpper(keyword), kKeywords) == 1) {
        return std::to_string(LSB());
    }
    return TChnVirt::GetParamText(keyword);
}

std::string TChnMarbexL0::ParamsToText() const {
    std::string text = TChnVirt::ParamsToText();
    if (LSB() != kDefaultLsb || ALL != 0) {
        text += " LSB=" + std::to_string(LSB());
    }
    return text;
}

void TChnMarbexL0::TraceFrame(std::string_view direction, std::uint8_t destination, std::uint8_t source,
                              std::span<const std::uint8_t> block) const {
    if (TestDebugMask(kChnTraceL0Mess)) {
        WriteTraceLine(Name + ":" + std::string(direction) + "[$" + HexB(destination) + ",$" + HexB(source) +
                       "," + IntStr(static_cast<std::int32_t>(block.size()), 3) + LinkBlockText(block) + "]");
    }
}

void TChnMarbexL0::CHSend(std::span<const std::uint8_t> block) {
    if (State() != CHS_Connect) {
        StoreTraErr(CodeBase() | kChNoConnect);
        return;
    }
    const auto destination = static_cast<std::uint8_t>(DNO());
    const auto source = static_cast<std::uint8_t>(NOD());
    const std::optional<std::span<const std::uint8_t>> frame = builder_.Build(destination, source, block);
    if (!frame) {
        StoreTraErr(CodeBase() | kSpecBufferOverflow);
        return;
    }
    TraceFrame(".CHSend->", destination, source, block);
    TChnVirt::CHSend(*frame);
}

void TChnMarbexL0::PollRece() {
    LowerChannelSource source(Lower());
    deframer_.Poll(source, RecBuf(), NOD());
}

std::uint16_t TChnMarbexL0::CHRece() {
    if (State() != CHS_Connect || deframer_.State() != LinkDeframer::kComplete) {
        StoreRecErr(CodeBase() | kChNoReceiveReady);
        return 0;
    }
    const std::uint16_t length = deframer_.FrameLength();
    deframer_.Resume();
    if (length > RecBuf().size()) {
        // The buffer was replaced by a smaller one since the frame arrived: its data are gone.
        StoreRecErr(CodeBase() | kChNoReceiveReady);
        return 0;
    }
    TraceFrame(".CHRece<-", deframer_.Destination(), deframer_.Source(), RecBuf().first(length));
    return length;
}

void TChnMarbexL0::CHReceFlush() {
    TChnVirt::CHReceFlush();
    if (PeekRecErr() == 0) {
        deframer_.Restart();
    }
}

void TChnMarbexL0::GetRecNodes(std::uint16_t& source, std::uint16_t& destination) {
    source = deframer_.Source();
    destination = deframer_.Destination();
}

std::string TChnMarbexL0::ErrText(TChnResCode code) const {
    if (ResKind(code) == TChnResKind::Spec) {
        return ResDetail(code) == 0x01 ? "MSBuffOvr" : DetailHexText(ResDetail(code));
    }
    return TChnVirt::ErrText(code);
}

} // namespace ravlo
