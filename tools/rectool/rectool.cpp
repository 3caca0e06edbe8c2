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

#include <charconv>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string_view>

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
    "  check FILE                    the type and length tests; exit 1 on a finding\n"
    "  render FILE [--form F]        every record as text, F one of line (default), win,\n"
    "                                csv, join\n"
    "  recipe FILE                   the recipe line of every parameter record\n"
    "  export FILE DE LA             parameter record DE/LA as a header and values\n"
    "  import FILE DE LA TEXT        takes values in that text form into parameter record\n"
    "                                DE/LA and saves FILE; errors show as line:column\n"
    "  resave FILE OUT               loads FILE and saves it as OUT\n"
    "  ttc pack TEXT                 a date and time (DD/MM/YYYY hh:mm:ss) as a TTC stamp\n"
    "  ttc unpack HEX                a TTC stamp as its date and time\n"
    "  --help                        show this text\n"
    "\n"
    "Enumerations 0 to 8 belong to the program's own dialogs; a container's start after them.\n"
    "\n"
    "Exit codes: 0 done, 1 a finding or a failure, 2 bad arguments.\n";

// Message boxes and internal errors become lines on err; the errors are counted as findings.
class Session {
public:
    explicit Session(std::ostream& err)
        : err_(err), presenter_([this](std::string_view line) {
              if (!quietBoxes) {
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

    int findings = 0;
    // The commands that read text tell its errors themselves, with their line and column.
    bool quietBoxes = false;

private:
    std::ostream& err_;
    HeadlessPresenter presenter_;
    ScopedPresenter scopedPresenter_;
    AppErrorHookFn previousHook_;
};

struct Command {
    std::string_view name;
    std::size_t minArgs;
    std::size_t maxArgs;
    std::function<int(std::span<const std::string>, std::ostream&, std::ostream&, Session&)> run;
};

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

int MkDemo(std::span<const std::string> args, std::ostream&, std::ostream& err, Session&) {
    return Save(args[0], BuildDemoRecords().get(), err);
}

int Check(std::span<const std::string> args, std::ostream& out, std::ostream& err, Session& session) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
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
    if (session.findings > 0 || !ok) {
        out << "check: " << session.findings << " finding(s)\n";
        return kFailed;
    }
    out << "check: ok\n";
    return kDone;
}

int Render(std::span<const std::string> args, std::ostream& out, std::ostream& err, Session&) {
    std::string form = "line";
    if (args.size() == 3 && args[1] == "--form" &&
        (args[2] == "line" || args[2] == "win" || args[2] == "csv" || args[2] == "join")) {
        form = args[2];
    } else if (args.size() != 1) {
        err << "rectool: render FILE [--form line|win|csv|join]\n";
        return kUsageError;
    }
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
        return kFailed;
    }
    if (dataBases) {
        RenderDataBases(*dataBases, form, "", out);
    }
    if (const TParRecData* parameters = AppParRecData()) {
        for (std::int32_t de = 0; de < parameters->Count(); ++de) {
            const TParRecColl* coll = parameters->ItemAt(de);
            for (std::int32_t la = 0; coll != nullptr && la < coll->Count(); ++la) {
                if (TParRecordObj* record = coll->ItemAt(la)) {
                    out << "parameter DE=" << de << " LA=" << la << " '" << Cp1250ToUtf8(record->ParName)
                        << "'\n";
                    RenderRecord(*record, form, "  ", out);
                }
            }
        }
    }
    return kDone;
}

int Recipe(std::span<const std::string> args, std::ostream& out, std::ostream& err, Session&) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
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
    out << Cp1250ToUtf8({reinterpret_cast<const char*>(text.Data().data()), text.Data().size()});
    return kDone;
}

// The parameter record DE/LA of the loaded container, with its parameter record type.
struct Parameter {
    TParRecordObj* record = nullptr;
    TRecIniciatorColl* type = nullptr;
};

std::optional<Parameter> FindParameter(std::span<const std::string> args, std::ostream& err) {
    const std::optional<std::uint16_t> de = Number16(args[1]);
    const std::optional<std::uint16_t> la = Number16(args[2]);
    const TParRecData* parameters = AppParRecData();
    TParRecordObj* record =
        de && la && parameters != nullptr ? parameters->GetParRecObjPtr(*de, *la) : nullptr;
    const TParRecTypesColl* types = AppParRecTypesColl();
    TRecIniciatorColl* type =
        record != nullptr && types != nullptr ? types->GetParRecType(record->ParRecTypeIx) : nullptr;
    if (type == nullptr) {
        err << "rectool: no parameter record " << args[1] << "/" << args[2]
            << " with a parameter record type\n";
        return std::nullopt;
    }
    return Parameter{record, type};
}

std::string ExportText(const Parameter& parameter) {
    MemoryStream text;
    TLexWriter writer(text, 250);
    parameter.type->ExportHeaderList(writer);
    parameter.type->ExportRecordValue(parameter.record->Data(), writer);
    writer.WrFinish();
    return {reinterpret_cast<const char*>(text.Data().data()), text.Data().size()};
}

