#include "records/db_inst_man.h"

#include "framework/message_box.h"

namespace ravlo {

std::uint16_t TDBInstMan::NewInstAdr() {
    if (LastAdr >= kLastAdr) {
        ReportAppError("Instance Address Overflow !");
        return kNoAdr;
    }
    return ++LastAdr;
}

TDBInstMan& DBInstMan() {
    static TDBInstMan manager;
    return manager;
}

} // namespace ravlo
