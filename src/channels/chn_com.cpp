#include "channels/chn_com.h"

#include "channels/line_time.h"
#include "channels/port_names.h"
#include "framework/keyword_lexer.h"
#include "framework/writer_channels.h"
#include "platform/cp1250.h"
#include "platform/text_case.h"
#include "platform/tick.h"

#include <algorithm>
#include <array>
#include <limits>

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "LRB|COM|BD |BIT|PAR|IRT|IQU|OQU|CTR|RTS|DTR";
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

// Open failure details.
constexpr std::uint8_t kOpenPortNumber = 0x01;
constexpr std::uint8_t kOpenBaud = 0x02;
constexpr std::uint8_t kOpenDataBits = 0x03;
constexpr std::uint8_t kOpenParity = 0x04;
constexpr std::uint8_t kOpenStopBits = 0x05;
constexpr std::uint8_t kOpenInvalidHandle = 0x06;
constexpr std::uint8_t kOpenSetState = 0x07;
constexpr std::uint8_t kOpenDtr = 0x08;
constexpr std::uint8_t kOpenGetState = 0x0B;
constexpr std::uint8_t kOpenPurge = 0x0C;
constexpr std::uint8_t kOpenQueues = 0x0D;
constexpr std::uint8_t kOpenRts = 0x0E;
// Close failure details.
constexpr std::uint8_t kCloseHandle = 0x01;
constexpr std::uint8_t kClosePurge = 0x02;
// Class-specific details.
constexpr std::uint8_t kSpecNoRoom = 0x01;
constexpr std::uint8_t kSpecWrite = 0x02;
constexpr std::uint8_t kSpecRead = 0x03;
constexpr std::uint8_t kSpecGone = 0x09;
// Transmit details of the flags.
constexpr std::uint8_t kTraFull = 0x80;
constexpr std::uint8_t kTraIoError = 0x40;

constexpr std::array<std::string_view, 13> kOpenTexts = {
    "COMn",       "Bd",         "Bs",          "Par",          "Stp",      "InvalidH", "SetCommState",
    "SetCommDTR", "SetTimOuts", "SetCommMask", "GetCommState", "FlushErr", "SetupComm"};
constexpr std::array<std::string_view, 9> kSpecTexts = {"WErr_buf",  "WriteCommErr", "ReadCommErr",
                                                        "ErrSetDTR", "ErrResDTR",    "ErrSetRTS",
                                                        "ErrResRTS", "ModemStatus",  "DeviceGone"};

struct FlagText {
    std::uint8_t Bit;
    std::string_view Text;
};
constexpr std::array<FlagText, 5> kReceiveTexts = {{{0x01, "CE_RXOVER|"},
                                                    {0x02, "CE_OVERRUN|"},
                                                    {0x04, "CE_RXPARITY|"},
                                                    {0x08, "CE_FRAME|"},
                                                    {0x10, "CE_BREAK|"}}};
constexpr std::array<FlagText, 2> kTransmitTexts = {{{kTraFull, "CE_TXFULL|"}, {kTraIoError, "CE_IOE|"}}};

template <std::size_t N>
std::string TableText(const std::array<std::string_view, N>& texts, std::uint8_t detail) {
    return detail >= 1 && detail <= N ? std::string(texts[detail - 1]) : DetailHexText(detail);
}

template <std::size_t N>
std::string FlagsText(const std::array<FlagText, N>& texts, std::uint8_t detail) {
    std::string text;
    for (const FlagText& flag : texts) {
        if ((detail & flag.Bit) != 0) {
            text += flag.Text;
        }
    }
    return text.empty() ? DetailHexText(detail) : text;
}

char ParityLetter(std::uint8_t parity) {
    constexpr std::string_view kLetters = "NOE";
    return parity < kLetters.size() ? kLetters[parity] : '?';
}

} // namespace

TComChannel::TComChannel(std::string_view name) : TChnVirt(name, kTypeName), driver_(MakePortDriver()) {}

TComChannel::~TComChannel() {
    WriteParamToINI();
    UPD = 0;
    if (Status() != CHS_Close || driver_->IsOpen()) {
        CHClose();
    }
}

void TComChannel::SetDriver(std::unique_ptr<PortDriver> driver) {
    if (Status() != CHS_Close || driver_->IsOpen()) {
        CHClose();
    }
    driver_ = std::move(driver);
}

