#pragma once

#include "records/ui/db_widget_look.h"

class QListWidget;

namespace ravlo {

// A database's records in a list box, one line each in the record's line form. Showing a
// selection makes that line the current one and the only one selected, also in a list that lets
// the user select several.
class TDBListLook final : public TDBWidgetLook {
public:
    TDBListLook(TDataBase& database, QListWidget* list);

private:
    void Fill() override;
    void Show(std::int32_t index) override;
    std::int32_t IndexOfRow(int row) const override { return row; }

    QListWidget* list_;
};

} // namespace ravlo
