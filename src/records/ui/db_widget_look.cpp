#include "records/ui/db_widget_look.h"

#include "records/data_base.h"

#include <QAbstractItemView>

namespace ravlo {
TDBWidgetLook::TDBWidgetLook(TDataBase& database, QAbstractItemView* control)
    : database_(database), control_(control) {
    database_.LookLinks.Add(this, nullptr);
}

TDBWidgetLook::~TDBWidgetLook() {
    QObject::disconnect(rowWatch_);
    database_.LookLinks.Remove(this);
}

TDBRecordObj* TDBWidgetLook::Selected() const {
    const TDBLookLink* link = database_.LookLinks.FindLookLinkByLookValidator(this);
    return link != nullptr ? link->Selected : nullptr;
}

void TDBWidgetLook::Refresh() {
    if (control_.isNull()) {
        return;
    }
    showing_ = true;
    Fill();
    showing_ = false;
    const TDBRecordObj* selected = Selected();
    ShowSelection(selected != nullptr ? database_.IndexOf(selected) : -1);
}

void TDBWidgetLook::ShowSelection(std::int32_t index) {
    if (control_.isNull()) {
        return;
    }
    showing_ = true;
    Show(index >= 0 && index < database_.Count() ? index : -1);
    showing_ = false;
}

void TDBWidgetLook::CurrentRowChanged(int row) {
    if (showing_) {
        return;
    }
    const std::int32_t index = IndexOfRow(row);
    database_.LookLinks.SetSelected(this, index >= 0 ? database_.ItemAt(index) : nullptr);
}

} // namespace ravlo
