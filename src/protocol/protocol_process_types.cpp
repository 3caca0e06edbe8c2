#include "protocol/protocol_process_types.h"

#include "kernel/process_factory.h"
#include "protocol/comm_process.h"
#include "protocol/ma_process.h"
#include "protocol/tmp_err_process.h"

namespace ravlo {

void RegisterProtocolProcessTypes() {
    RegisterProcessType(PT_TmpErr, CreateFromLabel<TTMP_ERR_Process>);
    RegisterProcessType(PT_RavloComm, TRavloComm_Process::CreateFromLabel);
    RegisterProcessType(PT_RavloMA, CreateFromLabel<TRavlo_MA_Process>);
}

} // namespace ravlo
