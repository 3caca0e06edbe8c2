#include "soak_operations.h"

#include "framework/board_address.h"
#include "framework/number_text.h"
#include "model_window.h"
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/io_access.h"
#include "shell/mem_view_model.h"
#include "shell/vok_rtc.h"
#include "voksim/board_clock.h"

#include <algorithm>

namespace ravlo::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where the memory operations read and write, and where the downloads go: away from the BIOS's
// data, which the identification reads.
constexpr std::uint32_t kDataArea = 0x10000;
constexpr std::uint32_t kDataAreaEnd = 0x20000;
constexpr std::uint32_t kDownloadArea = 0x20000;
constexpr std::uint32_t kSetup188Lin = 0xFFE00;
constexpr std::uint32_t kSetup386Lin = 0xFFF00;
constexpr std::uint32_t kPage = 256;
// The IO ports the runs use (their first values are preset).
constexpr std::uint16_t kFirstPort = 0x300;
constexpr std::uint16_t kPortCount = 8;

std::uint32_t Pick(std::mt19937& random, std::uint32_t low, std::uint32_t high) {
    return low + static_cast<std::uint32_t>(random() % (high - low + 1));
}

Bytes RandomBytes(std::mt19937& random, std::size_t count) {
    Bytes bytes(count);
    std::generate(bytes.begin(), bytes.end(), [&random] { return static_cast<std::uint8_t>(random()); });
    return bytes;
}

Bytes Slice(const std::string& memory, std::uint32_t lin, std::size_t count) {
    return Bytes(memory.begin() + lin, memory.begin() + lin + static_cast<std::ptrdiff_t>(count));
}

std::string AddressText(std::uint32_t lin) {
    const TSegOfsPtr address = LinToFarPtr(lin);
    return HexW(address.Seg) + ":" + HexW(address.Ofs);
}

// The board's clock as the simulator writes and takes it ("YYYY-MM-DDThh:mm:ss").
std::optional<TVokClockRec> ClockOf(const std::string& text) {
    const std::optional<voksim::ClockTime> time = voksim::ParseClockTime(text);
    if (!time) {
        return std::nullopt;
    }
    return TVokClockRec{static_cast<std::uint16_t>(time->year),  static_cast<std::uint8_t>(time->month),
                        static_cast<std::uint8_t>(time->day),    static_cast<std::uint8_t>(time->hour),
                        static_cast<std::uint8_t>(time->minute), static_cast<std::uint8_t>(time->second)};
}

std::string ClockText(const TVokClockRec& time) {
    return voksim::ClockTimeText({time.Year, time.Month, time.Day, time.Hour, time.Minute, time.Second});
}

std::string ByteAt(std::uint32_t lin, std::uint8_t value) {
    return LinToStr(lin) + " holds $" + HexB(value);
}

// An operation of the context: the master's events and what the fakes around it got.
class ContextOperation : public SoakOperation {
protected:
    explicit ContextOperation(SoakContext& context) : c_(context) {
        change_.Block = context.Vok386 ? 512 : 256;
    }
    bool EventSeen(std::string_view part) const {
        const std::vector<std::string>& events = c_.Rig.mainForm.Events;
        return std::any_of(events.begin(), events.end(), [part](const std::string& event) {
            return event.find(part) != std::string::npos;
        });
    }
    SoakOutcome SucceededWhen(bool succeeded) const {
        return succeeded ? SoakOutcome::Succeeded : SoakOutcome::Pending;
    }
    // A request was queued by what the window did.
    bool Queued(std::size_t before) const { return c_.Rig.ma->QueueCount() > before; }

    SoakContext& c_;
};

