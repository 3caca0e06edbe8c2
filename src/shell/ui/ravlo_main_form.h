#pragma once

#include "framework/ui/sys_wr_form.h"
#include "framework/ui/tr_main_form.h"
#include "kernel/dlg_shower.h"
#include "project/ui/project_form.h"
#include "shell/main_form_core.h"
#include "shell/main_form_host.h"
#include "shell/ui/event_log_form.h"

#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QAction;
class QMdiSubWindow;

namespace ravlo {

class QtDialogShower;
class TBoardWindows;
class QtSchedulerDrive;
class TMainMenus;
class TMainStatusBar;

struct TRavloMainFormOptions {
    // Show the dialog process's texts as message boxes of the GUI (they don't block); off, they go
    // through the presenter like every other box.
    bool GuiDialogs = true;
    // Somebody can answer the program's dialogs; off where there is no display, so that a dialog
    // such as the login of /U ends the run instead of waiting for ever.
    bool CanAskUser = true;
};

// The program's MDI main window: the menus and tool bar, the event log at the bottom, the tool
// windows as MDI children; everything else is its core (TRavloMainFormCore), which it creates in
// its constructor and whose command line it runs once it is shown.
class TRavloMainForm : public TTrMainForm, public TMainFormHost {
    Q_OBJECT
public:
    explicit TRavloMainForm(const TRavloMainFormOptions& options = {}, QWidget* parent = nullptr);
    ~TRavloMainForm() override;

    TRavloMainFormCore& Core() const { return *core_; }
    TMainMenus& Menus() const { return *menus_; }
    // The event log, once the form was shown.
    TFormEventLog* EventLogWnd() const { return eventLog_; }
    // The project window, once the form was shown and while it is open.
    TfProject* ProjectWnd() const { return projectWnd_; }
    TSysWrForm* SysWrWindow() const { return sysWr_; }
    TMainStatusBar& StatusBar() const { return *statusBar_; }
    QtSchedulerDrive& Drive() const { return *drive_; }
    int ExitCode() const { return core_->ExitCode(); }

    // The first MDI child that is a T, nullptr when none is.
    template <class T>
    T* FindMDIChild() const {
        for (QWidget* child : MdiChildren()) {
            if (auto* form = qobject_cast<T*>(child)) {
                return form;
            }
        }
        return nullptr;
    }

    // The MDI child whose window is handle, nullptr when none is.
    QWidget* FindMDIChildByHandle(WindowHandle handle) const;
    // The open T, restored and brought up, or a new one made by create, of the given size (its own
    // size hint when none is given) within the area; with the hourglass while it takes.
    template <class T, class Create>
    T* ShowMDIChild(Create create, QSize size = {}) {
        TWaitCursor wait;
        if (T* form = FindMDIChild<T>()) {
            BringUp(*form);
            return form;
        }
        T* form = create();
        AddMdiChild(form, size);
        return form;
    }

    // Tests put their own in place of the file and address dialogs.
    using ProjectFileChooser =
        std::function<std::optional<std::filesystem::path>(TProjectType, const std::filesystem::path&)>;
    using AddressAsker = std::function<bool(std::string_view caption, TSegOfsPtr& address)>;
    void SetProjectFileChooser(ProjectFileChooser chooser) { chooseProject_ = std::move(chooser); }
    void SetAddressAsker(AddressAsker asker) { askAddress_ = std::move(asker); }
    using SetupFileChooser =
        std::function<std::optional<std::filesystem::path>(const std::filesystem::path&)>;
    void SetSetupFileChooser(SetupFileChooser chooser) { chooseSetup_ = std::move(chooser); }

    // ---- TMainFormHost ----
    void AddEvent(std::string_view text, std::uint8_t kind) override;
    void ApplyMenuStates(const TMenuStates& states) override;
    bool ErrHistoryOpen() const override;
    bool SysWriterOpen() const override { return !sysWr_.isNull(); }
    void RefreshProjectWindow() override;
    void ShowProjectWindow() override;
    void ShowModuleList() override;
    void CloseModuleList() override;
    std::optional<std::filesystem::path> ChooseProjectFile(TProjectType type,
                                                           const std::filesystem::path& startDir) override;
    bool AskAddress(std::string_view caption, TSegOfsPtr& address) override;
    bool AskParameter(std::string_view label, std::string_view unit, std::size_t width, std::uint32_t min,
                      std::uint32_t max, std::uint32_t& value) override;
    std::optional<std::filesystem::path> ChooseSaveFile(const TFileDialogSpec& spec) override;
    std::optional<TEpromRunResult> ShowEpromImage(TEpromImgHost& imageHost, tModuleCollection& modules,
                                                  bool unattended) override;
    std::optional<std::filesystem::path> ChooseSetupFile(const std::filesystem::path& startDir) override;
    bool EditSetup(TSetupBoard board, std::span<std::uint8_t> record, bool canSave) override;
    void CloseProjectWindows() override;
    void ShowErrHistory(TErrHistorySource* source) override;
    void ShowSysWriter() override;
    TMaProgressView* BoardProgress(TRavlo_MA_Process& master) override;
    void ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) override;
    void ShowBinWriter() override;
    void ShowBinReader() override;
    void CloseMainForm() override;
    std::optional<int> ExecuteDialog(std::string_view name, std::span<std::uint8_t> data) override;
    void ShowStatusPanels(const TStatusPanels& panels) override;
    void ShowLastProjects(std::span<const std::string> entries) override;
    void ShowProcessView(TMainAction view) override;
    bool ProcessViewOpen(TMainAction view) const override;
    void ShowAbout() override;
    void ShowIOAccess(TToolBoard& board) override;
    void ShowVokRTC(TToolBoard& board) override;
    bool RunComParamDialog(TComParam& dialog) override;

signals:
    // The form has closed for good; the program ends with code.
    void Closed(int code);

protected:
    std::intptr_t WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Menu and button hints go beside the status panels, not over them.
    bool event(QEvent* event) override;

private:
    // The hourglass for as long as it lives.
    class TWaitCursor {
    public:
        TWaitCursor();
        ~TWaitCursor();
        TWaitCursor(const TWaitCursor&) = delete;
        TWaitCursor& operator=(const TWaitCursor&) = delete;
    };

    QList<QWidget*> MdiChildren() const;
    // Shows the MDI child's window again (restored when minimised) and activates it.
    void BringUp(QWidget& child);
    // The menus again once a view window has gone.
    void UpdateMenusWhenGone(QObject& window);
    void FormShow();

    std::unique_ptr<TRavloMainFormCore> core_;
    std::unique_ptr<QtDialogShower> dialogShower_;
    DialogShower* previousShower_ = nullptr;
    std::unique_ptr<QtSchedulerDrive> drive_;
    std::unique_ptr<TBoardWindows> boardWindows_;
    TMainMenus* menus_;
    TMainStatusBar* statusBar_;
    QList<QAction*> lastProjectActions_;
    QPointer<TFormEventLog> eventLog_;
    QPointer<TfProject> projectWnd_;
    QPointer<TSysWrForm> sysWr_;
    ProjectFileChooser chooseProject_;
    AddressAsker askAddress_;
    bool canAskUser_;
    SetupFileChooser chooseSetup_;
    bool shown_ = false;
    bool closeRetryQueued_ = false;
    bool closed_ = false;
};

} // namespace ravlo
