#include "client/engine/transfer_engine.h"

#include "client/engine/interface_texts.h"
#include "common/message_file.h"
#include "common/trace.h"
#include "hostlink/host_services.h"

namespace client {

TransferEngine::TransferEngine(ClientState& state, common::MessageFile& messages,
                               const InterfaceTexts& texts, TransferHost& host,
                               const common::Tracer& trace)
    : state_(state), messages_(messages), texts_(texts), host_(host), trace_(trace) {}

TransferEngine::~TransferEngine() = default;

void TransferEngine::CancelJob() {
  if (!running) return;
  // The host stops sending at once; the block loop completes the cancel.
  GetHost().SendKeys(host_keys::kPf3);
  cancel_pending_ = cancelled_ = true;
}

std::string TransferEngine::MessageReport(const char* key, const char* prefix) {
  if (messages_.MessageFind(key) == 0) return {};
  std::string text = prefix ? prefix : "";
  text += "\n";
  for (const std::string& line : messages_.MessageLines(key)) text += line + "\n";
  text.pop_back();  // one final line feed
  return text;
}

int TransferEngine::ReportMessage(const char* key, const char* prefix, const char* help_key) {
  std::string text = MessageReport(key, prefix);
  return text.empty() ? 0 : front_end_->ShowMessage(text, help_key, kButtonOk);
}

void TransferEngine::ShowStatus(const std::string& text) {
  // A transfer window may cover the status line: the trace keeps its texts.
  trace_.Write("STATUS", text.c_str());
  front_end_->ShowStatus(text);
}

void TransferEngine::ServeHostLink(hostlink::HostServices& services) {
  // Print jobs tell of their troubles the same way.
  PrintServices& print = state_.printing.services;
  print.add_status_text = [this](const char* text) { log.AddStatusText(text); };
  print.show_message = [this](const char* text) {
    front_end_->ShowMessage(text, nullptr, kButtonOk);
  };
  print.show_status = [this](const char* text) { front_end_->ShowStatus(text); };
  print.unattended = [this] { return state_.unattended_active; };
  print.document_base = state_.program_name;

  services.add_status_text = [this](const std::string& text) { log.AddStatusText(text); };
  // The host link's own boxes ("Timeout in LU2 loop") would stop unattended
  // operation until someone pressed OK: there they go to the status line and the log.
  auto box = services.show_message;
  services.show_message = [this, box](const std::string& text, const std::string& title) {
    if (!state_.unattended_active) {
      if (box) box(text, title);
      return;
    }
    // Failed connects while the host is away are summed up by unattended
    // operation's own lost and back entries.
    if (title == "Connection Error") {
      trace_.Write("Connection Error", text.c_str());
      return;
    }
    log.AddStatusText(title.empty() ? text : title + ": " + text);
    front_end_->ShowStatus(text);
  };
}

int TransferPercent(const TransferCounts& c, int32_t job_lines, int32_t job_pages) {
  if (job_lines > 1) return static_cast<int>(int64_t{c.lines} * 100 / job_lines);
  if (job_pages > 1) return static_cast<int>(int64_t{c.pages} * 100 / job_pages);
  return 0;
}

void CountBlock(TransferCounts& c, const char* block) {
  size_t n = 0;
  for (; block[n]; ++n) {
    if (block[n] == '\n') ++c.lines;
    if (block[n] == '\f') ++c.pages;
  }
  c.characters += static_cast<int32_t>(n);
}

}  // namespace client
