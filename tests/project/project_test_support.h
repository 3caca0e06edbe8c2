#pragma once

#include "fixtures/map_writer.h"
#include "fixtures/mem_design.h"
#include "fixtures/program_layout.h"
#include "platform/presenter.h"
#include "project/module.h"
#include "support/scratch_dir.h"

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ravlo::testing {

// Records every message box; answers from a queue, else with the box's default button.
class RecordingPresenter final : public Presenter {
public:
    struct Box {
        std::string text;
        unsigned flags = 0;
    };

    int MessageBox(std::string_view text, std::string_view caption, unsigned flags) override;
    // A dialog is kept with the icon bits of its kind as its flags.
    int MessageDlg(std::string_view text, std::string_view caption, MessageBoxKind kind,
                   TMsgDlgButtons buttons, TMsgDlgBtn defaultButton) override;
    void Beep(unsigned) override {}

    void Answer(int answer) { answers_.push_back(answer); }
    const std::vector<Box>& Boxes() const { return boxes_; }
    std::vector<std::string> Texts() const;
    void Clear() { boxes_.clear(); }

private:
    std::deque<int> answers_;
    std::vector<Box> boxes_;
};

// A code segment of count bytes (NOPs and a far return) with the public label NAME_ENTRY.
fixtures::FixtureSegment CodeBytes(const std::string& name, std::uint32_t count, bool byteAligned = false);

// Lines of a text with CR LF or LF ends (no empty last line for a final line end).
std::vector<std::string> SplitLines(std::string_view text);

// Every project test starts with cleared project globals, a folder of its own as ProjectDir and
// the recording presenter; the globals are cleared again afterwards.
class ProjectTest : public ::testing::Test {
public:
    ProjectTest();
    ~ProjectTest() override;

    std::filesystem::path File(std::string_view name) const { return dir_ / name; }

    // Writes the program as NAME.EXE and NAME.MAP (and NAME.MEM for a design) into the folder,
    // sets the project globals as the main form does and opens the project files (and the design).
    bool OpenFixture(const fixtures::ProgramLayout& layout, const fixtures::FixtureDesign* design = nullptr,
                     const fixtures::MapOptions& mapOptions = {}, std::string_view name = "DEMO");
    // Opens a program spread over several ROM modules of 2 KB and generates its .BIN files; answers
    // the names of the ROM modules in address order.
    std::vector<std::string> OpenGeneratedRomModules();
    static tModule& Module(std::string_view name);

    ScratchDir dir_;
    RecordingPresenter presenter_;

private:
    ScopedPresenter scoped_;
};

} // namespace ravlo::testing