class BinaryWrite final : public ContextOperation {
public:
    BinaryWrite(SoakContext& context, std::mt19937& random) : ContextOperation(context) {
        const std::uint32_t length = Pick(random, 1, context.MaxLength);
        const std::uint32_t lin = Pick(random, kDataArea, kDataAreaEnd - length);
        Bytes data = RandomBytes(random, length);
        file_ = context.Dir.Write("write.bin", std::string(data.begin(), data.end()));
        address_ = AddressText(lin);
        change_.Memory = {{lin, std::move(data)}};
    }
    bool Start() override {
        TBinWriteModel writer(c_.Memory);
        const std::size_t queued = c_.Rig.ma->QueueCount();
        if (!writer.FileChosen(file_)) {
            return false;
        }
        writer.AddressText = address_;
        return writer.Write() == TWriterField::None && Queued(queued);
    }
    SoakOutcome Reported() const override { return SucceededWhen(EventSeen("\" has been loaded")); }

private:
    std::filesystem::path file_;
    std::string address_;
};

class BinaryRead final : public ContextOperation {
public:
    BinaryRead(SoakContext& context, std::mt19937& random) : ContextOperation(context) {
        length_ = Pick(random, 1, context.MaxLength);
        lin_ = Pick(random, kDataArea, kDataAreaEnd - length_);
        held_ = "what the file held before " + std::to_string(random());
        file_ = context.Dir.Write("read.bin", held_);
    }
    bool Start() override {
        TBinReadModel reader(c_.Memory);
        reader.SetFileName(file_);
        return reader.AddressEntered(LinToStr(lin_)) && reader.LengthEntered("$" + HexDW(length_), true) &&
               reader.Read();
    }
    SoakOutcome Reported() const override { return SucceededWhen(EventSeen(" bytes have been read from ")); }
    std::optional<std::string> CheckResult(const SoakBoardState& before, bool succeeded) const override {
        const std::string text = c_.Dir.Text("read.bin");
        if (!succeeded) {
            return text == held_ ? std::nullopt
                                 : std::optional<std::string>("a failed read changed its file");
        }
        const Bytes read(text.begin(), text.end());
        if (read != Slice(before.Memory, lin_, length_)) {
            return "the file does not hold the " + std::to_string(length_) + " bytes at " + LinToStr(lin_) +
                   " (it has " + std::to_string(read.size()) + " bytes)";
        }
        return std::nullopt;
    }

private:
    std::uint32_t lin_ = 0;
    std::uint32_t length_ = 0;
    std::string held_;
    std::filesystem::path file_;
};

// The memory view steps to the next page, which the master reads for it.
class ViewRead final : public ContextOperation {
public:
    ViewRead(SoakContext& context, std::mt19937& random)
        : ContextOperation(context), view_(context.Memory, kNoWindow) {
        lin_ = kDataArea + kPage * Pick(random, 1, (kDataAreaEnd - kDataArea) / kPage - 1);
    }
    bool Start() override {
        view_.ShowPage(LinToFarPtr(lin_ - kPage), Bytes(kPage));
        return view_.StepPage(1);
    }
    SoakOutcome Reported() const override { return SucceededWhen(!c_.Rig.views.Pages.empty()); }
    std::optional<std::string> CheckResult(const SoakBoardState& before, bool succeeded) const override {
        const auto& pages = c_.Rig.views.Pages;
        if (!succeeded) {
            return pages.empty() ? std::nullopt : std::optional<std::string>("a failed read showed a page");
        }
        if (FarPtrToLin(pages.back().Address) != lin_ ||
            pages.back().Data != Slice(before.Memory, lin_, kPage)) {
            return "the page shown is not the board's page at " + LinToStr(lin_);
        }
        return std::nullopt;
    }

private:
    TMemViewModel view_;
    std::uint32_t lin_ = 0;
};

