#include "shell/ui/ravlo_main_form.h"

#include "framework/ui/address_dialog.h"
#include "framework/ui/qt_text.h"
#include "framework/ui/sys_wr_form.h"
#include "framework/ui/tr_val_dialog.h"
#include "kernel/ui/qt_dialog_shower.h"
#include "kernel/ui/qt_scheduler_drive.h"
#include "platform/message_box_flags.h"
#include "platform/window_messages.h"
#include "project/ui/eprom_img_form.h"
#include "project/ui/module_list_form.h"
#include "project/ui/project_form.h"
#include "shell/main_form_setup.h"
#include "shell/menu_state.h"
#include "shell/ui/about_box.h"
#include "shell/ui/board_windows.h"
#include "shell/ui/com_param_form.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"
#include "shell/ui/err_history_form.h"
#include "shell/ui/event_log_form.h"
#include "shell/ui/io_access_form.h"
#include "shell/ui/main_icons.h"
#include "shell/ui/main_menus.h"
#include "shell/ui/main_status_bar.h"
#include "shell/ui/process_view_forms.h"
#include "shell/ui/reader_form.h"
#include "shell/ui/vok_rtc_form.h"
#include "shell/ui/writer_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>

namespace ravlo {
namespace {

// How often a refused close is tried again while the processes wind down.
constexpr int kCloseRetryMs = 50;
// The smallest writer window worth opening beside the others rather than over them.
constexpr int kLeastWriterWidth = 320;
constexpr int kLeastWriterHeight = 160;

QString PathQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

} // namespace

TRavloMainForm::TRavloMainForm(const TRavloMainFormOptions& options, QWidget* parent)
    : TTrMainForm(parent), core_(std::make_unique<TRavloMainFormCore>(*this)),
      canAskUser_(options.CanAskUser) {
    setObjectName(QStringLiteral("RavloMainForm"));
    setWindowTitle(FromCp1250(MainCaption()));
    // Also the icon of the boxes and dialogs, which take the application's.
    QApplication::setWindowIcon(ProgramIcon());
    setWindowIcon(QApplication::windowIcon());
    const QRect available = screen() != nullptr ? screen()->availableGeometry() : QRect(0, 0, 1000, 700);
    resize(QSize(1000, 700).boundedTo(available.size()));
    if (options.GuiDialogs) {
        dialogShower_ = std::make_unique<QtDialogShower>(this);
        previousShower_ = SetDialogShower(dialogShower_.get());
    }
    menus_ = new TMainMenus(*this);
    connect(menus_, &TMainMenus::Triggered, this, [this](TMainAction action) { core_->Execute(action); });
    statusBar_ = new TMainStatusBar(this);
    setStatusBar(statusBar_);
    connect(statusBar_, &TMainStatusBar::PanelDoubleClicked, this,
            [this](std::size_t panel) { core_->StatusBarDblClick(panel); });
    core_->FormCreate();
    drive_ = std::make_unique<QtSchedulerDrive>(core_->SchedulerDrive());
    drive_->Start();
    core_->UpdateMenus();
}

TRavloMainForm::~TRavloMainForm() {
    // The scheduler goes before the processes, and the windows that watch them before the core.
    drive_.reset();
    // Also the windows closed but not yet deleted: they are out of the area's list already.
    for (TTmpErrHist_MDIChild* history : findChildren<TTmpErrHist_MDIChild*>()) {
        history->DetachSource();
    }
    for (QMdiSubWindow* window : MdiArea().findChildren<QMdiSubWindow*>()) {
        delete window;
    }
    if (!closed_) {
        core_->FormDestroy();
    }
    core_.reset();
    if (dialogShower_ != nullptr) {
        SetDialogShower(previousShower_);
    }
}

std::intptr_t TRavloMainForm::WindowMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    if (core_ != nullptr) {
        if (msg == wm_ProcMess) {
            core_->WMProcMess(wParam, lParam);
            return 0;
        }
        if (msg == wm_VarChanged) {
            core_->WMVarChanged(wParam, lParam);
        }
    }
    return TTrMainForm::WindowMessage(msg, wParam, lParam);
}

