#include "framework/clipboard_stream.h"

namespace ravlo {

MemoryStream& TClipBoardStreamMan::Stream() {
    if (!stream_) {
        stream_ = std::make_unique<MemoryStream>();
    }
    return *stream_;
}

TClipBoardStreamMan& ClipBoardStreamMan() {
    static TClipBoardStreamMan instance;
    return instance;
}

} // namespace ravlo
