#include "records/scan_semantics.h"

#include "records/field_bytes.h"

#include <algorithm>
#include <optional>

namespace ravlo {
namespace {

template <class T>
int Order(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool Satisfies(std::uint8_t cmpOp, int order) {
    switch (cmpOp) {
    case 0:
        return true;
    case 1:
        return order == 0;
    case 2:
        return order < 0;
    case 3:
        return order <= 0;
    case 4:
        return order > 0;
    case 5:
        return order >= 0;
    case 6:
        return order != 0;
    default:
        return false;
    }
}

} // namespace

void TScanIfSem::Store(TrbObjStream& stream) const {
    stream.WriteU8(ValKind);
    stream.WriteU8(CmpOp);
}

void TScanIfSem::Load(TrbObjStream& stream) {
    ValKind = stream.ReadU8();
    CmpOp = stream.ReadU8();
}

void TScanIfSem::TakeValue(std::span<const std::uint8_t> data) {
    switch (ValKind) {
    case 1:
        Cell->W = GetLE<std::uint8_t>(data);
        break;
    case 2:
    case 3:
        Cell->W = GetLE<std::uint16_t>(data);
        break;
    case 4:
    case 5:
        Cell->L = GetLE<std::uint32_t>(data);
        break;
    case 7:
        Cell->Text = GetShortString(data);
        break;
    default:
        break;
    }
}

bool TScanIfSem::Test(std::span<const std::uint8_t> data) const {
    std::optional<int> order;
    switch (ValKind) {
    case 1:
        order = Order(GetLE<std::uint8_t>(data), static_cast<std::uint8_t>(Cell->W));
        break;
    case 2:
        order = Order(GetLE<std::int16_t>(data), static_cast<std::int16_t>(Cell->W));
        break;
    case 3:
        order = Order(GetLE<std::uint16_t>(data), Cell->W);
        break;
    case 4:
        order = Order(GetLE<std::int32_t>(data), static_cast<std::int32_t>(Cell->L));
        break;
    case 5:
        order = Order(GetLE<std::uint32_t>(data), Cell->L);
        break;
    case 7:
        if (CmpOp > 1) {
            return false;
        }
        order = GetShortString(data) == Cell->Text ? 0 : 1;
        break;
    default:
        return false;
    }
    return Satisfies(CmpOp, *order);
}

void TScanIfSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue || Cell == nullptr) {
        return;
    }
    if (sub == kSemTake) {
        TakeValue(data);
    } else if (sub == kSemTest && ScanList != nullptr) {
        Found = Test(data);
        if (Found) {
            AddScanItem(0, 0);
        }
    }
}

void TRefVUScanSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (event != kSemFieldValue) {
        return;
    }
    const auto value = GetLE<std::uint16_t>(data);
    const bool isRef = value >= kFirstRef;
    if (sub == kSemTake && Cell != nullptr) {
        Cell->W = isRef ? static_cast<std::uint16_t>(value - kFirstRef) : 0;
        Found = isRef;
    } else if (sub == kSemTest && ScanList != nullptr) {
        if (isRef) {
            AddScanItem(static_cast<std::uint16_t>(value - kFirstRef), 0);
        }
        Found = isRef;
    }
}

void TSorterSem::Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) {
    if (sub != kSemTest || ScanList == nullptr) {
        return;
    }
    if (event != kSemFieldValue) {
        SortList(*ScanList);
        return;
    }
    std::unique_ptr<TScanObject> item = GetSorterKey(data);
    item->Ref1 = CurRec;
    item->Ref2 = Context;
    ScanList->Insert(std::move(item));
}

std::unique_ptr<TScanObject> TByteSorterSem::GetSorterKey(std::span<const std::uint8_t> data) const {
    return std::make_unique<TScanObject>(GetLE<std::uint8_t>(data), 0, nullptr, nullptr, std::nullopt);
}

std::unique_ptr<TScanObject> TWordSorterSem::GetSorterKey(std::span<const std::uint8_t> data) const {
    return std::make_unique<TScanObject>(GetLE<std::uint16_t>(data), 0, nullptr, nullptr, std::nullopt);
}

std::unique_ptr<TScanObject> TLIntSorterSem::GetSorterKey(std::span<const std::uint8_t> data) const {
    return std::make_unique<TScanObject>(0, GetLE<std::uint32_t>(data), nullptr, nullptr, std::nullopt);
}

std::unique_ptr<TScanObject> TStrSorterSem::GetSorterKey(std::span<const std::uint8_t> data) const {
    return std::make_unique<TScanObject>(0, 0, nullptr, nullptr, GetShortString(data));
}

std::unique_ptr<TScanObject> TAnsiStrSorterSem::GetSorterKey(std::span<const std::uint8_t> data) const {
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    return std::make_unique<TScanObject>(0, 0, nullptr, nullptr, std::string(data.begin(), end));
}

} // namespace ravlo
