// Record values read from text by the lexical reader, one read after another as an import runs
// them. The input is a buffer size byte, the reads as letters up to a zero byte (b byte, w word, s
// small integer, i integer, d dword, t date as TTC time, f date as file time, r real, q string,
// c next character, k skip to the separator, l next line), then the text. The reads repeat until
// the text is used up or an error stops the reader; an error is always told.
#include "fuzz_support.h"
#include "platform/exception.h"
#include "records/lex_reader.h"

#include <string_view>

using namespace ravlo;

namespace {

// One read; false when it found the end of the text.
bool Read(TLexReader& reader, char op) {
    switch (op) {
    case 'b':
        reader.ReadByte();
        return true;
    case 'w':
        reader.ReadWord();
        return true;
    case 's':
        reader.ReadSmallInt();
        return true;
    case 'i':
        reader.ReadInteger();
        return true;
    case 'd':
        reader.ReadDWord(TLexReader::kDWordPlain);
        return true;
    case 't':
        reader.ReadDWord(TLexReader::kDWordTTCTime);
        return true;
    case 'f':
        reader.ReadDWord(TLexReader::kDWordDosTime);
        return true;
    case 'r':
        reader.ReadReal();
        return true;
    case 'q':
        reader.ReadString();
        return true;
    case 'k':
        return reader.SkipToSeparator() != 0;
    case 'l':
        return !reader.NextLine().empty() || !reader.FillLines();
    default:
        return reader.NextChar() != 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::SilenceMessageBoxes();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::size_t bufSize = 1 + input.Byte() * 64U;
    std::string_view ops = fuzz::AsText(input.Until(0));
    if (ops.empty()) {
        ops = "c";
    }
    const auto text = input.Rest();
    MemoryStream source(std::vector<std::uint8_t>(text.begin(), text.end()));
    TLexReader reader(source, bufSize);
    try {
        // Every read that does not stop moves on by at least a character or a line.
        for (std::size_t turn = 0; turn < 4 * (text.size() + ops.size()) && !reader.ErrorFlag(); ++turn) {
            if (!Read(reader, ops[turn % ops.size()])) {
                break;
            }
        }
    } catch (const EStreamError&) {
        // A line longer than the reader takes.
    }
    fuzz::Check(!reader.ErrorFlag() || !reader.ErrorText().empty(), "an error is told");
    return 0;
}
