#pragma once

#include "records/assign_tables.h"
#include "records/field_type_dscr.h"

#include <cstdint>
#include <memory>

namespace ravlo {

class TRecordTypeDscr;

// The record type a field nests, found by its type index among the application's record types.
// A layout that contains itself (found while its size is computed, or by nesting deeper than
// kMaxNesting) is reported once and from then on nests nothing, so the field takes no bytes.
class TNestedLayout {
public:
    static constexpr int kMaxNesting = 64;

    // The nested type of owner at ix, nullptr when there is none or it would nest the layout in
    // itself. While a visit is alive it counts as one level of nesting.
    class Visit {
    public:
        Visit(const TNestedLayout& layout, const TRecFieldTypeDscr& owner, std::int16_t ix);
        ~Visit();
        Visit(const Visit&) = delete;
        Visit& operator=(const Visit&) = delete;

        explicit operator bool() const { return type_ != nullptr; }
        const TRecordTypeDscr* operator->() const { return type_; }
        const TRecordTypeDscr& operator*() const { return *type_; }

    private:
        const TRecordTypeDscr* type_ = nullptr;
    };

    bool Cyclic() const { return cyclic_; }

private:
    void MarkCyclic(const TRecFieldTypeDscr& owner, std::int16_t ix, std::string_view why) const;

    mutable bool cyclic_ = false;
};

// A field that holds one record of the nested type RecTypeIx; every operation is that type's
// record-level one over the field's bytes.
class TCompoundTDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TCompoundTDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // The nested type's size; without it a report (once) and 0.
    std::uint16_t GetFieldSize() const override;
    void InitFieldValue(std::span<std::uint8_t> data) const override;
    void AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                    int maxLen) const override;
    std::uint16_t GetTrBuffSize() const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;
    void FreeTrBuffRec(std::span<std::uint8_t> trBuf) const override;
    void RunSemEvaluators(std::uint32_t no, std::uint8_t sub, std::span<std::uint8_t> data) const override;
    void NotifyRecObj(TDscrRecObj* recObj, std::uint8_t event) const override;
    void GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl, std::uint8_t& flags) const override;
    void AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                       TDBRecordObj* record) const override;
    void FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database,
                        TDBRecordObj* record) const override;

    // The nested type, nullptr when there is none.
    const TRecordTypeDscr* NestedType() const;

    std::int16_t RecTypeIx = -1;

private:
    TNestedLayout nested_;
    mutable bool missingReported_ = false;
};

// A variant part: its bytes are read through the record type that the assign table gives for the
// selector at the field's start. Every variant has the default type's size: the field's size is
// the default type's, and a variant whose record or transfer size differs from the default's is
// taken for no variant at all.
class TAbstractCaseTypeDscr : public TRecFieldTypeDscr {
public:
    static constexpr std::string_view kClassName = "TAbstractCaseTypeDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // The default type's size; without it a report (once) and 0. The first answer with the
    // record types present runs the assign table's length test (LengthOK).
    std::uint16_t GetFieldSize() const override;
    // The selector, then the default type's initial values.
    void InitFieldValue(std::span<std::uint8_t> data) const override;
    void AppendForm(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                    int maxLen) const override;
    std::uint16_t GetTrBuffSize() const override;
    void PutDataToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const override;
    void GetDataFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                           std::uint8_t& modified) const override;
    void FreeTrBuffRec(std::span<std::uint8_t> trBuf) const override;
    void RunSemEvaluators(std::uint32_t no, std::uint8_t sub, std::span<std::uint8_t> data) const override;
    void NotifyRecObj(TDscrRecObj* recObj, std::uint8_t event) const override;

    // The variant that the field's bytes select, nullptr when there is none.
    const TRecordTypeDscr* SelectedVariant(std::span<const std::uint8_t> data) const;

    std::int16_t DefaultTypeIx = -1;
    std::unique_ptr<TDscrAssignTable> AssignTable;
    // Run time: whether the assign table passed its length test.
    mutable std::uint8_t LengthOK = 0;

protected:
    // Writes the initial selector at the field's start; this class has none.
    virtual void InitSelector(std::span<std::uint8_t> /*field*/) const {}

private:
    // The variant selected by the field's bytes, visited while fn runs; nothing when there is none.
    template <class Byte, class Fn>
    void WithVariant(std::span<Byte> field, Fn&& fn) const;

    TNestedLayout nested_;
    mutable bool missingReported_ = false;
    mutable bool lengthTested_ = false;
};

class TByteCaseTypeDscr : public TAbstractCaseTypeDscr {
public:
    static constexpr std::string_view kClassName = "TByteCaseTypeDscr";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    std::uint8_t DefaultSelector = 0;

protected:
    void InitSelector(std::span<std::uint8_t> field) const override;
};

} // namespace ravlo
