#pragma once

#include "framework/app_data.h"
#include "records/field_type_dscr.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// A named record layout: its fields lie back to back in a flat record buffer, in collection order,
// each taking its GetFieldSize bytes; in a transfer buffer each takes its GetTrBuffSize bytes.
//
// Every walk is bounded by the bytes it is given: a field gets the part of its bytes that the
// buffer holds, so a buffer shorter than the layout is never overrun.
class TRecordTypeDscr : public TRecordsCollection<TRecFieldTypeDscr> {
public:
    static constexpr std::string_view kClassName = "TRecordTypeDscr";
    // A selection holds at most this many field numbers; each selected field shows at most
    // kSelEntryMax characters.
    static constexpr std::size_t kSelMax = 64;
    static constexpr std::size_t kSelEntryMax = 79;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // The stored sizes are kept to be compared with the computed ones; they are never trusted.
    void Load(TrbObjStream& stream) override;
    // Forgets the sizes as well.
    std::vector<std::unique_ptr<TrbStreamable>> DeleteAll() override;

    // The sum of the fields' sizes, computed in 32 bits on first use: a sum above 65535 is
    // reported and gives 0, as does a sum that differs from a stored non-zero size (reported too,
    // the computed one is kept).
    std::uint16_t GetRecSize() const;
    std::uint16_t GetRecTrBuffSize() const;
    // Computes both sizes afresh, with the reports above.
    void ComputeSizes() const;
    // Whether the fields' record size is the one the type was stored with (or none was stored):
    // a type whose fields disagree with it is damaged, and its size is not one to grow records to.
    bool RecSizeAgrees() const;
    // Whether the sizes are being computed just now: a nested layout that asks then contains
    // this one.
    bool SizingNow() const { return sizing_; }

    void InitRecValues(std::span<std::uint8_t> data) const;

    // The text forms append to dest, never letting it grow past maxLen characters, and answer its
    // length. sel: 1-based field numbers choosing the fields shown and their order (nullopt: all
    // fields; empty or longer than kSelMax: none).
    int GetRecLineAStr(std::span<const std::uint8_t> data, std::string& dest,
                       std::optional<std::string_view> sel, int maxLen) const;
    int GetRecJoinAStr(std::span<const std::uint8_t> data, std::string& dest,
                       std::optional<std::string_view> sel, int maxLen) const;
    int GetRecCWinAStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;
    int GetRecCSV_AStr(std::span<const std::uint8_t> data, std::string& dest, int maxLen) const;

    void PutRecToTrBuff(std::span<const std::uint8_t> data, std::span<std::uint8_t> trBuf) const;
    // modified becomes 1 when any field changed.
    void GetRecFromTrBuff(std::span<std::uint8_t> data, std::span<const std::uint8_t> trBuf,
                          std::uint8_t& modified) const;
    void FreeRecTrBuff(std::span<std::uint8_t> trBuf) const;

    // A record object's event: the object's semantics of every notify evaluator, then the fields.
    void NotifyRecObj(TDscrRecObj* recObj, std::uint8_t sub) const;
    // Semantic no over a record, bracketed by the record evaluators; nothing without the
    // application's semantic manager.
    void RunRecSemantics(TDscrRecObj* recObj, std::uint8_t sub, std::uint32_t no,
                         std::span<std::uint8_t> data) const;
    // The fields' own evaluators of semantic no, each with its data.
    void RunFieldSemEvaluators(std::uint32_t no, std::uint8_t sub, std::span<std::uint8_t> data) const;

    // The database references of every field.
    void GetRefDBInstAdr(std::span<std::uint8_t> data, TDBColl* dbColl, std::uint8_t& flags) const;
    void AddRefDBItems(std::span<std::uint8_t> data, TDataBase* database, TDBRecordObj* record) const;
    void FindRefDBItems(std::span<std::uint8_t> data, TDataBase* database, TDBRecordObj* record) const;

    // Bit of Attr (0..7); false for any other bit.
    bool HasAttr(std::uint8_t bit) const { return bit < 8 && ((Attr >> bit) & 1) != 0; }

    std::string Name;
    std::string DialogName;
    // The size caches: as stored until computed.
    mutable std::uint16_t RecSize = 0;
    mutable std::uint16_t TrBuffSize = 0;
    std::unique_ptr<TSemEvalColl> NotifyEvaluators;
    std::unique_ptr<TSemEvalColl> RecEvaluators;
    std::uint8_t Attr = 0;

    // fn (index, field, its bytes) for every field in order; the sizes are known first, so that a
    // layout that contains itself is found before any walk enters it.
    template <class Byte, class Fn>
    void ForEachField(std::span<Byte> data, Fn&& fn) const;
    // fn (field, its bytes, its transfer record) for every field in order.
    template <class Byte, class TrByte, class Fn>
    void ForEachTrField(std::span<Byte> data, std::span<TrByte> trBuf, Fn&& fn) const;

private:
    int GetRecSelAStr(TextForm form, std::span<const std::uint8_t> data, std::string& dest,
                      std::optional<std::string_view> sel, int maxLen) const;
    // The sizes, computed when not known yet.
    void KnowSizes() const;

