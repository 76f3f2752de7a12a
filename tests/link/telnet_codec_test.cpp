// The Telnet / Com Port Control byte streams, both ways, without a socket.
#include <gtest/gtest.h>

#include "link/telnet_codec.h"

namespace zmr::telnet {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Fed {
  Bytes data;
  Bytes reply;
};

Fed FeedWhole(Reader& reader, const Bytes& stream) {
  Fed out;
  reader.feed(stream, out.data, out.reply);
  return out;
}

// A reader that already sent its opening, as the port's is when the server speaks.
Reader Started() {
  Reader reader;
  reader.startNegotiation();
  return reader;
}

TEST(TelnetWriter, DataAndCommandValuesDoubleEveryIac) {
  struct Case {
    Bytes data;
    Bytes wire;
  };
  const std::vector<Case> cases = {
      {{}, {}},
      {{0xE2, 'L', 0, 0, 0x2E}, {0xE2, 'L', 0, 0, 0x2E}},
      {{0xFF}, {0xFF, 0xFF}},
      {{0xFF, 0xFF, 0x00, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF}},
      {{kSe, kSb, 0xFE}, {kSe, kSb, 0xFE}},  // only IAC is special in data
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeData(c.data), c.wire);
  }
  // A baud rate whose bytes hold 0xFF keeps them doubled inside the subnegotiation.
  EXPECT_EQ(ComPortCommand(comport::kSetBaudRate, Bytes{0x00, 0x00, 0xFF, 0x00}),
            (Bytes{kIac, kSb, 44, 1, 0x00, 0x00, 0xFF, 0xFF, 0x00, kIac, kSe}));
}

TEST(TelnetWriter, OpeningSettingsAndPurgeAreTheRfc2217Bytes) {
  Reader reader;
  EXPECT_EQ(reader.startNegotiation(),
            (Bytes{kIac, kWill, 0, kIac, kWill, 3, kIac, kWill, 44, kIac, kDo, 0, kIac, kDo, 3}));
  EXPECT_EQ(LineSettingCommands({}), (Bytes{kIac, kSb, 44, 1, 0x00, 0x00, 0x25, 0x80, kIac, kSe,  // 9600
                                            kIac, kSb, 44, 2, 8, kIac, kSe,                      // 8 bits
                                            kIac, kSb, 44, 3, 1, kIac, kSe,                      // no parity
                                            kIac, kSb, 44, 4, 1, kIac, kSe,                      // 1 stop
                                            kIac, kSb, 44, 5, 1, kIac, kSe,                      // no flow
                                            kIac, kSb, 44, 5, 9, kIac, kSe,                      // DTR off
                                            kIac, kSb, 44, 5, 12, kIac, kSe}));                  // RTS off
  struct Case {
    bool receive, transmit;
    Bytes wire;
  };
  const std::vector<Case> purges = {
      {false, false, {}},
      {true, false, {kIac, kSb, 44, 12, 1, kIac, kSe}},
      {false, true, {kIac, kSb, 44, 12, 2, kIac, kSe}},
      {true, true, {kIac, kSb, 44, 12, 3, kIac, kSe}},
  };
  for (const Case& c : purges) {
    EXPECT_EQ(PurgeCommand(c.receive, c.transmit), c.wire) << c.receive << c.transmit;
  }
}

