#include "client/engine/interface_texts.h"

#include <cstring>

#include "common/message_file.h"

namespace client {

const std::vector<const char*>& InterfaceTexts::Keys() {
  static const std::vector<const char*> keys = {
      "OK",        "CANCEL",      "YES",      "NO",        "ABORT",     "RETRY",     "HELP",
      "TITLE",     "OPTIONS",     "3270INT",  "PARMS",     "SAVEOPT",   "TRANSFER",  "UNATTEND",
      "IMMEDIATE", "LOG",         "EXIT",     "3270TITLE", "CONOPTS",   "USE1ST",    "SPECIFIC",
      "SESSID",    "TIMEOUT",     "FLICKER",  "EMULATOR",  "PARMTITLE", "FILENAME",  "PATH",
      "DRIVES",    "DIRECTORYS",  "FILES",    "DWNTITLE",  "DWNLINES",  "DWNPAGES",  "DWNDUPL",
      "DWNREP",    "DWNCAN",      "DWNREN",   "DWNCHANGE", "DWNTOPRTR", "DWNTOFILE", "DWNDEST",
      "DWNFILE",   "DWNASCII",    "AUTTITLE", "AUTCHANGE", "DELAY",     "AUTDIR",    "STWAIT",
      "STTRANS",   "STDONE",      "XFRTITLE", "XFRING",    "XFRTO",     "XFRPAGE",   "XFRLINE",
      "XFRCHAR",   "LOGTITLE",    "LOGPRT",   "LOGDEL",    "HELPINDEX", "ABOUT",     "GENHELP",
      "NOHELP",    "PRTRTITLE",   "PRTR",     "FONT",      "MODE",      "PSTRTITLE", "PSTRINIT",
      "PSTRTERM",  "HELPIXTITLE", "DWNTOCMD", "DWNTOPDF",  "DWNCMD"};
  return keys;
}

void InterfaceTexts::Load(common::MessageFile& file) {
  texts_.clear();
  for (const char* key : Keys())
    texts_.push_back(file.MessageText(key, common::MessageFile::TextLife::kPermanent));
}

const char* InterfaceTexts::operator()(const char* key) const {
  const std::vector<const char*>& keys = Keys();
  for (size_t i = 0; i < keys.size() && i < texts_.size(); ++i)
    if (std::strcmp(keys[i], key) == 0) return texts_[i] ? texts_[i] : "";
  return "";
}

}  // namespace client
