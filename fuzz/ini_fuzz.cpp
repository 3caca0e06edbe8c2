// An INI file as the program finds it: parsed, every key read, then changed as the program changes
// its settings. Parsing keeps every byte; a key written reads back with the value written, also
// after the text is parsed again; deleted keys and sections are gone; the file layer agrees with the
// document it wraps.
#include "fuzz_support.h"
#include "platform/atomic_file.h"
#include "platform/ini_document.h"
#include "platform/ini_file.h"

using namespace ravlo;

namespace {

constexpr std::string_view kValue = " 12 ;x ";
constexpr std::string_view kTrimmedValue = "12 ;x";

void ReadEverything(const IniDocument& document) {
    for (const std::string& section : document.SectionNames()) {
        fuzz::Check(document.SectionExists(section), "a listed section exists");
        document.SectionLines(section);
        for (const std::string& key : document.KeyNames(section)) {
            fuzz::Check(document.KeyExists(section, key), "a listed key exists");
            document.ReadString(section, key, "");
            document.ReadInteger(section, key, -1);
            document.ReadBool(section, key, false);
        }
    }
}

void CheckWritten(IniDocument document, std::string_view section, std::string_view key) {
    if (!document.WriteString(section, key, kValue)) {
        return;
    }
    fuzz::Check(document.FindValue(section, key) == kTrimmedValue, "a written key reads back");
    fuzz::Check(IniDocument::Parse(document.Serialize()).FindValue(section, key) == kTrimmedValue,
                "a written key reads back from the text");
}

void CheckDeleted(IniDocument document, std::string_view section, std::string_view key) {
    document.DeleteKey(section, key);
    fuzz::Check(!IniDocument::Parse(document.Serialize()).KeyExists(section, key), "a deleted key is gone");
    document.DeleteSection(section);
    fuzz::Check(!IniDocument::Parse(document.Serialize()).SectionExists(section),
                "a deleted section is gone");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText({data, size});
    const IniDocument document = IniDocument::Parse(text);
    fuzz::Check(document.Serialize() == text, "parsing keeps every byte");
    ReadEverything(document);

    // Names the file has (a key of its first section), and new ones.
    const std::vector<std::string> sections = document.SectionNames();
    const std::string section = sections.empty() ? "Fuzz" : sections.front();
    const std::vector<std::string> keys = document.KeyNames(section);
    const std::string key = keys.empty() ? "Key" : keys.front();
    for (const auto& [s, k] : {std::pair<std::string_view, std::string_view>{section, key},
                               {section, "NewKey"},
                               {"New Section", "Key"}}) {
        CheckWritten(document, s, k);
        CheckDeleted(document, s, k);
    }

    // The file layer over the same bytes.
    const IniFile file(fuzz::WriteScratchFile("FUZZ.INI", text));
    fuzz::Check(file.SectionNames() == sections, "the file reads as the document");
    IniDocument changed = document;
    const bool accepted = changed.WriteString(section, key, kValue);
    IniFile writable = file;
    fuzz::Check(writable.WriteString(section, key, kValue) == accepted,
                "the file takes what the document takes");
    fuzz::Check(ReadFileBytes(file.Path()) == changed.Serialize(), "the file holds the changed document");
    return 0;
}