TEST(TelnetReader, OnlyDataReachesTheCallerAndOnlyRequestsAreAnswered) {
  struct Case {
    const char* what;
    Bytes stream;
    Bytes data;
    Bytes reply;
  };
  const std::vector<Case> cases = {
      {"plain data", {0xE2, 'L', 0, 2, 'O', 'K'}, {0xE2, 'L', 0, 2, 'O', 'K'}, {}},
      {"a doubled IAC is one data byte", {1, kIac, kIac, 2}, {1, 0xFF, 2}, {}},
      {"answers to our own requests are not answered",
       {kIac, kDo, 0, kIac, kWill, 0, kIac, kDo, 3, kIac, kWill, 3, kIac, kDo, 44},
       {},
       {}},
      {"the server offers ECHO: refused once, however often it offers",
       {'a', kIac, kWill, 1, 'b', kIac, kWill, 1},
       {'a', 'b'},
       {kIac, kDont, 1}},
      {"the server asks us for an option we do not have", {kIac, kDo, 24}, {}, {kIac, kWont, 24}},
      {"a DONT for an option we never had needs no answer", {kIac, kDont, 1, 7}, {7}, {}},
      {"modem and line state notifications vanish",
       {0x10, kIac, kSb, 44, 107, 0x30, kIac, kSe, kIac, kSb, 44, 106, 0x60, kIac, kSe, 0x20},
       {0x10, 0x20},
       {}},
      {"a 0xFF inside a subnegotiation does not end it",
       {kIac, kSb, 44, 101, 0, 0, kIac, kIac, 0, kIac, kSe, 9},
       {9},
       {}},
      {"NOP, go-ahead and data mark carry nothing", {kIac, 241, 1, kIac, 249, 2, kIac, 242}, {1, 2}, {}},
      {"a subnegotiation broken off by another command: the command still counts",
       {kIac, kSb, 44, 107, 0, kIac, kWill, 1, 5},
       {5},
       {kIac, kDont, 1}},
  };
  for (const Case& c : cases) {
    Reader reader = Started();
    const Fed fed = FeedWhole(reader, c.stream);
    EXPECT_EQ(fed.data, c.data) << c.what;
    EXPECT_EQ(fed.reply, c.reply) << c.what;
  }
}

TEST(TelnetReader, ServerAnswersAreKeptPerCode) {
  Reader reader = Started();
  FeedWhole(reader, {kIac, kSb, 44, 101, 0x00, 0x00, 0x25, 0x80, kIac, kSe, kIac, kSb, 44, 107, 0x30, kIac, kSe});
  EXPECT_EQ(reader.lastAnswer(101), (Bytes{0x00, 0x00, 0x25, 0x80}));
  EXPECT_EQ(reader.lastAnswer(107), Bytes{0x30});
  EXPECT_TRUE(reader.lastAnswer(102).empty());
}

TEST(TelnetReader, SplitAtEveryByteBoundaryReadsTheSame) {
  // What ser2net sends on connect, then settings answers, a notification and data with a
  // 0xFF in it.
  const Bytes stream = {kIac, kWill, 3, kIac, kDo, 3, kIac, kWill, 1, kIac, kDont, 1, kIac, kDo, 0,
                        kIac, kWill, 0, kIac, kDo, 44, kIac, kSb, 44, 107, 0, kIac, kSe, 0xE2, 'G',
                        kIac, kSb, 44, 101, 0, 0, 0x25, 0x80, kIac, kSe, kIac, kIac, 0x10, kIac, kSb,
                        44, 112, 3, kIac, kSe, 0x7F};
  Reader whole_reader = Started();
  const Fed whole = FeedWhole(whole_reader, stream);
  ASSERT_EQ(whole.data, (Bytes{0xE2, 'G', 0xFF, 0x10, 0x7F}));
  ASSERT_EQ(whole.reply, (Bytes{kIac, kDont, 1}));
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    for (std::size_t second = cut; second <= stream.size(); ++second) {
      Reader reader = Started();
      Fed fed;
      const std::span<const std::uint8_t> all(stream);
      reader.feed(all.subspan(0, cut), fed.data, fed.reply);
      reader.feed(all.subspan(cut, second - cut), fed.data, fed.reply);
      reader.feed(all.subspan(second), fed.data, fed.reply);
      ASSERT_EQ(fed.data, whole.data) << "cut at " << cut << " and " << second;
      ASSERT_EQ(fed.reply, whole.reply) << "cut at " << cut << " and " << second;
      ASSERT_EQ(reader.lastAnswer(101), (Bytes{0, 0, 0x25, 0x80})) << "cut at " << cut << " and " << second;
      ASSERT_EQ(reader.comPortAnswer(), ComPortAnswer::Accepted);
    }
  }
}