void TRavloMainForm::showEvent(QShowEvent* event) {
    TTrMainForm::showEvent(event);
    if (shown_) {
        return;
    }
    shown_ = true;
    // The status bar, the link's only sign, must stay in sight; a frame that a window manager adds
    // later is fitted in as well.
    QTimer::singleShot(0, this, [this] { FitOnScreen(); });
    ShowProjectWindow();
    eventLog_ = TFormEventLog::ShowIn(*this);
    // The command line runs once the window stands, not inside the show.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TRavloMainForm::FormShow() {
    if (core_ != nullptr && !closed_) {
        core_->FormShow();
    }
}

void TRavloMainForm::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    if (!core_->ProjectMayClose() || !core_->BoardOperationMayStop()) {
        event->ignore();
        return;
    }
    if (!core_->CanCloseNow()) {
        event->ignore();
        if (!closeRetryQueued_) {
            closeRetryQueued_ = true;
            QTimer::singleShot(kCloseRetryMs, this, [this] {
                closeRetryQueued_ = false;
                close();
            });
        }
        return;
    }
    closed_ = true;
    core_->FormDestroy();
    event->accept();
    emit Closed(core_->ExitCode());
}

void TRavloMainForm::resizeEvent(QResizeEvent* event) {
    TTrMainForm::resizeEvent(event);
    if (eventLog_ != nullptr) {
        eventLog_->LayOut();
    }
}

bool TRavloMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->ShowTip(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return TTrMainForm::event(event);
}

QList<QWidget*> TRavloMainForm::MdiChildren() const {
    QList<QWidget*> children;
    for (QMdiSubWindow* window : MdiArea().subWindowList(QMdiArea::CreationOrder)) {
        // A closed window stays in the list until it is deleted.
        if (window->widget() != nullptr && !window->isHidden()) {
            children.push_back(window->widget());
        }
    }
    return children;
}

TRavloMainForm::TWaitCursor::TWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TRavloMainForm::TWaitCursor::~TWaitCursor() {
    QApplication::restoreOverrideCursor();
}

QWidget* TRavloMainForm::FindMDIChildByHandle(WindowHandle handle) const {
    for (QWidget* child : MdiChildren()) {
        if (const auto* form = dynamic_cast<const FormWindow*>(child);
            form != nullptr && form->Handle() == handle) {
            return child;
        }
    }
    return nullptr;
}

void TRavloMainForm::BringUp(QWidget& child) {
    if (auto* window = qobject_cast<QMdiSubWindow*>(child.parentWidget())) {
        window->showNormal();
        MdiArea().setActiveSubWindow(window);
    }
}

void TRavloMainForm::UpdateMenusWhenGone(QObject& window) {
    connect(&window, &QObject::destroyed, this, [this] {
        // After the window has left the MDI area.
        QTimer::singleShot(0, this, [this] {
            if (core_ != nullptr && !closed_) {
                core_->UpdateMenus();
            }
        });
    });
}

void TRavloMainForm::AddEvent(std::string_view text, std::uint8_t kind) {
    if (eventLog_ != nullptr) {
        eventLog_->AddEvent(text, kind);
    }
}

void TRavloMainForm::ApplyMenuStates(const TMenuStates& states) {
    menus_->Apply(states);
    if (auto* setup = findChild<TSetupDialog*>(QString(), Qt::FindDirectChildrenOnly)) {
        setup->SetConnected(states.SetupConnected);
    }
}

std::optional<std::filesystem::path> TRavloMainForm::ChooseSetupFile(const std::filesystem::path& startDir) {
    if (chooseSetup_) {
        return chooseSetup_(startDir);
    }
    return ChooseFileWithDialog(this,
                                {"Open BIOS setup",
                                 "BIOS setup files|*.c38;*.c18|Binary files|*.bin|All files|*",
                                 {},
                                 startDir.empty() ? std::filesystem::path(".") : startDir,
                                 {}},
                                false);
}

bool TRavloMainForm::EditSetup(TSetupBoard board, std::span<std::uint8_t> record, bool canSave) {
    const int result = board == TSetupBoard::Vok386 ? EditConfig386(this, record, canSave)
                                                    : EditConfig188(this, record, canSave);
    return result == mrOk;
}

bool TRavloMainForm::ErrHistoryOpen() const {
    return FindMDIChild<TTmpErrHist_MDIChild>() != nullptr;
}

