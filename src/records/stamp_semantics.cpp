#include "records/stamp_semantics.h"

#include "records/field_bytes.h"
#include "records/ttc_time.h"

#include <bit>

namespace ravlo {
namespace {

void WriteF64(TrbObjStream& stream, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    stream.WriteU32(static_cast<std::uint32_t>(bits));
    stream.WriteU32(static_cast<std::uint32_t>(bits >> 32));
}

double ReadF64(TrbObjStream& stream) {
    const std::uint64_t low = stream.ReadU32();
    const std::uint64_t high = stream.ReadU32();
    return std::bit_cast<double>(low | (high << 32));
}

} // namespace

void TDevIxSetSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue) {
        return;
    }
    if (sub == kSemTake) {
        DevIx = GetLE<std::uint8_t>(data);
    } else if (sub == kSemWrite) {
        WriteFieldValue(data, DevIx);
    }
}

void TStrTimeSetSem::Store(TrbObjStream& stream) const {
    stream.WriteU8(MaxLen);
    stream.WriteU8(OnlyModified);
}

void TStrTimeSetSem::Load(TrbObjStream& stream) {
    MaxLen = stream.ReadU8();
    OnlyModified = stream.ReadU8();
}

void TStrTimeSetSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || sub != kSemWrite) {
        return;
    }
    if (OnlyModified != 0 && !RecordModified()) {
        return;
    }
    const std::string text = TTCTimeStr(GetTTCTimeNow());
    WriteFieldText(data, std::string_view(text).substr(0, MaxLen > 0 ? MaxLen - 1u : 0u));
    Found = true;
}

void TTTCTimeSetSem::Store(TrbObjStream& stream) const {
    stream.WriteU8(OnlyModified);
}

void TTTCTimeSetSem::Load(TrbObjStream& stream) {
    OnlyModified = stream.ReadU8();
}

void TTTCTimeSetSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || sub != kSemWrite) {
        return;
    }
    if (OnlyModified != 0 && !RecordModified()) {
        return;
    }
    WriteFieldValue(data, GetTTCTimeNow());
    Found = true;
}

void TAcceptDWFSem::Store(TrbObjStream& stream) const {
    stream.WriteU8(AccKind);
    stream.WriteU32(Low);
    stream.WriteU32(High);
}

void TAcceptDWFSem::Load(TrbObjStream& stream) {
    AccKind = stream.ReadU8();
    Low = stream.ReadU32();
    High = stream.ReadU32();
}

void TAcceptDWFSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || sub != kSemTest) {
        return;
    }
    const auto value = GetLE<std::uint32_t>(data);
    switch (AccKind) {
    case 0:
    case 1:
    case 3:
    case 4:
    case 5:
        Found = Low <= value && value <= High;
        break;
    case 2:
        Found = CmpTTCTime(Low, value) <= 0 && CmpTTCTime(value, High) <= 0;
        break;
    default:
        break;
    }
    HitRec = CurRec;
}

void TAcceptDateTimeSem::Store(TrbObjStream& stream) const {
    WriteF64(stream, Low);
    WriteF64(stream, High);
}

void TAcceptDateTimeSem::Load(TrbObjStream& stream) {
    Low = ReadF64(stream);
    High = ReadF64(stream);
}

void TAcceptDateTimeSem::Reset() {
    TSemantics::Reset();
    LastAccepted.reset();
}

void TAcceptDateTimeSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || sub != kSemTest) {
        return;
    }
    const auto value = std::bit_cast<double>(GetLE<std::uint64_t>(data));
    Found = Low <= value && value <= High;
    if (Found && MinDist > 0) {
        Found = !LastAccepted || value - *LastAccepted >= MinDist;
        if (Found) {
            LastAccepted = value;
        }
    }
    HitRec = CurRec;
}

} // namespace ravlo
