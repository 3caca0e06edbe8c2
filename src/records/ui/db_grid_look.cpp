#include "records/ui/db_grid_look.h"

#include "framework/ui/qt_text.h"
#include "records/data_base.h"
#include "records/record_type_dscr.h"

#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace ravlo {
namespace {

// Longer field texts are cut; a cell shows far less anyway.
constexpr int kTextMax = 256;

// The field's window form without its caption, which the column's header shows.
QString CellText(const TRecFieldTypeDscr& field, std::span<const std::uint8_t> data) {
    std::string text;
    field.GetCWinAStr(data, text, kTextMax);
    const std::string caption = field.CaptionText();
    if (!caption.empty() && text.starts_with(caption)) {
        text.erase(0, caption.size());
    }
    return FromCp1250(text).trimmed();
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

TDBGridLook::TDBGridLook(TDataBase& database, QTableWidget* grid, int fixedRows)
    : TDBWidgetLook(database, grid), grid_(grid), fixedRows_(std::max(fixedRows, 0)) {
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->verticalHeader()->hide();
    // Rows as close as list lines, so that a grid shows as many records as a list box.
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setStretchLastSection(true);
    WatchCurrentRow(QObject::connect(grid, &QTableWidget::currentCellChanged,
                                     [this](int row, int, int, int) { CurrentRowChanged(row); }));
    Refresh();
}

const TRecordTypeDscr* TDBGridLook::HeadingType() const {
    const TDataBaseDscrObj* dscr = database_.DB_DscrCachePtr();
    if (dscr != nullptr) {
        std::int16_t ix = dscr->DefaultDscrIx;
        if (const TRecordTypeDscr* type = AppGetRecordTypeDscr("", ix)) {
            return type;
        }
    }
    TDBRecordObj* first = database_.Count() > 0 ? database_.ItemAt(0) : nullptr;
    return first != nullptr ? first->RecTypeDscr() : nullptr;
}

void TDBGridLook::Fill() {
    QStringList captions;
    if (const TRecordTypeDscr* heading = HeadingType()) {
        for (std::int32_t i = 0; i < heading->Count(); ++i) {
            const TRecFieldTypeDscr* field = heading->ItemAt(i);
            captions << (field != nullptr ? FromCp1250(field->CaptionText()).trimmed() : QString());
        }
    }
    auto columns = static_cast<int>(captions.size());
    for (std::int32_t i = 0; i < database_.Count(); ++i) {
        TDBRecordObj* record = database_.ItemAt(i);
        const TRecordTypeDscr* type = record != nullptr ? record->RecTypeDscr() : nullptr;
        columns = std::max(columns, type != nullptr ? static_cast<int>(type->Count()) : 0);
    }
    // The owner's fixed rows keep what they hold.
    grid_->setRowCount(fixedRows_ + database_.Count());
    grid_->setColumnCount(columns);
    grid_->setHorizontalHeaderLabels(captions);
    for (int row = 0; row < fixedRows_; ++row) {
        for (int column = 0; column < columns; ++column) {
            if (grid_->item(row, column) == nullptr) {
                grid_->setItem(row, column, new QTableWidgetItem);
            }
            grid_->item(row, column)->setFlags(Qt::ItemIsEnabled);
        }
    }
    for (std::int32_t i = 0; i < database_.Count(); ++i) {
        const int row = fixedRows_ + i;
        for (int column = 0; column < columns; ++column) {
            grid_->setItem(row, column, ReadOnlyItem(QString()));
        }
        TDBRecordObj* record = database_.ItemAt(i);
        const TRecordTypeDscr* type = record != nullptr ? record->RecTypeDscr() : nullptr;
        if (type == nullptr) {
            continue;
        }
        type->ForEachField(record->Data(), [&](std::int32_t column, const TRecFieldTypeDscr& field,
                                               std::span<std::uint8_t> bytes) {
            grid_->item(row, column)->setText(CellText(field, bytes));
        });
    }
}

void TDBGridLook::Show(std::int32_t index) {
    grid_->clearSelection();
    if (index < 0) {
        grid_->setCurrentCell(-1, -1);
        return;
    }
    const int row = fixedRows_ + index;
    grid_->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollToItem(grid_->item(row, 0));
}

} // namespace ravlo
