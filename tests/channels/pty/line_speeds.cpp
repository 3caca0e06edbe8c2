// Kept apart: the kernel's termios2 declarations clash with those of <termios.h>.
#include "line_speeds.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace ravlo::testing {

std::pair<std::uint32_t, std::uint32_t> LineSpeeds(int fd) {
    struct termios2 settings {};
    if (::ioctl(fd, TCGETS2, &settings) != 0) {
        return {0, 0};
    }
    return {settings.c_ispeed, settings.c_ospeed};
}

} // namespace ravlo::testing
