#pragma once

#include "project/module_editor.h"

#include <QDialog>
#include <QListWidget>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ravlo {

// A unit list box that takes units dragged from its partner list: the drop only tells, the editor
// moves the units and both lists are filled again.
class TUnitListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TUnitListBox(QWidget* parent = nullptr);
    void SetPartner(const QListWidget* partner) { partner_ = partner; }
    // The selected rows, top to bottom.
    std::vector<int> SelectedRows() const;

signals:
    void DroppedFromPartner();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    const QListWidget* partner_ = nullptr;
};

// The modal dialog "Edit module": a view of a TModuleEditor. Cancel (also Esc and the close box)
// puts the module back as it was.
class TfEditModuleDlg : public QDialog {
    Q_OBJECT
public:
    // next and prev enable the Next and Previous buttons.
    TfEditModuleDlg(tModule& module, tModule& unplaced, tModuleCollection* design, bool next, bool prev,
                    QWidget* parent = nullptr);

    TModuleEditor& Editor() { return editor_; }
    // Which button closed the dialog with OK.
    bool ClosedByNext() const { return closedBy_ == btNextModule_; }
    bool ClosedByPrevious() const { return closedBy_ == btPrevModule_; }

    void btInsertClick();
    void btRemoveClick();
    void btInsertAllClick();
    void btRemoveAllClick();
    // OK, Next and Previous: the checks, and the dialog closes when they pass.
    void CloseWithOk(QPushButton* button);

public slots:
    void reject() override;

private:
    void BuildControls(bool next, bool prev);
    // The name as typed, and whether the code page holds it.
    void TakeName(const QString& text);
    // Both lists and the size labels from the editor.
    void ShowUnits();
    void ShowSizes();
    void ShowFields();
    void Focus(TEditorField field);

    TModuleEditor editor_;
    QPushButton* closedBy_ = nullptr;
    bool cancelled_ = false;

    QLineEdit* edName_ = nullptr;
    QComboBox* cbStartAddr_ = nullptr;
    QLineEdit* edSize_ = nullptr;
    TUnitListBox* lbUsedUnits_ = nullptr;
    TUnitListBox* lbUnusedUnits_ = nullptr;
    QLabel* lbUnitSize_ = nullptr;
    QLabel* lbUnitsSize_ = nullptr;
    QLabel* lbRestSize_ = nullptr;
    const TUnitListBox* sizeList_ = nullptr;
    QPushButton* btPrevModule_ = nullptr;
    QPushButton* btNextModule_ = nullptr;
    QPushButton* btOk_ = nullptr;
};

// Runs the editor on module; true on OK. next and prev enable those buttons and tell which one
// closed the dialog.
bool ExecEditModuleDlg(QWidget* parent, tModule& module, tModule& unplaced, bool& next, bool& prev);

} // namespace ravlo
