#include "shell/io_item_list.h"

#include "framework/writer_channels.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::string_view kSection = "IOACCESS";
constexpr int kByteAccessBits = 8;
constexpr int kWordAccessBits = 16;
// A Count beyond any list the window writes is not followed further.
constexpr int kMaxScannedEntries = 256;

std::string EntrySection(int number) {
    return std::string(kSection) + std::to_string(number);
}

// A 16-bit key of an entry; nothing (after an error line) for another value.
std::optional<std::uint16_t> WordKey(const IniDocument& ini, const std::string& section, std::string_view key,
                                     int fallback) {
    const int value = ini.ReadInteger(section, key, fallback);
    if (value < 0 || value > 0xFFFF) {
        WriteErrsys(0, "RTDW.INI [" + section + "] " + std::string(key) + "=" + std::to_string(value) +
                           " is no 16-bit value; the entry is left out");
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

} // namespace

void TIOItemList::Add(TIOItem item) {
    items_.insert(items_.begin(), std::move(item));
    if (items_.size() > kMaxItems) {
        items_.resize(kMaxItems);
    }
}

void TIOItemList::Append(TIOItem item) {
    if (items_.size() < kMaxItems) {
        items_.push_back(std::move(item));
    }
}

void TIOItemList::MoveToFront(std::size_t index) {
    if (index < items_.size()) {
        std::rotate(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(index),
                    items_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
    }
}

std::optional<std::size_t> TIOItemList::Find(std::uint16_t addr) const {
    const auto found =
        std::find_if(items_.begin(), items_.end(), [addr](const TIOItem& item) { return item.Addr == addr; });
    if (found == items_.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - items_.begin());
}

TIOItemList LoadIOItems(const std::filesystem::path& file) {
    TIOItemList list;
    const IniFile iniFile(file);
    if (!iniFile.Exists()) {
        return list;
    }
    const IniDocument ini = iniFile.Read();
    if (!ini.SectionExists(kSection)) {
        return list;
    }
    const int count = std::min(ini.ReadInteger(kSection, "Count", 0), kMaxScannedEntries);
    for (int i = 1; i <= count && list.Count() < TIOItemList::kMaxItems; ++i) {
        const std::string section = EntrySection(i);
        if (!ini.SectionExists(section)) {
            continue;
        }
        TIOItem item;
        item.Descript = ini.ReadString(section, "Descript", "").substr(0, TIOItem::kMaxDescript);
        if (item.Descript.empty()) {
            continue;
        }
        const auto addr = WordKey(ini, section, "Addr", 0x2300);
        const auto data = WordKey(ini, section, "Data", 0);
        if (!addr || !data) {
            continue;
        }
        item.Addr = *addr;
        item.Data = *data;
        item.ByteAccess = ini.ReadInteger(section, "BitAccess", kByteAccessBits) == kByteAccessBits;
        list.Append(std::move(item));
    }
    return list;
}

bool SaveIOItems(const TIOItemList& list, const std::filesystem::path& file) {
    const std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        return false;
    }
    IniDocument ini = IniDocument::Parse(*bytes);
    // Every value is written, even after one was refused, so that the others are kept.
    bool complete = ini.WriteString(kSection, "Count", std::to_string(list.Count()));
    for (std::size_t i = 0; i < list.Count(); ++i) {
        const TIOItem& item = list[i];
        const std::string section = EntrySection(static_cast<int>(i + 1));
        complete = ini.WriteString(section, "Addr", std::to_string(item.Addr)) && complete;
        complete = ini.WriteString(section, "Descript", item.Descript) && complete;
        complete = ini.WriteString(section, "BitAccess",
                                   std::to_string(item.ByteAccess ? kByteAccessBits : kWordAccessBits)) &&
                   complete;
        complete = ini.WriteString(section, "Data", std::to_string(item.Data)) && complete;
    }
    return WriteFileAtomic(file, ini.Serialize()) && complete;
}

} // namespace ravlo
