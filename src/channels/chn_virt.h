#pragma once

#include "channels/chn_res_code.h"
#include "framework/name_object.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo {

// Channel states (the state and the status word).
inline constexpr std::uint16_t CHS_Close = 0;
inline constexpr std::uint16_t CHS_Open = 1;
inline constexpr std::uint16_t CHS_Connect = 2;

// Debug-mask bit of the creation and close traces of every channel.
inline constexpr std::uint32_t kChnTraceInit = 0x1;

// A byte channel of the stack to the board. Alone it is a loopback channel of type "VIRT" with a
// three-state connection; with a lower channel (named by type CHT and instance CHN) it passes every
// operation down and copies the lower channel's errors of the same kind.
//
// Channels never raise: each failure leaves a result code in one of three sticky error words
// (operation, receive, transmit; the first error stays until its getter reads and clears it), goes
// to the DWN writer as an error line, and the operation returns a neutral value.
//
// Build channels with MakeChannel (or ChNewInit), which reads the INI key and registers the channel
// once the object is complete.
class TChnVirt : public TNameObject {
public:
    static constexpr std::string_view kClassName = "TChnVirt";
    static constexpr std::string_view kTypeName = "VIRT";
    static constexpr std::size_t kTypeNameMax = 10;

    explicit TChnVirt(std::string_view name);
    ~TChnVirt() override;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::optional<std::string> GetParamText(std::string_view keyword) const override;
    std::string ParamsToText() const override;

    // The second half of creation, for a complete object: with a name, reads the INI key (verbose
    // under kChnTraceInit) and registers the channel. Answers whether the INI read failed.
    bool FinishCreate();

    // Registry lookups (0 and empty without a registry).
    std::uint16_t ChNumName(std::string_view typeName) const;
    std::string ChTypeName(std::uint16_t code) const;

    virtual std::uint16_t CHStatus();
    virtual std::uint16_t CHReady();
    virtual void CHOpen();
    virtual void CHClose();
    virtual void CHConnect();
    virtual void CHDisConnect();
    virtual void SetNOD(std::uint8_t node);
    virtual void SetDNO(std::uint8_t node);
    virtual void CHSend(std::span<const std::uint8_t> block);
    // Nonzero while data are still being sent.
    virtual std::uint16_t CHSendBusy();
    virtual void CHSendFlush();
    // The caller's buffer that CHRece delivers into; not owned, not passed down.
    virtual void SetRecBuf(std::span<std::uint8_t> buffer);
    // Nonzero when nothing complete can be read.
    virtual std::uint16_t CHRecEmpty();
    // Delivers into the receive buffer; answers the length (0 when nothing was read).
    virtual std::uint16_t CHRece();
    virtual std::uint8_t CHReadByte();
    virtual void CHReceFlush();
    virtual void GetRecNodes(std::uint16_t& source, std::uint16_t& destination);
    // Each answers its error word and clears it.
    virtual TChnResCode GetOpErr();
    virtual TChnResCode GetRecErr();
    virtual TChnResCode GetTraErr();
    // Hooks run before the state, transmit and receive queries.
    virtual void PollState() {}
    virtual void PollSend() {}
    virtual void PollRece() {}

    // "res_Ok"; a code of another type while there is a lower channel: "->" + its name + ":" + its
    // ResText; else type, kind and detail texts joined by backslashes.
    virtual std::string ResText(TChnResCode code) const;
    virtual std::string ResTypeText(TChnResCode code) const;
    virtual std::string ResKindText(TChnResCode code) const;
    // Text of the detail byte.
    virtual std::string ErrText(TChnResCode code) const;
    // "CHS_Close", "CHS_Open", "CHS_Connect" or "CHS_$hhhh", then "\" and the lower channel's text.
    virtual std::string StateText() const;

