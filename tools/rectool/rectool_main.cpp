// rectool COMMAND ...: makes, checks, shows and edits record containers.
#include "rectool/rectool.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return ravlo::rectool::RunRectool(args, std::cout, std::cerr);
}
