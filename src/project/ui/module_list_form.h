#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/module_list.h"

#include <functional>

class QPushButton;
class QTreeWidget;

namespace ravlo {

class TMemoryMapWidget;

// What the module list asks of the main form.
struct TModuleListActions {
    // The main form's Generate.
    std::function<void()> Generate;
    // The design or its files changed: the menus and the project window follow.
    std::function<void()> DesignChanged;
};

// The MDI window "Memory list - list of App modules in address space": a view of a
// TModuleListModel with the memory map. Freed when closed.
class TModuleList_MDIChildForm : public TBroadcastForm {
    Q_OBJECT
public:
    explicit TModuleList_MDIChildForm(TModuleListActions actions, QWidget* parent = nullptr);

    TModuleListModel& Model() { return model_; }
    TMemoryMapWidget& Map() const { return *map_; }
    // Tests put their own in place of the modal editor.
    void SetEditRunner(TModuleEditRunner runner) { runEditor_ = std::move(runner); }

    // Refills the list and the map from the open design.
    void RefreshModuleList();

    void btEditClick();
    void btInsertClick();
    void btDeleteClick();
    void btGenerateClick();
    void btSaveMEMClick();
    void btCloseClick();

    static constexpr int kDesignWidth = 720;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildControls();
    void ShowRows();
    void AfterChange(bool changed);

    TModuleListActions actions_;
    TModuleEditRunner runEditor_;
    TModuleListModel model_;
    bool snapQueued_ = false;

    QTreeWidget* MemList_ListView_ = nullptr;
    TMemoryMapWidget* map_ = nullptr;
    QPushButton* btEdit_ = nullptr;
    QPushButton* btInsert_ = nullptr;
    QPushButton* btDelete_ = nullptr;
    QPushButton* btGenerate_ = nullptr;
    QPushButton* btSaveMEM_ = nullptr;
};

} // namespace ravlo
