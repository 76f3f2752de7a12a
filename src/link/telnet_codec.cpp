#include "link/telnet_codec.h"

namespace zmr::telnet {

namespace {

// The options we use, on our side and asked of the server.
constexpr std::array<std::uint8_t, 3> kOurOptions{kOptionBinary, kOptionSuppressGoAhead, kOptionComPort};
constexpr std::array<std::uint8_t, 2> kTheirOptions{kOptionBinary, kOptionSuppressGoAhead};

void Put(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
  out.insert(out.end(), {kIac, verb, option});
}

void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t b : bytes) {
    out.push_back(b);
    if (b == kIac) out.push_back(kIac);
  }
}

void AppendCommand(std::vector<std::uint8_t>& out, std::uint8_t code, std::span<const std::uint8_t> value) {
  out.insert(out.end(), {kIac, kSb, kOptionComPort, code});
  AppendEscaped(out, value);
  out.insert(out.end(), {kIac, kSe});
}

}  // namespace

std::vector<std::uint8_t> EscapeData(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size() + 8);
  AppendEscaped(out, data);
  return out;
}

std::vector<std::uint8_t> ComPortCommand(std::uint8_t code, std::span<const std::uint8_t> value) {
  std::vector<std::uint8_t> out;
  AppendCommand(out, code, value);
  return out;
}

std::vector<std::uint8_t> LineSettingCommands(const LineSettings& line) {
  const std::array<std::uint8_t, 4> baud{static_cast<std::uint8_t>(line.baud_rate >> 24),
                                         static_cast<std::uint8_t>(line.baud_rate >> 16),
                                         static_cast<std::uint8_t>(line.baud_rate >> 8),
                                         static_cast<std::uint8_t>(line.baud_rate)};
  std::vector<std::uint8_t> out;
  AppendCommand(out, comport::kSetBaudRate, baud);
  AppendCommand(out, comport::kSetDataSize, std::array{line.data_size});
  AppendCommand(out, comport::kSetParity, std::array{line.parity});
  AppendCommand(out, comport::kSetStopSize, std::array{line.stop_size});
  AppendCommand(out, comport::kSetControl, std::array{comport::kControlNoFlow});
  AppendCommand(out, comport::kSetControl, std::array{comport::kControlDtrOff});
  AppendCommand(out, comport::kSetControl, std::array{comport::kControlRtsOff});
  return out;
}

std::vector<std::uint8_t> PurgeCommand(bool receive, bool transmit) {
  if (!receive && !transmit) return {};
  const std::uint8_t which = receive && transmit ? comport::kPurgeBoth
                             : receive           ? comport::kPurgeReceive
                                                 : comport::kPurgeTransmit;
  return ComPortCommand(comport::kPurgeData, std::array{which});
}

std::vector<std::uint8_t> Reader::startNegotiation() {
  std::vector<std::uint8_t> out;
  for (const std::uint8_t o : kOurOptions) {
    options_[o].ours_wanted = true;
    if (!options_[o].ours_on) {
      options_[o].ours_asked = true;
      Put(out, kWill, o);
    }
  }
  for (const std::uint8_t o : kTheirOptions) {
    options_[o].theirs_wanted = true;
    if (!options_[o].theirs_on) {
      options_[o].theirs_asked = true;
      Put(out, kDo, o);
    }
  }
  return out;
}

const std::vector<std::uint8_t>& Reader::lastAnswer(std::uint8_t server_code) const { return answers_[server_code]; }

void Reader::feed(std::span<const std::uint8_t> bytes, std::vector<std::uint8_t>& data,
                  std::vector<std::uint8_t>& reply) {
  for (const std::uint8_t b : bytes) {
    switch (state_) {
      case State::Data:
        if (b == kIac) {
          state_ = State::Iac;
        } else {
          data.push_back(b);
        }
        break;
      case State::Iac:
        if (b != kIac) saw_telnet_ = true;
        if (b == kIac) {
          data.push_back(kIac);
          state_ = State::Data;
        } else if (b >= kWill && b <= kDont) {
          verb_ = b;
          state_ = State::Verb;
        } else if (b == kSb) {
          sb_.clear();
          sb_oversized_ = false;
          state_ = State::Sb;
        } else {
          state_ = State::Data;  // NOP, GA, DM and the like carry nothing for us
        }
        break;
      case State::Verb:
        verb(verb_, b, reply);
        state_ = State::Data;
        break;
      case State::Sb:
        if (b == kIac) {
          state_ = State::SbIac;
        } else if (sb_.size() < kMaxSubnegotiation) {
          sb_.push_back(b);
        } else {
          sb_oversized_ = true;
        }
        break;
      case State::SbIac:
        if (b == kIac) {
          if (sb_.size() < kMaxSubnegotiation) {
            sb_.push_back(kIac);
          } else {
            sb_oversized_ = true;
          }
          state_ = State::Sb;
        } else {
          subnegotiation();
          // IAC SE ends it; any other command ends it too and is then taken as itself.
          state_ = State::Data;
          if (b != kSe) {
            const std::uint8_t command[] = {kIac, b};
            feed(command, data, reply);
          }
        }
        break;
    }
  }
}

void Reader::subnegotiation() {
  if (sb_oversized_) {
    ++oversized_;
    return;
  }
  if (sb_.size() >= 2 && sb_[0] == kOptionComPort) {
    answers_[sb_[1]].assign(sb_.begin() + 2, sb_.end());
  }
}

void Reader::answer(std::vector<std::uint8_t>& reply, std::uint8_t verb, std::uint8_t option) {
  if (++answers_given_ <= kMaxOptionAnswers) Put(reply, verb, option);
}

// Answers follow the rule that keeps two Telnet ends from looping: a request is
// answered only when it changes the option's state, and an answer to our own request
// is never answered.
void Reader::verb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply) {
  Option& o = options_[option];
  switch (verb) {
    case kDo:
      if (!o.ours_wanted) {
        if (!o.refusal_sent_ours) answer(reply, kWont, option);
        o.refusal_sent_ours = true;
        return;
      }
      if (!o.ours_on && !o.ours_asked) answer(reply, kWill, option);
      o.ours_on = true;
      o.ours_asked = false;
      if (option == kOptionComPort) com_port_ = ComPortAnswer::Accepted;
      return;
    case kDont:
      if (o.ours_on && !o.ours_asked) answer(reply, kWont, option);
      if (option == kOptionComPort && (o.ours_on || o.ours_asked)) com_port_ = ComPortAnswer::Refused;
      o.ours_on = false;
      o.ours_asked = false;
      return;
    case kWill:
      if (!o.theirs_wanted) {
        if (!o.refusal_sent_theirs) answer(reply, kDont, option);
        o.refusal_sent_theirs = true;
        return;
      }
      if (!o.theirs_on && !o.theirs_asked) answer(reply, kDo, option);
      o.theirs_on = true;
      o.theirs_asked = false;
      return;
    case kWont:
      if (o.theirs_on && !o.theirs_asked) answer(reply, kDont, option);
      o.theirs_on = false;
      o.theirs_asked = false;
      return;
    default:
      return;
  }
}

}  // namespace zmr::telnet