bool TComChannel::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, kKeywords)) {
    case 2:
        return LexGetField(port_, 0, 0xFF);
    case 3:
        return LexGetField(baud_, 0, kMaxInt);
    case 4:
        return LexGetField(dataBits_, 0, 0xFF);
    case 5: {
        const std::string word = LexGetWord();
        const std::size_t letter =
            word.empty() ? std::string_view::npos : std::string_view("NOE").find(word[0]);
        if (letter == std::string_view::npos) {
            return true;
        }
        parity_ = static_cast<std::uint8_t>(letter);
        return false;
    }
    case 6:
        return LexGetField(irt_, 0, kMaxInt);
    case 7:
        return LexGetField(iqu_, 0, 0xFFFF);
    case 8:
        return LexGetField(oqu_, 0, 0xFFFF);
    case 9: {
        std::uint8_t value = 0;
        if (LexGetField(value, 0, 0xFF)) {
            return true;
        }
        ctr_ = value != 0 ? 1 : 0;
        return false;
    }
    case 10:
        return LexGetField(rts_, 0, 0xFF);
    case 11:
        return LexGetField(dtr_, 0, 0xFF);
    default: // LRB (the window follows through LrbChanged) and the keys of every channel
        return TChnVirt::ParseKeyword(keyword);
    }
}

std::optional<std::string> TComChannel::GetParamText(std::string_view keyword) const {
    switch (LexKeyIndex(Cp1250ToUpper(keyword), kKeywords)) {
    case 2:
        return std::to_string(port_);
    case 3:
        return std::to_string(baud_);
    case 4:
        return std::to_string(dataBits_);
    case 5:
        return std::string(1, ParityLetter(parity_));
    case 6:
        return std::to_string(irt_);
    case 7:
        return std::to_string(iqu_);
    case 8:
        return std::to_string(oqu_);
    case 9:
        return std::to_string(ctr_);
    case 10:
        return std::to_string(rts_);
    case 11:
        return std::to_string(dtr_);
    default:
        return TChnVirt::GetParamText(keyword);
    }
}

std::string TComChannel::ParamsToText() const {
    std::string text = TChnVirt::ParamsToText() + " COM=" + std::to_string(port_);
    const bool all = ALL != 0;
    const auto add = [&text, all](std::string_view key, bool differs, const std::string& value) {
        if (differs || all) {
            text += " " + std::string(key) + "=" + value;
        }
    };
    add("BD", baud_ != 9600, std::to_string(baud_));
    add("BIT", dataBits_ != 8, std::to_string(dataBits_));
    add("PAR", parity_ != kParityNone, std::string(1, ParityLetter(parity_)));
    add("IRT", irt_ != 0, std::to_string(irt_));
    add("IQU", iqu_ != 4096, std::to_string(iqu_));
    add("OQU", oqu_ != 2048, std::to_string(oqu_));
    if (ctr_ != 0) {
        text += " CTR=" + std::to_string(ctr_);
    }
    if (rts_ < 255) {
        text += " RTS=" + std::to_string(rts_);
    }
    if (dtr_ < 255) {
        text += " DTR=" + std::to_string(dtr_);
    }
    return text;
}

void TComChannel::CHOpen() {
    if (Status() != CHS_Close) {
        return;
    }
    ClearOpErr();
    ClearRecErr();
    ClearTraErr();
    lastError_ = receiveFlags_ = transmitFlags_ = 0;
    readPos_ = readEnd_ = 0;
    lineFreeAt_ = 0;
    deviceGone_ = false;
    const Opened opened = OpenPort();
    if (opened == Opened::No) {
        return;
    }
    TChnVirt::CHOpen();
    if (opened == Opened::Absent) {
        deviceGone_ = true; // the first send that finds it back opens it
        return;
    }
    if (!driver_->Purge(true, true)) {
        StoreOpErr(Code(TChnResKind::OpOpen, kOpenPurge));
        return;
    }
    ConfigureLines();
}

