#include "shell/process_views.h"

#include "framework/number_text.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "protocol/board_answers.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"
#include "protocol/ma_process.h"

namespace ravlo {
namespace {

// The counter width of the pending messages.
constexpr int kPendingWidth = 2;

template <class Process>
Process* FindProcess(const TProcessColl* processes, std::uint8_t ident) {
    return processes != nullptr ? dynamic_cast<Process*>(processes->GetProcByIdent(ident)) : nullptr;
}

std::unique_ptr<TParamObj> ByteWatch(const std::uint8_t& field) {
    return std::make_unique<TByteParamObj>(&field, 0, 0, 0, 0, 0);
}

std::unique_ptr<TParamObj> WordWatch(const std::uint16_t& field) {
    return std::make_unique<TWordParamObj>(&field, 0, 0, 0, 0, 0);
}

std::uint8_t ByteLast(const TParamObj& watch) {
    return static_cast<const TByteParamObj&>(watch).Last;
}

std::uint16_t WordLast(const TParamObj& watch) {
    return static_cast<const TWordParamObj&>(watch).Last;
}

} // namespace

TProcessView TProcessView::ForMaster(const TProcessColl* processes) {
    TProcessView view("Ravlo_MA_MDIChildForm", {{"Ravlo_MA_State", "Ravlo_MA_State_Edit"},
                                                {"ProcState", "procState_Edit"},
                                                {"Vok Type", "VokType_Edit"},
                                                {"QQ State", "qqState_Edit"}});
    if (const auto* ma = FindProcess<const TRavlo_MA_Process>(processes, PT_RavloMA)) {
        // The link state is a byte: a word watcher would also read the byte after it.
        view.Watch(ByteWatch(ma->LinkState),
                   [](const TParamObj& w) { return TRavlo_MA_Process::RavloStateName(ByteLast(w)); });
        view.Watch(WordWatch(ma->State),
                   [](const TParamObj& w) { return TRavlo_MA_Process::ProcStateName(WordLast(w)); });
        view.Watch(ByteWatch(ma->Device), [](const TParamObj& w) { return VokTypeText(ByteLast(w)); });
        view.Watch(ByteWatch(ma->ConState),
                   [](const TParamObj& w) { return TRavlo_MA_Process::ConStateName(ByteLast(w)); });
    }
    return view;
}

TProcessView TProcessView::ForComm(const TProcessColl* processes) {
    TProcessView view("CommMa_MDIChild", {{"State", "CommMAState_Edit"},
                                          {"ComPort", "ComPort_Edit"},
                                          {"Counters", "Counters_Edit"},
                                          {"MColl count", "MCollCount_Edit"}});
    if (const auto* comm = FindProcess<const TRavloComm_Process>(processes, PT_RavloComm)) {
        view.Watch(WordWatch(comm->State), [](const TParamObj& w) { return CommStateText(WordLast(w)); });
        view.Watch(ByteWatch(comm->ComPort), [](const TParamObj& w) { return w.FormatValue(); });
        view.Watch(std::make_unique<TParamObj>(&comm->Stat, 0, 0, 0),
                   [](const TParamObj& w) { return static_cast<const TChnStat*>(w.ValuePtr)->ToStr(); });
        view.Watch(std::make_unique<TParamObj>(comm->PendingCountField(), 0, 0, 0), [](const TParamObj& w) {
            return DWordStr(*static_cast<const std::uint32_t*>(w.ValuePtr), kPendingWidth);
        });
    }
    return view;
}

TProcessView::TProcessView(std::string caption,
                           std::initializer_list<std::pair<const char*, const char*>> fields)
    : caption_(std::move(caption)) {
    for (const auto& [label, editName] : fields) {
        fields_.push_back({label, editName, {}});
    }
}

void TProcessView::Watch(std::unique_ptr<TParamObj> value, TextOf text) {
    hasProcess_ = true;
    fields_[watches_.size()].Text = text(*value);
    watches_.push_back({std::move(value), std::move(text)});
}

int TProcessView::VarChanged(const void* address) {
    if (!hasProcess_ || address == nullptr) {
        return -1;
    }
    for (std::size_t i = 0; i < watches_.size(); ++i) {
        if (watches_[i].Value->Changed(address)) {
            fields_[i].Text = watches_[i].Text(*watches_[i].Value);
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string VokTypeText(std::uint8_t device) {
    if (device == DEV_Unknown) {
        return "!!--UNDEFINED--!!";
    }
    const std::string_view name = DeviceName(device);
    return name.empty() ? std::string(17, '?') : "Dev=" + std::string(name);
}

} // namespace ravlo
