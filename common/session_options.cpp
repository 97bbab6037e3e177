#include "common/session_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "common/text_helpers.h"

namespace common::session_options {

using common::Lower;
using common::ParseNumber;

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

bool ValidProxy(std::string_view proxy) {
  std::size_t first = proxy.find(':');
  std::size_t last = proxy.rfind(':');
  if (first == std::string_view::npos || last == first) return false;
  std::string type = Lower(proxy.substr(0, first));
  long port = 0;
  return std::find(std::begin(kProxyTypes), std::end(kProxyTypes), type) != std::end(kProxyTypes) &&
         ValidHost(proxy.substr(first + 1, last - first - 1)) &&
         ParseNumber(proxy.substr(last + 1), 1, 65535, &port);
}

}  // namespace

bool ValidHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  if (host.front() == '[') {
    // An IPv6 address: hex digits and colons (an IPv4 tail with dots) in brackets.
    if (host.size() < 4 || host.back() != ']') return false;
    std::string_view inside = host.substr(1, host.size() - 2);
    return inside.find(':') != std::string_view::npos &&
           std::all_of(inside.begin(), inside.end(),
                       [](unsigned char c) { return std::isxdigit(c) || c == ':' || c == '.'; });
  }
  // A name or an IPv4 address: a colon here would make the emulator read
  // part of it as a prefix or a port.
  return std::all_of(host.begin(), host.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '.' || c == '-' || c == '_';
  });
}

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

namespace {

constexpr std::string_view kOptionNames[] = {
    "timeout", "tls",      "verify", "cafile",          "certfile", "keyfile",
    "lu",      "codepage", "model",  "connect-timeout", "proxy"};

bool Refuse(std::string* why, const char* text) {
  *why = text;
  return false;
}

// Why the option cannot be given on this line, or "".
std::string Refusal(const std::string& name, Scope scope, const std::vector<std::string>& seen) {
  if (std::find(std::begin(kOptionNames), std::end(kOptionNames), name) == std::end(kOptionNames))
    return "unknown option (timeout=, tls, verify=no, cafile=, certfile=, keyfile=, lu=, "
           "codepage=, model=, connect-timeout=, proxy=)";
  if (scope == Scope::kTimeoutOnly && name != "timeout")
    return "only an s3270 session takes this; other sessions take only timeout=";
  if (std::find(seen.begin(), seen.end(), name) != seen.end()) return "given twice";
  return "";
}

// Stores the value of a known option that takes one; false with why it cannot.
bool ApplyValue(std::string_view name, std::string_view value, Options* o, std::string* why) {
  long n = 0;
  if (name == "timeout" || name == "connect-timeout") {
    if (!ParseNumber(value, 1, 3600, &n)) return Refuse(why, "seconds from 1 to 3600");
    (name == "timeout" ? o->timeout_seconds : o->connect_timeout) = static_cast<int>(n);
  } else if (name == "verify") {
    if (value != "no" && value != "yes") return Refuse(why, "yes or no");
    o->verify = value == "yes";
  } else if (name == "cafile" || name == "certfile" || name == "keyfile") {
    if (!ValidPath(value))
      return Refuse(why, "an absolute path without blanks or control characters");
    (name == "cafile"     ? o->cafile
     : name == "certfile" ? o->certfile
                          : o->keyfile) = std::string(value);
  } else if (name == "lu") {
    if (!ValidLuName(value)) return Refuse(why, "an LU name is 1 to 8 letters, digits or $");
    o->lu = std::string(value);
  } else if (name == "codepage") {
    std::string canonical = CanonicalCodePage(value);
    if (canonical.empty())
      return Refuse(why,
                    "not one of s3270's single-byte host code pages (cp037, cp273, cp297, cp500, "
                    "cp1047, ...)");
    o->codepage = canonical;
  } else if (name == "model") {
    if (!ParseNumber(value, 2, 5, &n)) return Refuse(why, "2, 3, 4 or 5");
    o->model = static_cast<int>(n);
  } else if (name == "proxy") {
    if (!ValidProxy(value))
      return Refuse(why,
                    "TYPE:HOST:PORT with TYPE http, passthru, socks4, socks4a, socks5, socks5d or "
                    "telnet");
    o->proxy = std::string(value);
  }
  return true;
}

}  // namespace

bool Apply(std::string_view word, Scope scope, Options* o, std::vector<std::string>* seen,
           std::string* problem) {
  std::size_t eq = word.find('=');
  std::string name(word.substr(0, eq));
  std::string_view value = eq == std::string_view::npos ? std::string_view() : word.substr(eq + 1);
  bool has_value = eq != std::string_view::npos;
  std::string why = Refusal(name, scope, *seen);
  if (why.empty()) {
    seen->push_back(name);
    if (name == "tls" && has_value)
      why = "tls takes no value";
    else if (name == "tls")
      o->tls = true;
    else if (!has_value || value.empty())
      why = "needs a value";
    else
      ApplyValue(name, value, o, &why);
  }
  if (why.empty()) return true;
  *problem = "\"" + std::string(word.substr(0, 80)) + "\": " + why;
  return false;
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

}  // namespace common::session_options
