#include "records/rec_iniciator_coll.h"

#include "framework/message_box.h"
#include "framework/padding.h"
#include "framework/text_settings.h"
#include "platform/exception.h"

#include <algorithm>

namespace ravlo {
namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// The values of from put into to, through their own stream form.
void CopyValues(const TrbStreamable& from, TrbStreamable& to) {
    MemoryStream memory;
    TrbObjStream writer(memory, ObjStreamMode::Writing);
    from.Store(writer);
    memory.Seek(0);
    TrbObjStream reader(memory, ObjStreamMode::Reading);
    to.Load(reader);
}

} // namespace

std::uint32_t TRecIniciatorColl::GetIniciatorRecSize() const {
    std::uint32_t size = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TRecElIniciatorObj* item = ItemAt(i)) {
            size += item->GetElSize();
        }
    }
    return size;
}

bool TRecIniciatorColl::SizeFits(std::size_t length, std::string_view what) const {
    const std::uint32_t size = GetIniciatorRecSize();
    if (length == size) {
        return true;
    }
    ReportAppError("# TRecIniciatorColl." + std::string(what) + " RecLng=" + std::to_string(length) + "<> " +
                   std::to_string(size));
    return false;
}

bool TRecIniciatorColl::AssignRecValues(std::span<std::uint8_t> rec) const {
    if (!SizeFits(rec.size(), "AssignRecValues")) {
        return false;
    }
    std::size_t offset = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (const TRecElIniciatorObj* item = ItemAt(i)) {
            item->AssignValue(rec.subspan(offset, item->GetElSize()));
            offset += item->GetElSize();
        }
    }
    return true;
}

std::int32_t TRecIniciatorColl::FindHeaderEl(std::string_view name) const {
    name = name.substr(0, std::min(name.size(), TRecElIniciatorObj::kNameMax));
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRecElIniciatorObj* item = ItemAt(i);
        if (item != nullptr && SameAsciiNoCase(item->Name, name)) {
            return i;
        }
    }
    return -1;
}

void TRecIniciatorColl::DefineHeaderEl(std::string_view name) {
    if (!HeaderList) {
        HeaderList.emplace();
    }
    HeaderList->push_back(FindHeaderEl(name));
}

std::vector<std::unique_ptr<TRecElIniciatorObj>> TRecIniciatorColl::Copies() const {
    std::vector<std::unique_ptr<TRecElIniciatorObj>> copies;
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRecElIniciatorObj* item = ItemAt(i);
        if (item == nullptr) {
            copies.emplace_back();
            continue;
        }
        const StreamFactory factory = FindStreamClass(item->ClassName());
        if (factory == nullptr) {
            throw Exception("Class " + std::string(item->ClassName()) + " is not registered");
        }
        std::unique_ptr<TrbStreamable> copy = factory();
        CopyValues(*item, *copy);
        copies.emplace_back(dynamic_cast<TRecElIniciatorObj*>(copy.release()));
    }
    return copies;
}

void TRecIniciatorColl::Commit(const std::vector<std::unique_ptr<TRecElIniciatorObj>>& copies) {
    for (std::int32_t i = 0; i < Count() && static_cast<std::size_t>(i) < copies.size(); ++i) {
        if (TRecElIniciatorObj* item = ItemAt(i); item != nullptr && copies[static_cast<std::size_t>(i)]) {
            CopyValues(*copies[static_cast<std::size_t>(i)], *item);
        }
    }
}

bool TRecIniciatorColl::ImportHeaderListOK(TLexReader& reader, bool unknownIsError) {
    if (reader.ErrorFlag()) {
        return false;
    }
    if (reader.NextChar() != '[') {
        reader.CharExpected('[');
        return false;
    }
    std::vector<std::int32_t> header;
    // An empty header [] is what an empty collection writes.
    char c = reader.NextChar();
    while (c != ']') {
        const std::string name = reader.ReadQuoted();
        const std::int32_t ix = FindHeaderEl(name);
        if (ix < 0 && unknownIsError) {
            reader.LexError(TLexReader::kSemanticError, "unknown column '" + name + "'");
        }
        if (reader.ErrorFlag()) {
            return false;
        }
        c = reader.NextChar();
        if (c != ';' && c != ']') {
            reader.CharExpected(c == '<' ? ']' : ';');
            return false;
        }
        header.push_back(ix);
        if (c == ';') {
            c = reader.NextChar();
        }
    }
    HeaderList = std::move(header);
    return true;
}

