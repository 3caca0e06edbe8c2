#include "records/assign_tables.h"

#include "framework/message_box.h"
#include "framework/number_text.h"
#include "records/field_bytes.h"
#include "records/record_type_dscr.h"

namespace ravlo {

bool TDscrAssignTable::TestDscrLength(std::uint16_t) const {
    return AppRecTypesDscrColl() != nullptr;
}

std::uint16_t TDscrAssignTable::MappedTypeSize(std::int16_t ix) {
    const TRecTypesDscrColl* types = AppRecTypesDscrColl();
    return types != nullptr ? types->GetDscrRecTypeSize("", ix) : 0;
}

namespace {

void ReportLength(std::string_view table, const std::string& selector, std::uint16_t size,
                  std::uint16_t len) {
    ReportAppError("# " + std::string(table) + "[$" + selector + "] DscrLng=$" + HexW(size) + "<> $" +
                   HexW(len));
}

} // namespace

void TByteDscrAssTab::Store(TrbObjStream& stream) const {
    for (const std::int16_t ix : Table) {
        stream.WriteI16(ix);
    }
}

void TByteDscrAssTab::Load(TrbObjStream& stream) {
    for (std::int16_t& ix : Table) {
        ix = stream.ReadI16();
    }
}

std::int16_t TByteDscrAssTab::GetDscrIx(std::span<const std::uint8_t> data) const {
    return data.empty() ? std::int16_t{-1} : Table[data[0]];
}

bool TByteDscrAssTab::TestDscrLength(std::uint16_t len) const {
    if (AppRecTypesDscrColl() == nullptr) {
        return false;
    }
    bool ok = true;
    for (std::size_t selector = 0; selector < Table.size(); ++selector) {
        if (Table[selector] < 0) {
            continue;
        }
        const std::uint16_t size = MappedTypeSize(Table[selector]);
        if (size != len) {
            ok = false;
            ReportLength("ByteAssTab", HexB(static_cast<std::uint8_t>(selector)), size, len);
        }
    }
    return ok;
}

void TByteDscrAssTab::PutTabItem(std::span<const std::uint8_t> selector, std::int16_t ix) {
    if (!selector.empty()) {
        Table[selector[0]] = ix;
    }
}

void TWordDscrAssTab::Store(TrbObjStream& stream) const {
    stream.WriteU16(PairBytes());
    stream.Write(Pairs);
}

void TWordDscrAssTab::Load(TrbObjStream& stream) {
    Pairs.assign(stream.ReadU16(), 0);
    stream.Read(Pairs);
    if (Pairs.size() % kPairSize != 0) {
        ReportAppError("# WordAssTab PairBytes=$" + HexW(PairBytes()) + ": " +
                       std::to_string(Pairs.size() % kPairSize) + " bytes after the last pair left unused");
    }
}

std::uint16_t TWordDscrAssTab::SelectorAt(std::size_t pair) const {
    return GetLE<std::uint16_t>(Pairs, pair * kPairSize);
}

std::int16_t TWordDscrAssTab::IndexAt(std::size_t pair) const {
    return GetLE<std::int16_t>(Pairs, pair * kPairSize + 2);
}

std::int16_t TWordDscrAssTab::GetDscrIx(std::span<const std::uint8_t> data) const {
    if (data.size() < 2) {
        return -1;
    }
    const auto selector = GetLE<std::uint16_t>(data);
    for (std::size_t pair = 0; pair < PairCount(); ++pair) {
        if (SelectorAt(pair) == selector) {
            return IndexAt(pair);
        }
    }
    return -1;
}

bool TWordDscrAssTab::TestDscrLength(std::uint16_t len) const {
    if (AppRecTypesDscrColl() == nullptr) {
        return false;
    }
    bool ok = true;
    for (std::size_t pair = 0; pair < PairCount(); ++pair) {
        const std::uint16_t size = MappedTypeSize(IndexAt(pair));
        if (size != len) {
            ok = false;
            ReportLength("WordAssTab", HexW(SelectorAt(pair)), size, len);
        }
    }
    return ok;
}

void TWordDscrAssTab::PutTabItem(std::span<const std::uint8_t> selector, std::int16_t ix) {
    const std::size_t whole = PairCount() * kPairSize;
    if (selector.size() < 2 || whole + kPairSize > 0xFFFF) {
        return;
    }
    Pairs.resize(whole + kPairSize);
    PutLE(std::span(Pairs), whole, GetLE<std::uint16_t>(selector));
    PutLE(std::span(Pairs), whole + 2, ix);
}

} // namespace ravlo
