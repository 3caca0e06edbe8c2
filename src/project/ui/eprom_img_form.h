#pragma once

#include "framework/ui/broadcast_form.h"
#include "project/eprom_composer.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;

namespace ravlo {

class tModuleCollection;

// The MDI window "(E)EPROM Image - list of ROM modules in address space": a view of a
// TEpromImgComposer. Created, it reads its settings (and the connected board's kind); closed, it
// writes them back and frees itself.
class TEpromImg_MDIChildForm : public TBroadcastForm {
    Q_OBJECT
public:
    // Chooses a file for a file dialog description (to open, or to save for the image file names); nothing
    // when cancelled. Tests put their own in place of the file dialogs.
    using FileChooser =
        std::function<std::optional<std::filesystem::path>(const TFileDialogSpec&, bool save)>;

    explicit TEpromImg_MDIChildForm(TEpromImgHost& host, QWidget* parent = nullptr);

    TEpromImgComposer& Composer() { return composer_; }

    // Fills the application entries from the design and shows them.
    void LoadProjectModules(tModuleCollection& modules);
    void RefreshRomList();
    // Create Image; true when the files were written.
    bool btCreateImgClick();
    // The /E run: creates the image when the check passes and then closes the window.
    TEpromRunResult CreateUnattended();

    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void SetAddressAsker(TAddressAsker asker) { askAddress_ = std::move(asker); }

    void btAddBIOSClick();
    void btAddSetupClick();
    void btAddBINClick();
    void btEditClick();
    void btDeleteClick();

    // Wide enough for every column of the list.
    QSize sizeHint() const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    // What a list column needs for its texts; the list needs them all.
    int ColumnWidth(int column) const;
    int ListWidthForAllColumns() const;
    // Every control from the composer's state.
    void ShowState();
    void ShowRows();
    std::int32_t SelectedIndex() const;
    void Select(std::int32_t index);
    void BrowseImageFile(QLineEdit& edit);
    void FileNamesEdited();

    TEpromImgHost& host_;
    TEpromImgComposer composer_;
    FileChooser chooseFile_;
    TAddressAsker askAddress_;
    bool closed_ = false;

    QLabel* stWorkDirectory_ = nullptr;
    QComboBox* cbVok_ = nullptr;
    QLabel* lbEpromHi_ = nullptr;
    QComboBox* cbEpromHi_ = nullptr;
    QLabel* lbEpromLo_ = nullptr;
    QComboBox* cbEpromLo_ = nullptr;
    QLabel* lbEpromLoFile_ = nullptr;
    QLineEdit* edEpromHiFileName_ = nullptr;
    QLineEdit* edEpromLoFileName_ = nullptr;
    QPushButton* btBrowseLo_ = nullptr;
    QTreeWidget* Modules_ListView_ = nullptr;
    QPushButton* btAddSetup_ = nullptr;
    QPushButton* btCreateImg_ = nullptr;
    QStatusBar* StatusBar_ = nullptr;
    QLabel* statusText_ = nullptr;
};

// A filter of "text|pattern|text|pattern..." as Qt filters; each upper-case pattern also in lower
// case.
QString QtFileFilter(std::string_view filter);

// Opens a file dialog as its description says (the "text|pattern|..." filter as Qt filters).
std::optional<std::filesystem::path> ChooseFileWithDialog(QWidget* parent, const TFileDialogSpec& spec,
                                                          bool save);

} // namespace ravlo
