#include "shell/program_types.h"

#include "channels/chn_collection.h"
#include "channels/chn_virt.h"
#include "protocol/protocol_process_types.h"

namespace ravlo {

void RegisterProgramTypes() {
    RegisterChannelTypes();
    RegisterProtocolProcessTypes();
}

} // namespace ravlo
