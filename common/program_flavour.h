// The client and the configuration program use the shared helpers slightly
// differently (trace start record, registry error reports, file error lines);
// each program hands its flavour to the helpers it creates.
#pragma once

namespace common {

enum class ProgramFlavour { kClient, kConfig };

}  // namespace common
