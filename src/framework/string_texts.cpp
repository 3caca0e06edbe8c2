#include "framework/string_table.h"

#include <array>

namespace ravlo {
namespace {

// Each subsystem adds the ids of its own texts here; ids must stay unique. Texts are UTF-8 and
// become code page 1250 on first use.
constexpr std::array kProgramStringTexts = {
    // Title of the record databases' error boxes.
    StringText{100, "Chyba"},

    // I/O error texts of the text files.
    StringText{101, "Nepřípustné číslo funkce"},
    StringText{102, "Soubor nenalezen"},
    StringText{103, "Cesta nenalezena"},
    StringText{104, "Příliš mnoho otevřených souborů"},
    StringText{105, "Přístup k souboru odmítnut"},
    StringText{106, "Neplatný file handle"},
    StringText{107, "Neplatný file access code"},
    StringText{108, "Neplatné číslo jednotky"},
    StringText{109, "Nelze zrušit aktuální adresář"},
    StringText{110, "Přejmenování nelze provést na jinou jednotku"},
    StringText{111, "Chyba při čtení z disku"},
    StringText{112, "Chyba při zápisu na disk"},
    StringText{113, "Soubor není přiřazen"},
    StringText{114, "Soubor není otevřen"},
    StringText{115, "Soubor není otevřen pro vstup"},
    StringText{116, "Soubor není otevřen pro výstup"},
    StringText{117, "Neplatný formát čísla"},
    StringText{118, "I/O error 150"},
    StringText{119, "I/O error 151"},
    StringText{120, "I/O error 152"},
    StringText{121, "I/O error 153"},
    StringText{122, "I/O error 154"},
    StringText{123, "I/O error 155"},
    StringText{124, "I/O error 156"},
    StringText{125, "I/O error 157"},
    StringText{126, "I/O error 158"},
    StringText{127, "I/O error 159"},
    StringText{128, "I/O error 160"},
    StringText{129, "I/O error 161"},
    StringText{130, "I/O error 162"},
    StringText{131, "I/O error"},

    // Conversion texts.
    StringText{132, "Neplatná přípona souboru"},
    StringText{133, "Neplatné jméno souboru"},
    StringText{134, "Syntaktická chyba v zápisu čísla integer"},
    StringText{135, "Hodnota mimo meze"},
    StringText{136, "Syntaktická chyba v zápisu datumu"},
    StringText{137, "Syntaktická chyba v zápisu času"},
    StringText{138, "Syntaktická chyba v zápisu čísla longint"},
    StringText{139, "Syntaktická chyba v zápisu čísla real"},

    // A database-pointer field names a sub-database of another type.
    StringText{141, "Nesouhlasí typ podřízené databáze"},

    // Titles of the record text reader's errors.
    StringText{145, "Lexikální chyba"},
    StringText{146, "Syntaktická chyba"},
    StringText{147, "Sémantická chyba"},
    StringText{148, "Očekáván znak "},

    // Validation texts of the record dialogs.
    StringText{152, "Chyba v zápisu času"},
    StringText{153, "Chyba v zápisu čísla"},
    StringText{154, "Chyba v zápisu HexBufferu"},
    StringText{155, "čas %s mimo meze <%s;%s>"},
    StringText{156, "Hodnota $%x mimo meze <$%x;$%x>"},
    StringText{157, "Hodnota $%x mimo meze <%d;%d>"},
    StringText{158, "Hodnota %d mimo meze <%d;%d>"},
    StringText{159, "Hodnota %s mimo meze <%s;%s>"},
    StringText{160, "Hodnota %f mimo meze <%f;%f>"},
    StringText{161, "Hodnota %g mimo meze <%g;%g>"},
    StringText{162, "textový řetězec obsahuje nedovolené znaky"},

    // Parameter dialogs.
    StringText{166, "Storno"},
    StringText{178, "Editace parametru"},
};

} // namespace

std::span<const StringText> ProgramStringTexts() {
    return kProgramStringTexts;
}

} // namespace ravlo
