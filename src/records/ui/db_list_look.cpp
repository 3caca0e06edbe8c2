#include "records/ui/db_list_look.h"

#include "framework/ui/qt_text.h"
#include "records/data_base.h"
#include "records/record_type_dscr.h"

#include <QListWidget>

namespace ravlo {
namespace {

// Longer record texts are cut; a line shows far less anyway.
constexpr int kTextMax = 1024;

QString LineText(TDBRecordObj& record) {
    const TRecordTypeDscr* type = record.RecTypeDscr();
    if (type == nullptr) {
        return FromCp1250(record.Name);
    }
    std::string text;
    type->GetRecLineAStr(record.Data(), text, std::nullopt, kTextMax);
    return FromCp1250(text).trimmed();
}

} // namespace

TDBListLook::TDBListLook(TDataBase& database, QListWidget* list)
    : TDBWidgetLook(database, list), list_(list) {
    WatchCurrentRow(
        QObject::connect(list, &QListWidget::currentRowChanged, [this](int row) { CurrentRowChanged(row); }));
    Refresh();
}

void TDBListLook::Fill() {
    list_->clear();
    for (std::int32_t i = 0; i < database_.Count(); ++i) {
        TDBRecordObj* record = database_.ItemAt(i);
        list_->addItem(record != nullptr ? LineText(*record) : QString());
    }
}

void TDBListLook::Show(std::int32_t index) {
    list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    if (index < 0) {
        list_->clearSelection();
        return;
    }
    list_->scrollToItem(list_->item(index));
}

} // namespace ravlo
