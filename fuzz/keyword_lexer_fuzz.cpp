// A named object's value from the application INI, parsed by the keyword lexer with the keywords of
// one of the program's named classes (the first byte picks the class). Settings that parse are
// written back as the program writes them and must parse again to the same text.
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "framework/keyword_lexer.h"
#include "framework/name_coll.h"
#include "fuzz_support.h"
#include "kernel/proc_label.h"
#include "kernel/proc_win_label.h"
#include "kernel/process.h"

#include <memory>

using namespace ravlo;

namespace {

// A named object or collection behind one interface.
class Settings {
public:
    virtual ~Settings() = default;
    virtual bool Parse(std::string_view text) = 0;
    virtual std::string Text() const = 0;
};

template <class T>
class ObjectSettings final : public Settings {
public:
    ObjectSettings() : object_(std::make_unique<T>("FUZZ")) {}
    // Objects that write their settings back when they go must not write here.
    ~ObjectSettings() override { object_->UPD = 0; }
    bool Parse(std::string_view text) override { return object_->ParseParams(text); }
    std::string Text() const override { return object_->ParamsToText(); }

private:
    std::unique_ptr<T> object_;
};

std::unique_ptr<Settings> MakeSettings(std::uint8_t kind) {
    switch (kind % 6) {
    case 0:
        return std::make_unique<ObjectSettings<TNameObject>>();
    case 1:
        return std::make_unique<ObjectSettings<TNameColl>>();
    case 2:
        return std::make_unique<ObjectSettings<TProcLabel>>();
    case 3:
        return std::make_unique<ObjectSettings<TProcWinNameObj>>();
    case 4:
        return std::make_unique<ObjectSettings<TComChannel>>();
    default:
        return std::make_unique<ObjectSettings<TChnMarbexL0>>();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t kind = input.Byte();
    const std::string_view text = fuzz::AsText(input.Rest());

    const std::unique_ptr<Settings> settings = MakeSettings(kind);
    if (settings->Parse(text)) {
        fuzz::Check(LexFailLine().LexPos <= LexFailLine().LexLine.size() + 1,
                    "a failed parse stops inside the line");
        return 0;
    }
    const std::string written = settings->Text();
    const std::unique_ptr<Settings> again = MakeSettings(kind);
    fuzz::Check(!again->Parse(written), "settings written back parse again");
    fuzz::Check(again->Text() == written, "settings written back read the same");
    return 0;
}
