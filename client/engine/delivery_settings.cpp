#include "client/engine/delivery_settings.h"

namespace client {

bool SplitCommandWords(const std::string& line, std::vector<std::string>* words,
                       std::string* problem) {
  words->clear();
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quote == '\'') {
      if (c == '\'')
        quote = 0;
      else
        word += c;
    } else if (quote == '"') {
      if (c == '"')
        quote = 0;
      else if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\'))
        word += line[++i];
      else
        word += c;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (in_word) words->push_back(word);
      word.clear();
      in_word = false;
    } else {
      in_word = true;
      if (c == '\'' || c == '"')
        quote = c;
      else if (c == '\\' && i + 1 < line.size())
        word += line[++i];
      else
        word += c;
    }
  }
  if (quote != 0) {
    *problem = std::string("the command has an unclosed ") + quote + ": " + line;
    return false;
  }
  if (in_word) words->push_back(word);
  if (words->empty()) *problem = "the command is empty";
  return !words->empty();
}

}  // namespace client
