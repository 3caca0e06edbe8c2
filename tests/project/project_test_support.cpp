#include "project/project_test_support.h"

#include "fixtures/checked_project.h"
#include "fixtures/code_assembler.h"
#include "fixtures/sample_programs.h"
#include "framework/file_paths.h"
#include "platform/message_box_flags.h"
#include "project/bin_writer.h"
#include "project/mem_file.h"
#include "project/module_collection.h"
#include "project/project_files.h"
#include "project/project_globals.h"

namespace ravlo::testing {

int RecordingPresenter::MessageBox(std::string_view text, std::string_view, unsigned flags) {
    boxes_.push_back({std::string(text), flags});
    if (answers_.empty()) {
        return DefaultMessageBoxAnswer(flags);
    }
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

int RecordingPresenter::MessageDlg(std::string_view text, std::string_view, MessageBoxKind kind,
                                   TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) {
    boxes_.push_back({std::string(text), IconFlagsOf(kind)});
    if (answers_.empty()) {
        return MsgDlgDefaultAnswer(buttons, defaultButton);
    }
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> RecordingPresenter::Texts() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes_) {
        texts.push_back(box.text);
    }
    return texts;
}

fixtures::FixtureSegment CodeBytes(const std::string& name, std::uint32_t count, bool byteAligned) {
    fixtures::CodeAssembler code(name, "CODE");
    code.Label(name + "_ENTRY", true);
    for (std::uint32_t i = 1; i < count; ++i) {
        code.Nop();
    }
    code.Retf();
    fixtures::FixtureSegment segment = code.Finish();
    segment.byteAligned = byteAligned;
    return segment;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

ProjectTest::ProjectTest() : scoped_(presenter_) {
    ResetProjectGlobals();
    ProjectDir = dir_.Path().string() + "/";
}

ProjectTest::~ProjectTest() {
    ResetProjectGlobals();
}

bool ProjectTest::OpenFixture(const fixtures::ProgramLayout& layout, const fixtures::FixtureDesign* design,
                              const fixtures::MapOptions& mapOptions, std::string_view name) {
    return fixtures::OpenProjectFixture(dir_.Path(), name, layout, design, mapOptions).has_value();
}

std::vector<std::string> ProjectTest::OpenGeneratedRomModules() {
    const fixtures::ProgramLayout layout = fixtures::LayOutProgram(
        fixtures::MakeLargeProgram({.codeBytes = 0x1800, .codeSegments = 6, .relocations = 24}));
    const fixtures::FixtureDesign design = fixtures::PlaceAllUnits(layout, {.romLength = 0x800});
    std::vector<std::string> roms;
    if (!OpenFixture(layout, &design) || !ProjectModel().Modules->CheckDesign() ||
        GenerateBinFiles(*ProjectModel().Modules)) {
        ADD_FAILURE() << "the program could not be generated";
        return roms;
    }
    presenter_.Clear();
    for (const fixtures::FixtureModule& module : design.modules) {
        if (module.name.starts_with("ROM")) {
            roms.push_back(module.name);
        }
    }
    EXPECT_GE(roms.size(), 2U);
    return roms;
}

tModule& ProjectTest::Module(std::string_view name) {
    return *ProjectModel().Modules->FirstThat([name](const tModule& m) { return m.Name == name; });
}

} // namespace ravlo::testing
