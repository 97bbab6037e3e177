// TN3270 pieces without sockets: the telnet reader, the option dialogue with a
// scripted terminal, 3270 records both ways, and the faults a connection injects.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "hostsim/buffer_address.h"
#include "hostsim/conversation_texts.h"
#include "hostsim/ebcdic.h"
#include "hostsim/inbound_3270.h"
#include "hostsim/lu_registry.h"
#include "hostsim/outbound_3270.h"
#include "hostsim/tn3270_connection.h"
#include "tests/hostsim/reference_decoder.h"
#include "tests/hostsim/test_support.h"

using namespace hostsim;
using namespace hostsim::telnet;
using testing_support::write_file;

namespace {

std::string cmd(uint8_t verb, uint8_t option) {
  return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}
std::string terminal_type_is(const std::string& name) {
  return std::string{static_cast<char>(kIac), static_cast<char>(kSb),
                     static_cast<char>(kOptionTerminalType), static_cast<char>(kTerminalTypeIs)} +
         name + std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
}
std::string eor() { return {static_cast<char>(kIac), static_cast<char>(kEor)}; }

std::string tn3270e(std::initializer_list<int> body) {
  std::string s{static_cast<char>(kIac), static_cast<char>(kSb), static_cast<char>(kOptionTn3270e)};
  for (int b : body) s += static_cast<char>(b);
  return s + std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
}
// DEVICE-TYPE REQUEST type [CONNECT name] (an ASSOCIATE when connect is 0).
std::string device_type_request(const std::string& type, const std::string& name = {},
                                char connect = 1) {
  std::string s = tn3270e({2, 7});
  s.erase(s.size() - 2);
  s += type;
  if (!name.empty()) s += connect + name;
  return s + std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
}

// What the terminal's buffer holds after an Erase/Write (default size) or
// Erase/Write Alternate (alternate_size) record, the 5-byte header of a
// TN3270E record left out.
struct Painted {
  std::vector<char> text;
  std::vector<int> attribute;  // -1: a character position
  int cursor = -1;
  bool keyboard_restored = false;
  bool alternate = false;
  uint16_t sequence = 0;
};

Painted apply_erase_write(const std::string& record, bool with_header = false,
                          int alternate_size = kScreenSize,
                          const CodePage& page = DefaultCodePage()) {
  Painted p;
  // Undo IAC doubling; the record must end with IAC EOR.
  EXPECT_GE(record.size(), 4u);
  EXPECT_EQ(record.substr(record.size() - 2), eor());
  std::string s;
  for (std::size_t i = 0; i + 2 < record.size(); ++i) {
    s += record[i];
    if (static_cast<uint8_t>(record[i]) == kIac) ++i;
  }
  if (with_header) {
    EXPECT_EQ(s.substr(0, 3), std::string(3, '\0')) << "3270-DATA, no response asked";
    p.sequence =
        static_cast<uint16_t>((static_cast<uint8_t>(s[3]) << 8) | static_cast<uint8_t>(s[4]));
    s.erase(0, 5);
  }
  const auto command = static_cast<uint8_t>(s[0]);
  EXPECT_TRUE(command == 0xF5 || command == 0x7E) << int(command);
  p.alternate = command == 0x7E;
  const int size = p.alternate ? alternate_size : kScreenSize;
  p.text.assign(static_cast<std::size_t>(size), ' ');
  p.attribute.assign(static_cast<std::size_t>(size), -1);
  p.keyboard_restored = (static_cast<uint8_t>(s[1]) & 0x02) != 0;
  int address = 0;
  for (std::size_t i = 2; i < s.size(); ++i) {
    const auto b = static_cast<uint8_t>(s[i]);
    if (b == 0x11) {
      address =
          DecodeBufferAddress(static_cast<uint8_t>(s[i + 1]), static_cast<uint8_t>(s[i + 2])) %
          size;
      i += 2;
    } else if (b == 0x1D) {
      p.attribute[static_cast<std::size_t>(address)] = static_cast<uint8_t>(s[++i]) & 0x3F;
      address = (address + 1) % size;
    } else if (b == 0x13) {
      p.cursor = address;
    } else {
      p.text[static_cast<std::size_t>(address)] = page.ToAscii(b);
      address = (address + 1) % size;
    }
  }
  return p;
}

std::string record_for(uint8_t aid, int cursor, int field, const std::string& ascii,
                       const CodePage& page = DefaultCodePage()) {
  uint8_t address[2];
  std::string r(1, static_cast<char>(aid));
  EncodeBufferAddress(cursor, address);
  r += static_cast<char>(address[0]);
  r += static_cast<char>(address[1]);
  r += '\x11';
  EncodeBufferAddress(field, address);
  r += static_cast<char>(address[0]);
  r += static_cast<char>(address[1]);
  for (char c : ascii) r += static_cast<char>(page.ToEbcdic(c));
  return r + eor();
}

// A terminal that answers the server's option requests the way s3270 does:
// plain TN3270 (it refuses TN3270E), or TN3270E with a device type and LU.
struct ScriptedTerminal {
  Tn3270Connection& connection;
  std::string received;
  bool e = false;
  int alternate_size = kScreenSize;
  const CodePage* page = &DefaultCodePage();
  void send(const std::string& bytes) {
    connection.Receive(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    received += connection.TakeReplies();
  }
  void negotiate(const std::string& type = "IBM-3279-4-E") {
    received += connection.Opening();
    send(cmd(kWont, kOptionTn3270e));
    send(cmd(kWill, kOptionTerminalType));
    send(terminal_type_is(type));
    send(cmd(kWill, kOptionEor) + cmd(kDo, kOptionEor) + cmd(kWill, kOptionBinary) +
         cmd(kDo, kOptionBinary));
  }
  // As s3270 does it: asks for BIND-IMAGE, RESPONSES and SYSREQ and takes
  // the RESPONSES it is offered back.
  void negotiate_e(const std::string& type, const std::string& lu = {}) {
    e = true;
    received += connection.Opening();
    send(cmd(kWill, kOptionTn3270e));
    send(device_type_request(type, lu));
    send(tn3270e({3, 7, 0, 2, 4}));
    send(tn3270e({3, 4, 2}));
  }
  // An inbound 3270 record, with the TN3270E header when agreed.
  void key(const std::string& record) { send((e ? std::string(5, '\0') : std::string()) + record); }
  Painted screen() {
    std::string record;
    EXPECT_TRUE(connection.ScreenDue());
    EXPECT_EQ(connection.TakeScreen(&record), Tn3270Connection::ScreenAction::kSend);
    return apply_erase_write(record, e, alternate_size, *page);
  }
};

std::string row(const Painted& p, int position, int width) {
  return std::string(p.text.data() + position, static_cast<std::size_t>(width));
}
std::string whole(const Painted& p) { return std::string(p.text.begin(), p.text.end()); }

}  // namespace

TEST(TelnetReader, SameEventsHoweverTheBytesAreSplit) {
  const std::string stream = cmd(kWill, kOptionTerminalType) + terminal_type_is("IBM-3278-2") +
                             std::string("\x7D\x40\x40\xFF\xFF\x01", 6) + eor() +
                             std::string{static_cast<char>(kIac), static_cast<char>(kBreak)} +
                             "\x6D" + eor();
  std::vector<TelnetEvent> whole;
  TelnetReader().Feed(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(), &whole);
  ASSERT_EQ(whole.size(), 5u);
  EXPECT_EQ(whole[0].kind, TelnetEvent::kOption);
  EXPECT_EQ(whole[1].kind, TelnetEvent::kSubnegotiation);
  EXPECT_EQ(whole[1].data, std::string("\0IBM-3278-2", 11));
  EXPECT_EQ(whole[2].kind, TelnetEvent::kRecord);
  EXPECT_EQ(whole[2].data, std::string("\x7D\x40\x40\xFF\x01", 5));  // IAC IAC is one 0xFF
  EXPECT_EQ(whole[3].kind, TelnetEvent::kBreak);
  EXPECT_EQ(whole[4].data, "\x6D");
  for (std::size_t cut = 1; cut < stream.size(); ++cut) {
    TelnetReader reader;
    std::vector<TelnetEvent> split;
    reader.Feed(reinterpret_cast<const uint8_t*>(stream.data()), cut, &split);
    reader.Feed(reinterpret_cast<const uint8_t*>(stream.data()) + cut, stream.size() - cut, &split);
    ASSERT_EQ(split.size(), whole.size()) << cut;
    for (std::size_t i = 0; i < split.size(); ++i) EXPECT_EQ(split[i].data, whole[i].data);
  }
}

TEST(TelnetReader, OverlongRecordsAndSubnegotiationsAreCutAndMarked) {
  TelnetReader reader;
  std::vector<TelnetEvent> events;
  std::string big(TelnetReader::kLargestRecord + 100, '\x40');
  big += eor();
  big += std::string{static_cast<char>(kIac), static_cast<char>(kSb), 24} +
         std::string(TelnetReader::kLargestSubnegotiation + 50, 'x') +
         std::string{static_cast<char>(kIac), static_cast<char>(kSe)};
  reader.Feed(reinterpret_cast<const uint8_t*>(big.data()), big.size(), &events);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(events[0].truncated);
  EXPECT_EQ(events[0].data.size(), TelnetReader::kLargestRecord);
  EXPECT_TRUE(events[1].truncated);
  EXPECT_EQ(events[1].data.size(), TelnetReader::kLargestSubnegotiation);
}

TEST(Tn3270Negotiation, ATerminalThatRefusesTn3270eGetsPlainTn3270) {
  TempDir spool_dir;
  Spool spool(spool_dir.path());
  Tn3270Connection connection(spool, {}, {}, {});
  ScriptedTerminal terminal{connection, {}};
  terminal.negotiate();
  const std::string& r = terminal.received;
  EXPECT_EQ(r.substr(0, 6), cmd(kDo, kOptionTn3270e) + cmd(kDo, kOptionTerminalType));
  EXPECT_NE(r.find(std::string{static_cast<char>(kIac), static_cast<char>(kSb), 24, 1,
                               static_cast<char>(kIac), static_cast<char>(kSe)}),
            std::string::npos);
  for (uint8_t option : {kOptionEor, kOptionBinary}) {
    EXPECT_NE(r.find(cmd(kDo, option)), std::string::npos);
    EXPECT_NE(r.find(cmd(kWill, option)), std::string::npos);
    // Our own requests are not answered a second time.
    EXPECT_EQ(r.find(cmd(kDo, option)), r.rfind(cmd(kDo, option)));
  }
  EXPECT_EQ(connection.TerminalType(), "IBM-3279-4-E");
  ASSERT_NE(connection.GetSession(), nullptr);
  EXPECT_FALSE(connection.WantsClose());
  const Painted idle = terminal.screen();
  EXPECT_TRUE(idle.keyboard_restored);
}

TEST(Tn3270Negotiation, ATerminalThatRefusesBinaryIsClosed) {
  TempDir spool_dir;
  Spool spool(spool_dir.path());
  Tn3270Connection connection(spool, {}, {}, {});
  ScriptedTerminal terminal{connection, {}};
  terminal.received += connection.Opening();
  terminal.send(cmd(kWont, kOptionTn3270e) + cmd(kWill, kOptionTerminalType) +
                terminal_type_is("IBM-3278-2"));
  terminal.send(cmd(kWont, kOptionBinary));
  EXPECT_TRUE(connection.WantsClose());
  EXPECT_EQ(connection.GetSession(), nullptr);
}

TEST(Tn3270Negotiation, NoSessionBeforeNegotiationSoProbesClaimNoJob) {
  TempDir spool_dir;
  write_file(spool_dir / "JOB", "x");
  Spool spool(spool_dir.path());
  {
    Tn3270Connection probe(spool, {}, {}, {});
    probe.Opening();
    probe.Closed();
  }
  EXPECT_TRUE(spool.HasWaitingJob());
}

TEST(Tn3270Records, BufferAddressesBothForms) {
  for (int p = 0; p < 4096; ++p) {
    uint8_t a[2];
    EncodeBufferAddress(p, a);
    EXPECT_EQ(DecodeBufferAddress(a[0], a[1]), p);
    EXPECT_NE(a[0] & 0xC0, 0);
  }
  EXPECT_EQ(DecodeBufferAddress(0x07, 0x7F), 0x77F);  // 14-bit binary form
}

TEST(Tn3270Records, EbcdicRoundTripOfPrintableAscii) {
  for (int c = 0x20; c < 0x7F; ++c) {
    EXPECT_EQ(EbcdicToAscii(AsciiToEbcdic(static_cast<char>(c))), static_cast<char>(c)) << c;
  }
  EXPECT_EQ(AsciiToEbcdic('['), 0xAD);
  EXPECT_EQ(EbcdicToAscii(0x00), ' ');
}

TEST(Tn3270Records, InboundReadModifiedAndShortReads) {
  InboundMessage m;
  const std::string pf6 = record_for(0xF6, 16, 0, "0009,=");
  ASSERT_TRUE(ParseInbound(pf6.substr(0, pf6.size() - 2), &m));
  EXPECT_EQ(m.key, Key::kPF6);
  EXPECT_EQ(m.cursor, 16);
  ASSERT_EQ(m.fields.size(), 1u);
  EXPECT_EQ(m.fields[0].position, 0);
  EXPECT_EQ(m.fields[0].text, "0009,=");
  ASSERT_TRUE(ParseInbound("\x6D", &m));
  EXPECT_EQ(m.key, Key::kClear);
  EXPECT_EQ(m.cursor, -1);
  ASSERT_TRUE(ParseInbound(std::string("\x7D\x40\x40\x11\x40", 5), &m));  // address cut off
  EXPECT_TRUE(m.fields.empty());
  ASSERT_TRUE(ParseInbound("\x88\x00\x01", &m));
  EXPECT_FALSE(m.key.has_value());
  EXPECT_FALSE(ParseInbound("", &m));
  for (int n = 1; n <= 24; ++n) {
    const uint8_t aid = AidForKey(PfKey(n));
    ASSERT_NE(aid, 0);
    EXPECT_EQ(KeyForAid(aid), PfKey(n));
  }
}

TEST(Tn3270Connection, HeaderStartAndDataOverTheWire) {
  TempDir spool_dir;
  const std::string job = "Report line\r\n\fSecond page ~ with a tilde\r\n";
  write_file(spool_dir / "WIRE.txt", job);
  Spool spool(spool_dir.path());
  Tn3270Connection connection(spool, {}, {}, {});
  ScriptedTerminal terminal{connection, {}};
  terminal.negotiate();
  Painted header = terminal.screen();
  EXPECT_EQ(row(header, 0, 8), "QORPRINT");
  EXPECT_EQ(row(header, kLevelPosition, 1), "V");
  EXPECT_EQ(row(header, kIdentPosition, 9), "WIRE,0000");
  EXPECT_EQ(header.attribute[kFieldAttributePosition], 0);  // unprotected field from position 0
  EXPECT_NE(header.cursor, 0);
  EXPECT_FALSE(connection.ScreenDue());

  // PF6 carries the field from position 0: the start command and the rest of the header.
  terminal.send(record_for(0xF6, 16, 0, std::string(kStartCommand) + "  LEVEL V"));
  reference::Decoder decoder;
  std::string received;
  for (int i = 0; i < 10; ++i) {
    Painted data = terminal.screen();
    auto block = decoder.decode(reference::copy_screen(whole(data)));
    ASSERT_TRUE(block);
    terminal.send("\x6D" + eor());  // Clear
    if (block->rfind(std::string(kEndMarker), 0) == 0) break;
    received += *block;
  }
  EXPECT_EQ(received, job);
  EXPECT_TRUE(testing_support::file_exists(spool_dir / "done/WIRE.txt"));
}

TEST(FaultDice, SameSeedAndStreamSameFaultsAtTheAskedRate) {
  auto draw = [](uint32_t seed, uint32_t stream, double percent) {
    FaultDice dice(seed, stream, percent);
    std::vector<Fault> faults(3000);
    for (Fault& f : faults) f = dice.Roll();
    return faults;
  };
  EXPECT_EQ(draw(7, 1, 3), draw(7, 1, 3));
  EXPECT_NE(draw(7, 1, 3), draw(7, 2, 3));  // each connection its own stream
  EXPECT_NE(draw(7, 1, 3), draw(8, 1, 3));
  EXPECT_EQ(draw(7, 1, 0), std::vector<Fault>(3000, Fault::kNone));
  std::map<Fault, int> count;
  for (Fault f : draw(7, 1, 30)) ++count[f];
  EXPECT_NEAR(count[Fault::kNone], 2100, 150);
  for (Fault f : {Fault::kDrop, Fault::kStall, Fault::kGarbage}) EXPECT_NEAR(count[f], 300, 80);
}

TEST(Tn3270Connection, FaultsDropStallAndGarbage) {
  TempDir spool_dir;
  write_file(spool_dir / "JOB", std::string(3000, 'x') + std::string(3000, 'y'));
  struct Case {
    FaultPlan faults;
    Tn3270Connection::ScreenAction at_block_3;
    uint32_t garbage_seed;
  };
  using Action = Tn3270Connection::ScreenAction;
  auto fixed = [](long drop, long stall, long garbage, Action at_block_3) {
    FaultPlan plan;
    plan.drop_after = drop;
    plan.stall_after = stall;
    plan.garbage_at = garbage;
    return Case{plan, at_block_3, 3};
  };
  // Random faults from a seed that spares blocks 1 and 2 and hits block 3 with `fault`.
  auto random = [](Fault fault, Action at_block_3) {
    FaultPlan plan;
    plan.random_percent = 50;
    plan.random_stream = 4;
    for (plan.random_seed = 1;; ++plan.random_seed) {
      FaultDice dice(plan.random_seed, plan.random_stream, plan.random_percent);
      if (dice.Roll() == Fault::kNone && dice.Roll() == Fault::kNone && dice.Roll() == fault)
        return Case{plan, at_block_3, dice.Next()};
    }
  };
  const long never = FaultPlan::kNever;
  const std::vector<Case> cases = {
      fixed(2, never, never, Action::kDrop), fixed(never, 2, never, Action::kHold),
      fixed(never, never, 3, Action::kSend), random(Fault::kDrop, Action::kDrop),
      random(Fault::kStall, Action::kHold),  random(Fault::kGarbage, Action::kSend)};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.faults.random_percent > 0 ? "random" : "fixed");
    Spool spool(spool_dir.path());
    SessionOptions options;
    options.screen_capacity = 20;
    Tn3270Connection connection(spool, options, c.faults, {});
    ScriptedTerminal terminal{connection, {}};
    terminal.negotiate();
    terminal.screen();
    terminal.send(record_for(0xF6, 16, 0, std::string(kStartCommand)));
    terminal.screen();  // block 1
    terminal.send("\x6D" + eor());
    terminal.screen();  // block 2
    terminal.send("\x6D" + eor());
    std::string record;
    EXPECT_EQ(connection.TakeScreen(&record), c.at_block_3);
    if (c.at_block_3 == Tn3270Connection::ScreenAction::kSend) {
      const Painted garbage = apply_erase_write(record);
      EXPECT_EQ(row(garbage, 0, 20), GarbageScreenText(c.garbage_seed).substr(0, 20));
    }
    if (c.at_block_3 == Tn3270Connection::ScreenAction::kHold) {
      terminal.send("\x6D" + eor());
      EXPECT_FALSE(connection.ScreenDue());  // stalled for good
    }
    // Whatever the fault, once the terminal is gone the job is served again.
    connection.Closed();
    EXPECT_TRUE(testing_support::file_exists(spool_dir / "JOB"));
    Tn3270Connection next(spool, options, {}, {});
    ScriptedTerminal next_terminal{next, {}};
    next_terminal.negotiate();
    EXPECT_EQ(row(next_terminal.screen(), kIdentPosition, 4), "JOB,");
  }
}

