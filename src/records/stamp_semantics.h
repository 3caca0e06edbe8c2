#pragma once

#include "records/semantics.h"

#include <optional>

namespace ravlo {

// Keeps a byte field equal to the device index of the database being run (set before the run).
class TDevIxSetSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TDevIxSetSem";

    std::string_view ClassName() const override { return kClassName; }
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint8_t DevIx = 0;
};

// Writes the current time as text into a short-string field of at most MaxLen - 1 characters;
// with OnlyModified only into records that are modified.
class TStrTimeSetSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TStrTimeSetSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint8_t MaxLen = 0;
    std::uint8_t OnlyModified = 0;
};

// The same with the packed TTC time in a 32-bit field.
class TTTCTimeSetSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TTTCTimeSetSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint8_t OnlyModified = 0;
};

// Accepts a 32-bit field inside Low .. High: AccKind 0, 3, 4 and 5 compare unsigned, 1 high word
// first (the same order), 2 as TTC times; any other kind leaves Found alone.
class TAcceptDWFSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TAcceptDWFSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;

    std::uint8_t AccKind = 0;
    std::uint32_t Low = 0;
    std::uint32_t High = 0;
};

// Accepts a date-time field (an 8-byte float) inside Low .. High and, while MinDist is above 0,
// at least MinDist after the value accepted last.
class TAcceptDateTimeSem : public TSemantics {
public:
    static constexpr std::string_view kClassName = "TAcceptDateTimeSem";

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    void Load(TrbObjStream& stream) override;
    void Evaluate(std::uint8_t event, std::uint8_t sub, std::span<std::uint8_t> data) override;
    void Reset() override;

    double Low = 0;
    double High = 0;
    // Run time, not stored.
    double MinDist = 0;
    std::optional<double> LastAccepted;
};

} // namespace ravlo