    mutable bool sizesKnown_ = false;
    mutable bool recSizeAgrees_ = true;
    mutable bool sizing_ = false;
};

template <class Byte, class Fn>
void TRecordTypeDscr::ForEachField(std::span<Byte> data, Fn&& fn) const {
    KnowSizes();
    std::size_t offset = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRecFieldTypeDscr* field = ItemAt(i);
        if (field == nullptr) {
            continue;
        }
        const std::size_t size = field->GetFieldSize();
        const std::span<Byte> rest = offset < data.size() ? data.subspan(offset) : std::span<Byte>();
        fn(i, *field, rest.first(std::min(size, rest.size())));
        offset += size;
    }
}

template <class Byte, class TrByte, class Fn>
void TRecordTypeDscr::ForEachTrField(std::span<Byte> data, std::span<TrByte> trBuf, Fn&& fn) const {
    std::size_t trOffset = 0;
    ForEachField(data, [&](std::int32_t, const TRecFieldTypeDscr& field, std::span<Byte> fieldData) {
        const std::size_t size = field.GetTrBuffSize();
        const std::span<TrByte> rest =
            trOffset < trBuf.size() ? trBuf.subspan(trOffset) : std::span<TrByte>();
        fn(field, fieldData, rest.first(std::min(size, rest.size())));
        trOffset += size;
    });
}

// The record types of an application; a type's index in it is its type index, which callers keep
// as a hint.
class TRecTypesDscrColl : public TRecordsCollection<TRecordTypeDscr>, public TRecordTypeSource {
public:
    static constexpr std::string_view kClassName = "TRecTypesDscrColl";

    std::string_view ClassName() const override { return kClassName; }
    // Stores with every type's sizes computed.
    void Store(TrbObjStream& stream) const override { SaveToStream(stream); }
    // Computes every type's sizes once all are in (CheckLayouts).
    void Load(TrbObjStream& stream) override;

    void SaveToStream(TrbObjStream& stream) const;
    // Computes the sizes of every type with the nested layouts found in this collection,
    // reporting cycles, sizes above 65535 and sizes that differ from the stored ones.
    void CheckLayouts() const;

    // With ix in the collection, the item at ix whatever its name; otherwise the first type named
    // name (case ignored), ix then set to its index. nullptr when there is none.
    TRecordTypeDscr* GetRecordTypeDscr(std::string_view name, std::int16_t& ix) const override;

    // The wrappers find the type by name and index hint (the hint is not updated) and do nothing,
    // answering 0 or false, without one.
    bool GetDscrRecAttrSetOK(std::string_view name, std::int16_t ix, std::uint8_t& attr) const;
    std::uint16_t GetDscrRecTypeSize(std::string_view name, std::int16_t ix) const;
    void InitDscrRecordValues(std::string_view name, std::int16_t ix, std::span<std::uint8_t> data) const;
    int GetDscrRecLineAStr(std::string_view name, std::int16_t ix, std::span<const std::uint8_t> data,
                           std::string& dest, int maxLen, std::optional<std::string_view> sel) const;
    int GetDscrRecJoinAStr(std::string_view name, std::int16_t ix, std::span<const std::uint8_t> data,
                           std::string& dest, int maxLen, std::optional<std::string_view> sel) const;
    int GetDscrRecCWinAStr(std::string_view name, std::int16_t ix, std::span<const std::uint8_t> data,
                           std::string& dest, int maxLen) const;
    int GetDscrRecCSV_AStr(std::string_view name, std::int16_t ix, std::span<const std::uint8_t> data,
                           std::string& dest, int maxLen) const;
    std::uint16_t GetDscrRecordTrBuffSize(std::string_view name, std::int16_t ix) const;
    void PutDscrDataToTrBuff(std::string_view name, std::int16_t ix, std::span<const std::uint8_t> data,
                             std::span<std::uint8_t> trBuf) const;
    void GetDscrDataFromTrBuff(std::string_view name, std::int16_t ix, std::span<std::uint8_t> data,
                               std::span<const std::uint8_t> trBuf, std::uint8_t& modified) const;
    void FreeDscrAllTrBuffRec(std::string_view name, std::int16_t ix, std::span<std::uint8_t> trBuf) const;

private:
    const TRecordTypeDscr* Find(std::string_view name, std::int16_t ix) const;
};

// The record types that layouts look their nested types up in: those of the application data in
// use, or those of a collection while it checks its layouts. nullptr when there are none.
const TRecTypesDscrColl* AppRecTypesDscrColl();
// GetRecordTypeDscr of AppRecTypesDscrColl(); nullptr without one.
TRecordTypeDscr* AppGetRecordTypeDscr(std::string_view name, std::int16_t& ix);

} // namespace ravlo