TComChannel::Opened TComChannel::OpenPort() {
    if (port_ == 0 || port_ > 99) {
        StoreOpErr(Code(TChnResKind::OpOpen, kOpenPortNumber));
        return Opened::No;
    }
    devicePath_ = ComPortPath(port_);
    openFailure_.clear();
    if (const PortOpenResult opened = driver_->Open(devicePath_); !opened.Ok()) {
        if (opened.Error == PortOpenError::Absent && keepOpenWhenAbsent_) {
            return Opened::Absent;
        }
        // The error line says why, in words the user can act on.
        const TChnResCode failed = Code(TChnResKind::OpOpen, kOpenInvalidHandle);
        openFailure_ = PortOpenFailureText(port_, devicePath_, opened);
        TakeOpErr(failed);
        WriteErrsys(DWN(), Name + ":" + ResText(failed) + " " + Utf8ToCp1250(openFailure_));
        return Opened::No;
    }
    if (!driver_->SetQueues(iqu_ == 0 ? 4096 : iqu_, OutQueueSize())) {
        StoreOpErr(Code(TChnResKind::OpOpen, kOpenQueues)); // opening goes on
    }
    if (const TChnResCode failed = ConfigurePort(); failed != 0) {
        StoreOpErr(failed);
        return Opened::No;
    }
    return Opened::Yes;
}

TChnResCode TComChannel::ConfigurePort() {
    TChnResCode failed = 0;
    if (!driver_->GetSettings()) {
        failed = Code(TChnResKind::OpOpen, kOpenGetState);
    } else if (std::find(kStandardBaudRates.begin(), kStandardBaudRates.end(), baud_) ==
               kStandardBaudRates.end()) {
        failed = Code(TChnResKind::OpOpen, kOpenBaud);
    } else if (dataBits_ != 7 && dataBits_ != 8) {
        failed = Code(TChnResKind::OpOpen, kOpenDataBits);
    } else if (parity_ > kParityEven) {
        failed = Code(TChnResKind::OpOpen, kOpenParity);
    } else if (stopBits_ != 0 && stopBits_ != 2) {
        failed = Code(TChnResKind::OpOpen, kOpenStopBits);
    } else if (!driver_->SetSettings(PortSettings{baud_, dataBits_, parity_, stopBits_})) {
        failed = Code(TChnResKind::OpOpen, kOpenSetState);
    }
    if (failed != 0) {
        driver_->Close();
    }
    return failed;
}

bool TComChannel::ReopenGoneDevice() {
    devicePath_ = ComPortPath(port_);
    if (!driver_->Open(devicePath_).Ok()) {
        return false;
    }
    driver_->SetQueues(iqu_ == 0 ? 4096 : iqu_, OutQueueSize());
    if (ConfigurePort() != 0) {
        return false;
    }
    if (!driver_->Purge(true, true)) {
        driver_->Close();
        return false;
    }
    ConfigureLines();
    deviceGone_ = false;
    receiveFlags_ = transmitFlags_ = 0;
    readPos_ = readEnd_ = 0;
    lineFreeAt_ = 0;
    WriteTraceLine(Name + ":" + Utf8ToCp1250(ComPortName(port_) + " (" + devicePath_ + ") is back"));
    return true;
}

void TComChannel::CheckDeviceGone() {
    if (deviceGone_ || Status() == CHS_Close || !driver_->Gone()) {
        return;
    }
    deviceGone_ = true;
    receiveFlags_ = transmitFlags_ = 0;
    readPos_ = readEnd_ = 0;
    lineFreeAt_ = 0;
    WriteErrsys(DWN(), Name + ":" + Utf8ToCp1250(PortGoneText(port_, devicePath_)));
}

void TComChannel::ConfigureLines() {
    if (ctr_ == 0 && !driver_->SetDtr(dtr_ != 0)) {
        StoreOpErr(Code(TChnResKind::OpOpen, kOpenDtr));
    }
    if (rts_ < 255 && !driver_->SetRts(rts_ != 0)) {
        StoreOpErr(Code(TChnResKind::OpOpen, kOpenRts));
    }
}

