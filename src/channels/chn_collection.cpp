#include "channels/chn_collection.h"

#include "channels/chn_virt.h"
#include "framework/writer_channels.h"
#include "platform/text_case.h"

#include <algorithm>

namespace ravlo {
namespace {

constexpr std::size_t kMaxTypePosition = 15;

std::unique_ptr<TChnCollection>& GlobalCollection() {
    static std::unique_ptr<TChnCollection> collection;
    return collection;
}

std::string CutTypeName(std::string_view typeName) {
    return Cp1250ToUpper(typeName.substr(0, std::min(typeName.size(), TChnVirt::kTypeNameMax)));
}

} // namespace

TAddChnVirt::TAddChnVirt(TChnFactory factory, std::string_view className, std::string_view typeName)
    : factory_(factory), className_(className), typeName_(CutTypeName(typeName)) {}

std::unique_ptr<TChnVirt> TAddChnVirt::CreateChannel(std::string_view name) const {
    return factory_ == nullptr ? nullptr : factory_(name);
}

std::string TAddChnVirt::EntryText() const {
    return "ChnMember{" + className_ + "} TN=" + typeName_ + " Class=" + className_;
}

TAddChannel::TAddChannel(TChnVirt& channel)
    : TAddChnVirt(nullptr, channel.ClassName(), channel.TypeName()), channel_(channel) {}

std::string TAddChannel::EntryText() const {
    return TAddChnVirt::EntryText() + " Inst=" + channel_.Name + "[" + channel_.ParamsToText() + "]";
}

void TChnCollection::RegisterChannelType(TChnFactory factory, std::string_view className,
                                         std::string_view typeName) {
    entries_.push_back(std::make_unique<TAddChnVirt>(factory, className, typeName));
}

void TChnCollection::AddInstance(TChnVirt& channel) {
    if (!channel.TypeName().empty() && !channel.Name.empty()) {
        entries_.push_back(std::make_unique<TAddChannel>(channel));
    }
}

void TChnCollection::RemoveInstance(const TChnVirt& channel) {
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&channel](const auto& entry) { return entry->Channel() == &channel; });
    if (found != entries_.end()) {
        entries_.erase(found);
    }
}

TChnNewInit TChnCollection::ChNewInit(std::string_view typeName, std::string_view name) const {
    TChnNewInit result;
    for (const auto& entry : entries_) {
        TChnVirt* channel = entry->Channel();
        if (channel != nullptr && SameTextNoCase(entry->TypeName(), typeName) &&
            SameTextNoCase(channel->Name, name)) {
            result.Channel = channel;
            return result;
        }
    }
    const auto type = std::find_if(entries_.begin(), entries_.end(), [typeName](const auto& entry) {
        return SameTextNoCase(entry->TypeName(), typeName);
    });
    if (type != entries_.end()) {
        result.Owned = (*type)->CreateChannel(name);
        result.Channel = result.Owned.get();
    }
    return result;
}

std::uint16_t TChnCollection::ChNumName(std::string_view typeName) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(), [typeName](const auto& entry) {
        return SameTextNoCase(entry->TypeName(), typeName);
    });
    if (found == entries_.end()) {
        return 0;
    }
    const auto position = static_cast<std::size_t>(found - entries_.begin()) + 1;
    return position > kMaxTypePosition ? 0 : static_cast<std::uint16_t>(position << 12);
}

std::string TChnCollection::ChTypeName(std::uint16_t code) const {
    const std::size_t position = code >> 12;
    if (position == 0 || position > entries_.size()) {
        return {};
    }
    return entries_[position - 1]->TypeName();
}

TChnVirt* TChnCollection::GetRefChannel(std::string_view typeName, std::string_view name) const {
    for (const auto& entry : entries_) {
        TChnVirt* channel = entry->Channel();
        if (channel != nullptr && SameTextNoCase(entry->TypeName(), typeName) && channel->Name == name) {
            return channel;
        }
    }
    return nullptr;
}

TChnVirt* TChnCollection::GetFirstRefChannelByType(std::string_view typeName, std::string& name) const {
    const auto instances = GetChannelInstNamesByType(typeName);
    if (instances.empty()) {
        return nullptr;
    }
    name = instances.front().first;
    return instances.front().second;
}

std::vector<std::pair<std::string, TChnVirt*>>
TChnCollection::GetChannelInstNamesByType(std::string_view typeName) const {
    std::vector<std::pair<std::string, TChnVirt*>> instances;
    for (const auto& entry : entries_) {
        if (TChnVirt* channel = entry->Channel();
            channel != nullptr && SameTextNoCase(entry->TypeName(), typeName)) {
            instances.emplace_back(channel->Name, channel);
        }
    }
    return instances;
}

std::string TChnCollection::ChAllTypeName() const {
    std::string text;
    for (const auto& entry : entries_) {
        if (entry->Channel() == nullptr) {
            text += " " + entry->TypeName();
        }
    }
    return text;
}

std::string TChnCollection::ChAllNumName(std::string_view typeName) const {
    return " CHNumName=" + std::to_string(ChNumName(typeName) >> 12);
}

std::vector<std::string> TChnCollection::WriteColl() const {
    std::vector<std::string> lines{"**** " + std::string(kClassName) +
                                   " **** Count=" + std::to_string(Count())};
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        lines.push_back("[" + std::to_string(i) + "]" + entries_[i]->EntryText());
    }
    return lines;
}

void TChnCollection::WriteColl(int writerChannel) const {
    for (const std::string& line : WriteColl()) {
        Writelnsys(writerChannel, line);
    }
}

TChnCollection* ChnCollection() {
    return GlobalCollection().get();
}

TChnCollection& ChnCollectionMade() {
    if (!GlobalCollection()) {
        GlobalCollection() = std::make_unique<TChnCollection>();
    }
    return *GlobalCollection();
}

void FreeChnCollection() {
    GlobalCollection().reset();
}

void AddChInst(TChnVirt& channel) {
    ChnCollectionMade().AddInstance(channel);
}

void RemoveChInst(const TChnVirt& channel) {
    if (TChnCollection* registry = ChnCollection()) {
        registry->RemoveInstance(channel);
    }
}

TChnNewInit ChNewInit(std::string_view typeName, std::string_view name) {
    const TChnCollection* registry = ChnCollection();
    return registry == nullptr ? TChnNewInit{} : registry->ChNewInit(typeName, name);
}

} // namespace ravlo
