#pragma once
// Telnet framing with the Com Port Control option (RFC 2217), as a network serial server
// speaks it: the byte stream is pure bytes in, bytes out, so every case can be tested
// without a socket. The client side only: we send data and port settings, the server
// sends data, option answers and notifications that must never reach the caller.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace zmr::telnet {

inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;

inline constexpr std::uint8_t kOptionBinary = 0;
inline constexpr std::uint8_t kOptionSuppressGoAhead = 3;
inline constexpr std::uint8_t kOptionComPort = 44;

// Client codes of the Com Port option; the server answers with the code + kServerOffset.
namespace comport {
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerOffset = 100;

inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kStopSizeOne = 1;
inline constexpr std::uint8_t kControlNoFlow = 1;
inline constexpr std::uint8_t kControlDtrOff = 9;
inline constexpr std::uint8_t kControlRtsOff = 12;
inline constexpr std::uint8_t kPurgeReceive = 1;
inline constexpr std::uint8_t kPurgeTransmit = 2;
inline constexpr std::uint8_t kPurgeBoth = 3;
}  // namespace comport

// The line the timer needs; the server's port is set to it on every connect.
struct LineSettings {
  std::uint32_t baud_rate = 9600;
  std::uint8_t data_size = 8;
  std::uint8_t parity = comport::kParityNone;
  std::uint8_t stop_size = comport::kStopSizeOne;
};

// Data bytes as they go on the wire: every 0xFF doubled.
std::vector<std::uint8_t> EscapeData(std::span<const std::uint8_t> data);
// IAC SB COM-PORT-OPTION code value... IAC SE, with 0xFF in the value doubled.
std::vector<std::uint8_t> ComPortCommand(std::uint8_t code, std::span<const std::uint8_t> value);
// The port settings: speed, data size, parity, stop size, no flow control, DTR and RTS
// off. Servers answer some of them and not others, so nothing waits for the answers.
std::vector<std::uint8_t> LineSettingCommands(const LineSettings& line);
// PURGE-DATA for the chosen directions of the server's serial port (none: empty).
std::vector<std::uint8_t> PurgeCommand(bool receive, bool transmit);

// Whether the server took the Com Port option: unknown until it answers.
enum class ComPortAnswer { Unknown, Accepted, Refused };

// Reads what the server sends. feed() hands the data bytes to `data` and the answers
// Telnet requires of us (to options we did not ask for) to `reply`; everything else
// (option answers, notifications, subnegotiations, other commands) is consumed. A
// command split across two reads is finished by the next feed().
class Reader {
 public:
  // What a client sends right after connecting: it offers and asks for BINARY and
  // SUPPRESS-GO-AHEAD both ways and offers the Com Port option. The reader then takes the
  // server's DO/WILL for those as answers, not as requests to be answered.
  std::vector<std::uint8_t> startNegotiation();

  void feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& reply);

  ComPortAnswer comPortAnswer() const { return com_port_; }
  // The last value the server reported for a Com Port code (e.g. the baud rate it set,
  // the modem state it notified); empty when it never did.
  const std::vector<std::uint8_t>& lastAnswer(std::uint8_t server_code) const;
  // How many subnegotiations were cut short because they ran past kMaxSubnegotiation.
  std::size_t oversizedSubnegotiations() const { return oversized_; }
  // Whether the server has sent any Telnet command at all (an rfc2217 link to a raw
  // server never sees one).
  bool sawTelnet() const { return saw_telnet_; }
  // The server changed options more often than any real server does: from then on
  // nothing more is answered, and the link is given up.
  bool storm() const { return answers_given_ > kMaxOptionAnswers; }

  // A subnegotiation longer than this is no Com Port answer: the rest is dropped up to
  // its IAC SE, so a hostile server cannot make us hold unbounded bytes.
  static constexpr std::size_t kMaxSubnegotiation = 64;
  // Answers to the server's option changes over one connection. ser2net asks seven
  // things once and needs about three answers; a server that keeps changing options and
  // never reads would otherwise have us queue answers without end.
  static constexpr std::size_t kMaxOptionAnswers = 32;

 private:
  enum class State { Data, Iac, Verb, Sb, SbIac };
  // Our side (WILL) and the server's side (DO) of one option.
  struct Option {
    bool ours_wanted = false;
    bool ours_on = false;
    bool ours_asked = false;   // we sent WILL and wait for DO/DONT
    bool theirs_wanted = false;
    bool theirs_on = false;
    bool theirs_asked = false;  // we sent DO and wait for WILL/WONT
    bool refusal_sent_ours = false;
    bool refusal_sent_theirs = false;
  };

  void verb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);
  void subnegotiation();
  void answer(std::vector<std::uint8_t>& reply, std::uint8_t verb, std::uint8_t option);

  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  std::vector<std::uint8_t> sb_;
  bool sb_oversized_ = false;
  std::size_t oversized_ = 0;
  bool saw_telnet_ = false;
  std::size_t answers_given_ = 0;
  std::array<Option, 256> options_{};
  ComPortAnswer com_port_ = ComPortAnswer::Unknown;
  std::array<std::vector<std::uint8_t>, 256> answers_{};
};

}  // namespace zmr::telnet
