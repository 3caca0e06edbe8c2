#pragma once

// Test helpers for the EPROM image composer, shared by the core and the window tests (header-only).

#include "project/eprom_composer.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ravlo::testing {

// A main form stand-in that keeps what the composer tells it.
class RecordingEpromHost final : public TEpromImgHost {
public:
    std::optional<TVokKind> ConnectedBoardKind() const override { return connected; }
    void SetEpromImageOk(bool ok) override {
        imageOk = ok;
        ++flagWrites;
    }
    void AddEvent(std::string_view text, std::uint8_t kind) override { events.emplace_back(text, kind); }
    bool EpromImageFromCmdLine() const override { return cmdLine; }

    std::optional<TVokKind> connected;
    bool cmdLine = false;
    bool imageOk = true; // the main form starts with its step flags set
    int flagWrites = 0;
    std::vector<std::pair<std::string, std::uint8_t>> events;
};

// Bytes of a BIOS file that passes the check of its board kind: the kind's marker texts within a
// pattern that no marker comes from by chance.
inline std::string BiosBytes(TVokKind kind, std::size_t size = 4096) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>(0x80 | (i * 7 % 0x7F));
    }
    std::string markers;
    switch (kind) {
    case TVokKind::VokV40:
        markers = "Bios monitor Marbex(c)";
        break;
    case TVokKind::Vok386EXR:
        markers = "Bios monitor 386EXR VOK";
        break;
    case TVokKind::Vok188ER:
        markers = "BIOS Monitor Marbex VOK188ER";
        break;
    }
    bytes.replace(16, markers.size(), markers);
    return bytes;
}

// count bytes that start at first and count up (mod 256).
inline std::string CountingBytes(std::size_t count, std::uint8_t first = 0) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>(static_cast<std::uint8_t>(first + i));
    }
    return bytes;
}

// An address asker that answers with a fixed far pointer (or cancels) and keeps the captions.
struct ScriptedAddressAsker {
    ScriptedAddressAsker() = default; // cancels
    explicit ScriptedAddressAsker(TSegOfsPtr confirmed) : answer(confirmed) {}

    std::optional<TSegOfsPtr> answer;
    std::vector<std::string> captions;
    std::vector<TSegOfsPtr> offered;

    TAddressAsker Asker() {
        return [this](std::string_view caption, TSegOfsPtr& address) {
            captions.emplace_back(caption);
            offered.push_back(address);
            if (!answer) {
                return false;
            }
            address = *answer;
            return true;
        };
    }
};

// A file chooser for the window's file dialogs that answers with the queued files (cancels when none
// is left) and keeps what it was asked.
struct ScriptedFileChooser {
    std::deque<std::filesystem::path> files;
    std::vector<TFileDialogSpec> specs;
    std::vector<bool> saving;

    auto Chooser() {
        return [this](const TFileDialogSpec& spec, bool save) {
            specs.push_back(spec);
            saving.push_back(save);
            std::optional<std::filesystem::path> file;
            if (!files.empty()) {
                file = files.front();
                files.pop_front();
            }
            return file;
        };
    }
};

} // namespace ravlo::testing
