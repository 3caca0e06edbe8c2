#pragma once

#include <cstdint>

namespace ravlo {

// Hands out the run-time instance addresses of the databases: StartAdr + 1, + 2, ... up to
// kLastAdr. $FFFF means "none" and is never handed out as an address.
class TDBInstMan {
public:
    static constexpr std::uint16_t kFirstStartAdr = 32768;
    static constexpr std::uint16_t kNoAdr = 0xFFFF;
    static constexpr std::uint16_t kLastAdr = 0xFFFE;

    void Reset() { LastAdr = StartAdr; }
    // The next address; past kLastAdr "Instance Address Overflow !" is reported and kNoAdr given.
    std::uint16_t NewInstAdr();

    std::uint16_t StartAdr = kFirstStartAdr;
    std::uint16_t LastAdr = kFirstStartAdr;
};

// The program's instance manager.
TDBInstMan& DBInstMan();

} // namespace ravlo
