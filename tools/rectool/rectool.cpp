#include "rectool/rectool.h"

#include "framework/message_box.h"
#include "framework/number_text.h"
#include "platform/cp1250.h"
#include "platform/presenter.h"
#include "records/par_rec_data.h"
#include "records/record_classes.h"
#include "records/record_container.h"
#include "records/record_type_dscr.h"
#include "records/ttc_time.h"
#include "rectool/demo_records.h"
#include "rectool/param_text.h"

#include <charconv>
#include <exception>
#include <functional>
#include <optional>
#include <string_view>
#include <variant>
#include <vector>

namespace ravlo::rectool {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsageError = 2;
constexpr int kRenderMax = 4096;

constexpr std::string_view kHelp =
    "Usage: rectool COMMAND ARGS...\n"
    "\n"
    "Makes, checks, shows and edits record containers: the application data of the\n"
    "typed records (record types, database descriptions, semantics, parameter record\n"
    "types), the databases and the parameter records, in one file.\n"
    "\n"
    "Commands:\n"
    "  mkdemo FILE                   write a demo container: record types of every field\n"
    "                                class, databases with sub-databases and pointer\n"
    "                                fields, and parameter records\n"
    "  check FILE                    the type and length tests, and that every stored\n"
    "                                parameter value reads back from its text; exit 1 on a\n"
    "                                finding\n"
    "  render FILE [--form F]        every record as text, F one of line (default), win,\n"
    "                                csv, join\n"
    "  recipe FILE                   the recipe line of every parameter record\n"
    "  export FILE DE LA             parameter record DE/LA as a header and values\n"
    "  import FILE DE LA TEXT        takes the values of the columns TEXT names (a header\n"
    "                                and values, or values of every column) into parameter\n"
    "                                record DE/LA and saves FILE; errors show as line:column\n"
    "  resave FILE OUT               loads FILE and saves it as OUT; a file whose loading\n"
    "                                reported anything is not saved\n"
    "  ttc pack TEXT                 a date and time (DD/MM/YYYY hh:mm:ss) as a TTC stamp\n"
    "  ttc unpack HEX                a TTC stamp as its date and time\n"
    "  --help                        show this text\n"
    "\n"
    "Options may stand anywhere among the arguments; \"--\" ends them.\n"
    "Enumerations 0 to 8 belong to the program's own dialogs; a container's start after them.\n"
    "\n"
    "Exit codes: 0 done, 1 a finding or a failure (anything reported), 2 bad arguments.\n";

// Message boxes and internal errors become lines on err and count as findings.
class Session {
public:
    explicit Session(std::ostream& err)
        : err_(err), presenter_([this](std::string_view line) {
              if (!quietBoxes) {
                  ++findings;
                  err_ << "rectool: " << line << '\n';
              }
          }),
          scopedPresenter_(presenter_), previousHook_(SetAppErrorHook([this](std::string_view msg) {
              ++findings;
              err_ << Cp1250ToUtf8(msg) << '\n';
          })) {
        RegisterRecordClasses();
    }
    ~Session() {
        SetAppErrorHook(previousHook_);
        ResetAppExtension();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Message boxes and internal errors reported so far.
    int findings = 0;
    // The commands that read text tell its errors themselves, with their line and column; their
    // boxes are neither shown nor counted.
    bool quietBoxes = false;

private:
    std::ostream& err_;
    HeadlessPresenter presenter_;
    ScopedPresenter scopedPresenter_;
    AppErrorHookFn previousHook_;
};

// One command's arguments, its output streams and its session.
struct Call {
    std::vector<std::string> args;
    std::string form = "line";
    std::ostream& out;
    std::ostream& err;
    Session& session;
};

struct Command {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::function<int(Call&)> run;
    bool takesForm = false;
};

int Usage(std::ostream& err, std::string_view problem) {
    err << "rectool: " << problem << "\nTry 'rectool --help'.\n";
    return kUsageError;
}

std::optional<std::uint16_t> Number16(std::string_view text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string FormText(const TRecordTypeDscr& type, std::span<const std::uint8_t> data, std::string_view form) {
    std::string text;
    if (form == "win") {
        type.GetRecCWinAStr(data, text, kRenderMax);
    } else if (form == "csv") {
        type.GetRecCSV_AStr(data, text, kRenderMax);
    } else if (form == "join") {
        type.GetRecJoinAStr(data, text, std::nullopt, kRenderMax);
    } else {
        type.GetRecLineAStr(data, text, std::nullopt, kRenderMax);
    }
    return Cp1250ToUtf8(text);
}

void RenderRecord(TDscrRecObj& record, std::string_view form, const std::string& indent, std::ostream& out) {
    const TRecordTypeDscr* type = record.RecTypeDscr();
    out << indent << record.Name << ": ";
    if (type != nullptr) {
        out << FormText(*type, record.Data(), form);
    } else {
        out << "(no record type) " << HexBuf(record.Data(), record.Data().size());
    }
    out << '\n';
}

void RenderDataBases(const TDBColl& dataBases, std::string_view form, const std::string& indent,
                     std::ostream& out) {
    for (std::int32_t i = 0; i < dataBases.Count(); ++i) {
        const TDataBase* database = dataBases.ItemAt(i);
        if (database == nullptr) {
            continue;
        }
        out << indent << "database '" << Cp1250ToUtf8(database->DBName) << "' DBTid=$"
            << HexW(database->DB_TypeID) << " InstAdr=$" << HexW(database->InstAdr)
            << " NetNode=" << int{database->NetNode} << " DevIx=" << int{database->DevIx} << '\n';
        for (std::int32_t j = 0; j < database->Count(); ++j) {
            if (TDBRecordObj* record = database->ItemAt(j)) {
                RenderRecord(*record, form, indent + "  ", out);
                if (record->SubDBs) {
                    RenderDataBases(*record->SubDBs, form, indent + "    ", out);
                }
            }
        }
    }
}

// fn (de, la, record) for every parameter record of the loaded container.
template <class Fn>
void ForEachParameter(Fn&& fn) {
    if (const TParRecData* parameters = AppParRecData()) {
        for (std::int32_t de = 0; de < parameters->Count(); ++de) {
            const TParRecColl* coll = parameters->ItemAt(de);
            for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
                if (TParRecordObj* record = coll->ItemAt(la)) {
                    fn(de, la, *record);
                }
            }
        }
    }
}

int Load(const std::string& path, std::unique_ptr<TDBColl>& dataBases, std::ostream& err) {
    try {
        dataBases = LoadRecordContainerFile(path);
        return kDone;
    } catch (const std::exception& error) {
        err << "rectool: " << path << ": " << Cp1250ToUtf8(error.what()) << '\n';
        return kFailed;
    }
}

int Save(const std::string& path, const TDBColl* dataBases, std::ostream& err) {
    try {
        SaveRecordContainerFile(path, dataBases);
        return kDone;
    } catch (const std::exception& error) {
        err << "rectool: " << Cp1250ToUtf8(error.what()) << '\n';
        return kFailed;
    }
}

// Done, unless anything was reported.
int Outcome(const Session& session) {
    return session.findings > 0 ? kFailed : kDone;
}

int MkDemo(Call& call) {
    return Save(call.args[0], BuildDemoRecords().get(), call.err);
}

// Every stored parameter value must read back from its own text, or the record's export could
// not be imported again.
void CheckReadBack(Session& session) {
    const TParRecTypesColl* types = AppParRecTypesColl();
    session.quietBoxes = true;
    ForEachParameter([&](std::int32_t de, std::int32_t la, TParRecordObj& record) {
        const TRecIniciatorColl* type =
            types != nullptr ? types->GetParRecType(record.ParRecTypeIx) : nullptr;
        if (type == nullptr) {
            return;
        }
        for (const UnreadableValue& value : UnreadableValues(*type, record.Data())) {
            ReportAppError("# parameter record " + std::to_string(de) + "/" + std::to_string(la) + " '" +
                           record.ParName + "': the value of '" + value.Column +
                           "' does not read back from \"" + value.Text + "\": " + value.Error);
        }
    });
    session.quietBoxes = false;
}

int Check(Call& call) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(call.args[0], dataBases, call.err) != kDone) {
        return kFailed;
    }
    const TAppData& appData = *AppExtension().AppData;
    bool ok = !appData.DataBaseDscrColl || appData.TestDataBaseDscrColl();
    if (const TParRecData* parameters = AppParRecData()) {
        ok = parameters->TestDscrAndParTypes() && ok;
    }
    const auto uniqueNames = [&](const TRecIniciatorColl* inits, const std::string& what) {
        std::int32_t index = 0;
        std::string name;
        if (inits != nullptr && !inits->TestUniqueHeaderNames(index, name, TRecElIniciatorObj::kNameMax)) {
            ReportAppError("# " + what + ": initiator name '" + name + "' twice");
        }
    };
    if (const TParRecTypesColl* parTypes = AppParRecTypesColl()) {
        for (std::int32_t i = 0; i < parTypes->Count(); ++i) {
            uniqueNames(parTypes->GetParRecType(i), "parameter record type " + std::to_string(i));
        }
    }
    CheckReadBack(call.session);
    if (call.session.findings > 0 || !ok) {
        call.out << "check: " << call.session.findings << " finding(s)\n";
        return kFailed;
    }
    call.out << "check: ok\n";
    return kDone;
}

