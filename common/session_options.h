// The words that may follow the target on a line of the sessions file:
//
//   A s3270 host.example:992 tls cafile=/etc/site-ca.pem lu=PRT01 codepage=cp273 model=5
//
// Shared by the HLLAPI providers, which pass them to s3270, and by qorcnfig,
// which writes them. Every value is checked here against a closed set of
// characters, because each ends up on an emulator's command line or inside
// one of its script commands.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace common::session_options {

struct Options {
  int timeout_seconds = 30;  // bounds every call on the session
  // s3270 sessions only:
  bool tls = false;
  bool verify = true;    // verify=no: accept any host certificate
  std::string cafile;    // the site CA that signed the host's certificate
  std::string certfile;  // a client certificate, and its key when apart
  std::string keyfile;
  std::string lu;           // connect as this LU (terminal) name
  std::string codepage;     // s3270's name; empty: its default ("bracket")
  int model = 2;            // 3279 model: 2 24x80, 3 32x80, 4 43x80, 5 27x132
  int connect_timeout = 0;  // seconds for the TCP connect; 0: s3270's own
  std::string proxy;        // TYPE:HOST:PORT
};

constexpr int kDefaultTimeout = 30;

// Which options a session kind takes: s3270 sessions all, the others (an
// emulator started by the user, the built-in host) only the time-out.
enum class Scope { kS3270, kTimeoutOnly };

// Applies one word ("tls", "model=5"). False with a reason when the word is
// unknown, not allowed in this scope, given twice (seen holds the names seen
// so far on the line) or its value is bad.
bool Apply(std::string_view word, Scope scope, Options* options, std::vector<std::string>* seen,
           std::string* problem);
// Checks the options of one line together (a key file needs a certificate,
// files need tls). False with a reason.
bool CheckTogether(const Options& options, std::string* problem);

// The words for a line, in a fixed order, leaving out defaults.
std::string Words(const Options& options);

// Single-byte host code pages s3270 knows, by their names; DBCS pages are
// left out because screens are read as Latin-1.
const std::vector<std::string>& HostCodePages();
// The code page's name for a name or alias ("german" -> "cp273"), or "".
std::string CanonicalCodePage(std::string_view name);
// The code page's number as Query Session Status reports it (cp273 -> 273;
// the default "bracket" is code page 37 with the brackets moved).
int CodePageNumber(std::string_view name);

// Host names go into an emulator's command line: plain characters only, a
// name or IPv4 address of letters, digits and . - _, or an IPv6 address in
// brackets ("[::1]").
bool ValidHost(std::string_view host);
bool ValidLuName(std::string_view name);
// An absolute path of printable characters without blanks.
bool ValidPath(std::string_view path);

// The rows and columns of a 3279 model's alternate screen.
void ModelSize(int model, int* rows, int* columns);

}  // namespace common::session_options
