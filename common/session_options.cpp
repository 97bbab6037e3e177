#include "common/session_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace session_options {
namespace {

struct CodePage {
  const char* name;
  int number;
  const char* aliases;  // blank-separated
};

// s3270's single-byte host code pages (as "s3270 -v" lists them).
constexpr CodePage kCodePages[] = {
    {"cp037", 37, "cp37 us us-intl"},
    {"cp273", 273, "german"},
    {"cp275", 275, "brazilian"},
    {"cp277", 277, "norwegian"},
    {"cp278", 278, "finnish swedish"},
    {"cp280", 280, "italian"},
    {"cp284", 284, "spanish"},
    {"cp285", 285, "uk"},
    {"cp297", 297, "french"},
    {"cp424", 424, "hebrew"},
    {"cp500", 500, "belgian"},
    {"cp803", 803, "hebrew-old"},
    {"cp870", 870, "polish slovenian"},
    {"cp871", 871, "icelandic"},
    {"cp875", 875, "greek"},
    {"cp880", 880, "russian"},
    {"cp1026", 1026, "turkish"},
    {"cp1047", 1047, ""},
    {"cp1140", 1140, "us-euro"},
    {"cp1141", 1141, "german-euro"},
    {"cp1142", 1142, "norwegian-euro"},
    {"cp1143", 1143, "finnish-euro swedish-euro"},
    {"cp1144", 1144, "italian-euro"},
    {"cp1145", 1145, "spanish-euro"},
    {"cp1146", 1146, "uk-euro"},
    {"cp1147", 1147, "french-euro"},
    {"cp1148", 1148, "belgian-euro"},
    {"cp1149", 1149, "icelandic-euro"},
    {"cp1160", 1160, "thai"},
    {"bracket", 37, "oldibm bracket437"},
};

constexpr const char* kProxyTypes[] = {"http",   "passthru", "socks4", "socks4a",
                                       "socks5", "socks5d",  "telnet"};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool Number(std::string_view s, long low, long high, long* value) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  long v = std::strtol(std::string(s).c_str(), nullptr, 10);
  if (v < low || v > high) return false;
  *value = v;
  return true;
}

// Host names go into an emulator's command line: plain characters only.
bool ValidHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (unsigned char c : host)
    if (!(std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c == '[' || c == ']'))
      return false;
  return true;
}

bool ValidProxy(std::string_view proxy) {
  std::size_t first = proxy.find(':');
  std::size_t last = proxy.rfind(':');
  if (first == std::string_view::npos || last == first) return false;
  std::string type = Lower(proxy.substr(0, first));
  long port = 0;
  return std::find(std::begin(kProxyTypes), std::end(kProxyTypes), type) != std::end(kProxyTypes) &&
         ValidHost(proxy.substr(first + 1, last - first - 1)) &&
         Number(proxy.substr(last + 1), 1, 65535, &port);
}

}  // namespace

const std::vector<std::string>& HostCodePages() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> v;
    for (const CodePage& p : kCodePages) v.push_back(p.name);
    return v;
  }();
  return names;
}

std::string CanonicalCodePage(std::string_view name) {
  std::string n = Lower(name);
  if (n.empty()) return "";
  for (const CodePage& p : kCodePages) {
    if (n == p.name) return p.name;
    std::string aliases = std::string(" ") + p.aliases + " ";
    if (aliases.find(" " + n + " ") != std::string::npos) return p.name;
  }
  return "";
}

int CodePageNumber(std::string_view name) {
  std::string canonical = CanonicalCodePage(name);
  for (const CodePage& p : kCodePages)
    if (canonical == p.name) return p.number;
  return 37;
}

bool ValidLuName(std::string_view name) {
  if (name.empty() || name.size() > 8) return false;
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '$')) return false;
  return true;
}

bool ValidPath(std::string_view path) {
  if (path.size() < 2 || path[0] != '/' || path.size() > 4096) return false;
  for (unsigned char c : path)
    if (c <= 0x20 || c == 0x7F) return false;
  return true;
}

void ModelSize(int model, int* rows, int* columns) {
  *rows = 24;
  *columns = 80;
  if (model == 3) *rows = 32;
  if (model == 4) *rows = 43;
  if (model == 5) {
    *rows = 27;
    *columns = 132;
  }
}