bool TRecIniciatorColl::ImportHeaderValuesOK(TLexReader& reader, bool& changed) {
    if (reader.ErrorFlag() || !HeaderList) {
        return false;
    }
    if (reader.CurChar() != '(' && reader.NextChar() != '(') {
        reader.CharExpected('(');
        return false;
    }
    const std::vector<std::unique_ptr<TRecElIniciatorObj>> copies = Copies();
    const std::vector<std::int32_t>& header = *HeaderList;
    bool references = false;
    if (header.empty() && reader.NextChar() != ')') {
        reader.CharExpected(')');
    }
    for (std::size_t k = 0; k < header.size() && !reader.ErrorFlag(); ++k) {
        const std::int32_t ix = header[k];
        TRecElIniciatorObj* target = ix >= 0 && static_cast<std::size_t>(ix) < copies.size()
                                         ? copies[static_cast<std::size_t>(ix)].get()
                                         : nullptr;
        char c = 0;
        if (target != nullptr) {
            references |= target->ReadValue(reader);
            c = reader.NextChar();
        } else {
            c = reader.SkipToSeparator();
        }
        // The last value must close the list: a list that ends early or runs on is refused.
        const char expected = k + 1 < header.size() ? ';' : ')';
        if (!reader.ErrorFlag() && c != expected) {
            reader.CharExpected(expected);
        }
    }
    if (reader.ErrorFlag()) {
        return false;
    }
    Commit(copies);
    changed = changed || references;
    return true;
}

bool TRecIniciatorColl::ImportRecordCSVValuesOK(TLexReader& reader, bool& changed) {
    if (reader.ErrorFlag()) {
        return false;
    }
    const std::vector<std::unique_ptr<TRecElIniciatorObj>> copies = Copies();
    bool references = false;
    for (std::size_t i = 0; i < copies.size() && !reader.ErrorFlag(); ++i) {
        char c = 0;
        if (copies[i]) {
            references |= copies[i]->ReadValue(reader);
            c = reader.NextChar();
        } else {
            c = reader.SkipToSeparator();
        }
        if (!reader.ErrorFlag() && c != ';' && c != FieldSep) {
            reader.CharExpected(';');
        }
    }
    if (reader.ErrorFlag()) {
        return false;
    }
    Commit(copies);
    changed = changed || references;
    return true;
}

void TRecIniciatorColl::ExportHeaderList(TLexWriter& writer) const {
    writer.WrChar('[');
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (i > 0) {
            writer.WrChar(';');
        }
        const TRecElIniciatorObj* item = ItemAt(i);
        writer.WrQuoted(item != nullptr ? item->Name : std::string());
    }
    writer.WrChar(']');
}

bool TRecIniciatorColl::ExportRecordValue(std::span<const std::uint8_t> rec, TLexWriter& writer) {
    if (!SizeFits(rec.size(), "ExportRecordValue")) {
        return false;
    }
    writer.WrChar('(');
    std::size_t offset = 0;
    for (std::int32_t i = 0; i < Count(); ++i) {
        if (i > 0) {
            writer.WrChar(';');
        }
        if (TRecElIniciatorObj* item = ItemAt(i)) {
            item->WriteRecValue(rec.subspan(offset, item->GetElSize()), writer);
            offset += item->GetElSize();
        }
    }
    writer.WrChar(')');
    return true;
}

bool TRecIniciatorColl::TestUniqueHeaderNames(std::int32_t& index, std::string& name,
                                              std::size_t maxLen) const {
    index = -1;
    name.clear();
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRecElIniciatorObj* first = ItemAt(i);
        for (std::int32_t j = i + 1; first != nullptr && j < Count(); ++j) {
            const TRecElIniciatorObj* second = ItemAt(j);
            if (second != nullptr && SameAsciiNoCase(first->Name, second->Name)) {
                index = i;
                name = CutText(first->Name, maxLen);
                return false;
            }
        }
    }
    return true;
}

void TRecIniciatorColl::GetInicCollCSVHeaderStr(std::string& s) const {
    s.clear();
    for (std::int32_t i = 0; i < Count(); ++i) {
        const TRecElIniciatorObj* item = ItemAt(i);
        s += QuotedText(item != nullptr ? item->Name : std::string(), QuoteChar);
        s += FieldSep;
    }
}

} // namespace ravlo
