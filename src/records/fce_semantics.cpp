#include "records/fce_semantics.h"

#include "records/field_bytes.h"

#include <limits>

namespace ravlo {

void TGetFceSem::Store(TrbObjStream& stream) const {
    stream.WriteU8(FceCode);
}

void TGetFceSem::Load(TrbObjStream& stream) {
    FceCode = stream.ReadU8();
}

template <class T>
typename TNumberGetFceSem<T>::CellValue TNumberGetFceSem<T>::GetCell() const {
    if constexpr (sizeof(T) < 4) {
        return Cell->W;
    } else {
        return static_cast<std::int32_t>(Cell->L);
    }
}

template <class T>
void TNumberGetFceSem<T>::SetCell(CellValue value) {
    if constexpr (sizeof(T) < 4) {
        Cell->W = value;
    } else {
        Cell->L = static_cast<std::uint32_t>(value);
    }
}

template <class T>
void TNumberGetFceSem<T>::Aggregate(T value) {
    const CellValue cell = GetCell();
    const auto v = static_cast<CellValue>(value);
    switch (FceCode) {
    case kFceMaxBelowTop:
        if (value == std::numeric_limits<T>::max()) {
            return;
        }
        [[fallthrough]];
    case kFceMax:
        if (!Found || v > cell) {
            SetCell(v);
            Hit();
        }
        return;
    case kFceMin:
        if (!Found || v < cell) {
            SetCell(v);
            Hit();
        }
        return;
    case kFceSum:
        // Sums wrap at the cell's width, as the cell is all there is to hold them.
        SetCell(static_cast<CellValue>(static_cast<std::make_unsigned_t<CellValue>>(cell) +
                                       static_cast<std::make_unsigned_t<CellValue>>(v)));
        Hit();
        return;
    case kFceAnd:
        SetCell(static_cast<CellValue>(cell & v));
        Hit();
        return;
    case kFceOr:
        SetCell(static_cast<CellValue>(cell | v));
        Hit();
        return;
    case kFceEqual:
        if (!Found && v == cell) {
            Hit();
        }
        return;
    default:
        return;
    }
}

template <class T>
void TNumberGetFceSem<T>::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || Cell == nullptr) {
        return;
    }
    const T value = GetLE<T>(data);
    switch (sub) {
    case kSemTake:
        SetCell(static_cast<CellValue>(value));
        Found = true;
        break;
    case kSemTest:
        Aggregate(value);
        break;
    case kSemWrite:
        WriteFieldValue(data, static_cast<T>(GetCell()));
        Found = true;
        break;
    default:
        break;
    }
}

template class TNumberGetFceSem<std::uint8_t>;
template class TNumberGetFceSem<std::uint16_t>;
template class TNumberGetFceSem<std::int32_t>;

void TPStrGetFceSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || Cell == nullptr) {
        return;
    }
    switch (sub) {
    case kSemTake:
        Cell->Text = GetShortString(data);
        Found = true;
        break;
    case kSemTest:
        if (FceCode == kFceEqual && !Found && GetShortString(data) == Cell->Text) {
            Hit();
        }
        break;
    case kSemWrite:
        WriteFieldText(data, Cell->Text);
        Found = true;
        break;
    default:
        break;
    }
}

} // namespace ravlo
