#pragma once

#include "framework/param_obj.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ravlo {

class TProcessColl;

// One field of a process status window: its label, the name of its edit and the text it shows.
struct TProcViewField {
    std::string Label;
    std::string EditName;
    std::string Text;
};

// A process status window without its widgets: four fields of one process, each a watched value
// that gets its text again only when a wm_VarChanged names its field and the field changed. Without
// the process the fields keep their empty texts and every notification is ignored.
class TProcessView {
public:
    // The board master process's window (process ident 0x70): link state, process state, board
    // type, operation state.
    static TProcessView ForMaster(const TProcessColl* processes);
    // The communication process's window (ident 0x87): state, COM port, counters, pending messages.
    static TProcessView ForComm(const TProcessColl* processes);

    bool HasProcess() const { return hasProcess_; }
    const std::string& Caption() const { return caption_; }
    const std::vector<TProcViewField>& Fields() const { return fields_; }

    // The first field (in table order) whose watched value is at address and changed gets its text
    // again; answers its index, -1 when none did.
    int VarChanged(const void* address);

private:
    using TextOf = std::function<std::string(const TParamObj&)>;
    struct FieldWatch {
        std::unique_ptr<TParamObj> Value;
        TextOf Text;
    };

    // The fields (label, edit name) with empty texts.
    TProcessView(std::string caption, std::initializer_list<std::pair<const char*, const char*>> fields);
    // The process is there: the next field shows value.
    void Watch(std::unique_ptr<TParamObj> value, TextOf text);

    std::string caption_;
    bool hasProcess_ = false;
    std::vector<TProcViewField> fields_;
    std::vector<FieldWatch> watches_;
};

// The board type as the master's window shows it.
std::string VokTypeText(std::uint8_t device);

} // namespace ravlo
