#pragma once

#include "records/db_links.h"

#include <QMetaObject>
#include <QPointer>
#include <cstdint>

class QAbstractItemView;

namespace ravlo {

class TDataBase;
class TDBRecordObj;

// A list of a database's records in an item view of a dialog. It links itself into the
// database's lookup links while it lives, shows the link's selected record, and a record the user
// picks becomes the link's selection. It must go before its database. The view does not own its
// control; once the control is gone the link stays but has no control.
class TDBWidgetLook : public TDBLookView {
public:
    TDBWidgetLook(const TDBWidgetLook&) = delete;
    TDBWidgetLook& operator=(const TDBWidgetLook&) = delete;

    // Reads the records again and shows the link's selection among them.
    void Refresh() final;
    void ShowSelection(std::int32_t index) final;
    bool HasControl() const override { return !control_.isNull(); }
    bool InsertPending() const override { return insertPending_; }
    void ClearInsertPending() override { insertPending_ = false; }
    // The next record inserted into the database becomes the selection.
    void SetInsertPending() { insertPending_ = true; }

    // The record the link selects, nullptr for none.
    TDBRecordObj* Selected() const;

protected:
    TDBWidgetLook(TDataBase& database, QAbstractItemView* control);
    ~TDBWidgetLook();

    // Connects the control's change of the current row; row is the control's own.
    void WatchCurrentRow(const QMetaObject::Connection& connection) { rowWatch_ = connection; }
    // The user moved to a row of the control.
    void CurrentRowChanged(int row);

    TDataBase& database_;

private:
    // Fills the control with the database's records.
    virtual void Fill() = 0;
    // The control's row of the record at index; -1 takes the selection away.
    virtual void Show(std::int32_t index) = 0;
    // The index in the database of the record shown in a row of the control, -1 for none.
    virtual std::int32_t IndexOfRow(int row) const = 0;

    QPointer<QAbstractItemView> control_;
    QMetaObject::Connection rowWatch_;
    bool insertPending_ = false;
    // Set while the view moves the selection itself, which is no pick of the user.
    bool showing_ = false;
};

} // namespace ravlo
