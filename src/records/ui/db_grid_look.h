#pragma once

#include "records/ui/db_widget_look.h"

class QTableWidget;

namespace ravlo {

class TRecordTypeDscr;

// A database's records in a grid, one row each below the fixed rows, one column per field (its
// caption in the header). The fixed rows belong to the owner, who may put anything there; they
// cannot be selected. Showing a selection selects the record's whole row and scrolls it into
// view; showing none leaves no cell current or selected.
class TDBGridLook final : public TDBWidgetLook {
public:
    TDBGridLook(TDataBase& database, QTableWidget* grid, int fixedRows = 0);

    int FixedRows() const { return fixedRows_; }

private:
    void Fill() override;
    void Show(std::int32_t index) override;
    std::int32_t IndexOfRow(int row) const override { return row >= fixedRows_ ? row - fixedRows_ : -1; }
    // The type that names the columns: the description's default type, else the first record's.
    const TRecordTypeDscr* HeadingType() const;

    QTableWidget* grid_;
    int fixedRows_;
};

} // namespace ravlo
