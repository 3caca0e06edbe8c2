// The link deframer fed a byte stream in pieces, as a serial line delivers it, with receive errors
// between pieces. Every frame it completes must fit the receive buffer, be addressed to this node
// and stand in the stream exactly as the frame builder writes it; with bytes waiting, a poll
// always moves on.
#include "channels/link_deframer.h"
#include "channels/link_frame_builder.h"
#include "fuzz_support.h"

#include <algorithm>
#include <vector>

using namespace ravlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::size_t bufferSize = input.Word() % 9000;
    const std::uint8_t ownNode = input.Byte();
    const std::size_t pieceSize = input.Byte() + 1U;
    const std::uint8_t errorEvery = input.Byte();
    const std::span<const std::uint8_t> stream = input.Rest();

    std::vector<std::uint8_t> buffer(bufferSize);
    LinkFrameBuilder builder(2 * 9000 + 16);
    LinkDeframer deframer;
    deframer.Restart();
    MemoryByteSource source;
    std::size_t pieces = 0;
    for (std::size_t at = 0; at < stream.size(); at += pieceSize) {
        source.Append(stream.subspan(at, std::min(pieceSize, stream.size() - at)));
        if (errorEvery != 0 && ++pieces % errorEvery == 0) {
            source.FailNextRead();
        }
        bool stalled = false;
        for (;;) {
            const std::size_t before = source.Remaining();
            deframer.Poll(source, buffer, ownNode);
            if (deframer.State() == LinkDeframer::kComplete) {
                const std::uint16_t length = deframer.FrameLength();
                fuzz::Check(length <= buffer.size(), "a frame longer than the receive buffer completed");
                fuzz::Check(ownNode == 0 || deframer.Destination() == ownNode || deframer.Destination() == 0,
                            "a frame for another node completed");
                const auto frame =
                    builder.Build(deframer.Destination(), deframer.Source(), std::span(buffer).first(length));
                fuzz::Check(frame && std::search(stream.begin(), stream.end(), frame->begin(),
                                                 frame->end()) != stream.end(),
                            "a completed frame is not in the stream");
                deframer.Resume();
                stalled = false;
                continue;
            }
            if (source.Remaining() == 0) {
                break;
            }
            // One poll may stop at a receive error or a new frame's start without reading on; two in
            // a row without a byte read stall.
            fuzz::Check(source.Remaining() < before || !stalled, "the deframer stalls with bytes waiting");
            stalled = source.Remaining() == before;
        }
    }
    return 0;
}