// Bytes of a page edited in the memory view, then saved to the board.
class ViewWrite final : public ContextOperation {
public:
    ViewWrite(SoakContext& context, const SoakBoardState& before, std::mt19937& random)
        : ContextOperation(context), view_(context.Memory, kNoWindow) {
        const std::uint32_t lin = kDataArea + kPage * Pick(random, 0, (kDataAreaEnd - kDataArea) / kPage - 1);
        view_.ShowPage(LinToFarPtr(lin), Slice(before.Memory, lin, kPage));
        for (std::uint32_t edit = Pick(random, 1, 4); edit > 0; --edit) {
            const std::uint32_t index = Pick(random, 0, kPage - 1);
            const std::string digits = HexB(static_cast<std::uint8_t>(random()));
            TMemCaret caret{TMemViewModel::kHexCol + 3 * static_cast<int>(index % 16),
                            static_cast<int>(index / 16)};
            for (const char digit : digits) {
                caret = view_.KeyPress(digit, caret).value_or(caret);
            }
        }
        change_.Memory = {{lin, view_.Page()}};
    }
    bool Start() override {
        const std::size_t queued = c_.Rig.ma->QueueCount();
        return view_.Save() && Queued(queued);
    }
    SoakOutcome Reported() const override { return SucceededWhen(EventSeen("\" has been loaded")); }

private:
    TMemViewModel view_;
};

std::uint16_t PortValue(const SoakBoardState& state, std::uint16_t port, bool word) {
    return static_cast<std::uint16_t>(state.Ports[port] | (word ? state.Ports[port + 1U] << 8 : 0));
}

// The IO window with a port typed into its address box.
class IoOperation : public ContextOperation {
protected:
    IoOperation(SoakContext& context, std::mt19937& random) : ContextOperation(context) {
        port_ = static_cast<std::uint16_t>(kFirstPort + Pick(random, 0, kPortCount - 1));
        word_ = port_ + 1U < kFirstPort + kPortCount && random() % 2 == 0;
        TIOAccess& io =
            window_.model.emplace(context.Tools, window_.Handle(), context.Dir / "no-io-list.ini");
        io.SetAddrCaret(1);
        for (const char digit : HexW(port_)) {
            io.AddrType(digit);
        }
        io.SetByteAccess(!word_);
    }
    TIOAccess& Io() { return *window_.model; }
    const TIOAccess& Io() const { return *window_.model; }

    std::uint16_t port_ = 0;
    bool word_ = false;

private:
    ModelWindow<TIOAccess> window_;
};

class IoRead final : public IoOperation {
public:
    IoRead(SoakContext& context, std::mt19937& random) : IoOperation(context, random) {}
    bool Start() override {
        Io().Read();
        return Io().ReadPending();
    }
    SoakOutcome Reported() const override {
        return SucceededWhen(EventSeen("- Data were read from IO address"));
    }
    std::optional<std::string> CheckResult(const SoakBoardState& before, bool succeeded) const override {
        const std::uint16_t expected = PortValue(before, port_, word_);
        if (Io().ReadPending()) {
            // The value never came; a read that succeeded must have shown it.
            return succeeded ? std::optional<std::string>("the window never got the value read")
                             : std::nullopt;
        }
        const std::uint16_t shown = word_ ? Io().Data() : static_cast<std::uint16_t>(Io().Data() & 0xFF);
        if (shown != expected) {
            return "the window shows $" + HexW(shown) + ", port $" + HexW(port_) + " reads $" +
                   HexW(expected);
        }
        return std::nullopt;
    }
};

class IoWrite final : public IoOperation {
public:
    IoWrite(SoakContext& context, std::mt19937& random) : IoOperation(context, random) {
        const auto value = static_cast<std::uint16_t>(random() & (word_ ? 0xFFFF : 0xFF));
        for (int bit = 0; bit < (word_ ? 16 : 8); ++bit) {
            Io().SetBit(bit, ((value >> bit) & 1) != 0);
        }
        change_.PortWrite = SoakChange::Port{port_, word_, value};
    }
    bool Start() override {
        Io().Write();
        return Io().WritePending();
    }
    SoakOutcome Reported() const override {
        return SucceededWhen(EventSeen("- Data were written to IO address"));
    }
};

