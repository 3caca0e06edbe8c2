#include "kernel/proc_mess_coll.h"

#include "framework/writer_channels.h"

#include <string>

namespace ravlo {

void TProcMessColl::Insert(std::unique_ptr<TProcMess> mess) {
    if (mess) {
        items_.push_back(std::move(mess));
    }
}

std::unique_ptr<TProcMess> TProcMessColl::AtDelete(std::size_t index) {
    if (index >= items_.size()) {
        return nullptr;
    }
    std::unique_ptr<TProcMess> mess = std::move(items_[index]);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    return mess;
}

const TProcMess* TProcMessColl::At(std::size_t index) const {
    return index < items_.size() ? items_[index].get() : nullptr;
}

void TProcMessColl::WriteColl(int chn) const {
    Writelnsys(chn, "*** Coll of ProcMess: Count=" + std::to_string(items_.size()));
    for (const std::unique_ptr<TProcMess>& mess : items_) {
        Writelnsys(chn, mess->MessToStr());
    }
}

} // namespace ravlo