int Export(std::span<const std::string> args, std::ostream& out, std::ostream& err, Session& session) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
        return kFailed;
    }
    const std::optional<Parameter> parameter = FindParameter(args, err);
    if (!parameter) {
        return kFailed;
    }
    const std::string text = ExportText(*parameter);
    out << Cp1250ToUtf8(text);
    return session.findings > 0 ? kFailed : kDone;
}

// Reads text into the initiators: a header and values, or values in the header defined before.
bool ImportText(TRecIniciatorColl& inits, std::string_view text, std::ostream& err) {
    MemoryStream source(std::vector<std::uint8_t>(text.begin(), text.end()));
    TLexReader reader(source);
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    bool references = false;
    const bool ok =
        (first != std::string_view::npos && text[first] != '[' ? true : inits.ImportHeaderListOK(reader)) &&
        inits.ImportHeaderValuesOK(reader, references);
    if (!ok) {
        err << "rectool: import: " << Cp1250ToUtf8(reader.ErrorText()) << '\n';
    }
    return ok;
}

// A copy of the initiators, made through their stream form.
std::unique_ptr<TRecIniciatorColl> CopyOf(const TRecIniciatorColl& inits) {
    MemoryStream memory;
    TrbObjStream writer(memory, ObjStreamMode::Writing);
    writer.Put(&inits);
    memory.Seek(0);
    TrbObjStream reader(memory, ObjStreamMode::Reading, writer.ClassNames());
    return GetStreamObject<TRecIniciatorColl>(reader);
}

int Import(std::span<const std::string> args, std::ostream&, std::ostream& err, Session& session) {
    session.quietBoxes = true;
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
        return kFailed;
    }
    const std::optional<Parameter> parameter = FindParameter(args, err);
    if (!parameter) {
        return kFailed;
    }
    // The record's own values first, so that what the text leaves out stays as it is.
    const std::unique_ptr<TRecIniciatorColl> inits = CopyOf(*parameter->type);
    if (!ImportText(*inits, ExportText(*parameter), err) || !ImportText(*inits, Utf8ToCp1250(args[3]), err)) {
        return kFailed;
    }
    std::vector<std::uint8_t> bytes(parameter->record->DscrRecSize());
    if (!inits->AssignRecValues(bytes) || parameter->record->WrParam(bytes) != kParDone ||
        session.findings > 0) {
        return kFailed;
    }
    return Save(args[0], dataBases.get(), err);
}

int Resave(std::span<const std::string> args, std::ostream&, std::ostream& err, Session&) {
    std::unique_ptr<TDBColl> dataBases;
    if (Load(args[0], dataBases, err) != kDone) {
        return kFailed;
    }
    return Save(args[1], dataBases.get(), err);
}

int Ttc(std::span<const std::string> args, std::ostream& out, std::ostream& err, Session& session) {
    session.quietBoxes = true;
    if (args[0] == "pack") {
        MemoryStream source(std::vector<std::uint8_t>(args[1].begin(), args[1].end()));
        TLexReader reader(source);
        const std::uint32_t stamp = reader.ReadDWord(TLexReader::kDWordTTCTime);
        if (reader.ErrorFlag() || reader.NextChar() != 0) {
            err << "rectool: ttc pack: "
                << (reader.ErrorFlag() ? Cp1250ToUtf8(reader.ErrorText()) : "text after the time") << '\n';
            return kFailed;
        }
        out << '$' << HexDW(stamp) << '\n';
        return kDone;
    }
    if (args[0] == "unpack") {
        std::string_view hex = args[1];
        if (hex.starts_with('$')) {
            hex.remove_prefix(1);
        }
        std::uint32_t stamp = 0;
        const auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), stamp, 16);
        if (hex.empty() || ec != std::errc() || end != hex.data() + hex.size()) {
            err << "rectool: ttc unpack: '" << args[1] << "' is no hex number\n";
            return kFailed;
        }
        out << TTCTimeStr(stamp) << '\n';
        return kDone;
    }
    err << "rectool: ttc pack TEXT | ttc unpack HEX\n";
    return kUsageError;
}

const Command kCommands[] = {
    {"mkdemo", 1, 1, MkDemo}, {"check", 1, 1, Check},   {"render", 1, 3, Render}, {"recipe", 1, 1, Recipe},
    {"export", 3, 3, Export}, {"import", 4, 4, Import}, {"resave", 2, 2, Resave}, {"ttc", 2, 2, Ttc},
};

int Usage(std::ostream& err, std::string_view problem) {
    err << "rectool: " << problem << "\nTry 'rectool --help'.\n";
    return kUsageError;
}

} // namespace

int RunRectool(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command");
    }
    if (args[0] == "--help" || args[0] == "-h") {
        out << kHelp;
        return kDone;
    }
    for (const Command& command : kCommands) {
        if (command.name != args[0]) {
            continue;
        }
        const std::span<const std::string> rest = args.subspan(1);
        if (rest.size() < command.minArgs || rest.size() > command.maxArgs) {
            return Usage(err, "wrong number of arguments for '" + args[0] + "'");
        }
        Session session(err);
        return command.run(rest, out, err, session);
    }
    return Usage(err, "unknown command '" + args[0] + "'");
}

} // namespace ravlo::rectool
