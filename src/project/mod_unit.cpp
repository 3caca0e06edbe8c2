#include "project/mod_unit.h"

#include <array>

namespace ravlo {

std::string MUnitTName(MUnitT kind) {
    static constexpr std::array<std::string_view, 9> kNames = {
        "Data", "Stack", "Heap", "CodeInDataSeg", "Loader", "Code", "InitData", "InitCode", "None"};
    const auto value = static_cast<std::size_t>(kind);
    if (value < kNames.size()) {
        return std::string(kNames[value]);
    }
    return "MUnitT_#" + std::to_string(value);
}

tModUnit::tModUnit(MUnitT kind, std::string_view name, std::uint16_t relSeg, std::uint16_t offset,
                   std::uint16_t length)
    : Kind(kind), Name(name.substr(0, kUnitNameMax)), RelSeg(relSeg), Offset(offset), Length(length) {}

std::uint32_t tModUnit::RoundedSize() const {
    if (Length == 0) {
        return 0;
    }
    return (static_cast<std::uint32_t>(Offset) + Length + 15U) & ~15U;
}

int CompareModUnits(const tModUnit& a, const tModUnit& b) {
    if (a.Kind != b.Kind) {
        return a.Kind < b.Kind ? -1 : 1;
    }
    if (a.Name == b.Name) {
        return 0;
    }
    if (a.RelSeg != b.RelSeg) {
        return a.RelSeg < b.RelSeg ? -1 : 1;
    }
    if ((a.Length == 0) != (b.Length == 0)) {
        return a.Length == 0 ? -1 : 1;
    }
    return 0;
}

bool IsCodeInDataSegName(std::string_view name) {
    return name == "Graph" || name == "ScGraph";
}

MUnitT KindFromUnitName(std::string_view name) {
    if (name == kLoaderUnitName) {
        return MUnitT::Loader;
    }
    if (name == kInitDataUnitName) {
        return MUnitT::InitData;
    }
    if (name == kInitCodeUnitName) {
        return MUnitT::InitCode;
    }
    if (name == "Data") {
        return MUnitT::Data;
    }
    if (name == "Stack") {
        return MUnitT::Stack;
    }
    if (name == "Heap") {
        return MUnitT::Heap;
    }
    if (IsCodeInDataSegName(name)) {
        return MUnitT::CodeInDataSeg;
    }
    return MUnitT::Code;
}

} // namespace ravlo
