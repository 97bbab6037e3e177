#include "hostsim/job.h"

#include <cstdio>

namespace hostsim {
namespace {

char IdentCharacter(char c) {
  const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                     c == '-' || c == '_' || c == '$' || c == '#' || c == '@' || c == ',';
  return plain ? c : '_';
}

std::string FixedWidth(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

}  // namespace

std::string MakeJobIdent(std::string_view file_name, unsigned job_number) {
  std::string ident;
  if (file_name.find(',') != std::string_view::npos) {
    for (char c : file_name.substr(0, 14)) ident += IdentCharacter(c);
    return ident;
  }
  std::string_view stem = file_name.substr(0, file_name.find('.'));
  for (char c : stem.substr(0, 8)) ident += IdentCharacter(c);
  if (ident.empty()) ident = "JOB";
  char number[16];
  std::snprintf(number, sizeof number, ",%05u", job_number % 100000);
  return ident + number;
}

void CountLinesAndPages(std::string_view bytes, long* lines, long* pages) {
  // Pages are the form-feed separated stretches that hold any text, so a
  // report that opens with a form feed does not gain an empty first page.
  long line_feeds = 0, text_pages = 0;
  bool text_after_line_feed = false, page_has_text = false;
  for (char c : bytes) {
    if (c == '\n') {
      ++line_feeds;
      text_after_line_feed = false;
    } else if (c == '\f') {
      if (page_has_text) ++text_pages;
      page_has_text = false;
    } else if (c != '\r' && c != ' ') {
      text_after_line_feed = page_has_text = true;
    }
  }
  *lines = line_feeds + (text_after_line_feed ? 1 : 0);
  *pages = text_pages + (page_has_text ? 1 : 0);
}

Job MakeJob(std::string file_name, std::string path, std::string bytes, unsigned job_number,
            std::string_view date) {
  Job job;
  job.header.prefix = "QOR";
  job.header.ident = FixedWidth(MakeJobIdent(file_name, job_number), 14);
  job.header.code = "LST";
  job.header.field4 = "001";
  job.header.field5 = FixedWidth(date, 16);
  CountLinesAndPages(bytes, &job.header.lines, &job.header.pages);
  job.file_name = std::move(file_name);
  job.spool_key = job.file_name;
  job.path = std::move(path);
  job.bytes = std::move(bytes);
  return job;
}

}  // namespace hostsim
