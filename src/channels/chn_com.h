#pragma once

#include "channels/chn_virt.h"
#include "channels/port_driver.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace ravlo {

// The longest a close waits for queued output to leave.
inline constexpr std::uint32_t kComCloseWaitMaxMs = 3000;

// The baud rates a serial channel accepts.
inline constexpr std::array<std::uint32_t, 13> kStandardBaudRates = {
    300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 56000, 57600, 115200, 128000, 256000};

// The bottom of the channel stack: one serial port (type "COM"). It sends each block with one write
// into the driver's output queue and reads whatever the port has received without ever waiting
// for more; the port's line error flags become result codes. Sending and receiving work in every
// state while the port is open; the connection checks are the upper channel's.
//
// What was written counts as sent only once it can have crossed the line: many drivers (a
// pseudo-terminal, USB adapters) report an empty output queue at once, so the channel also keeps
// the time the bytes written need at the port's rate. CHSendBusy answers busy until then, and a
// close waits for it, so that bytes written before a rate change leave at the old rate.
//
// A device that goes away under the open port (an adapter pulled, a simulator ended) leaves the
// channel open with its device gone: the error line says so once, reads find nothing, a close
// succeeds, and each send first tries to open the same device again, quietly, and fails with
// "DeviceGone" while it is not back. A channel told to KeepOpenWhenAbsent opens in that state when
// its device is absent, so that a port that is looked for again does not fail while it is away.
//
// INI keys besides those of every channel: COM (port number 1..99), BD (baud rate), BIT (7 or 8),
// PAR (N, O or E), IRT (least ms between the last read and a write), IQU and OQU (queue sizes, 0
// for 4096 and 2048), CTR (1: leave DTR alone), RTS and DTR (0 clear, 1..254 set, 255: RTS
// untouched, DTR set).
class TComChannel : public TChnVirt {
public:
    static constexpr std::string_view kClassName = "TComChannel";
    static constexpr std::string_view kTypeName = "COM";

    // The driver comes from the current port-driver factory.
    explicit TComChannel(std::string_view name);
    ~TComChannel() override;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::optional<std::string> GetParamText(std::string_view keyword) const override;
    std::string ParamsToText() const override;

    void CHOpen() override;
    void CHClose() override;
    void CHSend(std::span<const std::uint8_t> block) override;
    std::uint16_t CHSendBusy() override;
    void CHSendFlush() override;
    std::uint16_t CHRecEmpty() override;
    std::uint8_t CHReadByte() override;
    std::uint16_t CHRece() override;
    void CHReceFlush() override;
    std::string ErrText(TChnResCode code) const override;

    // Whether the device has gone (or was absent at a KeepOpenWhenAbsent open) while the channel is
    // open.
    bool DeviceGone() const { return deviceGone_; }
    // The next open finds an absent device gone instead of failing.
    void KeepOpenWhenAbsent(bool keep) { keepOpenWhenAbsent_ = keep; }
    // Replaces the driver; an open port is closed first.
    void SetDriver(std::unique_ptr<PortDriver> driver);
    PortDriver& Driver() { return *driver_; }

    std::uint8_t Port() const { return port_; }
    std::uint32_t Baud() const { return baud_; }
    std::uint8_t DataBits() const { return dataBits_; }
    std::uint8_t Parity() const { return parity_; }
    std::uint8_t StopBits() const { return stopBits_; }
    std::int32_t IRT() const { return irt_; }
    // The last line error flags, or the system error number of a failed read or write.
    std::uint32_t LastError() const { return lastError_; }
    // The device path of the last open, and why it failed (empty after a good open).
    const std::string& DevicePath() const { return devicePath_; }
    const std::string& OpenFailureText() const { return openFailure_; }

private:
    void LrbChanged() override { readPos_ = readEnd_ = 0; }

    TChnResCode Code(TChnResKind kind, std::uint8_t detail) const {
        return MakeResCode(CodeBase(), kind, detail);
    }
    enum class Opened { Yes, No, Absent };
    // Opens and configures the port (a failure is stored; an absent device is not when the channel
    // keeps open).
    Opened OpenPort();
    // The driver's settings and queues after an open; 0, or the open failure's code (the port is
    // closed again).
    TChnResCode ConfigurePort();
    // A send finds the device gone: it tries to open it again, quietly; answers whether it is back.
    bool ReopenGoneDevice();
    // Notes a device that has gone under the open port (one error line).
    void CheckDeviceGone();
    void ConfigureLines();
    // The driver's error flags into the receive and transmit flags, and its queue counts.
    void UpdatePortFlags();
    // Turns gathered flags into the receive or transmit error.
    void StoreReceiveFlags();
    void StoreTransmitFlags();
    std::uint32_t OutQueueSize() const { return oqu_ == 0 ? 2048 : oqu_; }
    // Waits until IRT ms have passed since the last read.
    void WaitInterRead();
    // One read from the port (the read tick noted); nullopt after a failed read (its error stored).
    std::optional<std::size_t> ReadPort(std::span<std::uint8_t> buffer);
    // Nothing was read: the receive error of the flags, or NoReceiveReady.
    void NothingRead();
    // count bytes were handed to the driver: the line is busy for their line time more.
    void NoteWritten(std::size_t count);
    // Milliseconds until what was written has crossed the line.
    std::uint32_t LineBusyMs() const;

    std::unique_ptr<PortDriver> driver_;
    std::uint8_t port_ = 2;
    std::uint32_t baud_ = 9600;
    std::uint8_t dataBits_ = 8;
    std::uint8_t parity_ = kParityNone;
    std::uint8_t stopBits_ = 0;
    std::int32_t irt_ = 0;
    std::uint16_t iqu_ = 4096;
    std::uint16_t oqu_ = 2048;
    std::uint8_t ctr_ = 0;
    std::uint8_t rts_ = 255;
    std::uint8_t dtr_ = 255;

    PortStatus comStat_;
    std::uint32_t lastError_ = 0;
    std::uint32_t receiveFlags_ = 0;
    std::uint32_t transmitFlags_ = 0;
    std::optional<std::uint64_t> lastReadTick_;
    // TickMs when the last byte written has crossed the line.
    std::uint64_t lineFreeAt_ = 0;
    // The read-ahead window inside the LRB block.
    std::size_t readPos_ = 0;
    std::size_t readEnd_ = 0;
    std::string devicePath_;
    std::string openFailure_;
    bool deviceGone_ = false;
    bool keepOpenWhenAbsent_ = false;
};

} // namespace ravlo
