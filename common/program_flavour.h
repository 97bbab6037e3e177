// The client and the configuration program carry slightly different builds of
// the shared helpers (trace start record, registry error reports, file error
// lines). Each program says at start which one it is; the client's is the default.
#pragma once

enum class ProgramFlavour { kClient, kConfig };

void SetProgramFlavour(ProgramFlavour flavour);
ProgramFlavour CurrentProgramFlavour();
