#include "records/int_field_dscrs.h"

#include "framework/date_text.h"
#include "framework/number_text.h"
#include "framework/padding.h"
#include "records/ttc_time.h"

namespace ravlo {

template <class Base, bool WithSeconds>
std::string TScaledFieldDscr<Base, WithSeconds>::ValueText(TextForm form, int width,
                                                           std::span<const std::uint8_t> data) const {
    const std::int64_t value = GetLE<typename Base::ValueType>(data);
    if (Kind == 0) {
        return this->IntegerText(form, width, value, 2 * sizeof(typename Base::ValueType));
    }
    if (WithSeconds && Kind == 1) {
        return PadLChr(SecsToTimeStr(value), width, ' ');
    }
    const int scale = WithSeconds ? Kind - 1 : Kind;
    if (scale < 1 || scale > 4) {
        return {};
    }
    return this->RealText(form, width, static_cast<double>(value) / Pow10R(scale), Decimals, true);
}

template class TScaledFieldDscr<TWordRecFieldDscr, true>;
template class TScaledFieldDscr<TSmallIntRecFieldDscr, false>;
template class TScaledFieldDscr<TLIntRecFieldDscr, false>;

void TDWordRecFieldDscr::Store(TrbObjStream& stream) const {
    TLIntRecFieldDscr::Store(stream);
    stream.WriteU8(Kind);
}

void TDWordRecFieldDscr::Load(TrbObjStream& stream) {
    TLIntRecFieldDscr::Load(stream);
    Kind = stream.ReadU8();
}

std::string TDWordRecFieldDscr::ValueText(TextForm form, int width,
                                          std::span<const std::uint8_t> data) const {
    const auto value = GetLE<std::uint32_t>(data);
    switch (Kind) {
    case 0:
        return IntegerText(form, width, value, 8);
    case 1:
        return PadLChr(FileDateStr(static_cast<std::int32_t>(value)), width, ' ');
    case 2:
        return PadLChr(TTCTimeStr(value), width, ' ');
    case 3:
        return PadLChr(SecsToTimeStr(value), width, ' ');
    case 4:
        return PadLChr(SgnSecsToStr(static_cast<std::int32_t>(value)), width, ' ');
    default:
        return {};
    }
}

void TSpecDWordLimRecFieldDscr::Store(TrbObjStream& stream) const {
    TLimFieldDscr::Store(stream);
    stream.WriteU8(Extra);
}

void TSpecDWordLimRecFieldDscr::Load(TrbObjStream& stream) {
    TLimFieldDscr::Load(stream);
    Extra = stream.ReadU8();
}

} // namespace ravlo
