// Readable texts for system error numbers.
#pragma once

#include <string>

namespace platform {

std::string SystemErrorText(int error_number);

}  // namespace platform
