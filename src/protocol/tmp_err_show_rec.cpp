#include "protocol/tmp_err_show_rec.h"

#include "framework/le_bytes.h"
#include "framework/number_text.h"

#include <algorithm>

namespace ravlo {

TTmpErrShowRec TTmpErrShowRec::ForText(std::string_view text, bool msgBox) {
    TTmpErrShowRec rec;
    rec.Text = std::string(text.substr(0, kTextMax));
    rec.MsgBox = msgBox ? 1 : 0;
    return rec;
}

std::optional<TTmpErrShowRec> TTmpErrShowRec::FromBytes(std::span<const std::uint8_t> data) {
    if (data.size() < kSize) {
        return std::nullopt;
    }
    TTmpErrShowRec rec;
    rec.Visible = data[0];
    rec.Attr = GetLE<std::uint32_t>(data, 1);
    // A corrupt length byte must not reach into MsgBox.
    const std::size_t length = std::min<std::size_t>(data[kTextOffset], kTextMax);
    rec.Text.assign(reinterpret_cast<const char*>(data.data() + kTextOffset + 1), length);
    rec.MsgBox = data[kMsgBoxOffset];
    return rec;
}

std::array<std::uint8_t, TTmpErrShowRec::kSize> TTmpErrShowRec::ToBytes() const {
    std::array<std::uint8_t, kSize> bytes{};
    bytes[0] = Visible;
    PutLE(std::span(bytes), 1, Attr);
    const std::size_t length = std::min(Text.size(), kTextMax);
    bytes[kTextOffset] = static_cast<std::uint8_t>(length);
    std::copy_n(Text.begin(), length, bytes.begin() + kTextOffset + 1);
    bytes[kMsgBoxOffset] = MsgBox;
    return bytes;
}

TProcMess TmpErrShowMess(const TProcAdr& dest, const TProcAdr& src, std::string_view text, bool msgBox) {
    const auto bytes = TTmpErrShowRec::ForText(text, msgBox).ToBytes();
    return TProcMess::Create(dest, src, 0, 0, TMP_ERR_SHOW, bytes);
}

std::string TmpErrCodeName(std::uint8_t code) {
    switch (code) {
    case TMP_ERR_SHOW:
        return "TMP_ERR_SHOW";
    case TMP_ERR_TIMEOUT:
        return "TMP_ERR_TIMEOUT";
    case TMP_ERR_RESET:
        return "TMP_ERR_RESET";
    case TMP_ERR_SHOW_REP:
        return "TMP_ERR_SHOW_REP";
    default:
        return HexB(code);
    }
}

std::string TTMP_ERR_ProcMess::CodeStr() const {
    return HasHead() ? TmpErrCodeName(GetCode()) : TProcMess::CodeStr();
}

std::string TTMP_ERR_ProcMess::DataStr() const {
    if (!HasHead() || (GetCode() != TMP_ERR_SHOW && GetCode() != TMP_ERR_SHOW_REP)) {
        return TProcMess::DataStr();
    }
    const std::optional<TTmpErrShowRec> rec = TTmpErrShowRec::FromBytes(DataSpan());
    if (!rec) {
        return "NoRecData";
    }
    return "\"" + rec->Text + "\"" + (rec->MsgBox != 0 ? " MsgBox" : "");
}

} // namespace ravlo