// The device-type step of TN3270E: what each request is answered with.
TEST(Tn3270eNegotiation, DeviceTypeRequestsAndTheirAnswers) {
  LuRegistry lus;
  ASSERT_TRUE(lus.Claim("BUSY1"));
  const std::string is = tn3270e({2, 4}).substr(0, 5);
  struct Case {
    std::string request;
    std::string answer;  // the subnegotiation expected
    std::string lu;
  };
  const std::vector<Case> cases = {
      {device_type_request("IBM-3278-5-E", "lu1"),
       is.substr(0, 5) + "IBM-3278-5-E\x01LU1" + std::string{'\xFF', '\xF0'}, "LU1"},
      {device_type_request("IBM-3278-2"),
       is + "IBM-3278-2\x01QOR00001" + std::string{'\xFF', '\xF0'}, "QOR00001"},
      {device_type_request("IBM-3278-2-E", "BUSY1"), tn3270e({2, 6, 5, 1}), ""},    // device in use
      {device_type_request("IBM-3278-2-E", "A)Quit("), tn3270e({2, 6, 5, 3}), ""},  // invalid name
      {device_type_request("IBM-3278-2-E", "LU2", 0), tn3270e({2, 6, 5, 7}), ""},   // ASSOCIATE
      {device_type_request("IBM-3287-1"), tn3270e({2, 6, 5, 4}), ""},               // a printer
  };
  for (const Case& c : cases) {
    Tn3270Negotiation n(true, &lus);
    std::string out = n.Start();
    EXPECT_EQ(out, cmd(kDo, kOptionTn3270e));
    std::vector<TelnetEvent> events;
    TelnetReader reader;
    auto feed = [&](const std::string& bytes) {
      events.clear();
      out.clear();
      reader.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &events);
      for (const TelnetEvent& e : events) {
        if (e.kind == TelnetEvent::kOption) n.OnOption(e.verb, e.option, &out);
        if (e.kind == TelnetEvent::kSubnegotiation) n.OnSubnegotiation(e.option, e.data, &out);
      }
    };
    feed(cmd(kWill, kOptionTn3270e));
    EXPECT_EQ(out, tn3270e({8, 2}));  // SEND DEVICE-TYPE
    feed(c.request);
    EXPECT_EQ(out, c.answer) << c.request.substr(5);
    EXPECT_EQ(n.Lu(), c.lu);
    EXPECT_FALSE(n.Ready());
    if (c.lu.empty()) {  // refused: the terminal may ask again
      feed(device_type_request("IBM-3278-2-E", "LU9"));
      EXPECT_EQ(n.Lu(), "LU9");
    }
    // Functions: what this host lacks is taken out, and the rest confirmed.
    feed(tn3270e({3, 7, 0, 2, 4}));
    EXPECT_EQ(out, tn3270e({3, 7, 2}));
    feed(tn3270e({3, 4, 2}));
    EXPECT_TRUE(n.Ready());
    EXPECT_TRUE(n.Tn3270e());
  }
  EXPECT_TRUE(lus.Claim("LU1")) << "a connection gives its LU back when it ends";
}

