#include "protocol/ma_process.h"

namespace ravlo {

void TRavlo_MA_Process::QueueJump(std::uint8_t kind, tRequest::StartProc start, TSegOfsPtr address) {
    tRequest request;
    request.Kind = kind;
    request.Start = start;
    request.StartAdr = address;
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::GoAddr(TSegOfsPtr address) {
    QueueJump(cs_WaitForGo, &TRavlo_MA_Process::StartGo, address);
}

void TRavlo_MA_Process::RunApp(TSegOfsPtr address) {
    QueueJump(cs_WaitForRun, &TRavlo_MA_Process::StartRun, address);
}

void TRavlo_MA_Process::CheckSum() {
    tRequest request;
    request.Kind = cs_WaitForCheckSum;
    request.Start = &TRavlo_MA_Process::StartCheckSum;
    request.Text = "Checksum OK";
    Enqueue(std::move(request));
}

void TRavlo_MA_Process::StartGo() {
    RetryCount = 0;
    PostFrame(BuildGoFrame(active_.StartAdr));
}

void TRavlo_MA_Process::StartRun() {
    RetryCount = 0;
    PostFrame(BuildRunFrame(active_.StartAdr));
}

void TRavlo_MA_Process::StartCheckSum() {
    RetryCount = 0;
    SetConState(cs_WaitForCheckSum);
    active_.Remaining = 0;
    const std::vector<TMaRomModule> modules = Project().RomModules();
    const auto refuse = [this](std::string_view text) {
        ShowText(text, 1);
        SetConState(cs_idle);
        active_.Done = 1;
    };
    if (modules.empty()) {
        // Nothing would be sent and no answer would come.
        refuse("Nothing to check: the project has no ROM module.");
        return;
    }
    for (const TMaRomModule& module : modules) {
        if (module.Size == 0) {
            refuse("Error, Generate first, then run CheckSum again.");
            return;
        }
    }
    for (const TMaRomModule& module : modules) {
        PostFrame(BuildChcksumFrame(module.Segment, module.Size));
        ++active_.Remaining;
    }
}

void TRavlo_MA_Process::AnswerGo(std::span<const std::uint8_t>) {
    FinishOperation();
    MainForm().SetRunOk(true);
    SetEventText("- Application was started", 4);
    if ((MainForm().CmdLineFlags() & TMaMainForm::CL_Exit) != 0) {
        MainForm().Exit_ActionExecute();
    }
}

void TRavlo_MA_Process::AnswerCheckSum(std::span<const std::uint8_t> frame) {
    if (active_.Kind == cs_WaitForLd) {
        AnswerWriteCheck(frame);
        return;
    }
    const std::uint8_t type = frame[0];
    if (type != ft_CheckOk && type != ft_CheckErr) {
        Unexpected(type);
    }
    --active_.Remaining;
    if (type == ft_CheckErr) {
        active_.Text = "Checksum Error";
    }
    if (active_.Remaining > 0) {
        // The next module's Chcksum goes out.
        ContinueLink();
        return;
    }
    ShowText(active_.Text, 4);
    FinishOperation();
}

} // namespace ravlo