// The clock window.
class ClockOperation : public ContextOperation {
protected:
    explicit ClockOperation(SoakContext& context) : ContextOperation(context) {
        window_.model.emplace(context.Tools, window_.Handle());
    }
    TVokRTC& Rtc() { return *window_.model; }
    const TVokRTC& Rtc() const { return *window_.model; }
    SoakOutcome ReportedBy(std::string_view event, std::string_view failedStatus) const {
        if (EventSeen(event)) {
            return SoakOutcome::Succeeded;
        }
        return Rtc().Status() == failedStatus ? SoakOutcome::Failed : SoakOutcome::Pending;
    }

private:
    ModelWindow<TVokRTC> window_;
};

class ClockGet final : public ClockOperation {
public:
    explicit ClockGet(SoakContext& context) : ClockOperation(context) {}
    bool Start() override {
        const std::size_t queued = c_.Rig.ma->QueueCount();
        Rtc().GetTime();
        return Queued(queued);
    }
    SoakOutcome Reported() const override {
        return ReportedBy("- Real Time Clock were read", "Status: Read Err");
    }
    std::optional<std::string> CheckResult(const SoakBoardState& before, bool succeeded) const override {
        if (succeeded && ClockOf(before.Clock) != Rtc().EditTime()) {
            return "the window shows " + ClockText(Rtc().EditTime()) + ", the board's clock is " +
                   before.Clock;
        }
        return std::nullopt;
    }
};

class ClockSet final : public ClockOperation {
public:
    ClockSet(SoakContext& context, std::mt19937& random) : ClockOperation(context) {
        const TVokClockRec time{static_cast<std::uint16_t>(Pick(random, 1980, 2099)),
                                static_cast<std::uint8_t>(Pick(random, 1, 12)),
                                static_cast<std::uint8_t>(Pick(random, 1, 28)),
                                static_cast<std::uint8_t>(Pick(random, 0, 23)),
                                static_cast<std::uint8_t>(Pick(random, 0, 59)),
                                static_cast<std::uint8_t>(Pick(random, 0, 59))};
        Rtc().SetYear(time.Year);
        Rtc().SetMonth(time.Month);
        Rtc().SetDay(time.Day);
        Rtc().SetHour(time.Hour);
        Rtc().SetMinute(time.Minute);
        Rtc().SetSecond(time.Second);
        change_.Clock = ClockText(Rtc().EditTime());
    }
    bool Start() override {
        const std::size_t queued = c_.Rig.ma->QueueCount();
        Rtc().SetTime();
        return Queued(queued);
    }
    SoakOutcome Reported() const override {
        return ReportedBy("- Real Time Clock were written", "Status: Write Err");
    }
};

std::uint32_t SetupLin(bool vok386) {
    return vok386 ? kSetup386Lin : kSetup188Lin;
}

// The setup block read for the board's setup dialog, as the main form asks for it.
class SetupRead final : public ContextOperation {
public:
    explicit SetupRead(SoakContext& context) : ContextOperation(context) {}
    bool Start() override {
        c_.Vok386 ? c_.Rig.ma->ReadSetup386() : c_.Rig.ma->ReadSetup188();
        return true;
    }
    SoakOutcome Reported() const override { return SucceededWhen(!c_.Rig.views.Setups.empty()); }
    std::optional<std::string> CheckResult(const SoakBoardState& before, bool succeeded) const override {
        const auto& setups = c_.Rig.views.Setups;
        if (!succeeded) {
            return setups.empty() ? std::nullopt
                                  : std::optional<std::string>("a failed read opened the dialog");
        }
        if (setups.back().Block != Slice(before.Memory, SetupLin(c_.Vok386), kPage)) {
            return "the dialog did not get the board's setup block";
        }
        return std::nullopt;
    }
};

