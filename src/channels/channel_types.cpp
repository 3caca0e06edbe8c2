#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "channels/chn_virt.h"

namespace ravlo {
namespace {

template <class T>
std::unique_ptr<TChnVirt> CreateChannel(std::string_view name) {
    return MakeChannel<T>(name);
}

} // namespace

void RegisterChannelTypes() {
    TChnCollection& registry = ChnCollectionMade();
    if (!registry.ChAllTypeName().empty()) {
        return;
    }
    // The order gives the code bases: VIRT 0x1000, COM 0x2000, MARBEXL0 0x3000.
    registry.RegisterChannelType(&CreateChannel<TChnVirt>, TChnVirt::kClassName, TChnVirt::kTypeName);
    registry.RegisterChannelType(&CreateChannel<TComChannel>, TComChannel::kClassName,
                                 TComChannel::kTypeName);
    registry.RegisterChannelType(&CreateChannel<TChnMarbexL0>, TChnMarbexL0::kClassName,
                                 TChnMarbexL0::kTypeName);
}

} // namespace ravlo
