#pragma once

#include "records/semantics.h"

#include <memory>

namespace ravlo {

// Collects the records whose field compares with the value cell as CmpOp says (field on the
// left). ValKind: 1 unsigned byte (the cell's low byte), 2 signed 16-bit, 3 unsigned 16-bit
// (the cell's 16-bit value), 4 signed 32-bit, 5 unsigned 32-bit (its 32-bit value), 7 short
// string (its text; equality only). CmpOp: 0 always, 1 =, 2 <, 3 <=, 4 >, 5 >=, 6 <>.
class TScanIfSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TScanIfSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint8_t ValKind = 0;
    std::uint8_t CmpOp = 0;

private:
    void TakeValue(std::span<const std::uint8_t> data);
    bool Test(std::span<const std::uint8_t> data) const;
};

// A 16-bit field where 100 and above refer to item (value - 100); collects the references.
class TRefVUScanSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TRefVUScanSem";
    static constexpr std::uint16_t kFirstRef = 100;

    std::string_view ClassName() const override { return kClassName; }
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;
};

// Base of the sorters: in mode kSemTest every field adds a scan item with its key, and any other
// event sorts the scan list by that key.
class TSorterSem : public TSemantics {
public:
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;
    // A scan item holding the field's key.
    virtual std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const = 0;

protected:
    virtual void SortList(TScanObjColl& list) const = 0;
};

// Byte and word keys in W.
class TByteSorterSem : public TSorterSem {
public:
    static constexpr std::string_view kClassName = "TByteSorterSem";
    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const override;

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_W(); }
};

class TWordSorterSem : public TSorterSem {
public:
    static constexpr std::string_view kClassName = "TWordSorterSem";
    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const override;

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_W(); }
};

// Long keys in L, signed and unsigned.
class TLIntSorterSem : public TSorterSem {
public:
    static constexpr std::string_view kClassName = "TLIntSorterSem";
    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const override;

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_L(); }
};

class TDWordSorterSem : public TLIntSorterSem {
public:
    static constexpr std::string_view kClassName = "TDWordSorterSem";
    std::string_view ClassName() const override { return kClassName; }

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_DW(); }
};

// A short-string key, sorted byte by byte.
class TStrSorterSem : public TSorterSem {
public:
    static constexpr std::string_view kClassName = "TStrSorterSem";
    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const override;

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_Pch(); }
};

// A zero-terminated text filling the field, sorted with case ignored.
class TAnsiStrSorterSem : public TSorterSem {
public:
    static constexpr std::string_view kClassName = "TAnsiStrSorterSem";
    std::string_view ClassName() const override { return kClassName; }
    std::unique_ptr<TScanObject> GetSorterKey(std::span<const std::uint8_t> data) const override;

protected:
    void SortList(TScanObjColl& list) const override { list.QuickSort_AnsiPch(); }
};

} // namespace ravlo
