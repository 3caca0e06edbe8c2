#include "protocol/ma_messages.h"

#include "framework/number_text.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"

namespace ravlo {
namespace {

constexpr std::size_t kChnParamRunLen = 6;
// The run record's operation byte comes before the communication record.
constexpr std::size_t kTxDFrameLenAt = 1 + TRavloCommFrameRec::kFrameLenAt;

} // namespace

std::size_t Ravlo_MA_RunLen(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        return 1;
    }
    switch (data[0]) {
    case ravlo_ma_run_SetChnParam:
        return kChnParamRunLen;
    case ravlo_ma_run_TxD: {
        if (data.size() < kTxDFrameLenAt + 2) {
            return kTxDFrameLenAt + 2;
        }
        const std::size_t frameLen = FrameU16(data, kTxDFrameLenAt);
        return 1 + TRavloCommFrameRec::kHeaderLen + frameLen;
    }
    default:
        return 1;
    }
}

std::vector<std::uint8_t> RunRecOperation(std::uint8_t operation) {
    return {operation};
}

std::vector<std::uint8_t> RunRecChnParam(std::uint8_t port, std::uint32_t baud) {
    std::vector<std::uint8_t> out{ravlo_ma_run_SetChnParam};
    const auto param = TRavloChnParamRec{port, baud}.Encode();
    out.insert(out.end(), param.begin(), param.end());
    return out;
}

std::vector<std::uint8_t> RunRecTxD(const TRavloCommFrameRec& record) {
    std::vector<std::uint8_t> out{ravlo_ma_run_TxD};
    out.reserve(1 + record.Length());
    record.EncodeTo(out);
    return out;
}

std::string MaCodeText(std::uint8_t code) {
    switch (code) {
    case Ravlo_MA_RUN:
        return "Ravlo_MA_RUN";
    case Ravlo_MA_USER_CMD:
        return "Ravlo_MA_USER_CMD";
    case RAVLOCOMM_MA_CrOpCo:
        return "RAVLOCOMM_MA_CrOpCo";
    case RAVLOCOMM_MA_DiClDe:
        return "RAVLOCOMM_MA_DiClDe";
    case RAVLOCOMM_MA_SetChnParam:
        return "RAVLOCOMM_MA_SetChnParam";
    case RAVLOCOMM_MA_TxD:
        return "RAVLOCOMM_MA_TxD:";
    case RAVLOCOMM_MA_RxD:
        return "RAVLOCOMM_MA_RxD:";
    case RAVLOCOMM_MA_State:
        return "RAVLOCOMM_MA_State:";
    case RAVLOCOMM_MA_Error:
        return "RAVLOCOMM_MA_Error:";
    case wcmd_Result:
        return "Result";
    case wcmd_TimeOut:
        return "TimeOut";
    default:
        return HexB(code);
    }
}

std::string TRavlo_MA_ProcMess::CodeStr() const {
    return MaCodeText(GetCode());
}

std::string TRavlo_MA_ProcMess::DataStr() const {
    const auto data = DataSpan();
    switch (GetCode()) {
    case RAVLOCOMM_MA_TxD:
    case RAVLOCOMM_MA_RxD:
        return CommFrameRecText(data);
    case Ravlo_MA_RUN:
        if (!data.empty() && data[0] == ravlo_ma_run_TxD) {
            return CommFrameRecText(data.subspan(1));
        }
        return TProcMess::DataStr();
    default:
        return TProcMess::DataStr();
    }
}

} // namespace ravlo