// A model 5 terminal connected as an LU over TN3270E, on a host using code
// page 273: the header stays on 24 x 80 (Erase/Write), the data screens fill
// 27 x 132 (Erase/Write Alternate), every record has the header with a rising
// sequence number, the LU's own job comes first, and the same terminal type
// with RFC 1646's "@LU" on a plain connection gets only what is left.
TEST(Tn3270Connection, Tn3270eModel5LuAndCodePage) {
  TempDir spool_dir;
  ::mkdir((spool_dir / "lu").c_str(), 0755);
  ::mkdir((spool_dir / "lu/LU1").c_str(), 0755);
  std::string job;
  for (int i = 0; i < 400; ++i)
    job += "line " + std::to_string(i * 7919 % 10007) + " {~[]} \xE4\xDF\r\n";
  write_file(spool_dir / "lu/LU1/MINE", job);
  write_file(spool_dir / "COMMON", "common job\r\n");
  CodePage cp273;
  std::string why;
  ASSERT_TRUE(CodePage::Load("cp273", &cp273, &why)) << why;
  Spool spool(spool_dir.path());
  LuRegistry lus;
  std::vector<std::string> log;
  WireOptions wire{&cp273, 5, true, &lus};
  Tn3270Connection connection(
      spool, {}, {}, [&](const std::string& l) { log.push_back(l); }, wire);
  ScriptedTerminal terminal{connection, {}};
  terminal.alternate_size = 27 * 132;
  terminal.page = &cp273;
  terminal.negotiate_e("IBM-3278-5-E", "lu1");
  ASSERT_TRUE(connection.Tn3270e());
  EXPECT_EQ(connection.Lu(), "LU1");
  const Painted header = terminal.screen();
  EXPECT_FALSE(header.alternate);
  EXPECT_EQ(row(header, kIdentPosition, 5), "MINE,");
  terminal.key(record_for(0xF6, 16, 0, std::string(kStartCommand), cp273));
  reference::Decoder decoder;
  std::string received;
  uint16_t last_sequence = header.sequence;
  int screens = 0;
  for (; screens < 20; ++screens) {
    const Painted data = terminal.screen();
    EXPECT_TRUE(data.alternate);
    EXPECT_GT(data.sequence, last_sequence);
    last_sequence = data.sequence;
    ASSERT_EQ(data.attribute[27 * 132 - 1], 0) << "one field, its attribute in the last position";
    auto block = decoder.decode(reference::copy_screen(whole(data), 27 * 132 - 1));
    ASSERT_TRUE(block);
    terminal.send(std::string{2, 0, 0, 0, 1} + "\x00" + eor());  // a RESPONSE record: ignored
    terminal.key("\x6D" + eor());
    if (block->rfind(std::string(kEndMarker), 0) == 0) break;
    received += *block;
  }
  EXPECT_EQ(received, job);
  EXPECT_LE(screens, static_cast<int>(job.size() / 1919 * 6 / 10 + 2))
      << "far fewer screens than 24 x 80 needs";
  EXPECT_TRUE(testing_support::file_exists(spool_dir / "lu/LU1/done/MINE"));

  // The common job follows on the same terminal. The same LU asked for again
  // on a plain connection is refused; another LU gets neither the common job,
  // now taken, nor LU1's.
  EXPECT_EQ(row(terminal.screen(), kIdentPosition, 7), "COMMON,");
  write_file(spool_dir / "lu/LU1/LATER", "later\r\n");
  Tn3270Connection twin(spool, {}, {}, {}, wire);
  ScriptedTerminal twin_terminal{twin, {}};
  twin_terminal.negotiate("IBM-3279-5-E@LU1");
  EXPECT_TRUE(twin.WantsClose());
  Tn3270Connection other(spool, {}, {}, {}, wire);
  ScriptedTerminal other_terminal{other, {}};
  other_terminal.page = &cp273;
  other_terminal.negotiate("IBM-3279-2-E@lu2");
  EXPECT_EQ(other.Lu(), "LU2");
  EXPECT_EQ(row(other_terminal.screen(), 0, 16), "HOST PRINT QUEUE");
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "TN3270E mode, terminal type IBM-3278-5-E, LU LU1, data screens 27 x 132"),
            log.end());
}