bool Apply(std::string_view word, Scope scope, Options* o, std::vector<std::string>* seen,
           std::string* problem) {
  std::size_t eq = word.find('=');
  std::string name(word.substr(0, eq));
  std::string_view value = eq == std::string_view::npos ? std::string_view() : word.substr(eq + 1);
  bool has_value = eq != std::string_view::npos;
  auto bad = [&](const std::string& why) {
    *problem = "\"" + std::string(word.substr(0, 80)) + "\": " + why;
    return false;
  };
  static const char* const kAll[] = {"timeout", "tls", "verify",   "cafile", "certfile",
                                     "keyfile", "lu",  "codepage", "model",  "connect-timeout",
                                     "proxy"};
  if (std::find(std::begin(kAll), std::end(kAll), name) == std::end(kAll))
    return bad(
        "unknown option (timeout=, tls, verify=no, cafile=, certfile=, keyfile=, lu=, "
        "codepage=, model=, connect-timeout=, proxy=)");
  if (scope == Scope::kTimeoutOnly && name != "timeout")
    return bad("only an s3270 session takes this; other sessions take only timeout=");
  if (std::find(seen->begin(), seen->end(), name) != seen->end()) return bad("given twice");
  seen->push_back(name);
  if (name == "tls") {
    if (has_value) return bad("tls takes no value");
    o->tls = true;
    return true;
  }
  if (!has_value || value.empty()) return bad("needs a value");
  long n = 0;
  if (name == "timeout") {
    if (!Number(value, 1, 3600, &n)) return bad("seconds from 1 to 3600");
    o->timeout_seconds = static_cast<int>(n);
  } else if (name == "connect-timeout") {
    if (!Number(value, 1, 3600, &n)) return bad("seconds from 1 to 3600");
    o->connect_timeout = static_cast<int>(n);
  } else if (name == "verify") {
    if (value != "no" && value != "yes") return bad("yes or no");
    o->verify = value == "yes";
  } else if (name == "cafile" || name == "certfile" || name == "keyfile") {
    if (!ValidPath(value)) return bad("an absolute path without blanks or control characters");
    (name == "cafile"     ? o->cafile
     : name == "certfile" ? o->certfile
                          : o->keyfile) = std::string(value);
  } else if (name == "lu") {
    if (!ValidLuName(value)) return bad("an LU name is 1 to 8 letters, digits or $");
    o->lu = std::string(value);
  } else if (name == "codepage") {
    std::string canonical = CanonicalCodePage(value);
    if (canonical.empty())
      return bad(
          "not one of s3270's single-byte host code pages (cp037, cp273, cp297, cp500, cp1047, "
          "...)");
    o->codepage = canonical;
  } else if (name == "model") {
    if (!Number(value, 2, 5, &n)) return bad("2, 3, 4 or 5");
    o->model = static_cast<int>(n);
  } else if (name == "proxy") {
    if (!ValidProxy(value))
      return bad(
          "TYPE:HOST:PORT with TYPE http, passthru, socks4, socks4a, socks5, socks5d or telnet");
    o->proxy = std::string(value);
  }
  return true;
}

bool CheckTogether(const Options& o, std::string* problem) {
  if (!o.tls && (!o.verify || !o.cafile.empty() || !o.certfile.empty() || !o.keyfile.empty())) {
    *problem = "verify=, cafile=, certfile= and keyfile= need tls";
    return false;
  }
  if (!o.verify && !o.cafile.empty()) {
    *problem = "cafile= is not used with verify=no";
    return false;
  }
  if (!o.keyfile.empty() && o.certfile.empty()) {
    *problem = "keyfile= needs certfile=";
    return false;
  }
  return true;
}

std::string Words(const Options& o) {
  std::string out;
  auto add = [&](const std::string& w) {
    if (!out.empty()) out += ' ';
    out += w;
  };
  if (o.tls) add("tls");
  if (o.tls && !o.verify) add("verify=no");
  if (!o.cafile.empty()) add("cafile=" + o.cafile);
  if (!o.certfile.empty()) add("certfile=" + o.certfile);
  if (!o.keyfile.empty()) add("keyfile=" + o.keyfile);
  if (!o.lu.empty()) add("lu=" + o.lu);
  if (!o.codepage.empty()) add("codepage=" + o.codepage);
  if (o.model != 2) add("model=" + std::to_string(o.model));
  if (o.connect_timeout > 0) add("connect-timeout=" + std::to_string(o.connect_timeout));
  if (!o.proxy.empty()) add("proxy=" + o.proxy);
  if (o.timeout_seconds != kDefaultTimeout) add("timeout=" + std::to_string(o.timeout_seconds));
  return out;
}

}  // namespace session_options