std::optional<std::filesystem::path>
TRavloMainForm::ChooseProjectFile(TProjectType type, const std::filesystem::path& startDir) {
    if (chooseProject_) {
        return chooseProject_(type, startDir);
    }
    const bool full = type == TProjectType::Full;
    const QString file = QFileDialog::getOpenFileName(
        this, full ? QStringLiteral("Open .EXE project") : QStringLiteral("Open .MEM project"),
        PathQString(startDir),
        full ? QStringLiteral("Executable (*.EXE *.exe)") : QStringLiteral("Memory design (*.MEM *.mem)"));
    if (file.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(file.toStdString());
}

bool TRavloMainForm::AskAddress(std::string_view caption, TSegOfsPtr& address) {
    if (askAddress_) {
        return askAddress_(caption, address);
    }
    return ravlo::AskAddress(caption, address, false) == IDOK;
}

std::optional<TEpromRunResult> TRavloMainForm::ShowEpromImage(TEpromImgHost& imageHost,
                                                              tModuleCollection& modules, bool unattended) {
    // One window: a second would write its own list over the first one's when it closes.
    TEpromImg_MDIChildForm* form =
        ShowMDIChild<TEpromImg_MDIChildForm>([&imageHost] { return new TEpromImg_MDIChildForm(imageHost); });
    form->LoadProjectModules(modules);
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget())) {
        // The project's rows may need more room than the empty list did.
        frame->resize(frame->size().expandedTo(frame->sizeHint()));
        FitInArea(*frame);
    }
    if (!unattended) {
        return std::nullopt;
    }
    return form->CreateUnattended();
}

void TRavloMainForm::CloseProjectWindows() {
    if (auto* image = FindMDIChild<TEpromImg_MDIChildForm>()) {
        image->CloseWindow();
    }
}

void TRavloMainForm::RefreshProjectWindow() {
    if (projectWnd_ != nullptr) {
        projectWnd_->ShowProjectInfo();
    }
    if (auto* list = FindMDIChild<TModuleList_MDIChildForm>()) {
        list->RefreshModuleList();
    }
}

void TRavloMainForm::ShowProjectWindow() {
    if (projectWnd_ != nullptr) {
        projectWnd_->ShowProjectInfo();
        return;
    }
    projectWnd_ = new TfProject;
    QMdiSubWindow* window = AddMdiChild(projectWnd_);
    window->move(0, 0);
    window->show();
}

void TRavloMainForm::ShowModuleList() {
    auto* list = ShowMDIChild<TModuleList_MDIChildForm>([this] {
        TModuleListActions actions;
        actions.Generate = [this] {
            core_->Generate_MenuItemClick();
            core_->UpdateMenus();
        };
        actions.DesignChanged = [this] {
            RefreshProjectWindow();
            core_->UpdateMenus();
        };
        return new TModuleList_MDIChildForm(std::move(actions));
    });
    list->RefreshModuleList();
}

void TRavloMainForm::CloseModuleList() {
    if (auto* list = FindMDIChild<TModuleList_MDIChildForm>()) {
        delete list->parentWidget();
    }
}

void TRavloMainForm::ShowErrHistory(TErrHistorySource* source) {
    auto* history = new TTmpErrHist_MDIChild(source);
    AddMdiChild(history, {600, 300});
    UpdateMenusWhenGone(*history);
}

void TRavloMainForm::ShowSysWriter() {
    const bool open = sysWr_ != nullptr;
    sysWr_ = ShowMDIChild<TSysWrForm>([] { return new TSysWrForm; }, QSize(800, 500));
    if (!open) {
        UpdateMenusWhenGone(*sysWr_);
        // Beside the event log and the other windows, not over them, where there is room.
        if (auto* frame = qobject_cast<QMdiSubWindow*>(sysWr_->parentWidget())) {
            PlaceWhereFree(*frame, QSize(kLeastWriterWidth, kLeastWriterHeight));
        }
    }
}

TMaProgressView* TRavloMainForm::BoardProgress(TRavlo_MA_Process& master) {
    boardWindows_ = std::make_unique<TBoardWindows>(*this, master);
    return boardWindows_.get();
}

void TRavloMainForm::ShowMemPage(WindowHandle notify, TSegOfsPtr address, std::vector<std::uint8_t> page) {
    if (boardWindows_ != nullptr) {
        boardWindows_->ShowMemPage(notify, address, std::move(page));
    }
}