// A setup record changed in its dialog and written back.
class SetupWrite final : public ContextOperation {
public:
    SetupWrite(SoakContext& context, const SoakBoardState& before, std::mt19937& random)
        : ContextOperation(context) {
        const std::uint32_t lin = SetupLin(context.Vok386);
        Bytes record = Slice(before.Memory, lin, context.Vok386 ? 13 : 32);
        for (std::uint32_t edit = Pick(random, 1, 3); edit > 0; --edit) {
            record[random() % record.size()] = static_cast<std::uint8_t>(random());
        }
        change_.Memory = {{lin, std::move(record)}};
    }
    bool Start() override {
        Bytes record = change_.Memory[0].Data;
        return c_.Vok386 ? c_.Rig.ma->WriteSetup386(std::move(record))
                         : c_.Rig.ma->WriteSetup188(std::move(record));
    }
    SoakOutcome Reported() const override { return SucceededWhen(EventSeen("- Setup was written")); }
};

class Identify final : public ContextOperation {
public:
    explicit Identify(SoakContext& context) : ContextOperation(context) {}
    bool Start() override {
        c_.Rig.ma->ReadBiosId();
        return true;
    }
    SoakOutcome Reported() const override {
        if (Box() != nullptr) {
            return SoakOutcome::Succeeded;
        }
        return EventSeen("- Error while reading Bios Id") ? SoakOutcome::Failed : SoakOutcome::Pending;
    }
    std::optional<std::string> CheckResult(const SoakBoardState&, bool succeeded) const override {
        const std::string expected = c_.Vok386 ? "VOK386EXR BIOS 23<VOK>" : "VOK188ER BIOS-v31";
        if (succeeded &&
            (c_.Rig.ma->BiosIdText != expected || Box()->Text.find(expected) == std::string::npos)) {
            return "the identification shows \"" + c_.Rig.ma->BiosIdText + "\"";
        }
        return std::nullopt;
    }

private:
    const RecordingPresenter::Box* Box() const {
        for (const RecordingPresenter::Box& box : c_.Rig.presenter.Boxes) {
            if (box.Caption.starts_with("Bios identification of")) {
                return &box;
            }
        }
        return nullptr;
    }
};

// A project's download as the master runs it: two ROM modules, each confirmed by the board's
// checksum, the second queued behind the first.
class Download final : public ContextOperation {
public:
    Download(SoakContext& context, std::mt19937& random) : ContextOperation(context) {
        const std::uint32_t paragraphs = std::max<std::uint32_t>(context.MaxLength / 32, 1);
        std::uint32_t lin = kDownloadArea + 16 * Pick(random, 0, 64);
        for (int module = 0; module < 2; ++module) {
            Bytes data = RandomBytes(random, 16 * Pick(random, 1, paragraphs));
            std::uint8_t sum = 0;
            for (std::size_t i = 0; i + 1 < data.size(); ++i) {
                sum = static_cast<std::uint8_t>(sum + data[i]);
            }
            data.back() = static_cast<std::uint8_t>(0 - sum); // the whole module sums to 0
            const auto length = static_cast<std::uint32_t>(data.size());
            change_.Memory.push_back({lin, std::move(data)});
            lin += length + 16 * Pick(random, 0, 8);
        }
    }
    bool Start() override {
        bool queued = true;
        int number = 0;
        for (const SoakWrite& module : change_.Memory) {
            queued = queued && c_.Rig.ma->WriteRomModule(LinToFarPtr(module.Lin), module.Data,
                                                         "ROM" + std::to_string(++number));
        }
        return queued;
    }
    SoakOutcome Reported() const override {
        return SucceededWhen(EventSeen("- File \"ROM2\" has been loaded"));
    }
};

} // namespace