TEST(TelnetReader, TheComPortOptionIsAcceptedRefusedOrNotYetAnswered) {
  struct Case {
    const char* what;
    Bytes stream;
    ComPortAnswer answer;
    Bytes reply;
  };
  const std::vector<Case> cases = {
      {"no answer yet", {'x'}, ComPortAnswer::Unknown, {}},
      {"DO", {kIac, kDo, 44}, ComPortAnswer::Accepted, {}},
      // A plain Telnet server: it will not do BINARY's other half nor the Com Port option.
      // Refusals of our own requests are taken without a word, or the two ends would loop.
      {"DONT and WONT to everything",
       {kIac, kDont, 0, kIac, kWont, 0, kIac, kDont, 3, kIac, kWont, 3, kIac, kDont, 44},
       ComPortAnswer::Refused,
       {}},
      {"taken, then withdrawn: the withdrawal is confirmed",
       {kIac, kDo, 44, kIac, kDont, 44},
       ComPortAnswer::Refused,
       {kIac, kWont, 44}},
  };
  for (const Case& c : cases) {
    Reader reader = Started();
    const Fed fed = FeedWhole(reader, c.stream);
    EXPECT_EQ(reader.comPortAnswer(), c.answer) << c.what;
    EXPECT_EQ(fed.reply, c.reply) << c.what;
  }
}

TEST(TelnetReader, AnOversizedSubnegotiationIsDroppedAndDataGoesOn) {
  Reader reader = Started();
  Bytes stream = {kIac, kSb, 44, 107};
  stream.insert(stream.end(), 10 * Reader::kMaxSubnegotiation, 0x41);
  stream.insert(stream.end(), {kIac, kSe, 'O', 'K'});
  const Fed fed = FeedWhole(reader, stream);
  EXPECT_EQ(fed.data, (Bytes{'O', 'K'}));
  EXPECT_EQ(reader.oversizedSubnegotiations(), 1u);
  EXPECT_TRUE(reader.lastAnswer(107).empty());
}

// A server that keeps changing options: the answers stop at the cap and the reader says
// so; a real server's greeting (ser2net's seven requests) is far below it, and a raw
// server's bytes are no Telnet at all.
TEST(TelnetReader, AnswersToAServerThatKeepsRenegotiatingAreCapped) {
  const Bytes ser2net = {kIac, kWill, 3, kIac, kDo, 3, kIac, kWill, 1, kIac, kDont, 1,
                         kIac, kDo,   0, kIac, kWill, 0, kIac, kDo, 44};
  struct Case {
    const char* what;
    Bytes stream;
    std::size_t reply_bytes;
    bool storm;
    bool telnet;
  };
  Bytes flood;
  for (int i = 0; i < 1000; ++i) flood.insert(flood.end(), {kIac, kWill, 0, kIac, kWont, 0, kIac, kDo, 3, kIac, kDont, 3});
  Bytes unwanted;  // refusals are sent once per option, however often it is asked
  for (int i = 0; i < 1000; ++i) unwanted.insert(unwanted.end(), {kIac, kWill, 1, kIac, kDo, 24});
  const std::vector<Case> cases = {
      {"ser2net's greeting", ser2net, 3 * 1, false, true},
      {"a flood of changes", flood, 3 * Reader::kMaxOptionAnswers, true, true},
      {"the same unwanted requests again and again", unwanted, 3 * 2, false, true},
      {"a raw server's bytes", Bytes{0xE2, 'L', 0, 0, 0x2E, 'P', 'o', 'r', 't'}, 0, false, false},
      {"an escaped 0xFF is data, not Telnet", Bytes{kIac, kIac, 0x01}, 0, false, false},
  };
  for (const Case& c : cases) {
    Reader reader = Started();
    const Fed fed = FeedWhole(reader, c.stream);
    EXPECT_EQ(fed.reply.size(), c.reply_bytes) << c.what;
    EXPECT_EQ(reader.storm(), c.storm) << c.what;
    EXPECT_EQ(reader.sawTelnet(), c.telnet) << c.what;
  }
}

}  // namespace
}  // namespace zmr::telnet
