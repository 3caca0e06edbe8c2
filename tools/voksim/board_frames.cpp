#include "voksim/board_frames.h"

#include <array>
#include <cstdio>
#include <utility>

namespace ravlo::voksim {

namespace {

constexpr std::array<std::pair<std::uint8_t, const char*>, 26> kNames{{
    {0xD0, "_Mem"},    {0xD1, "MemD"},     {0xD2, "cIORd"},   {0xD3, "cIORdW"},  {0xD4, "cIOWr"},
    {0xD5, "cIOWrW"},  {0xD6, "MemE"},     {0xD7, "Rqst"},    {0xD8, "EmptV40"}, {0xD9, "Chcksum"},
    {0xDA, "Err"},     {0xDB, "ErrVal"},   {0xDC, "BdRate"},  {0xDD, "ActRq"},   {0xDE, "ActAck"},
    {0xDF, "Go"},      {0xE0, "Run"},      {0xE1, "Load"},    {0xE3, "SetRTC"},  {0xE4, "GetRTC"},
    {0xF8, "CheckOk"}, {0xF9, "CheckErr"}, {0xFA, "Empt386"}, {0xFB, "GetID"},   {0xFC, "EmptHAL"},
    {0xFD, "Empt188"},
}};

std::string Printf(const char* pattern, auto... values) {
    std::array<char, 160> text{};
    std::snprintf(text.data(), text.size(), pattern, values...);
    return text.data();
}

unsigned FromBcd(std::uint8_t value) {
    return (value >> 4) * 10U + (value & 0x0FU);
}

std::string ClockText(std::span<const std::uint8_t> f) {
    if (f.size() == 10) { // a request: binary fields
        return Printf(" %04u-%02u-%02u %02u:%02u:%02u", unsigned{GetU16(f, 3)}, unsigned{f[5]},
                      unsigned{f[6]}, unsigned{f[7]}, unsigned{f[8]}, unsigned{f[9]});
    }
    if (f.size() >= 14) { // the board's answer: packed BCD with the year limits
        return Printf(" BCD %02u%02u-%02u-%02u %02u:%02u:%02u years %02u%02u..%02u%02u", FromBcd(f[4]),
                      FromBcd(f[3]), FromBcd(f[5]), FromBcd(f[6]), FromBcd(f[7]), FromBcd(f[8]),
                      FromBcd(f[9]), FromBcd(f[11]), FromBcd(f[10]), FromBcd(f[13]), FromBcd(f[12]));
    }
    return {};
}

} // namespace

FarPtr FarPtr::FromLin(std::uint32_t lin) {
    lin %= kAddressSpace;
    return {static_cast<std::uint16_t>(lin >> 4), static_cast<std::uint16_t>(lin & 0x0F)};
}

FarPtr FarPtr::Plus(std::uint32_t delta) const {
    if (std::uint32_t{off} + delta <= 0xFFFF) {
        return {seg, static_cast<std::uint16_t>(off + delta)};
    }
    return FromLin(Lin() + delta);
}

std::uint16_t GetU16(std::span<const std::uint8_t> frame, std::size_t at) {
    return static_cast<std::uint16_t>(frame[at] | (frame[at + 1] << 8));
}

FarPtr GetFar(std::span<const std::uint8_t> frame, std::size_t at) {
    return {GetU16(frame, at + 2), GetU16(frame, at)};
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutFar(std::vector<std::uint8_t>& out, FarPtr address) {
    PutU16(out, address.off);
    PutU16(out, address.seg);
}

std::vector<std::uint8_t> BareFrame(std::uint8_t type) {
    return {type, 0, 0};
}

std::string FrameName(std::uint8_t type) {
    for (const auto& [value, name] : kNames) {
        if (value == type) {
            return name;
        }
    }
    return Printf("???_$%02X", unsigned{type});
}

std::string FarText(FarPtr address) {
    return Printf("%04X:%04X", unsigned{address.seg}, unsigned{address.off});
}

std::string DescribeFrame(std::span<const std::uint8_t> f) {
    if (f.empty()) {
        return "(empty)";
    }
    std::string text = FrameName(f[0]);
    const auto has = [&](std::size_t size) {
        return f.size() >= size;
    };
    switch (f[0]) {
    case vok::Mem:
    case vok::MemD:
    case vok::Load:
        if (has(9)) {
            text += " " + FarText(GetFar(f, 3)) + Printf(" n=%u", unsigned{GetU16(f, 7)});
        }
        break;
    case vok::cIORd:
    case vok::cIORdW:
        if (has(5)) {
            text += Printf(" port=$%04X", unsigned{GetU16(f, 3)});
        }
        if (f.size() == 8) {
            text += Printf(" value=$%02X", unsigned{f[7]});
        } else if (f.size() >= 9) {
            text += Printf(" value=$%04X", unsigned{GetU16(f, 7)});
        }
        break;
    case vok::cIOWr:
    case vok::cIOWrW:
        if (has(9)) {
            text += Printf(" port=$%04X value=$%04X", unsigned{GetU16(f, 3)}, unsigned{GetU16(f, 7)});
        }
        break;
    case vok::Chcksum:
        if (has(9)) {
            text += " " + FarText(GetFar(f, 3)) + Printf(" paragraphs=%u", unsigned{GetU16(f, 7)});
        }
        break;
    case vok::BdRate:
        if (has(4)) {
            text += Printf(" code=%u", unsigned{f[3]});
        }
        break;
    case vok::Go:
    case vok::Run:
        if (has(7)) {
            text += " " + FarText(GetFar(f, 3));
        }
        break;
    case vok::Err:
        if (has(5)) {
            text += Printf(" value=$%04X", unsigned{GetU16(f, 3)});
        }
        break;
    case vok::SetRTC:
        text += ClockText(f);
        break;
    default:
        break;
    }
    return text;
}

} // namespace ravlo::voksim
