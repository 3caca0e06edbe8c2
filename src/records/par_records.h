#pragma once

#include "framework/mem_block.h"
#include "records/dscr_rec_obj.h"
#include "records/rec_iniciator_coll.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// The parameter record types of an application: type i is item i, a collection of initiators
// whose widths lay out the record.
class TParRecTypesColl : public TRecordsCollection<TRecIniciatorColl> {
public:
    static constexpr std::string_view kClassName = "TParRecTypesColl";

    std::string_view ClassName() const override { return kClassName; }

    TRecIniciatorColl* GetParRecType(std::int32_t i) const { return ItemAt(i); }
    // The type's record size, 0 without the type.
    std::uint32_t GetParRecTypeSize(std::int32_t i) const;
    // The type's header and the values of data; false when there is no type or data does not fit.
    bool WrParRecType(std::int32_t i, std::span<const std::uint8_t> data, TLexWriter& writer) const;
};

// The parameter record types of the application data in use, nullptr when there are none.
TParRecTypesColl* AppParRecTypesColl();

// Results of the parameter record operations.
inline constexpr int kParDone = 0;
inline constexpr int kParNoData = 1;
inline constexpr int kParBadLength = 1;
inline constexpr int kParNoBuffer = 2;
// The initiators of the record's type do not fit its data.
inline constexpr int kParTypeMisfit = 3;

// One parameter of a device: a typed record addressed by RecDE (its collection) and RecLA (its
// place there), with the parameter record type that gives its defaults and its text form. Every
// change of the data is announced with wm_VarChanged naming the data.
class TParRecordObj : public TDscrRecObj {
public:
    static constexpr std::string_view kClassName = "TParRecordObj";
    static constexpr std::size_t kParNameMax = 78;

    std::string_view ClassName() const override { return kClassName; }
    void Store(TrbObjStream& stream) const override;
    // A DTMRecSize below 0 or beyond the data becomes the data's length.
    void Load(TrbObjStream& stream) override;

    virtual void SetupRec() {}
    // The type's initial values.
    virtual int ReInit();
    // The parameter record type's initiator values.
    virtual int ReDBInit();
    // Whether a descendant that reacts to a change of the data failed; then the operation
    // answers 1.
    virtual bool Changed() { return false; }
    virtual void Sent() {}
    // src must be as long as the data or DTMRecSize; nothing is written otherwise.
    virtual int WrParam(std::span<const std::uint8_t> src);
    // Fills dest: the data's first bytes, zeros beyond the data.
    virtual int RdParam(std::span<std::uint8_t> dest);

    // Announces that the data changed.
    void Broadcast() const;
    // The bytes a write command carries.
    std::span<const std::uint8_t> TransmitData() const;

    std::string ParName;
    std::uint16_t RecDE = 0;
    std::uint16_t RecLA = 0;
    std::int32_t ParRecTypeIx = -1;
    std::int32_t DTMRecSize = 0;

private:
    // Changed, the broadcast and Changed's answer.
    int AfterChange();
};

// A write command of a parameter record: LA, followed for a command with data by the bytes the
// record transmits.
class TWCmdParRecMem : public TMem {
public:
    TWCmdParRecMem(std::uint8_t cmd, std::uint16_t la, std::span<const std::uint8_t> data);

    std::uint16_t LA() const;
    std::span<const std::uint8_t> Data() const;

    std::uint8_t Cmd = 0;
};

// The write commands of one parameter collection, first in first out.
class TParRecTxDFiFo {
public:
    void Append(std::unique_ptr<TWCmdParRecMem> cmd) { cmds_.push_back(std::move(cmd)); }
    const TWCmdParRecMem* RefFirst() const { return cmds_.empty() ? nullptr : cmds_.front().get(); }
    // The first command, taken out of the queue; nullptr when it is empty.
    std::unique_ptr<TWCmdParRecMem> GetFirst();
    void Clear() { cmds_.clear(); }
    bool Empty() const { return cmds_.empty(); }
    std::size_t Count() const { return cmds_.size(); }

private:
    std::deque<std::unique_ptr<TWCmdParRecMem>> cmds_;
};

// The parameter records of one DE, record LA at index LA, with the queue of their write commands
// (not streamed).
class TParRecColl : public TRecordsCollection<TParRecordObj> {
public:
    static constexpr std::string_view kClassName = "TParRecColl";
    // The command whose write carries the record's data.
    static constexpr char kCmdWithData = 'A';

    std::string_view ClassName() const override { return kClassName; }
    void InitObj() override { TxFiFo.Clear(); }

    std::int32_t GetMaxLA() const { return Count() > 0 ? Count() - 1 : 0; }
    // The first record named name, case ignored.
    TParRecordObj* FindByName(std::string_view name) const;
    // Queues a command of record la; true (failure) when there is no such record.
    bool PutCmd(std::uint16_t la, char cmd);
    // "*", DE, LA, the quoted name, the type's header and the values; nothing without the
    // application's parameter record types or the record.
    void WrRecipeLine(std::uint16_t la, TLexWriter& writer) const;

    TParRecTxDFiFo TxFiFo;
};

} // namespace ravlo
