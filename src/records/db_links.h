#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace ravlo {

class TDBRecordObj;

// A control of a dialog that edits a value of a database record (an edit validator).
class TDBEditView {
public:
    // Shows the record's value again; another control changed it.
    virtual void ShowValue(std::span<const std::uint8_t> value) = 0;
    // Whether the link is to be dropped once the value was shown.
    virtual bool DropsLinkOnUpdate() const { return false; }
    // Whether the control is being destroyed just now.
    virtual bool BeingDestroyed() const { return false; }

protected:
    ~TDBEditView() = default;
};

// A list of a database's records in a dialog (a lookup validator over a list box or a grid).
class TDBLookView {
public:
    // Reads the database's records again.
    virtual void Refresh() = 0;
    // Selects the row of the record at index in the database; -1 selects nothing.
    virtual void ShowSelection(std::int32_t index) = 0;
    virtual bool HasControl() const { return true; }
    // Whether the list waits for a record being inserted to select it.
    virtual bool InsertPending() const { return false; }
    virtual void ClearInsertPending() {}

protected:
    ~TDBLookView() = default;
};

struct TDBEditLink {
    TDBEditView* Validator = nullptr;
    TDBRecordObj* Record = nullptr;
};

struct TDBLookLink {
    TDBLookView* Validator = nullptr;
    TDBRecordObj* Selected = nullptr;
};

// The edit controls bound to records of a database. The links do not own their controls; a
// control removes its links before it goes.
class TDBEditValidatorsColl {
public:
    void Add(TDBEditView* validator, TDBRecordObj* record) { links_.push_back({validator, record}); }
    void Remove(const TDBEditView* validator);
    // Every link of record (but except's) shows value again; then the links that ask for it go.
    void UpDateEdits(const TDBEditView* except, const TDBRecordObj* record,
                     std::span<const std::uint8_t> value);
    const TDBEditLink* FindEditLinkByEditValidator(const TDBEditView* validator) const;
    // With liveOnly, only a link whose control is not being destroyed.
    const TDBEditLink* FindEditLinkByDBRecObj(const TDBRecordObj* record, bool liveOnly) const;
    void FreeLinksOf(const TDBRecordObj* record);
    void Clear() { links_.clear(); }
    std::size_t Count() const { return links_.size(); }

private:
    std::vector<TDBEditLink> links_;
};

// The record lists showing a database, each with its selected record.
class TDBLookValidatorsColl {
public:
    void Add(TDBLookView* validator, TDBRecordObj* selected) { links_.push_back({validator, selected}); }
    void Remove(const TDBLookView* validator);
    void UpDateLooks() const;
    // Each list selects record, found at index in the database (-1: none).
    void SetSelections(TDBRecordObj* record, std::int32_t index);
    // Only the lists waiting for an inserted record take it, and stop waiting.
    void SetInsSelections(TDBRecordObj* record, std::int32_t index);
    void SetInsNewSelections(TDBRecordObj* record, std::int32_t index) { SetSelections(record, index); }
    // The record the user chose in one list (nullptr: none).
    void SetSelected(const TDBLookView* validator, TDBRecordObj* record);
    // The first link selecting record whose list has a control, else the first selecting it.
    const TDBLookLink* FindLookLinkBySelDBRecObj(const TDBRecordObj* record) const;
    const TDBLookLink* FindLookLinkByLookValidator(const TDBLookView* validator) const;
    // A record that leaves the database is selected nowhere.
    void ForgetRecord(const TDBRecordObj* record);
    std::size_t Count() const { return links_.size(); }

private:
    std::vector<TDBLookLink> links_;
};

} // namespace ravlo
