#include "shell/ui/setup_dialog.h"

#include "framework/message_box.h"
#include "framework/ui/qt_text.h"
#include "project/project_globals.h"
#include "project/ui/eprom_img_form.h"
#include "shell/ui/config188_dialog.h"
#include "shell/ui/config386_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace ravlo {

TSetupDialog::TSetupDialog(TSetupBoard board, std::string filter, std::string defaultExt, QWidget* parent)
    : TTrValDialog(parent), SaveToVok_Button(new QPushButton(QStringLiteral("Save to Vok"), this)),
      Cancel_Button(new QPushButton(QStringLiteral("Cancel"), this)),
      LoadFromDisk_Button(new QPushButton(QStringLiteral("Load from disk ..."), this)),
      SaveToDisk_Button(new QPushButton(QStringLiteral("Save to disk ..."), this)), board_(board),
      filter_(std::move(filter)), defaultExt_(std::move(defaultExt)), buttonRow_(new QHBoxLayout) {
    SaveToVok_Button->setObjectName(QStringLiteral("SaveToVok_Button"));
    Cancel_Button->setObjectName(QStringLiteral("Cancel_Button"));
    LoadFromDisk_Button->setObjectName(QStringLiteral("LoadFromDisk_Button"));
    SaveToDisk_Button->setObjectName(QStringLiteral("SaveToDisk_Button"));
    SaveToVok_Button->setEnabled(false);
    for (QPushButton* button : {SaveToVok_Button, Cancel_Button, LoadFromDisk_Button, SaveToDisk_Button}) {
        button->setAutoDefault(false);
    }
    buttonRow_->addWidget(LoadFromDisk_Button);
    buttonRow_->addWidget(SaveToDisk_Button);
    buttonRow_->addStretch(1);
    buttonRow_->addWidget(SaveToVok_Button);
    buttonRow_->addWidget(Cancel_Button);
    connect(SaveToVok_Button, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Cancel_Button, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(LoadFromDisk_Button, &QPushButton::clicked, this, [this] { LoadFromDisk_ButtonClick(); });
    connect(SaveToDisk_Button, &QPushButton::clicked, this, [this] { SaveToDisk_ButtonClick(); });
    chooseFile_ = [this](const TFileDialogSpec& spec, bool save) {
        return ChooseFileWithDialog(this, spec, save);
    };
}

void TSetupDialog::SetConnected(bool connected) {
    connected_ = connected;
    UpdateSaveToVok();
}

void TSetupDialog::UpdateSaveToVok() {
    SaveToVok_Button->setEnabled(connected_ && SetupOk());
}

bool TSetupDialog::KeepCallerRecord(std::span<std::uint8_t> data) {
    const std::size_t size = SetupRecordSize(board_);
    if (data.size() < size) {
        const QString className =
            QString::fromLatin1(metaObject()->className()).section(QStringLiteral("::"), -1);
        ReportAppError("# " + ToCp1250(className) + ".BindRecord: " + std::to_string(data.size()) +
                       " bytes, not " + std::to_string(size));
        return false;
    }
    callerRecord_ = data.first(size);
    // Runs after every control was validated and stored.
    OnCloseQuery = [this] {
        const std::vector<std::uint8_t> record = StoredRecord();
        std::copy_n(record.begin(), std::min(record.size(), callerRecord_.size()), callerRecord_.begin());
        return true;
    };
    return true;
}

std::optional<std::vector<std::uint8_t>> TSetupDialog::EditedRecord() {
    if (!Validator.ValidateAndStore()) {
        return std::nullopt;
    }
    return StoredRecord();
}

TFileDialogSpec TSetupDialog::FileDialog(bool save) const {
    const std::filesystem::path projectDir = ProjectDirPath();
    return {save ? "Save to disk" : "Load from disk",
            filter_,
            defaultExt_,
            projectDir.empty() ? std::filesystem::path(".") : projectDir,
            {}};
}

void TSetupDialog::LoadFromDisk_ButtonClick() {
    const std::optional<std::filesystem::path> file = chooseFile_(FileDialog(false), false);
    if (!file) {
        return;
    }
    if (const std::optional<std::vector<std::uint8_t>> record = ReadSetupFile(*file, board_)) {
        LoadRecord(*record);
    }
}

void TSetupDialog::SaveToDisk_ButtonClick() {
    const std::optional<std::vector<std::uint8_t>> record = EditedRecord();
    if (!record) {
        return;
    }
    if (const std::optional<std::filesystem::path> file = chooseFile_(FileDialog(true), true)) {
        WriteSetupFile(*file, *record);
    }
}

void RegisterSetupDialogs() {
    RegisterDialog("TConfig386_Dialog", [](TPlatformWindow* owner) {
        return std::make_unique<TConfig386_Dialog>(OwnerWidget(owner));
    });
    RegisterDialog("TConfig188_Dialog", [](TPlatformWindow* owner) {
        return std::make_unique<TConfig188_Dialog>(OwnerWidget(owner));
    });
}

} // namespace ravlo
