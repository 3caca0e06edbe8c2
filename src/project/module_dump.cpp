#include "project/module_dump.h"

#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "project/module.h"

namespace ravlo {

std::vector<std::string> ModuleDumpLines(const tModule& module) {
    std::vector<std::string> lines = {
        "  tModule: " + module.Name,
        "\r   Address = " + HexW(module.Address),
        "   Length = " + HexDW(module.Length),
        "\n   Used = " + HexDW(module.Used),
        "   ModuleLength = " + HexDW(module.ModuleLength),
        "   MemType = " + ModuleTName(module.MemType()),
        "   Count = " + std::to_string(module.Count()),
        "\t   items>",
    };
    module.ForEach([&lines](const tModUnit& unit) {
        lines.insert(lines.end(), {
                                      "\r      Module:",
                                      "       Name=" + unit.Name,
                                      "       MType=" + MUnitTName(unit.Kind),
                                      "       RelSeg=" + HexW(unit.RelSeg),
                                      "       Offset=" + HexW(unit.Offset),
                                      "       AbsSeg=" + HexW(unit.AbsSeg),
                                      "       Length=" + HexW(unit.Length),
                                      "\r      .Module",
                                  });
    });
    lines.emplace_back("\n  .tModule");
    return lines;
}

void DumpModule(const tModule& module) {
    for (const std::string& line : ModuleDumpLines(module)) {
        Writelnsys(0, line);
    }
}

} // namespace ravlo
