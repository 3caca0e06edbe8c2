#include "framework/ui/qt_test_app.h"
#include "records/records_test_support.h"
#include "records/ui/db_grid_look.h"
#include "records/ui/db_list_look.h"

#include <QListWidget>
#include <QTableWidget>
#include <memory>

namespace ravlo {
namespace {

constexpr std::uint16_t kItems = 7;

// A database of "Item" records (a count and a name), the count of record i being i.
class DBLookTest : public test::RecordsTest {
protected:
    void SetUp() override {
        auto name = test::Bare<TDBStringFieldDscr>(6, 5);
        name->Caption = ", name ";
        name->DefaultText = "item";
        test::InstallRecordTypes(
            test::RecordType("Item", test::Valued<TByteRecFieldDscr>(1, 0, "Count "), std::move(name)));
        auto dscrs = std::make_unique<TDataBaseDscrColl>();
        dscrs->InsertDscr(test::DataBaseArgs(kItems, 0, 0, 7));
        AppExtension().AppData->DataBaseDscrColl = std::move(dscrs);
        database_ = std::make_unique<TDataBase>(nullptr, kItems, 0, 0);
    }

    void AddItems(int count) {
        for (int i = 0; i < count; ++i) {
            auto record = test::CreatedRecord("Item");
            record->Data()[0] = static_cast<std::uint8_t>(database_->Count());
            database_->Insert(std::move(record));
        }
    }
    TDBRecordObj* Item(std::int32_t index) const { return database_->ItemAt(index); }

    std::unique_ptr<TDataBase> database_;
};

std::vector<int> SelectedRows(const QListWidget& list) {
    std::vector<int> rows;
    for (const QListWidgetItem* item : list.selectedItems()) {
        rows.push_back(list.row(item));
    }
    std::ranges::sort(rows);
    return rows;
}

TEST_F(DBLookTest, ListSelectsOnlyTheRecordsLineInEveryMode) {
    AddItems(3);
    for (const auto mode : {QAbstractItemView::SingleSelection, QAbstractItemView::MultiSelection,
                            QAbstractItemView::ExtendedSelection}) {
        SCOPED_TRACE(mode);
        QListWidget list;
        list.setSelectionMode(mode);
        TDBListLook look(*database_, &list);
        ASSERT_EQ(list.count(), 3);
        EXPECT_EQ(list.item(2)->text().toStdString(), "Count  2, name item");
        EXPECT_EQ(list.currentRow(), -1);

        // What the user had selected before goes.
        list.item(0)->setSelected(true);
        list.item(2)->setSelected(true);
        database_->LookLinks.SetSelections(Item(1), 1);
        EXPECT_EQ(list.currentRow(), 1);
        EXPECT_EQ(SelectedRows(list), std::vector<int>{1});
        EXPECT_EQ(look.Selected(), Item(1));

        database_->LookLinks.SetSelections(nullptr, -1);
        EXPECT_EQ(list.currentRow(), -1);
        EXPECT_TRUE(SelectedRows(list).empty());
    }
}

TEST_F(DBLookTest, ListFollowsItsDatabaseAndTheUsersChoice) {
    AddItems(3);
    QListWidget list;
    TDBListLook look(*database_, &list);
    list.setCurrentRow(2);
    EXPECT_EQ(look.Selected(), Item(2));

    // The selected record keeps its line when the records before it go and new ones come.
    TDBRecordObj* chosen = Item(2);
    database_->AtFree(0);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.currentRow(), 1);
    AddItems(1);
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.currentRow(), 1);
    EXPECT_EQ(look.Selected(), chosen);
    database_->AtFree(1);
    EXPECT_EQ(look.Selected(), nullptr);
    EXPECT_EQ(list.currentRow(), -1);

    // A look whose list is gone keeps its link and lets a live one answer first.
    auto gone = std::make_unique<QListWidget>();
    TDBListLook orphan(*database_, gone.get());
    gone.reset();
    EXPECT_FALSE(orphan.HasControl());
    database_->LookLinks.SetSelections(Item(0), 0);
    database_->RefreshLooks();
    EXPECT_EQ(database_->LookLinks.FindLookLinkBySelDBRecObj(Item(0))->Validator, &look);
}

TEST_F(DBLookTest, GridSelectsTheRowBelowTheFixedRowsAndScrollsToIt) {
    AddItems(40);
    QTableWidget grid;
    grid.resize(300, 200);
    grid.show();
    grid.setRowCount(2);
    grid.setColumnCount(1);
    grid.setItem(0, 0, new QTableWidgetItem(QStringLiteral("owner's")));
    TDBGridLook look(*database_, &grid, 2);
    ASSERT_EQ(grid.rowCount(), 42);
    ASSERT_EQ(grid.columnCount(), 2);
    EXPECT_EQ(grid.horizontalHeaderItem(0)->text().toStdString(), "Count");
    EXPECT_EQ(grid.item(2 + 31, 0)->text().toStdString(), "31");
    EXPECT_EQ(grid.item(2 + 31, 1)->text().toStdString(), "item");
    EXPECT_EQ(grid.item(0, 0)->text().toStdString(), "owner's");

    database_->LookLinks.SetSelections(Item(31), 31);
    EXPECT_EQ(grid.currentRow(), 33);
    ASSERT_EQ(grid.selectedRanges().size(), 1);
    const QTableWidgetSelectionRange range = grid.selectedRanges().first();
    EXPECT_EQ(range.topRow(), 33);
    EXPECT_EQ(range.bottomRow(), 33);
    EXPECT_EQ(range.columnCount(), 2);
    EXPECT_TRUE(grid.viewport()->rect().contains(grid.visualItemRect(grid.item(33, 0))));

    database_->LookLinks.SetSelections(nullptr, -1);
    EXPECT_TRUE(grid.selectedRanges().isEmpty());
    EXPECT_EQ(grid.currentRow(), -1);
    EXPECT_EQ(grid.currentColumn(), -1);

    // A fixed row is no record; the owner's text stays through a refresh.
    grid.setCurrentCell(1, 0);
    EXPECT_EQ(look.Selected(), nullptr);
    grid.setCurrentCell(2, 1);
    EXPECT_EQ(look.Selected(), Item(0));
    database_->AtFree(39);
    EXPECT_EQ(grid.rowCount(), 41);
    EXPECT_EQ(grid.item(0, 0)->text().toStdString(), "owner's");
    EXPECT_EQ(grid.currentRow(), 2);
}

} // namespace
} // namespace ravlo
