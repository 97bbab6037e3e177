#include "common/program_flavour.h"

namespace {
ProgramFlavour g_flavour = ProgramFlavour::kClient;
}

void SetProgramFlavour(ProgramFlavour flavour) { g_flavour = flavour; }
ProgramFlavour CurrentProgramFlavour() { return g_flavour; }
