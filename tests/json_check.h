// JSON read back by python3's own parser, so that a test trusts no JSON code
// of the program it checks.
#pragma once

#include <cstdio>
#include <string>

#include "tests/temp_dir.h"

// Runs python3 with j bound to the JSON in text and prints expression's
// value (str() of it); with lines, j is the list of the parsed lines of
// JSON Lines text, and any line that is not one JSON object fails. Returns
// "ERROR: ..." when the text does not parse or python3 cannot run.
inline std::string JsonQuery(const std::string& text, const std::string& expression,
                             bool lines = false) {
  TempDir dir;
  WriteFile(dir / "in.json", text);
  WriteFile(dir / "query.py",
            "import json, sys\n"
            "raw = open(sys.argv[1], 'rb').read().decode('utf-8')\n"
            "try:\n"
            "  if " +
                std::string(lines ? "True" : "False") +
                ":\n"
                "    j = [json.loads(l) for l in raw.split('\\n') if l != '']\n"
                "    assert all(isinstance(o, dict) for o in j), 'a line is no object'\n"
                "    assert raw == '' or raw.endswith('\\n'), 'the last line has no end'\n"
                "  else:\n"
                "    j = json.loads(raw)\n"
                "  print(" +
                expression +
                ", end='')\n"
                "except Exception as e:\n"
                "  print('ERROR: %r' % e, end='')\n");
  std::string command = "python3 '" + (dir / "query.py") + "' '" + (dir / "in.json") + "' 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "ERROR: python3 cannot run";
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  return ::pclose(pipe) == 0 ? out : "ERROR: " + out;
}
