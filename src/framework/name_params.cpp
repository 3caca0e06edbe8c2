#include "framework/name_params.h"

#include "framework/app_names.h"
#include "framework/ini_access.h"
#include "framework/keyword_lexer.h"
#include "framework/writer_channels.h"

#include <optional>

namespace ravlo {
namespace {

std::string Heading(std::string_view name, std::string_view className) {
    return std::string(name) + ":" + std::string(className) + ".ReadParamFromINI: ";
}

} // namespace

bool LexGetUpd(std::uint8_t& upd) {
    const std::optional<std::int32_t> value = LexGetNumIn(0, 255);
    if (!value) {
        return true;
    }
    if (upd == 0 || *value <= 1) {
        upd = static_cast<std::uint8_t>(*value);
    }
    return false;
}

std::string ReadNamedValue(std::string_view name) {
    return IniReadStr(AppIniName(), RdSection(), name);
}

void ReportMissingEntry(std::string_view name, std::string_view className) {
    WriteErrsys(0, Heading(name, className) + "chybi/prazdne entry " + std::string(name) + "=");
}

void TraceNamedValue(std::string_view name, std::string_view value) {
    Writelnsys(0, "INIFile=" + PathText(AppIniName()) + "[" + RdSection() + "]," + std::string(name) + "=" +
                      std::string(value));
}

void ReportParseFailure(std::string_view name, std::string_view className, std::string_view tail) {
    WriteErrsys(0, Heading(name, className) + "- chyba v zadani parametru" + std::string(tail));
    WriteErrsys(0, "### " + LexConsumed(LexFailLine()) + "#");
}

void WriteNamedParams(std::string_view key, const std::string& text) {
    IniWriteStr(AppIniName(), WrSection(), key, text.empty() ? "{nothing}" : text);
}

} // namespace ravlo
