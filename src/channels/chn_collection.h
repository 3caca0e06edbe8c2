#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravlo {

class TChnVirt;

// Builds a channel of one class and completes its creation (the channel's virtual constructor).
using TChnFactory = std::unique_ptr<TChnVirt> (*)(std::string_view name);

// A registered channel type: its class and its type name (upper-cased).
class TAddChnVirt {
public:
    TAddChnVirt(TChnFactory factory, std::string_view className, std::string_view typeName);
    virtual ~TAddChnVirt() = default;
    TAddChnVirt(const TAddChnVirt&) = delete;
    TAddChnVirt& operator=(const TAddChnVirt&) = delete;

    // A new channel of the class; nullptr without a class.
    virtual std::unique_ptr<TChnVirt> CreateChannel(std::string_view name) const;
    // The registered instance (type entries have none).
    virtual TChnVirt* Channel() const { return nullptr; }
    // The entry's line of WriteColl, without its index.
    virtual std::string EntryText() const;

    const std::string& TypeName() const { return typeName_; }
    const std::string& ClassName() const { return className_; }

private:
    TChnFactory factory_;
    std::string className_;
    std::string typeName_;
};

// A registered channel instance under its type name. Does not own the channel.
class TAddChannel final : public TAddChnVirt {
public:
    explicit TAddChannel(TChnVirt& channel);

    std::unique_ptr<TChnVirt> CreateChannel(std::string_view) const override { return nullptr; }
    TChnVirt* Channel() const override { return &channel_; }
    std::string EntryText() const override;

private:
    TChnVirt& channel_;
};

// What ChNewInit found: a registered instance to share, or a new channel for the caller to own.
struct TChnNewInit {
    TChnVirt* Channel = nullptr;
    std::unique_ptr<TChnVirt> Owned;
    // 1 when Channel is shared and must not be freed by the caller.
    std::uint8_t NotOwned() const { return Channel != nullptr && !Owned ? 1 : 0; }
};

// The registry of channel types and channel instances. Types are registered first, so a type's
// position (1-based, shifted left by 12) is its code base; a position of 16 or more has none.
class TChnCollection {
public:
    static constexpr std::string_view kClassName = "TChnCollection";

    void RegisterChannelType(TChnFactory factory, std::string_view className, std::string_view typeName);
    void AddInstance(TChnVirt& channel);
    void RemoveInstance(const TChnVirt& channel);

    // The registered instance of that type and name (both case ignored), shared; else a new channel
    // of the type's class, owned by the caller; else nothing.
    TChnNewInit ChNewInit(std::string_view typeName, std::string_view name) const;
    std::uint16_t ChNumName(std::string_view typeName) const;
    std::string ChTypeName(std::uint16_t code) const;

    // The instance of that type (case ignored) with exactly that name.
    TChnVirt* GetRefChannel(std::string_view typeName, std::string_view name) const;
    // The first instance of that type and its name.
    TChnVirt* GetFirstRefChannelByType(std::string_view typeName, std::string& name) const;
    // Names and objects of every instance of that type (empty when none).
    std::vector<std::pair<std::string, TChnVirt*>> GetChannelInstNamesByType(std::string_view typeName) const;

    // Diagnostics: the registered type names, a name's type number, and a dump of every entry.
    std::string ChAllTypeName() const;
    std::string ChAllNumName(std::string_view typeName) const;
    std::vector<std::string> WriteColl() const;
    void WriteColl(int writerChannel) const;

    std::size_t Count() const { return entries_.size(); }

private:
    std::vector<std::unique_ptr<TAddChnVirt>> entries_;
};

// The global registry: nullptr until something creates it.
TChnCollection* ChnCollection();
// The global registry, made when absent.
TChnCollection& ChnCollectionMade();
// Frees the global registry (at program end; tests start afresh with it).
void FreeChnCollection();

// Registers a channel instance when its type name and its name are both non-empty; makes the
// registry when absent.
void AddChInst(TChnVirt& channel);
// Removes the channel's instance entry, if there is a registry and an entry.
void RemoveChInst(const TChnVirt& channel);
// ChNewInit of the global registry; nothing without one.
TChnNewInit ChNewInit(std::string_view typeName, std::string_view name);

// Registers the channel types in their fixed order, "VIRT", "COM", "MARBEXL0" (code bases 0x1000,
// 0x2000, 0x3000), when the registry has none yet. Called once at start-up, before any channel.
void RegisterChannelTypes();

} // namespace ravlo
