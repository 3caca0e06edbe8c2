#pragma once

#include "framework/scan_collection.h"
#include "records/stream_objects.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// What a semantic needs of the record object it visits: its modified flag. Record objects
// implement it.
class SemanticRecord {
public:
    virtual bool IsModified() const = 0;
    virtual void MarkModified() = 0;

protected:
    ~SemanticRecord() = default;
};

// The value cell that aggregate and condition semantics read and write; it belongs to whoever
// runs the semantic.
struct SemValueCell {
    std::uint16_t W = 0;
    std::uint32_t L = 0;
    std::string Text;
};

// Events passed to Evaluate.
inline constexpr std::uint8_t kSemRunStart = 1;
inline constexpr std::uint8_t kSemRunEnd = 2;
inline constexpr std::uint8_t kSemRecordStart = 3;
inline constexpr std::uint8_t kSemRecordEnd = 4;
inline constexpr std::uint8_t kSemFieldValue = 5;

// Modes of a run (Sub).
inline constexpr std::uint8_t kSemTake = 0;  // take the value from the field
inline constexpr std::uint8_t kSemTest = 1;  // aggregate or test
inline constexpr std::uint8_t kSemWrite = 2; // write the semantic's value into the field
inline constexpr std::uint8_t kSemSave = 3;  // take the value from the field and save it

// An active meaning of record fields. A run calls Evaluate at its start, once for every field
// that takes part (event kSemFieldValue, with exactly that field's bytes, so a semantic can never
// write past it) and at its end. Scan items that semantics add carry the visited record as a
// SemanticRecord* in Ref1 and the context in Ref2.
class TSemantics : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TSemantics";

    std::string_view ClassName() const override { return kClassName; }
    void InitObj() override { Reset(); }
    void Store(TrbObjStream&) const override {}
    void Load(TrbObjStream&) override {}

    virtual void LoadFromIni(bool /*force*/) {}
    virtual void SaveToIni() {}
    virtual void Evaluate(std::uint8_t /*event*/, std::uint8_t /*sub*/, std::span<std::uint8_t> /*data*/) {}
    // Clears the last run's results and drops the cell and the scan list.
    virtual void Reset();
    virtual void ClearFound();

    void SetContext(TrbStreamable* database) { Context = database; }

    // The database the semantic runs on and the record being visited (run time).
    TrbStreamable* Context = nullptr;
    SemanticRecord* CurRec = nullptr;
    bool Found = false;
    TrbStreamable* HitContext = nullptr;
    SemanticRecord* HitRec = nullptr;
    SemValueCell* Cell = nullptr;
    TScanObjColl* ScanList = nullptr;

protected:
    // Found, with the context and record of the hit.
    void Hit();
    // Writes value over the field, as many bytes as it has; a change marks the visited record.
    void WriteField(std::span<std::uint8_t> field, std::span<const std::uint8_t> value);
    template <class T>
    void WriteFieldValue(std::span<std::uint8_t> field, T value);
    // Writes text as the field's short string; a changed text marks the visited record.
    void WriteFieldText(std::span<std::uint8_t> field, std::string_view text);
    void MarkRecord();
    bool RecordModified() const { return CurRec != nullptr && CurRec->IsModified(); }
    // Adds an item for the visited record to the scan list.
    void AddScanItem(std::uint16_t w, std::uint32_t l, std::optional<std::string> text = std::nullopt);
};

template <class T>
void TSemantics::WriteFieldValue(std::span<std::uint8_t> field, T value) {
    std::array<std::uint8_t, sizeof(T)> bytes{};
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
    WriteField(field, bytes);
}

// The semantics of an application, addressed by their index.
class TSemManColl : public TRecordsCollection<TSemantics> {
public:
    static constexpr std::string_view kClassName = "TSemManColl";

    std::string_view ClassName() const override { return kClassName; }

    // Semantic no, nullptr when there is none.
    TSemantics* GetSem(std::uint32_t no) const;
    void SetSemRec(SemanticRecord* rec, std::uint32_t no);
    void EvaluateSem(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data, std::uint8_t sub);
};

// The semantic manager of the application data in use, nullptr when there is none.
TSemManColl* AppSemManColl();

// One semantic number a field or a database takes part in.
class TSemanticEvaluator : public TrbStreamable {
public:
    static constexpr std::string_view kClassName = "TSemanticEvaluator";

    TSemanticEvaluator() = default;
    explicit TSemanticEvaluator(std::uint32_t semNo) : SemNo(semNo) {}

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;

    // Evaluates semantic no of the application when it is this evaluator's number.
    void RunEval(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data, std::uint8_t sub) const;

    std::uint32_t SemNo = 0;
};

class TSemEvalColl : public TRecordsCollection<TSemanticEvaluator> {
public:
    static constexpr std::string_view kClassName = "TSemEvalColl";

    std::string_view ClassName() const override { return kClassName; }

    void RunAllEvaluators(std::uint32_t no, std::uint8_t event, std::span<std::uint8_t> data,
                          std::uint8_t sub) const;
};

} // namespace ravlo
