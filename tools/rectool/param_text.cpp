#include "rectool/param_text.h"

#include "framework/byte_stream.h"
#include "framework/obj_stream.h"

namespace ravlo::rectool {
namespace {

// Wide enough that a value list stays on one line.
constexpr std::uint16_t kTextWidth = 250;

std::string TextOf(const MemoryStream& stream) {
    return {reinterpret_cast<const char*>(stream.Data().data()), stream.Data().size()};
}

// A reader over text, with its source.
struct TextReader {
    explicit TextReader(std::string_view text)
        : source(std::vector<std::uint8_t>(text.begin(), text.end())), reader(source) {}
    MemoryStream source;
    TLexReader reader;
};

// After a whole value or list, only blanks and comments may follow.
void RefuseMore(TLexReader& reader, std::string_view what) {
    if (!reader.ErrorFlag() && reader.NextChar() != 0) {
        reader.LexError(TLexReader::kSyntaxError, "text after the " + std::string(what));
    }
}

// Where each initiator's element starts in a record.
std::vector<std::size_t> Offsets(const TRecIniciatorColl& inits) {
    std::vector<std::size_t> offsets;
    std::size_t offset = 0;
    for (std::int32_t i = 0; i < inits.Count(); ++i) {
        offsets.push_back(offset);
        if (const TRecElIniciatorObj* item = inits.ItemAt(i)) {
            offset += item->GetElSize();
        }
    }
    return offsets;
}

} // namespace

std::unique_ptr<TRecIniciatorColl> CopyOf(const TRecIniciatorColl& inits) {
    MemoryStream memory;
    TrbObjStream writer(memory, ObjStreamMode::Writing);
    writer.Put(&inits);
    memory.Seek(0);
    TrbObjStream reader(memory, ObjStreamMode::Reading, writer.ClassNames());
    return GetStreamObject<TRecIniciatorColl>(reader);
}

std::string ExportText(TRecIniciatorColl& inits, std::span<const std::uint8_t> rec) {
    MemoryStream text;
    TLexWriter writer(text, kTextWidth);
    inits.ExportHeaderList(writer);
    inits.ExportRecordValue(rec, writer);
    writer.WrFinish();
    return TextOf(text);
}

bool ImportColumns(TRecIniciatorColl& inits, std::string_view text, std::span<std::uint8_t> rec,
                   std::string& error) {
    if (inits.GetIniciatorRecSize() != rec.size()) {
        error = "the record has " + std::to_string(rec.size()) + " bytes, its type " +
                std::to_string(inits.GetIniciatorRecSize());
        return false;
    }
    TextReader input(text);
    TLexReader& reader = input.reader;
    // A header is seen as the reader sees any text, past blanks and comments.
    if (TextReader(text).reader.NextChar() == '[') {
        inits.ImportHeaderListOK(reader, true);
    } else {
        inits.HeaderList.emplace();
        for (std::int32_t i = 0; i < inits.Count(); ++i) {
            inits.HeaderList->push_back(i);
        }
    }
    bool references = false;
    inits.ImportHeaderValuesOK(reader, references);
    RefuseMore(reader, "values");
    if (reader.ErrorFlag()) {
        error = reader.ErrorText();
        return false;
    }
    const std::vector<std::size_t> offsets = Offsets(inits);
    for (const std::int32_t ix : *inits.HeaderList) {
        if (const TRecElIniciatorObj* item = ix >= 0 ? inits.ItemAt(ix) : nullptr) {
            item->AssignValue(rec.subspan(offsets[static_cast<std::size_t>(ix)], item->GetElSize()));
        }
    }
    return true;
}

std::vector<UnreadableValue> UnreadableValues(const TRecIniciatorColl& inits,
                                              std::span<const std::uint8_t> rec) {
    std::vector<UnreadableValue> unreadable;
    const std::unique_ptr<TRecIniciatorColl> copy = CopyOf(inits);
    if (!copy || copy->GetIniciatorRecSize() != rec.size()) {
        return unreadable;
    }
    const std::vector<std::size_t> offsets = Offsets(*copy);
    for (std::int32_t i = 0; i < copy->Count(); ++i) {
        TRecElIniciatorObj* item = copy->ItemAt(i);
        if (item == nullptr) {
            continue;
        }
        MemoryStream written;
        TLexWriter writer(written, kTextWidth);
        item->WriteRecValue(rec.subspan(offsets[static_cast<std::size_t>(i)], item->GetElSize()), writer);
        writer.WrFinish();
        const std::string text = TextOf(written);
        TextReader read(text);
        item->ReadValue(read.reader);
        RefuseMore(read.reader, "value");
        if (read.reader.ErrorFlag()) {
            unreadable.push_back(
                {item->Name, text.substr(0, text.find_last_not_of("\r\n") + 1), read.reader.ErrorText()});
        }
    }
    return unreadable;
}

} // namespace ravlo::rectool
