// Print jobs on the recording device: layout by CR, LF and FF, carried line
// tails, page breaks, document numbering, failures and trace records.
#include "client/engine/printer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/trace.h"
#include "platform/print/print_recording_device.h"
#include "tests/temp_dir.h"

namespace {

using platform::PrintRecording;
using platform::RecordedCall;
using platform::RecordingDevice;

constexpr int kLine = 100;

class PrinterTest : public ::testing::Test {
 protected:
  client::Printing printing;
  void SetUp() override {
    printing.SetPrinterName("recorder");
    printing.services.add_status_text = [this](const char* t) { log_texts.push_back(t); };
    printing.services.show_message = [this](const char* t) { messages.push_back(t); };
    printing.services.show_status = [this](const char* t) { status_texts.push_back(t); };
  }
  void TearDown() override { printing.tracer = nullptr; }

  // A job on a fresh recording device whose page holds lines_per_page lines.
  std::unique_ptr<client::PrintJob> NewJob(int lines_per_page = 10) {
    rec = std::make_shared<PrintRecording>();
    return std::make_unique<client::PrintJob>(
        printing, std::make_unique<RecordingDevice>(rec, lines_per_page * kLine, kLine));
  }

  void TraceOn() {
    trace_.Start((dir_ / "QORPRTW.TRC").c_str(), common::TraceMode::kFresh);
    printing.tracer = &trace_;
  }
  std::string TraceText() {
    std::ifstream in(dir_ / "QORPRTW.TRC", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  // Each record as "TAG <>payload", in order.
  std::vector<std::string> TraceRecords() {
    std::vector<std::string> out;
    std::string all = TraceText();
    size_t pos = 0;
    while ((pos = all.find("\r\n<> ", pos)) != std::string::npos) {
      size_t next = all.find("\r\n<> ", pos + 5);
      std::string rec = all.substr(pos + 5, next == std::string::npos ? next : next - pos - 5);
      out.push_back(rec.substr(12));  // past "hh:mm:ss.cc "
      pos = next == std::string::npos ? all.size() : next;
    }
    return out;
  }
  bool HasRecord(const std::string& record) {
    for (const std::string& r : TraceRecords())
      if (r == record) return true;
    return false;
  }

  std::shared_ptr<PrintRecording> rec;
  std::vector<std::string> log_texts, messages, status_texts;
  TempDir dir_;
  common::Tracer trace_;
};

struct LayoutCase {
  const char* name;
  std::vector<const char*> buffers;
  const char* layout;  // "page:y:text" per drawn line
  int lines_on_page;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }

class PrinterLayoutTest : public PrinterTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PrinterLayoutTest, LaysOutLinesAsTheControlCharactersSay) {
  const LayoutCase& c = GetParam();
  auto job = NewJob();
  for (const char* b : c.buffers) ASSERT_EQ(job->PrintBuffer(b), 0);
  EXPECT_EQ(rec->Layout(), c.layout);
  EXPECT_EQ(job->LinesOnPage(), c.lines_on_page);
  job->EndPrint();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterLayoutTest,
    ::testing::Values(
        LayoutCase{"CrLfPairs", {"AB\r\nCD\r\n"}, "1:0:AB\n1:100:CD\n", 2},
        LayoutCase{"LfCrPairs", {"AB\n\rCD\n\r"}, "1:0:AB\n1:100:CD\n", 2},
        LayoutCase{"LoneCrOverprints", {"AB\rCD\r\n"}, "1:0:AB\n1:0:CD\n", 1},
        LayoutCase{"LoneLfInsideOverprints", {"AB\nCD\r\n"}, "1:0:AB\n1:0:CD\n", 1},
        LayoutCase{"TailCarriedToNextBuffer", {"ABC", "DEF\r\n"}, "1:0:ABCDEF\n", 1},
        LayoutCase{"PairSplitBetweenBuffers", {"ABC\r", "\nDEF\r\n"}, "1:0:ABC\n1:100:DEF\n", 2},
        LayoutCase{"LeadingLfThenPair", {"\n\r\nX\r\n"}, "1:200:X\n", 3},
        LayoutCase{"FormFeedEndsPage", {"AB\r\n\f", "CD\r\n"}, "1:0:AB\n2:0:CD\n", 1},
        LayoutCase{"FormFeedAtTopAbsorbed", {"\fAB\r\n"}, "1:0:AB\n", 1},
        LayoutCase{"FormFeedOnEmptyPageOverprints", {"AB\fCD\r\n"}, "1:0:AB\n1:0:CD\n", 1},
        LayoutCase{"EmptyLinesAdvanceWithoutDrawing", {"\r\n\r\nX\r\n"}, "1:200:X\n", 3}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

TEST_F(PrinterTest, PageHoldsExactlyItsLinesAndEndsWithoutBlankPage) {
  auto job = NewJob(10);
  std::string ten;
  for (int n = 1; n <= 10; ++n) ten += "L" + std::to_string(n) + "\r\n";
  ASSERT_EQ(job->PrintBuffer(ten.c_str()), 0);
  EXPECT_EQ(rec->Count(RecordedCall::kEndPage), 1) << "the tenth line fills and ends the page";
  EXPECT_EQ(job->LinesOnPage(), 0);
  job->EndPrint();
  EXPECT_EQ(rec->pages.size(), 1u);
  EXPECT_EQ(rec->pages[0].back().y, 900);
  EXPECT_EQ(rec->documents_ended, 1);

  auto job2 = NewJob(10);
  ASSERT_EQ(job2->PrintBuffer((ten + "L11\r\n").c_str()), 0);
  job2->EndPrint();
  ASSERT_EQ(rec->pages.size(), 2u);
  ASSERT_EQ(rec->pages[1].size(), 1u);
  EXPECT_EQ(rec->pages[1][0].text, "L11");
  EXPECT_EQ(rec->pages[1][0].y, 0);
}

TEST_F(PrinterTest, PageIsBegunAtTheTopPositionAndGetsThePrintFont) {
  auto font = std::make_unique<platform::PrintFont>();
  font->family = "DejaVu Sans Mono";
  font->height = 90;
  printing.selection.printer_font = std::move(font);
  auto job = NewJob(2);
  ASSERT_EQ(job->PrintBuffer("A\r\nB\r\nC\r\n"), 0);
  job->EndPrint();
  // Pages 1 and 2 begun at their tops, each followed by the font.
  std::vector<RecordedCall::Kind> kinds;
  for (const RecordedCall& c : rec->calls)
    if (c.kind == RecordedCall::kBeginPage || c.kind == RecordedCall::kSelectFont ||
        c.kind == RecordedCall::kEndPage)
      kinds.push_back(c.kind);
  std::vector<RecordedCall::Kind> want = {RecordedCall::kBeginPage,  RecordedCall::kSelectFont,
                                          RecordedCall::kEndPage,    RecordedCall::kBeginPage,
                                          RecordedCall::kSelectFont, RecordedCall::kEndPage};
  EXPECT_EQ(kinds, want);
  EXPECT_EQ(rec->Layout(), "1:0:A\n1:100:B\n2:0:C\n");
}

TEST_F(PrinterTest, DocumentsAreNumberedPerRunAndFailedStartsCount) {
  auto job = NewJob();
  EXPECT_EQ(job->PrintBuffer(""), 0) << "an empty buffer still starts the document";
  EXPECT_TRUE(rec->pages.empty());
  job->EndPrint();
  ASSERT_EQ(rec->documents, std::vector<std::string>{"QORPRTW.1"});

  auto job2 = NewJob();
  ASSERT_EQ(job2->PrintBuffer("X\r\n"), 0);
  job2->EndPrint();
  EXPECT_EQ(rec->documents, std::vector<std::string>{"QORPRTW.2"});

  TraceOn();
  auto job3 = NewJob();
  rec->fail_start_doc_error = 28;
  EXPECT_EQ(job3->PrintBuffer("lost\r\n"), 1);
  EXPECT_TRUE(rec->pages.empty());
  rec->fail_start_doc_error = 0;
  EXPECT_EQ(job3->PrintBuffer("kept\r\n"), 0);
  job3->EndPrint();
  EXPECT_EQ(rec->documents, std::vector<std::string>{"QORPRTW.4"});
  EXPECT_EQ(rec->Layout(), "1:0:kept\n");
  EXPECT_TRUE(HasRecord("ZEZUVODU:StartDoc <>QORPRTW.3"));
  // The handle varies; compare the rest of the record.
  bool found = false;
  for (const std::string& r : TraceRecords())
    found |=
        r.rfind("ZEZUVODU <>StartDoc(", 0) == 0 && r.size() == 39 && r.find(") failed 28") == 28;
  EXPECT_TRUE(found) << "StartDoc(%08X) failed 28";
}

TEST_F(PrinterTest, UnterminatedTailIsNotPrintedAndIsDroppedByTheNextDocument) {
  auto job = NewJob();
  ASSERT_EQ(job->PrintBuffer("AB\r\nCD"), 0);
  job->EndPrint();
  EXPECT_EQ(rec->Layout(), "1:0:AB\n");
  EXPECT_STREQ(printing.state.line_segment, "CD");
  auto job2 = NewJob();
  ASSERT_EQ(job2->PrintBuffer("EF\r\n"), 0);
  job2->EndPrint();
  EXPECT_EQ(rec->Layout(), "1:0:EF\n");
}

TEST_F(PrinterTest, EmptyJobEndsWithRefusedRequestsAndReleasesTheDevice) {
  TraceOn();
  auto job = NewJob();
  job->EndPrint();
  EXPECT_TRUE(rec->released);
  EXPECT_TRUE(rec->documents.empty());
  std::vector<std::string> r = TraceRecords();
  ASSERT_EQ(r.size(), 5u);
  EXPECT_EQ(r[0].substr(0, 13), "endPRINTER <>");
  EXPECT_NE(r[0].find(") End Print  line=0"), std::string::npos);
  EXPECT_EQ(r[1], "ZEZUVODU <>endpagePRINTER");
  EXPECT_EQ(r[2], "ZEZUVODU <>EndPage failed");
  EXPECT_EQ(r[3], "ZEZUVODU <>endPRINTER endPage=-1");
  EXPECT_EQ(r[4], "ZEZUVODU <>endPRINTER endDoc=-1");
}

TEST_F(PrinterTest, JobWithoutDeviceRefusesAndEndsQuietly) {
  client::PrintJob job(printing, std::unique_ptr<platform::PrintDevice>());
  EXPECT_FALSE(job.HasDevice());
  EXPECT_EQ(job.PrintBuffer("AB\r\n"), -1);
  job.EndPrint();
  EXPECT_EQ(printing.state.print_doc_count, 0u);
}

TEST_F(PrinterTest, RefusedEndPageShowsMessageAndDropsTheRestOfTheBuffer) {
  auto job = NewJob();
  ASSERT_EQ(job->PrintBuffer("AB\r\n"), 0);
  rec->end_page_result = -5;
  EXPECT_EQ(job->PrintBuffer("\fCD\r\n"), -5);
  EXPECT_EQ(messages, std::vector<std::string>{"EndPage Returned -5"});
  EXPECT_TRUE(status_texts.empty());
  EXPECT_EQ(rec->Layout(), "1:0:AB\n");
  rec->end_page_result = 0;
  EXPECT_EQ(job->PrintBuffer("EF\r\n"), 0) << "the job stays usable";
  job->EndPrint();
}

TEST_F(PrinterTest, UnattendedRefusedEndPageGoesToTheStatusLine) {
  printing.services.unattended = [] { return true; };
  auto job = NewJob();
  ASSERT_EQ(job->PrintBuffer("AB\r\n"), 0);
  rec->end_page_result = -3;
  EXPECT_EQ(job->PrintBuffer("\f"), -3);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(status_texts, std::vector<std::string>{"EndPage Returned -3"});
  job->EndPrint();
}

TEST_F(PrinterTest, RefusedDrawingIsLoggedAndTheLineStillCounts) {
  TraceOn();
  auto job = NewJob();
  rec->fail_draw = true;
  ASSERT_EQ(job->PrintBuffer("AB\r\nCD\r\n"), 0);
  EXPECT_EQ(log_texts, (std::vector<std::string>{"Printer Hiccupped", "Printer Hiccupped"}));
  EXPECT_EQ(job->LinesOnPage(), 2);
  EXPECT_TRUE(HasRecord("ZEZUVODU <>TextOut failed"));
  job->EndPrint();
}

TEST_F(PrinterTest, OverlongLinesAndTailsAreCutToTheirBuffers) {
  auto job = NewJob();
  std::string long_line(700, 'x');
  ASSERT_EQ(job->PrintBuffer((long_line + "\r\n").c_str()), 0);
  std::string tail(300, 't');
  ASSERT_EQ(job->PrintBuffer(tail.c_str()), 0);
  EXPECT_EQ(strlen(printing.state.line_segment), 259u);
  ASSERT_EQ(job->PrintBuffer("END\r\n"), 0);
  // A carried part near the limit, then more than the line has room for.
  ASSERT_EQ(job->PrintBuffer(std::string(250, 'c').c_str()), 0);
  ASSERT_EQ(job->PrintBuffer((std::string(400, 'd') + "\r\n").c_str()), 0);
  job->EndPrint();
  ASSERT_EQ(rec->pages.size(), 1u);
  ASSERT_EQ(rec->pages[0].size(), 3u);
  EXPECT_EQ(rec->pages[0][0].text, std::string(511, 'x'));
  EXPECT_EQ(rec->pages[0][1].text, std::string(259, 't') + "END");
  EXPECT_EQ(rec->pages[0][2].text, std::string(250, 'c') + std::string(261, 'd'));
}

TEST_F(PrinterTest, TraceRecordsOfABufferFollowTheLayout) {
  TraceOn();
  auto job = NewJob(2);
  ASSERT_EQ(job->PrintBuffer("ABC"), 0);
  ASSERT_EQ(job->PrintBuffer("DEF\r\nGH\r\n"), 0);
  job->EndPrint();
  std::vector<std::string> r = TraceRecords();
  std::vector<std::string> want = {
      "ZEZUVODU:StartDoc <>QORPRTW.1",
      "ZEZUVODU <>Started Printer",
      "ZEZUVODU <>Printer Buffer l = 3 (ABC)",
      "ZEZUVODU <>End Print Buffer l=0",
      "ZEZUVODU <>Printer Buffer l = 9 (DEF\r\nGH\r\n)",
      "ZEZUVODU <>Line segment (ABC)",
      "ZEZUVODU:line <>(0) \"ABCDEF\"",
      "ZEZUVODU:line <>(100) \"GH\"",
      "ZEZUVODU <>Page Break",
      "ZEZUVODU <>endpagePRINTER",
      "ZEZUVODU <>End Print Buffer l=0",
  };
  ASSERT_GE(r.size(), want.size());
  EXPECT_EQ(std::vector<std::string>(r.begin(), r.begin() + want.size()), want);
  // The page ended on the break: EndPrint's end-page is refused and traced.
  EXPECT_TRUE(HasRecord("ZEZUVODU <>endPRINTER endPage=-1"));
  EXPECT_FALSE(HasRecord("ZEZUVODU <>endPRINTER endDoc=-1"));
}

TEST_F(PrinterTest, LongLineTraceRecordIsCut) {
  TraceOn();
  auto job = NewJob();
  ASSERT_EQ(job->PrintBuffer((std::string(400, 'y') + "\r\n").c_str()), 0);
  job->EndPrint();
  for (const std::string& r : TraceRecords())
    if (r.rfind("ZEZUVODU:line <>", 0) == 0) {
      EXPECT_EQ(r.size() - 16, 255u);
    }
}

}  // namespace
