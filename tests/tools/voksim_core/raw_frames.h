#pragma once

// The tests' own writer and reader of link frames and board frames, written byte by byte from the
// line format, so that the simulator is checked against an independent implementation.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace ravlo::voksim::testing {

// CRC-16/ARC, bit by bit.
inline std::uint16_t RawCrc(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0) {
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                                 : static_cast<std::uint16_t>(crc >> 1);
        }
    }
    return crc;
}

// DLE SOH dst src len(2) data crc(2) DLE ETX, with every 0x10 from dst to the CRC doubled.
inline std::vector<std::uint8_t> RawLinkFrame(std::uint8_t dst, std::uint8_t src,
                                              std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> covered{0x01, dst, src, static_cast<std::uint8_t>(data.size() & 0xFF),
                                      static_cast<std::uint8_t>(data.size() >> 8)};
    covered.insert(covered.end(), data.begin(), data.end());
    const std::uint16_t crc = RawCrc(covered);
    covered.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    covered.push_back(static_cast<std::uint8_t>(crc >> 8));
    std::vector<std::uint8_t> line{0x10, 0x01};
    for (std::size_t i = 1; i < covered.size(); ++i) {
        line.push_back(covered[i]);
        if (covered[i] == 0x10) {
            line.push_back(0x10);
        }
    }
    line.push_back(0x10);
    line.push_back(0x03);
    return line;
}

inline std::vector<std::uint8_t> ToBoard(std::span<const std::uint8_t> data) {
    return RawLinkFrame(254, 255, data);
}

// A board frame: type, two reserved zero bytes, then the fields.
inline std::vector<std::uint8_t> Vok(std::uint8_t type, std::initializer_list<std::uint8_t> fields = {}) {
    std::vector<std::uint8_t> frame{type, 0, 0};
    frame.insert(frame.end(), fields.begin(), fields.end());
    return frame;
}

// _Mem: seg:off (offset first) and a byte count.
inline std::vector<std::uint8_t> MemRequest(std::uint16_t seg, std::uint16_t off, std::uint16_t count) {
    return Vok(0xD0, {static_cast<std::uint8_t>(off), static_cast<std::uint8_t>(off >> 8),
                      static_cast<std::uint8_t>(seg), static_cast<std::uint8_t>(seg >> 8),
                      static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)});
}

// Load: seg:off, the byte count and the bytes.
inline std::vector<std::uint8_t> LoadRequest(std::uint16_t seg, std::uint16_t off,
                                             const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> frame = MemRequest(seg, off, static_cast<std::uint16_t>(data.size()));
    frame[0] = 0xE1;
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

struct RawFrame {
    std::uint8_t dst = 0;
    std::uint8_t src = 0;
    std::vector<std::uint8_t> data;
};

// Every well-formed frame in a stretch of line bytes; *bad counts started frames that failed.
inline std::vector<RawFrame> ParseRawFrames(std::span<const std::uint8_t> line, int* bad = nullptr) {
    std::vector<RawFrame> frames;
    std::size_t i = 0;
    while (i + 1 < line.size()) {
        if (line[i] != 0x10 || line[i + 1] != 0x01) {
            ++i;
            continue;
        }
        std::vector<std::uint8_t> body{0x01};
        std::size_t j = i + 2;
        bool ended = false;
        while (j < line.size()) {
            if (line[j] == 0x10 && j + 1 < line.size() && line[j + 1] == 0x10) {
                body.push_back(0x10);
                j += 2;
            } else if (line[j] == 0x10 && j + 1 < line.size() && line[j + 1] == 0x03) {
                ended = true;
                j += 2;
                break;
            } else if (line[j] == 0x10) {
                break;
            } else {
                body.push_back(line[j++]);
            }
        }
        const bool ok = ended && body.size() >= 7 && body.size() == 7u + (body[3] | (body[4] << 8)) &&
                        RawCrc(std::span(body).first(body.size() - 2)) ==
                            (body[body.size() - 2] | (body[body.size() - 1] << 8));
        if (ok) {
            frames.push_back({body[1], body[2], std::vector<std::uint8_t>(body.begin() + 5, body.end() - 2)});
        } else if (bad != nullptr) {
            ++*bad;
        }
        i = ended ? j : i + 2;
    }
    return frames;
}

inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

} // namespace ravlo::voksim::testing
