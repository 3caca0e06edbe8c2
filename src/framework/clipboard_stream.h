#pragma once

#include "framework/byte_stream.h"

#include <memory>

namespace ravlo {

// Holds the one memory stream that clipboard transfers of object streams go through: made on first
// use, emptied by Free.
class TClipBoardStreamMan {
public:
    MemoryStream& Stream();
    // Frees the stream (and what it held).
    void Free() { stream_.reset(); }

private:
    std::unique_ptr<MemoryStream> stream_;
};

// The program's instance, freed when the program ends.
TClipBoardStreamMan& ClipBoardStreamMan();

} // namespace ravlo
