#include "shell/ui/ravlo_program.h"

int main(int argc, char* argv[]) {
    return ravlo::RunRavloProgram(argc, argv);
}