void TComChannel::CHClose() {
    if (Status() == CHS_Close && !driver_->IsOpen()) {
        return;
    }
    if (!driver_->IsOpen()) {
        // The device has gone: nothing is left to close.
        TChnVirt::CHClose();
        deviceGone_ = false;
        readPos_ = readEnd_ = 0;
        TraceInit(".CHClose OK");
        return;
    }
    // Let what is queued leave first, but never wait longer than the bytes need at this rate.
    const std::uint64_t queued = driver_->ClearErrors().OutQueue;
    const std::uint64_t needMs = LineTimeMs(queued, baud_);
    driver_->Drain(static_cast<std::uint32_t>(std::min<std::uint64_t>(100 + needMs, kComCloseWaitMaxMs)));
    // The driver may have reported the bytes gone before they crossed the line.
    if (const std::uint32_t busy = LineBusyMs(); busy > 0) {
        driver_->Pause(std::min(busy, kComCloseWaitMaxMs));
    }
    bool failed = false;
    // A device that goes while it is being closed is closed all the same.
    if (!driver_->Purge(true, true) && !driver_->Gone()) {
        StoreOpErr(Code(TChnResKind::OpClose, kClosePurge));
        failed = true;
    }
    if (!driver_->Close()) {
        StoreOpErr(Code(TChnResKind::OpClose, kCloseHandle));
        return;
    }
    TChnVirt::CHClose();
    deviceGone_ = false;
    readPos_ = readEnd_ = 0;
    if (!failed) {
        TraceInit(".CHClose OK");
    }
}

void TComChannel::UpdatePortFlags() {
    comStat_ = driver_->ClearErrors();
    CheckDeviceGone();
    receiveFlags_ |= comStat_.Errors & kReceiveErrorFlags;
    transmitFlags_ |= comStat_.Errors & kTransmitErrorFlags;
}

void TComChannel::StoreReceiveFlags() {
    if (receiveFlags_ == 0) {
        return;
    }
    lastError_ = std::exchange(receiveFlags_, 0U);
    StoreRecErr(Code(TChnResKind::Rec, static_cast<std::uint8_t>(lastError_ & kReceiveErrorFlags)));
}

void TComChannel::StoreTransmitFlags() {
    if (transmitFlags_ == 0) {
        return;
    }
    lastError_ = std::exchange(transmitFlags_, 0U);
    const std::uint8_t detail =
        ((lastError_ & CE_TXFULL) != 0 ? kTraFull : 0) | ((lastError_ & CE_IOE) != 0 ? kTraIoError : 0);
    StoreTraErr(Code(TChnResKind::Tra, detail));
}

void TComChannel::WaitInterRead() {
    if (irt_ <= 0 || !lastReadTick_) {
        return;
    }
    const std::uint64_t since = TickMs() - *lastReadTick_;
    if (since < static_cast<std::uint64_t>(irt_)) {
        driver_->Pause(static_cast<std::uint32_t>(static_cast<std::uint64_t>(irt_) - since));
    }
}

void TComChannel::CHSend(std::span<const std::uint8_t> block) {
    const TChnResCode gone = Code(TChnResKind::Spec, kSpecGone);
    if (deviceGone_ && !ReopenGoneDevice()) {
        TakeTraErr(gone); // quietly: the line that it went has been written
        return;
    }
    UpdatePortFlags();
    if (deviceGone_) {
        TakeTraErr(gone);
        return;
    }
    if (transmitFlags_ != 0) {
        StoreTransmitFlags();
        return;
    }
    const std::uint32_t room = OutQueueSize() > comStat_.OutQueue ? OutQueueSize() - comStat_.OutQueue : 0;
    if (block.size() > room) {
        StoreTraErr(Code(TChnResKind::Spec, kSpecNoRoom));
        return;
    }
    WaitInterRead();
    const PortTransfer written = driver_->Write(block);
    CheckDeviceGone();
    if (deviceGone_) {
        TakeTraErr(gone);
        return;
    }
    NoteWritten(written.Count);
    if (!written.Ok() || written.Count < block.size()) {
        lastError_ = static_cast<std::uint32_t>(written.SystemError);
        StoreTraErr(Code(TChnResKind::Spec, kSpecWrite));
    }
}

void TComChannel::NoteWritten(std::size_t count) {
    if (count > 0) {
        lineFreeAt_ = std::max(TickMs(), lineFreeAt_) + LineTimeMs(count, baud_);
    }
}

std::uint32_t TComChannel::LineBusyMs() const {
    const std::uint64_t now = TickMs();
    return lineFreeAt_ > now ? static_cast<std::uint32_t>(lineFreeAt_ - now) : 0;
}

