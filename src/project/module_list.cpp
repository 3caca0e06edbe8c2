#include "project/module_list.h"

#include "framework/number_text.h"
#include "platform/presenter.h"
#include "project/freshness.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/module_texts.h"
#include "project/project_globals.h"
#include "project/project_messages.h"

#include <algorithm>
#include <memory>

namespace ravlo {
namespace {

constexpr std::uint64_t kSpaceSize = 0x100000;

std::string TypeText(ModuleT type) {
    switch (type) {
    case ModuleT::NIL:
        return "NIL";
    case ModuleT::IROM:
        return "IC";
    case ModuleT::RAM:
        return "RAM";
    case ModuleT::ROM:
        return "ROM";
    }
    return "???";
}

TModuleListRow RowOf(const tModule& module) {
    const std::uint32_t start = static_cast<std::uint32_t>(module.Address) * 16;
    TModuleListRow row;
    row.Name = module.Name;
    row.Start = "$" + HexW(module.Address) + "0";
    row.End = module.Length == 0 ? row.Start : DollarHex5(start + module.Length - 1);
    row.Size = SizeWithKb(module.Length);
    const ModuleT type = module.MemType();
    row.Type = TypeText(type);
    if (type != ModuleT::ROM) {
        row.Status = "OK";
        row.BinSize = "no file needed";
        return row;
    }
    const std::optional<TBinFileState> file = ReadBinFileState(module);
    if (!file) {
        row.Status = "Err: File not found";
        return row;
    }
    const int age = CompareFileTime(file->Time, ExeFileTime);
    row.Status = age < 0 ? "OLD file" : (age == 0 ? "OK" : "NEW");
    row.BinSize = SizeWithKb(file->Size);
    return row;
}

void Beep() {
    GetPresenter().Beep(MB_OK);
}

// A new module that did not make it into the design gives its units back, however the editor ended.
class NewModuleGuard {
public:
    NewModuleGuard(std::unique_ptr<tModule>& module, tModule& unplaced)
        : module_(module), unplaced_(unplaced) {}
    ~NewModuleGuard() {
        if (module_) {
            module_->UnplaceAll(unplaced_);
        }
    }
    NewModuleGuard(const NewModuleGuard&) = delete;
    NewModuleGuard& operator=(const NewModuleGuard&) = delete;

private:
    std::unique_ptr<tModule>& module_;
    tModule& unplaced_;
};

} // namespace

TMapSpan MapSpan(std::uint32_t start, std::uint32_t length, int width) {
    const std::uint64_t w = static_cast<std::uint64_t>(std::max(width, 0));
    const std::uint64_t from = std::min<std::uint64_t>(start, kSpaceSize);
    const std::uint64_t to = std::min<std::uint64_t>(std::uint64_t{start} + length, kSpaceSize);
    const int left = static_cast<int>(from * w / kSpaceSize);
    const int right = static_cast<int>(to * w / kSpaceSize);
    return {left, std::max(1, right - left)};
}

int SnapMapWindowWidth(int width, int designWidth) {
    if (width <= designWidth) {
        return designWidth;
    }
    return designWidth + (width - designWidth) / 8 * 8;
}

TModuleListModel::TModuleListModel(TModuleEditRunner runner) : runner_(std::move(runner)) {}

bool TModuleListModel::EditingEnabled() const {
    const tProjectModel& model = ProjectModel();
    return ProjectType == TProjectType::Full && model.Modules != nullptr && model.Unplaced != nullptr;
}

void TModuleListModel::RefreshModuleList() {
    rows_.clear();
    bars_.clear();
    if (const tModuleCollection* modules = ProjectModel().Modules.get()) {
        modules->ForEach([this](const tModule& module) {
            rows_.push_back(RowOf(module));
            if (bars_.size() < kMapBarsMax) {
                bars_.push_back({module.Name, static_cast<std::uint32_t>(module.Address) * 16, module.Length,
                                 module.MemType() == ModuleT::RAM, "Module " + module.Name});
            }
        });
    }
    const int count = static_cast<int>(rows_.size());
    if (selected_ < 0 || selected_ >= count) {
        selected_ = count - 1;
    }
}

bool TModuleListModel::Edit() {
    return RunEditor(false);
}

bool TModuleListModel::Insert() {
    return RunEditor(true);
}

bool TModuleListModel::RunEditor(bool insert) {
    if (ProjectType == TProjectType::Small) {
        return false;
    }
    tProjectModel& model = ProjectModel();
    if (model.Modules == nullptr || model.Unplaced == nullptr) {
        Beep();
        return false;
    }
    tModuleCollection& modules = *model.Modules;
    insert = insert || modules.Empty();
    int index = selected_;
    if (!insert && modules.At(index) == nullptr) {
        ProjectInformation("Select module before editate.");
        return false;
    }
    bool changed = false;
    for (;;) {
        std::unique_ptr<tModule> fresh = insert ? std::make_unique<tModule>() : nullptr;
        const NewModuleGuard guard(fresh, *model.Unplaced);
        tModule* module = insert ? fresh.get() : modules.At(index);
        bool next = !insert && index + 1 < modules.Count();
        bool prev = !insert && index > 0;
        if (!runner_(*module, *model.Unplaced, next, prev)) {
            break;
        }
        // The address may have changed: the module goes where the order wants it.
        modules.Insert(insert ? std::move(fresh) : modules.Remove(module));
        BinFilesOK = false;
        changed = true;
        RefreshModuleList();
        const int at = modules.IndexOf(module);
        selected_ = at;
        const int step = next ? 1 : (prev ? -1 : 0);
        if (step == 0 || modules.At(at + step) == nullptr) {
            break;
        }
        index = at + step;
        insert = false;
    }
    return changed;
}

bool TModuleListModel::SaveMemFile() {
    return EditingEnabled() && WriteMemFile();
}

bool TModuleListModel::Delete() {
    // Without the unplaced units (a SMALL project) the units would have nowhere to go.
    if (!EditingEnabled()) {
        return false;
    }
    tProjectModel& model = ProjectModel();
    tModule* module = model.Modules->At(selected_);
    if (module == nullptr) {
        Beep();
        return false;
    }
    if (!ProjectAskYesNo("Delete module: \"" + module->Name + "\" ?")) {
        return false;
    }
    const int index = selected_;
    module->UnplaceAll(*model.Unplaced);
    model.Modules->Remove(module);
    RefreshModuleList();
    model.Modules->MarkChanged();
    Select(std::min(index, static_cast<int>(rows_.size()) - 1));
    return true;
}

} // namespace ravlo