    const std::string& TypeName() const { return typeName_; }
    std::uint16_t CodeBase() const { return codeBase_; }
    std::uint16_t State() const { return state_; }
    std::uint16_t Status() const { return status_; }
    std::uint16_t NOD() const { return nod_; }
    std::uint16_t DNO() const { return dno_; }
    std::uint8_t DWN() const { return dwn_; }
    std::uint16_t LRB() const { return static_cast<std::uint16_t>(lrbBlock_.size()); }
    const std::string& CHT() const { return cht_; }
    const std::string& CHN() const { return chn_; }
    TChnVirt* Lower() const { return lower_; }
    // 1 while the lower channel is a shared registered instance that this channel must not free.
    std::uint8_t NotOwned() const { return lower_ != nullptr && !ownedLower_ ? 1 : 0; }

protected:
    TChnVirt(std::string_view name, std::string_view typeName);

    // An error of this channel: kept unless the word holds an earlier one, and written as an error
    // line (name ":" ResText).
    void StoreOpErr(TChnResCode code);
    void StoreRecErr(TChnResCode code);
    void StoreTraErr(TChnResCode code);
    // An error taken from the lower channel: kept unless the word holds an earlier one; no line.
    void TakeOpErr(TChnResCode code) { KeepFirst(opErr_, code); }
    void TakeRecErr(TChnResCode code) { KeepFirst(recErr_, code); }
    void TakeTraErr(TChnResCode code) { KeepFirst(traErr_, code); }
    TChnResCode PeekRecErr() const { return recErr_; }
    void ClearOpErr() { opErr_ = 0; }
    void ClearRecErr() { recErr_ = 0; }
    void ClearTraErr() { traErr_ = 0; }
    // Error and trace lines to the DWN writer.
    void WriteErrLine(TChnResCode code) const;
    void WriteTraceLine(std::string_view text) const;
    // The trace of creation and destruction, "name:" + text, under kChnTraceInit.
    void TraceInit(std::string_view text) const;

    void SetState(std::uint16_t state) { state_ = status_ = state; }
    std::span<std::uint8_t> RecBuf() const { return recBuf_; }
    std::span<std::uint8_t> LrbBlock() { return lrbBlock_; }
    // The receive-state word CHRecEmpty answers: 0 when something complete can be read.
    virtual std::uint16_t ReceiveState() const { return recState_; }
    // Called after the LRB block was replaced.
    virtual void LrbChanged() {}

    void SetLastNodes(std::uint16_t source, std::uint16_t destination) {
        lastSource_ = source;
        lastDestination_ = destination;
    }

private:
    static void KeepFirst(TChnResCode& word, TChnResCode code) {
        if (word == 0) {
            word = code;
        }
    }
    // Reads CHT or CHN; on a change drops the lower channel, and with both set obtains one.
    bool ParseLowerName(std::string& field, std::size_t maxLength);
    // Obtains the lower channel named by CHT and CHN; answers whether that failed.
    bool LinkLowerChannel();
    void DropLowerChannel();
    // The lower channel's state, status and operation error into this channel.
    void RefreshFromLower();

    TChnResCode opErr_ = 0;
    TChnResCode recErr_ = 0;
    TChnResCode traErr_ = 0;
    std::uint8_t dwn_ = 0;
    std::string typeName_;
    std::uint16_t codeBase_ = 0;
    std::string cht_;
    std::string chn_;
    std::uint16_t state_ = CHS_Close;
    std::uint16_t recState_ = 1;
    std::uint16_t sendBusy_ = 0;
    std::uint16_t status_ = CHS_Close;
    std::uint16_t nod_ = 0;
    std::uint16_t dno_ = 0;
    std::uint16_t lastSource_ = 0;
    std::uint16_t lastDestination_ = 0;
    std::vector<std::uint8_t> lrbBlock_;
    std::span<std::uint8_t> recBuf_;

    // The lower channel: owned, or shared (registered elsewhere). A shared channel that goes away
    // first clears the reference of every channel that uses it.
    std::unique_ptr<TChnVirt> ownedLower_;
    TChnVirt* lower_ = nullptr;
    std::vector<TChnVirt*> sharers_;
};

// Builds a channel of class T and completes its creation (INI key, registration).
template <class T>
std::unique_ptr<T> MakeChannel(std::string_view name) {
    auto channel = std::make_unique<T>(name);
    channel->FinishCreate();
    return channel;
}

} // namespace ravlo
