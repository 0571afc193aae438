#include "app/program_state.h"

namespace {

ProgramState program{};

}  // namespace

ProgramState& Program() {
    return program;
}

void ResetProgramState() {
    program = ProgramState{};
}
