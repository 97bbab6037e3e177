// Fills a message-file format with text arguments. Only "%s", "%.Ns" and
// "%%" are understood; any other conversion is copied as it stands, so a
// damaged message file can never read past the arguments.
#pragma once

#include <initializer_list>
#include <string>

namespace client {

std::string FormatTexts(const char* format, std::initializer_list<const char*> args);

}  // namespace client