TEST(CodePages, LoadedFromTheSystemOrRefused) {
  struct Case {
    const char* name;
    std::string ebcdic_of;  // the bytes of "[~{" in that page
  };
  for (const Case& c :
       {Case{"bracket", "\xAD\xA1\xC0"}, Case{"cp037", "\xBA\xA1\xC0"},
        Case{"cp273", "\x63\x59\x43"}, Case{"cp297", "\x90\xBD\x51"}, Case{"cp500", "\x4A\xA1\xC0"},
        Case{"cp1047", "\xAD\xA1\xC0"}, Case{"cp1141", "\x63\x59\x43"}}) {
    CodePage page;
    std::string why;
    ASSERT_TRUE(CodePage::Load(c.name, &page, &why)) << c.name << ": " << why;
    std::string got;
    for (char ch : std::string("[~{")) got += static_cast<char>(page.ToEbcdic(ch));
    EXPECT_EQ(got, c.ebcdic_of) << c.name;
    for (int ch = 0x20; ch < 0x7F; ++ch)
      EXPECT_EQ(page.ToAscii(page.ToEbcdic(static_cast<char>(ch))), static_cast<char>(ch))
          << c.name << " " << ch;
  }
  for (const char* bad : {"cp437", "cp99999", "german", "", "cp"}) {
    CodePage page;
    std::string why;
    EXPECT_FALSE(CodePage::Load(bad, &page, &why)) << bad;
    EXPECT_FALSE(why.empty());
  }
}