std::unique_ptr<SoakOperation> MakeSoakOperation(SoakOp op, SoakContext& context,
                                                 const SoakBoardState& before, std::mt19937& random) {
    switch (op) {
    case SoakOp::BinaryWrite:
        return std::make_unique<BinaryWrite>(context, random);
    case SoakOp::BinaryRead:
        return std::make_unique<BinaryRead>(context, random);
    case SoakOp::ViewRead:
        return std::make_unique<ViewRead>(context, random);
    case SoakOp::ViewWrite:
        return std::make_unique<ViewWrite>(context, before, random);
    case SoakOp::IoRead:
        return std::make_unique<IoRead>(context, random);
    case SoakOp::IoWrite:
        return std::make_unique<IoWrite>(context, random);
    case SoakOp::ClockGet:
        return std::make_unique<ClockGet>(context);
    case SoakOp::ClockSet:
        return std::make_unique<ClockSet>(context, random);
    case SoakOp::SetupRead:
        return std::make_unique<SetupRead>(context);
    case SoakOp::SetupWrite:
        return std::make_unique<SetupWrite>(context, before, random);
    case SoakOp::Identify:
        return std::make_unique<Identify>(context);
    case SoakOp::Download:
        return std::make_unique<Download>(context, random);
    }
    return nullptr;
}

std::optional<std::string> CheckBoard(const SoakBoardState& before, const SoakBoardState& after,
                                      const SoakChange& change, bool succeeded) {
    // Memory: a success holds every write, a failure each board block of a write as it was or as
    // asked; nothing else changes.
    std::string expected = before.Memory;
    std::vector<bool> written(before.Memory.size());
    for (const SoakWrite& write : change.Memory) {
        std::copy(write.Data.begin(), write.Data.end(), expected.begin() + write.Lin);
        std::fill_n(written.begin() + write.Lin, write.Data.size(), true);
    }
    for (std::uint32_t lin = 0; lin < after.Memory.size(); ++lin) {
        if (!written[lin] && after.Memory[lin] != before.Memory[lin]) {
            return "memory outside the write changed: " +
                   ByteAt(lin, static_cast<std::uint8_t>(after.Memory[lin])) + ", not $" +
                   HexB(static_cast<std::uint8_t>(before.Memory[lin]));
        }
    }
    for (const SoakWrite& write : change.Memory) {
        const std::uint32_t end = write.Lin + static_cast<std::uint32_t>(write.Data.size());
        for (std::uint32_t from = write.Lin; from < end;) {
            const std::uint32_t to = std::min(end, (from / change.Block + 1) * change.Block);
            const auto part = [&](const std::string& memory) {
                return memory.substr(from, to - from);
            };
            const bool asAsked = part(after.Memory) == part(expected);
            if (!asAsked && (succeeded || part(after.Memory) != part(before.Memory))) {
                return "the block at " + LinToStr(from) + " holds neither " +
                       (succeeded ? std::string("what was written") : "what it held nor what was written");
            }
            from = to;
        }
    }
    // The port and the clock: as asked after a success, as before or as asked after a failure.
    std::vector<std::uint8_t> ports = before.Ports;
    if (const auto& port = change.PortWrite) {
        ports[port->Number] = static_cast<std::uint8_t>(port->Value & 0xFF);
        if (port->Word) {
            ports[port->Number + 1U] = static_cast<std::uint8_t>(port->Value >> 8);
        }
    }
    if (after.Ports != ports && (succeeded || after.Ports != before.Ports)) {
        const std::uint16_t number = change.PortWrite ? change.PortWrite->Number : 0;
        return "the IO ports are not as " + std::string(succeeded ? "written" : "before nor as written") +
               " (port $" + HexW(number) + " reads $" + HexB(after.Ports[number]) + ")";
    }
    const std::string clock = change.Clock.value_or(before.Clock);
    if (after.Clock != clock && (succeeded || after.Clock != before.Clock)) {
        return "the clock holds " + after.Clock + ", set " + clock + ", before " + before.Clock;
    }
    return std::nullopt;
}

} // namespace ravlo::testing
