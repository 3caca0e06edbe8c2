// The module editor dialog on the offscreen platform: units moved out of the module with Remove,
// Remove all and double clicks, and units dropped from the other list, as the lists, the size
// labels, the module and the design show it afterwards.
#include "framework/ui/qt_test_app.h"
#include "platform/message_box_flags.h"
#include "platform/presenter.h"
#include "project/module.h"
#include "project/module_collection.h"
#include "project/ui/edit_module_dlg.h"

#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <memory>

namespace ravlo {
namespace {

using Names = QStringList;

class ModuleEditorUnitsTest : public ::testing::Test {
protected:
    ModuleEditorUnitsTest() {
        const std::tuple<MUnitT, const char*, std::uint16_t, std::uint16_t> units[] = {
            {MUnitT::Data, "Data", 0x40, 0x800},
            {MUnitT::Stack, "Stack", 0x80, 0x200},
            {MUnitT::Loader, "-- LOADER --", 0xFFFF, 96},
            {MUnitT::Code, "MAIN_TEXT", 0x00, 0x1000},
            {MUnitT::Code, "IO_TEXT", 0x10, 0x3000}};
        for (const auto& [kind, name, relSeg, length] : units) {
            unplaced_.Insert(std::make_unique<tModUnit>(kind, name, relSeg, 0, length));
        }
        for (const char* name : {"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}) {
            MoveUnit(unplaced_, unplaced_.UnitByName(name), module_);
        }
        dialog_ = std::make_unique<TfEditModuleDlg>(module_, unplaced_, &design_, false, false);
        dialog_->show();
    }
    ~ModuleEditorUnitsTest() override {
        EXPECT_TRUE(presenter_.Faults().empty());
        EXPECT_EQ(presenter_.UnusedAnswers(), 0U);
    }

    template <class Widget>
    Widget& Child(const char* name) const {
        return testing::Child<Widget>(*dialog_, name);
    }
    QListWidget& Used() { return Child<QListWidget>("lbUsedUnits"); }
    QListWidget& Unused() { return Child<QListWidget>("lbUnusedUnits"); }
    static Names Texts(const QListWidget& list) {
        Names texts;
        for (int row = 0; row < list.count(); ++row) {
            texts << list.item(row)->text();
        }
        return texts;
    }
    static Names NamesIn(const tModule& module) {
        Names names;
        module.ForEach([&names](const tModUnit& unit) { names << QString::fromStdString(unit.Name); });
        return names;
    }
    // The size labels: the selected unit, the units' total and what is left.
    Names Sizes() {
        return {Child<QLabel>("lbUnitSize").text(), Child<QLabel>("lbUnitsSize").text(),
                Child<QLabel>("lbRestSize").text()};
    }
    static void Select(QListWidget& list, std::initializer_list<int> rows) {
        list.clearSelection();
        for (const int row : rows) {
            list.item(row)->setSelected(true);
        }
    }
    void Click(const char* button) { Child<QPushButton>(button).click(); }
    // A double click on the row as the mouse gives it.
    static void DoubleClick(QListWidget& list, int row) {
        const QPointF at = list.visualItemRect(list.item(row)).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, list.viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(list.viewport(), &event);
        }
    }

    ScriptedPresenter presenter_;
    ScopedPresenter scoped_{presenter_};
    tModule unplaced_;
    tModule module_{"ROM", 0xC800, 0x8000};
    tModuleCollection design_;
    std::unique_ptr<TfEditModuleDlg> dialog_;
};

TEST_F(ModuleEditorUnitsTest, RemoveTakesTheSelectedUnitsAndRemoveAllTakesEveryOne) {
    ASSERT_EQ(Texts(Used()), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));
    EXPECT_EQ(Sizes()[1], QStringLiteral("Units size: $04060 (16 KB)"));

    presenter_.QueueAnswer(IDOK);
    Click("btRemove");
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(presenter_.Boxes()[0].text, "Before remove, select unit in \"Used units\"");
    EXPECT_EQ(NamesIn(module_).size(), 3);
    EXPECT_FALSE(design_.Changed);

    Select(Used(), {0, 2});
    Click("btRemove");
    EXPECT_EQ(Texts(Used()), Names{"MAIN_TEXT"});
    EXPECT_EQ(Texts(Unused()), (Names{"Data", "Stack", "-- LOADER --", "IO_TEXT"}));
    EXPECT_EQ(NamesIn(module_), Names{"MAIN_TEXT"});
    EXPECT_EQ(NamesIn(unplaced_), Texts(Unused()));
    EXPECT_EQ(Sizes(), (Names{"Unit size:", "Units size: $01000 (4 KB)", "Unused size: $07000 (28 KB)"}));
    EXPECT_TRUE(design_.Changed) << "the images no longer match the design";
    EXPECT_TRUE(design_.Unsaved);

    Click("btRemoveAll");
    EXPECT_EQ(Used().count(), 0);
    EXPECT_TRUE(module_.Empty());
    EXPECT_EQ(Texts(Unused()), (Names{"Data", "Stack", "-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));
    EXPECT_EQ(Sizes(), (Names{"Unit size:", "Units size: $00000 (0 KB)", "Unused size: $08000 (32 KB)"}));

    // Cancel puts back the very module the dialog opened on, and the design's marks.
    Click("btCancel");
    EXPECT_EQ(NamesIn(module_), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));
    EXPECT_EQ(NamesIn(unplaced_), (Names{"Data", "Stack"}));
    EXPECT_FALSE(design_.Changed || design_.Unsaved);
}

TEST_F(ModuleEditorUnitsTest, DoubleClicksAndDropsMoveUnitsAcrossThroughTheRules) {
    DoubleClick(Used(), 1); // MAIN_TEXT goes
    EXPECT_EQ(Texts(Used()), (Names{"-- LOADER --", "IO_TEXT"}));
    EXPECT_TRUE(design_.Changed);
    DoubleClick(Unused(), 2); // and comes back
    EXPECT_EQ(NamesIn(module_), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));

    // Dropped on the used list: the units selected in the other list go in, from the bottom up, each
    // through the rules; data has no place in a ROM module.
    Select(Used(), {0});
    emit static_cast<TUnitListBox&>(Unused()).DroppedFromPartner(); // the loader dragged out
    EXPECT_EQ(Texts(Unused()), (Names{"Data", "Stack", "-- LOADER --"}));
    Select(Unused(), {0, 2});
    presenter_.QueueAnswer(IDOK);
    emit static_cast<TUnitListBox&>(Used()).DroppedFromPartner(); // loader and data dragged in
    EXPECT_EQ(NamesIn(module_), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));
    EXPECT_EQ(NamesIn(unplaced_), (Names{"Data", "Stack"}));
    ASSERT_EQ(presenter_.Boxes().size(), 1U);
    EXPECT_EQ(presenter_.Boxes()[0].text, "Can't insert. Data can not be in ROM module.");

    // A drop from anywhere else (another program's files) is refused and moves nothing.
    QMimeData files;
    files.setText(QStringLiteral("IO_TEXT"));
    const QPointF at = Used().viewport()->rect().center();
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Unused().viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    Select(Used(), {2});
    QDropEvent drop(at, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Unused().viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    testing::ProcessPendingEvents();
    EXPECT_EQ(NamesIn(module_), (Names{"-- LOADER --", "MAIN_TEXT", "IO_TEXT"}));
}

} // namespace
} // namespace ravlo