std::uint16_t TComChannel::CHSendBusy() {
    UpdatePortFlags();
    if (deviceGone_) {
        // What was written may not have left.
        TakeTraErr(Code(TChnResKind::Spec, kSpecGone));
        return 0;
    }
    StoreTransmitFlags();
    return comStat_.OutQueue > 0 || LineBusyMs() > 0 ? 1 : 0;
}

void TComChannel::CHSendFlush() {
    driver_->Purge(false, true);
    transmitFlags_ = 0;
    GetTraErr();
}

std::uint16_t TComChannel::CHRecEmpty() {
    if (readPos_ < readEnd_) {
        return 0;
    }
    UpdatePortFlags();
    if (deviceGone_) {
        return 1;
    }
    StoreReceiveFlags();
    return comStat_.InQueue == 0 ? 1 : 0;
}

std::optional<std::size_t> TComChannel::ReadPort(std::span<std::uint8_t> buffer) {
    const PortTransfer got = driver_->Read(buffer);
    lastReadTick_ = TickMs();
    if (!got.Ok()) {
        lastError_ = static_cast<std::uint32_t>(got.SystemError);
        CheckDeviceGone();
        if (deviceGone_) {
            TakeRecErr(Code(TChnResKind::Spec, kSpecGone));
        } else {
            StoreRecErr(Code(TChnResKind::Spec, kSpecRead));
        }
        return std::nullopt;
    }
    return got.Count;
}

void TComChannel::NothingRead() {
    UpdatePortFlags();
    if (receiveFlags_ != 0) {
        StoreReceiveFlags();
    } else {
        StoreRecErr(CodeBase() | kChNoReceiveReady);
    }
}

std::uint8_t TComChannel::CHReadByte() {
    const std::span<std::uint8_t> block = LrbBlock();
    if (block.empty()) {
        std::uint8_t byte = 0;
        const std::optional<std::size_t> got = ReadPort({&byte, 1});
        if (got == 1U) {
            return byte;
        }
        if (got) {
            NothingRead();
        }
        return 0;
    }
    if (readPos_ < readEnd_) {
        return block[readPos_++];
    }
    readPos_ = readEnd_ = 0;
    const std::optional<std::size_t> got = ReadPort(block);
    if (got.value_or(0) > 0) {
        readEnd_ = *got;
        readPos_ = 1;
        return block[0];
    }
    if (got) {
        NothingRead();
    }
    return 0;
}

std::uint16_t TComChannel::CHRece() {
    const std::span<std::uint8_t> target = RecBuf();
    if (readPos_ < readEnd_) {
        // Top the window up from the port, then deliver from it; what does not fit the caller's
        // buffer stays for the next read.
        const std::span<std::uint8_t> block = LrbBlock();
        if (readEnd_ < block.size()) {
            readEnd_ += ReadPort(block.subspan(readEnd_)).value_or(0);
        }
        const std::size_t count = std::min(readEnd_ - readPos_, target.size());
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(readPos_), count, target.begin());
        readPos_ += count;
        if (readPos_ == readEnd_) {
            readPos_ = readEnd_ = 0;
        }
        UpdatePortFlags();
        StoreReceiveFlags();
        return static_cast<std::uint16_t>(count);
    }
    const std::optional<std::size_t> got = ReadPort(target);
    if (got.value_or(0) > 0) {
        return static_cast<std::uint16_t>(*got);
    }
    if (got) {
        NothingRead();
    }
    return 0;
}

void TComChannel::CHReceFlush() {
    readPos_ = readEnd_ = 0;
    driver_->Purge(true, false);
    receiveFlags_ = 0;
    GetRecErr();
}

std::string TComChannel::ErrText(TChnResCode code) const {
    const std::uint8_t detail = ResDetail(code);
    switch (ResKind(code)) {
    case TChnResKind::OpOpen:
        return TableText(kOpenTexts, detail);
    case TChnResKind::OpClose:
        return detail == kCloseHandle ? "CloseComm" : DetailHexText(detail);
    case TChnResKind::Rec:
        return FlagsText(kReceiveTexts, detail);
    case TChnResKind::Tra:
        return FlagsText(kTransmitTexts, detail);
    case TChnResKind::Spec:
        return TableText(kSpecTexts, detail);
    default:
        return TChnVirt::ErrText(code);
    }
}

} // namespace ravlo
