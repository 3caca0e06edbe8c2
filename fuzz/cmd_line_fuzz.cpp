// The program's command line (arguments separated by zero bytes) taken apart, the project it names
// resolved, and the unattended plan it asks for carried out with every step succeeding or failing as
// the input says. The plan must end in a bounded number of steps.
#include "fuzz_support.h"
#include "shell/cmd_line.h"
#include "shell/cmd_line_plan.h"
#include "shell/cmd_line_project.h"

#include <vector>

using namespace ravlo;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Projects of both kinds, in names of another case, for the resolution to find.
    fuzz::WriteScratchFile("Demo.exe", "MZ");
    fuzz::WriteScratchFile("demo.MEM", "");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const std::uint8_t outcomes = input.Byte();
    std::vector<std::string> args;
    while (input.Remaining() > 0) {
        args.emplace_back(fuzz::AsText(input.Until(0)));
    }

    const TCmdLineArgs parsed = ParseCmdLineArgs(args);
    fuzz::Check((parsed.Issue == TCmdLineIssue::None) == parsed.Rejected.empty(),
                "a rejected argument is named");
    fuzz::Check((parsed.Flags & (CL_Download | CL_Run)) == 0 || (parsed.Flags & CL_NoCOM) == 0,
                "/L and /R open the COM port");
    fuzz::Check((parsed.Flags & CL_Exit) == 0 || parsed.ExitAsked, "a /X taken is an exit asked for");
    fuzz::Check(parsed.User.size() <= 255 && ((parsed.Flags & CL_User) != 0 || parsed.User.empty()),
                "a user name comes with /U");
    for (const std::string& arg : args) {
        IsCmdLineSwitch(arg);
    }

    const TCmdLineProjectFile project = ResolveCmdLineProject(parsed.Project, fuzz::ScratchFolder());
    fuzz::Check((project.Kind == TCmdLineProjectKind::None) == parsed.Project.empty(),
                "a named project resolves to a kind");
    if (project.Kind == TCmdLineProjectKind::Invalid) {
        BadProjectFileText(project.Path);
    }

    std::uint8_t flags = parsed.Flags;
    TCmdLinePlan plan(flags, project.Kind, !parsed.User.empty(), (outcomes & 0x80) != 0);
    for (int turn = 0; turn < 64 && !plan.Finished(); ++turn) {
        if (plan.WaitingForBoard()) {
            plan.BoardReady();
        } else if (const std::optional<TCmdLineStep> step = plan.Take()) {
            CmdLineStepName(*step);
            fuzz::Check(plan.Done(*step, ((outcomes >> (turn % 7)) & 1) == 0), "the running step is done");
        } else {
            fuzz::Check(plan.Running().has_value(), "a plan with no step to take is waiting or over");
        }
    }
    fuzz::Check(plan.Finished(), "the plan ends");
    return 0;
}
