#pragma once

#include "framework/board_address.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace ravlo {

// The board side of a download: the board master process queues the write of a whole ROM module
// to board memory (and shows its progress), which ends when the board's own checksum of the module
// confirms it; the bytes belong to the write from then on.
class TBoardDownloader {
public:
    virtual ~TBoardDownloader() = default;
    // Queues the module's image for the board at address; shownName names it in the progress
    // window. False when the write cannot be queued.
    virtual bool WriteRomModule(TSegOfsPtr address, std::vector<std::uint8_t> data,
                                std::string_view shownName) = 0;
};

// Whether the bytes are a ROM image the board can confirm: whole paragraphs that add up to 0
// modulo 256.
bool IsRomImage(std::span<const std::uint8_t> image);

// Who answers the download's questions (a changed design, old .BIN files): the user, or nobody in
// an unattended run, where each is logged and answered No.
enum class TDownloadAsk : std::uint8_t { User, Unattended };

// Sends the project's ROM modules to the board after the checks (a project is open, every unit is
// placed, the .BIN files are there and fresh or the user goes on anyway). True when every module
// was handed to the board.
bool DownloadProject(TBoardDownloader& board, TDownloadAsk ask = TDownloadAsk::User);

} // namespace ravlo
