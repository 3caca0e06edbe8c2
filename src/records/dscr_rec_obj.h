#pragma once

#include "records/semantics.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

class TRecordTypeDscr;
class TPlatformWindow;

// Record object events: created or reloaded (the semantics write their values into the fields),
// and a command (the semantics take the field values and save them).
inline constexpr std::uint8_t kRecObjCreated = kSemWrite;
inline constexpr std::uint8_t kRecObjCommand = kSemSave;

// One record: the name of its record type, a type index hint and the record buffer that type lays
// out. Database and parameter records derive from it.
//
// The buffer is at least the type's size once the type is known; bytes a stream stored beyond it
// (or without a type at all) are kept and stored again unchanged.
class TDscrRecObj : public TrbStreamable, public SemanticRecord {
public:
    static constexpr std::string_view kClassName = "TDscrRecObj";
    // The characters of Name that the type lookup uses.
    static constexpr std::size_t kNameLookupMax = 63;

    std::string_view ClassName() const override { return kClassName; }
    void InitObj() override;
    // Name, RecTypeIx, the buffer's size and bytes; clears Modified.
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    // Copies source onto this object when source is a record object of this object's class.
    void Assign(const TrbStreamable& source) override;
    // Copies this object onto dest: the type, and the bytes; Modified of dest tells whether they
    // changed. An object of another class raises the assignment error.
    virtual void AssignTo(TDscrRecObj& dest) const;
    bool IsModified() const override { return Modified != 0; }
    virtual void ClearModified() { Modified = 0; }
    void MarkModified() override { Modified = 1; }

    // Makes the record of type name (index hint ix) with its initial values and sends the created
    // event; without the type a report and no data. Modified ends as 1.
    void RunCreate(std::string_view name, std::int16_t ix);

    // The record type, looked up on first use (by the hint, else by name, which then updates the
    // hint) and again whenever the application's record types change. nullptr when there is none.
    const TRecordTypeDscr* RecTypeDscr();
    // RecTypeIx, resolved first while it is negative.
    std::int16_t GetRecTypeIx();
    // Bit of the type's Attr; false for a bit beyond 7 and without a type.
    bool TestAttr(std::uint8_t bit);

    // The type's event over this record.
    void NotifyRecObj(std::uint8_t event);
    // Initial values, then the created event.
    void ResetValues();
    void RunSemantics(std::uint32_t no, std::uint8_t sub);

    // The transfer record of the type (GetRecTrBuffSize bytes) filled from the record, and read
    // back (setting Modified when a field changed).
    std::uint16_t TrBuffSize();
    void PutToTrBuff(std::span<std::uint8_t> trBuf);
    void GetFromTrBuff(std::span<const std::uint8_t> trBuf);
    void FreeTrBuff(std::span<std::uint8_t> trBuf);
    // Edits the record in the dialog registered under the type's DialogName, through a transfer
    // record; only OK (modal result 1) takes the values back. Answers the modal result, 0 without
    // a type. A dialog name that is not registered raises ExcTrValDialog.
    int EditInDialog(TPlatformWindow* owner);

    std::span<std::uint8_t> Data() { return DscrRecPtr; }
    std::span<const std::uint8_t> Data() const { return DscrRecPtr; }
    std::uint16_t DscrRecSize() const { return static_cast<std::uint16_t>(DscrRecPtr.size()); }

    std::int16_t RecTypeIx = -1;
    std::string Name;
    // The record buffer; empty for none.
    std::vector<std::uint8_t> DscrRecPtr;
    // Store clears it, so it may change on a const object.
    mutable std::uint8_t Modified = 1;

protected:
    // Whether source is of this object's class, so that it can be assigned onto this object.
    virtual bool TakesClass(const TDscrRecObj& source) const;
    // Writes the buffer's size and bytes as the stream keeps them.
    virtual void StoreData(TrbObjStream& stream) const;

private:
    const TRecordTypeDscr* recTypeDscr_ = nullptr;
};

} // namespace ravlo