int Render(Call& call) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(call.args[0], dataBases, call.err) != kDone) {
        return kFailed;
    }
    if (dataBases) {
        RenderDataBases(*dataBases, call.form, "", call.out);
    }
    ForEachParameter([&](std::int32_t de, std::int32_t la, TParRecordObj& record) {
        call.out << "parameter DE=" << de << " LA=" << la << " '" << Cp1250ToUtf8(record.ParName) << "'\n";
        RenderRecord(record, call.form, "  ", call.out);
    });
    return Outcome(call.session);
}

int Recipe(Call& call) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(call.args[0], dataBases, call.err) != kDone) {
        return kFailed;
    }
    MemoryStream text;
    TLexWriter writer(text, 250);
    writer.BreakChars.set('*');
    if (const TParRecData* parameters = AppParRecData()) {
        for (std::int32_t de = 0; de < parameters->Count(); ++de) {
            const TParRecColl* coll = parameters->ItemAt(de);
            for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
                coll->WrRecipeLine(static_cast<std::uint16_t>(la), writer);
            }
        }
    }
    writer.WrFinish();
    call.out << Cp1250ToUtf8({reinterpret_cast<const char*>(text.Data().data()), text.Data().size()});
    return Outcome(call.session);
}

// The parameter record DE/LA of the loaded container, with its parameter record type.
struct Parameter {
    TParRecordObj* record = nullptr;
    TRecIniciatorColl* type = nullptr;
};