void TRavloMainForm::ShowBinWriter() {
    if (boardWindows_ != nullptr) {
        ShowMDIChild<TfWriter>([this] { return new TfWriter(boardWindows_->Board()); });
    }
}

void TRavloMainForm::ShowBinReader() {
    if (boardWindows_ != nullptr) {
        ShowMDIChild<TfReader>([this] { return new TfReader(boardWindows_->Board()); });
    }
}

std::optional<int> TRavloMainForm::ExecuteDialog(std::string_view name, std::span<std::uint8_t> data) {
    if (!canAskUser_) {
        return std::nullopt;
    }
    return ravlo::ExecuteDialog(OwnerWindow(this), name, data);
}

void TRavloMainForm::ShowStatusPanels(const TStatusPanels& panels) {
    statusBar_->Show(panels);
}

void TRavloMainForm::ShowLastProjects(std::span<const std::string> entries) {
    QMenu& file = *menus_->Menu(TMainAction::FileMenu);
    for (QAction* action : lastProjectActions_) {
        file.removeAction(action);
        delete action;
    }
    lastProjectActions_.clear();
    QAction* exit = &menus_->Action(TMainAction::Exit);
    auto addSeparator = [&](const QString& name) {
        auto* separator = new QAction(&file);
        separator->setSeparator(true);
        separator->setObjectName(name);
        file.insertAction(exit, separator);
        lastProjectActions_.push_back(separator);
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].empty()) {
            continue;
        }
        if (lastProjectActions_.empty()) {
            addSeparator(QStringLiteral("Sep_LastPrjs"));
        }
        const int n = static_cast<int>(i) + 1;
        auto* action = new QAction(FromCp1250(TLastProjects::MenuCaption(n, entries[i])), &file);
        action->setObjectName(QStringLiteral("P%1_MenuItem").arg(n));
        action->setStatusTip(FromCp1250(entries[i]));
        connect(action, &QAction::triggered, this, [this, n] { core_->OpenLastProject(n); });
        file.insertAction(exit, action);
        lastProjectActions_.push_back(action);
    }
    if (!lastProjectActions_.empty()) {
        addSeparator({});
    }
}

void TRavloMainForm::ShowProcessView(TMainAction view) {
    const TProcessColl* processes = core_->ProcessColl.get();
    const bool open = ProcessViewOpen(view);
    QWidget* form = nullptr;
    if (view == TMainAction::MAView) {
        form = ShowMDIChild<TRavlo_MA_MDIChildForm>(
            [processes] { return new TRavlo_MA_MDIChildForm(processes); });
    } else {
        form = ShowMDIChild<TCommMa_MDIChild>([processes] { return new TCommMa_MDIChild(processes); });
    }
    if (!open) {
        UpdateMenusWhenGone(*form);
    }
}

bool TRavloMainForm::ProcessViewOpen(TMainAction view) const {
    return view == TMainAction::MAView ? FindMDIChild<TRavlo_MA_MDIChildForm>() != nullptr
                                       : FindMDIChild<TCommMa_MDIChild>() != nullptr;
}

void TRavloMainForm::ShowAbout() {
    ShowAboutBox(this);
}

void TRavloMainForm::ShowIOAccess(TToolBoard& board) {
    const bool open = FindMDIChild<TIO_MDIChildForm>() != nullptr;
    TIO_MDIChildForm* form = ShowMDIChild<TIO_MDIChildForm>([&board] { return new TIO_MDIChildForm(board); });
    auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget());
    if (!open && frame != nullptr) {
        frame->move(QPoint(MdiArea().width() - frame->width(), MdiArea().height() - frame->height()) / 2);
        FitInArea(*frame);
    }
}

void TRavloMainForm::ShowVokRTC(TToolBoard& board) {
    // A modal dialog without anyone to close it would stop the program.
    if (canAskUser_) {
        ravlo::ShowVokRTC(board, this);
    }
}

bool TRavloMainForm::RunComParamDialog(TComParam& dialog) {
    return canAskUser_ && ravlo::RunComParamDialog(dialog, this);
}

void TRavloMainForm::CloseMainForm() {
    QTimer::singleShot(0, this, [this] { close(); });
}

} // namespace ravlo
