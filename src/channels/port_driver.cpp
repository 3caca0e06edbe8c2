#include "channels/port_driver.h"

#include "channels/termios_port_driver.h"

namespace ravlo {
namespace {

PortDriverFactory& CurrentFactory() {
    static PortDriverFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<PortDriver> MakePortDriver() {
    if (const PortDriverFactory& factory = CurrentFactory()) {
        return factory();
    }
    return std::make_unique<TermiosPortDriver>();
}

PortDriverFactory SetPortDriverFactory(PortDriverFactory factory) {
    return std::exchange(CurrentFactory(), std::move(factory));
}

} // namespace ravlo