std::optional<Parameter> FindParameter(std::uint16_t de, std::uint16_t la, std::ostream& err) {
    const TParRecData* parameters = AppParRecData();
    TParRecordObj* record = parameters != nullptr ? parameters->GetParRecObjPtr(de, la) : nullptr;
    const TParRecTypesColl* types = AppParRecTypesColl();
    TRecIniciatorColl* type =
        record != nullptr && types != nullptr ? types->GetParRecType(record->ParRecTypeIx) : nullptr;
    if (type == nullptr) {
        err << "rectool: no parameter record " << de << "/" << la << " with a parameter record type\n";
        return std::nullopt;
    }
    return Parameter{record, type};
}

// Loads the file and finds the parameter record its arguments name, or answers the exit code.
std::variant<Parameter, int> LoadParameter(Call& call, std::unique_ptr<TDBColl>& dataBases) {
    const std::optional<std::uint16_t> de = Number16(call.args[1]);
    const std::optional<std::uint16_t> la = Number16(call.args[2]);
    if (!de || !la) {
        return Usage(call.err, "DE and LA are numbers from 0 to 65535");
    }
    if (Load(call.args[0], dataBases, call.err) != kDone) {
        return kFailed;
    }
    const std::optional<Parameter> parameter = FindParameter(*de, *la, call.err);
    if (!parameter) {
        return kFailed;
    }
    return *parameter;
}

int Export(Call& call) {
    std::unique_ptr<TDBColl> dataBases;
    const auto found = LoadParameter(call, dataBases);
    if (const int* code = std::get_if<int>(&found)) {
        return *code;
    }
    const Parameter& parameter = std::get<Parameter>(found);
    call.out << Cp1250ToUtf8(ExportText(*parameter.type, parameter.record->Data()));
    return Outcome(call.session);
}

int Import(Call& call) {
    call.session.quietBoxes = true;
    std::unique_ptr<TDBColl> dataBases;
    const auto found = LoadParameter(call, dataBases);
    if (const int* code = std::get_if<int>(&found)) {
        return *code;
    }
    const Parameter& parameter = std::get<Parameter>(found);
    const std::unique_ptr<TRecIniciatorColl> inits = CopyOf(*parameter.type);
    std::vector<std::uint8_t> bytes(parameter.record->Data().begin(), parameter.record->Data().end());
    std::string error;
    if (!ImportColumns(*inits, Utf8ToCp1250(call.args[3]), bytes, error)) {
        call.err << "rectool: import: " << Cp1250ToUtf8(error) << '\n';
        return kFailed;
    }
    // A container whose loading reported anything is not written back.
    if (parameter.record->WrParam(bytes) != kParDone || call.session.findings > 0) {
        call.err << "rectool: import: " << call.args[0] << " not saved\n";
        return kFailed;
    }
    return Save(call.args[0], dataBases.get(), call.err);
}

