// One frame as the board sends it, given to every reader of board answers and to the record that
// carries it between the processes. A reader that accepts the frame must have found what its layout
// says: the data, the width and the clock bytes it answers lie in the frame as sent.
#include "fuzz_support.h"
#include "protocol/bios_id.h"
#include "protocol/board_answers.h"
#include "protocol/comm_frame_rec.h"

#include <algorithm>
#include <array>

using namespace ravlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> frame(data, size);
    const std::uint8_t type = size > 0 ? frame[0] : 0;

    const auto whole = TVokFrame::FromBytes(frame);
    fuzz::Check(whole.Ok() == (size >= TVokFrame::kHeaderLen && size <= TVokFrame::kMaxLen),
                "a frame is taken or refused against its length");
    VokFrameName(type);

    for (const std::uint8_t bare : {ft_MemE, ft_CheckOk, ft_CheckErr, ft_EmptV40, ft_Empt386, ft_Empt188}) {
        fuzz::Check((CheckBareAnswer(frame, bare) == TFrameFault::None) ==
                        (size == TVokFrame::kHeaderLen && type == bare),
                    "a bare answer is exactly its header");
    }
    if (const auto memD = ParseMemD(frame); memD.Ok()) {
        fuzz::Check(memD->Data.data() == data + kBlockFrameHeaderLen &&
                        memD->Data.size() == FrameU16(frame, kBlockFrameCountAt) &&
                        size == kBlockFrameHeaderLen + memD->Data.size(),
                    "MemD data are the frame's counted bytes");
    }
    ParseRqstAnswer(frame);
    ParseCheckAnswer(frame);
    if (const auto io = ParseIORead(frame); io.Ok()) {
        fuzz::Check((io->Width == 1 && size == 8 && io->Value == frame[7]) ||
                        (io->Width == 2 && size == 9 && io->Value == FrameU16(frame, 7)),
                    "an IO read answer has the width of its type");
    }
    ParseErr(frame);
    if (const auto clock = ParseClockAnswer(frame); clock.Ok()) {
        fuzz::Check(std::equal(clock->Raw.begin(), clock->Raw.end(), frame.begin()),
                    "the clock answer keeps the bytes received");
    }

    // The identification text is gathered from MemD data.
    if (const auto text = ParseBiosIdText(frame); text.Ok()) {
        fuzz::Check(text->size() < size && text->find('\0') == std::string::npos,
                    "an identification text ends at its zero byte");
        ParseBiosId(text.Value());
    }
    if (const auto id386 = ParseBiosId386(frame); id386.Ok()) {
        fuzz::Check(id386->FlashCode == frame[id386->Text.size() + 1], "the flash code follows the text");
        FlashTypeText(id386->FlashCode, true);
    }

    if (const auto record = TRavloCommFrameRec::Decode(frame); record.Ok()) {
        const std::vector<std::uint8_t> encoded = record->Encode();
        fuzz::Check(std::equal(encoded.begin(), encoded.end(), frame.begin(), frame.end()),
                    "a frame record encodes to the bytes it was read from");
    }
    CommFrameRecText(frame);
    return 0;
}
