#pragma once

#include "records/par_records.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace ravlo {

class TPlatformWindow;

// A command for a parameter record: 0 passes the command event to its fields, 1 tells it that
// it was sent, 2 that it changed.
struct TParRecCmdMsg {
    std::uint8_t Cmd = 0;
    std::uint16_t LA = 0;
    std::uint16_t DE = 0;
};

// The parameter records of a device: collection DE at index DE. The operations by DE and LA show
// their failures to the user (a beep and a plain message) and answer the record operation's
// result, kParNoRecord when there is no record.
class TParRecData : public TRecordsCollection<TParRecColl> {
public:
    static constexpr std::string_view kClassName = "TParRecData";
    static constexpr int kParNoRecord = -1;
    // PokeParRecObj's results.
    static constexpr int kPokeNoRecord = 1;
    static constexpr int kPokeNoColl = 3;

    std::string_view ClassName() const override { return kClassName; }

    void SetupParRecData();
    std::int32_t GetMaxDE() const { return Count() > 0 ? Count() - 1 : 0; }
    std::int32_t GetMaxLA(std::uint16_t de) const;
    // A collection of n + 1 empty places.
    static std::unique_ptr<TParRecColl> InitParams(std::int32_t n);

    TParRecColl* GetParRecColl(std::uint16_t de) const { return ItemAt(de); }
    TParRecordObj* GetParRecObjPtr(std::uint16_t de, std::uint16_t la) const;
    TParRecordObj* FindParRecObjByName(std::uint16_t de, std::string_view name) const;
    // The record's data; empty without the record.
    std::span<std::uint8_t> GetParamRecPtr(std::uint16_t de, std::uint16_t la) const;
    std::uint16_t GetParamRecSize(std::uint16_t de, std::uint16_t la) const;
    std::int32_t GetParDTMRecSize(std::uint16_t de, std::uint16_t la) const;

    int ReInitParamRec(std::uint16_t de, std::uint16_t la);
    int ReDBInitParamRec(std::uint16_t de, std::uint16_t la);
    // Only announces the record's data.
    int UpDateParamRec(std::uint16_t de, std::uint16_t la);
    int WrParamRec(std::uint16_t de, std::uint16_t la, std::span<const std::uint8_t> src);
    int RdParamRec(std::uint16_t de, std::uint16_t la, std::span<std::uint8_t> dest);
    void ParRecObjCmdMsg(const TParRecCmdMsg& msg);
    // 0, kPokeNoRecord or kPokeNoColl.
    int PokeParRecObj(std::uint16_t de, std::uint16_t la, char cmd);
    int PokeParRecObjMsg(const TParRecCmdMsg& msg) {
        return PokeParRecObj(msg.DE, msg.LA, static_cast<char>(msg.Cmd));
    }
    void WrRecipeLineObj(std::uint16_t de, std::uint16_t la, TLexWriter& writer) const;

    void ClearParRecTxDFiFo(std::uint16_t de);
    // True also without the collection.
    bool IsParRecTxDFiFoEmpty(std::uint16_t de) const;
    const TWCmdParRecMem* RefParRecTxDFiFoFirst(std::uint16_t de) const;
    std::unique_ptr<TWCmdParRecMem> GetParRecTxDFiFoFirst(std::uint16_t de);

    // Every record's type against its parameter record type; each misfit is reported.
    bool TestDscrAndParTypes() const;
    // Edits the record in its dialog; an accepted edit queues its write command when send is
    // set, and is announced. The dialog's result, 0 without the record.
    int EditParam(std::uint16_t de, std::uint16_t la, bool send, TPlatformWindow* owner);

private:
    // Shows the failure of a re-initialisation or a read.
    static void ShowResult(int result, std::string_view bufferText, std::uint16_t de, std::uint16_t la);
    bool TestRecord(TParRecordObj& record) const;
};

// The parameter records the application extension holds, nullptr when there are none.
TParRecData* AppParRecData();

} // namespace ravlo