int Resave(Call& call) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(call.args[0], dataBases, call.err) != kDone) {
        return kFailed;
    }
    // A damaged container is never written back: what loading made of it is not the data.
    if (call.session.findings > 0) {
        call.err << "rectool: " << call.args[0] << ": " << call.session.findings
                 << " finding(s) while loading; not saved\n";
        return kFailed;
    }
    return Save(call.args[1], dataBases.get(), call.err);
}

int TtcPack(Call& call) {
    const std::string& text = call.args[1];
    MemoryStream source(std::vector<std::uint8_t>(text.begin(), text.end()));
    TLexReader reader(source);
    const std::uint32_t stamp = reader.ReadDWord(TLexReader::kDWordTTCTime);
    if (reader.ErrorFlag() || reader.NextChar() != 0) {
        call.err << "rectool: ttc pack: "
                 << (reader.ErrorFlag() ? Cp1250ToUtf8(reader.ErrorText()) : "text after the time") << '\n';
        return kFailed;
    }
    call.out << '$' << HexDW(stamp) << '\n';
    return kDone;
}

int TtcUnpack(Call& call) {
    std::string_view hex = call.args[1];
    if (hex.starts_with('$')) {
        hex.remove_prefix(1);
    }
    std::uint32_t stamp = 0;
    const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), stamp, 16);
    if (hex.empty() || ec != std::errc() || end != hex.data() + hex.size()) {
        return Usage(call.err, "ttc unpack: '" + call.args[1] + "' is no hex number");
    }
    if (!IsTTCTime(stamp)) {
        call.err << "rectool: ttc unpack: $" << HexDW(stamp) << " lies outside the packed range ("
                 << kTTCFirstYear << " to " << kTTCLastYear << ")\n";
        return kFailed;
    }
    call.out << TTCTimeStr(stamp) << '\n';
    return kDone;
}

int Ttc(Call& call) {
    call.session.quietBoxes = true;
    if (call.args[0] == "pack") {
        return TtcPack(call);
    }
    if (call.args[0] == "unpack") {
        return TtcUnpack(call);
    }
    return Usage(call.err, "ttc pack TEXT | ttc unpack HEX");
}

const Command kCommands[] = {
    {"mkdemo", 1, 1, MkDemo}, {"check", 1, 1, Check},   {"render", 1, 1, Render, true},
    {"recipe", 1, 1, Recipe}, {"export", 3, 3, Export}, {"import", 4, 4, Import},
    {"resave", 2, 2, Resave}, {"ttc", 2, 2, Ttc},
};

// The arguments with the options taken out: --form F (or --form=F) and --help may stand anywhere,
// and "--" makes every later argument a plain one.
struct Arguments {
    std::vector<std::string> plain;
    std::optional<std::string> form;
    bool help = false;
};

std::variant<Arguments, std::string> SplitOptions(std::span<const std::string> args) {
    Arguments split;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            split.plain.push_back(arg);
        } else if (arg == "--") {
            options = false;
        } else if (arg == "--help" || arg == "-h") {
            split.help = true;
        } else if (arg == "--form") {
            if (i + 1 == args.size()) {
                return std::string("--form needs a value");
            }
            split.form = args[++i];
        } else if (arg.starts_with("--form=")) {
            split.form = arg.substr(7);
        } else {
            return "unknown option '" + arg + "'";
        }
    }
    if (split.form && *split.form != "line" && *split.form != "win" && *split.form != "csv" &&
        *split.form != "join") {
        return "--form takes line, win, csv or join";
    }
    return split;
}

} // namespace

int RunRectool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    const auto split = SplitOptions(args);
    if (const std::string* problem = std::get_if<std::string>(&split)) {
        return Usage(err, *problem);
    }
    const Arguments& arguments = std::get<Arguments>(split);
    if (arguments.help) {
        out << kHelp;
        return kDone;
    }
    if (arguments.plain.empty()) {
        return Usage(err, "no command");
    }
    const std::string& name = arguments.plain[0];
    for (const Command& command : kCommands) {
        if (command.name != name) {
            continue;
        }
        const std::vector<std::string> rest(arguments.plain.begin() + 1, arguments.plain.end());
        if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
            return Usage(err, "wrong number of arguments for '" + name + "'");
        }
        if (arguments.form && !command.takesForm) {
            return Usage(err, "'" + name + "' takes no --form");
        }
        Session session(err);
        Call call{rest, arguments.form.value_or("line"), out, err, session};
        return command.run(call);
    }
    return Usage(err, "unknown command '" + name + "'");
}

} // namespace ravlo::rectool
