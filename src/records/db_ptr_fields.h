#pragma once

#include "records/field_type_dscr.h"

#include <cstdint>
#include <string_view>

namespace ravlo {

// A field holding the u16 instance address of a sub-database of type RefDBTid that the record
// owns. Its transfer record is the address and RefDBTid; only the address comes back.
class TDynDBPtrRecFieldDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TDynDBPtrRecFieldDscr";
    static constexpr std::uint16_t kTrSize = 4;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    void InitFieldValue(std::span<std::uint8_t> data) const override;
    std::uint16_t GetTrBuffSize() const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;

    // The address of the first database of type RefDBTid in dbColl; "none" without one. A field
    // that named a database which is not there, while flags is above 127, shows the type fault
    // once and sets flags to '~'.
    void GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl, std::uint8_t& flags) const override;
    // Makes the sub-database the field names in the record's list where it is missing (taking a
    // new address when the field names none), and in a database whose type searches
    // sub-databases the first record of the type its key selects.
    void AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                       TDBRecordObj* record) const override;
    // Makes a missing sub-database the field names, never records, and nothing for "none".
    void FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                        TDBRecordObj* record) const override;

    std::uint16_t DefInstAdr = 0;
    std::uint16_t RefDBTid = 0;

protected:
    std::uint16_t ValueSize() const override { return 2; }
    virtual std::int32_t FilterIndex() const { return -1; }
    virtual std::uint16_t SelectionKey() const { return 0; }

private:
    void RefStep(std::span<std::uint8_t> data, TDataBase* database, TDBRecordObj* record,
                 bool makeRecords) const;
};

// A pointer field with a filter index and a selection key for the records it makes; transfer
// record: address, RefDBTid, FilterIx, SelKey.
class THiddenDynDBPtrRecFieldDscr : public TDynDBPtrRecFieldDscr {
public:
    static constexpr std::string_view kClassName = "THiddenDynDBPtrRecFieldDscr";
    static constexpr std::uint16_t kHiddenTrSize = 8;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    std::uint16_t GetTrBuffSize() const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;

    // 0xFFFF for none.
    std::uint16_t FilterIx = 0xFFFF;
    std::uint16_t SelKey = 0;

protected:
    std::int32_t FilterIndex() const override { return static_cast<std::int16_t>(FilterIx); }
    std::uint16_t SelectionKey() const override { return SelKey; }
};

} // namespace ravlo
