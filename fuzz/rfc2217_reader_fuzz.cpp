// The Telnet / Com Port Control reader on whatever a server may send. Input: one byte
// that picks where the stream is cut into reads, then the server's bytes. Checked: the
// reads' cuts never change what comes out; data never grows; bytes without an IAC are all
// data; what we answer is only whole option answers; and data a server escapes properly
// comes back exactly.
#include <algorithm>
#include <vector>

#include "fuzz_check.h"
#include "link/telnet_codec.h"

namespace {

using namespace zmr::telnet;
using Bytes = std::vector<std::uint8_t>;

struct Out {
  Bytes data;
  Bytes reply;
};

Out Read(std::span<const std::uint8_t> stream, std::size_t cut_every) {
  Reader reader;
  reader.startNegotiation();
  Out out;
  for (std::size_t at = 0; at < stream.size(); at += cut_every) {
    reader.feed(stream.subspan(at, std::min(cut_every, stream.size() - at)), out.data, out.reply);
  }
  for (int code = 0; code < 256; ++code) {
    FUZZ_CHECK(reader.lastAnswer(static_cast<std::uint8_t>(code)).size() <= Reader::kMaxSubnegotiation);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t cut_every = 1 + input[0] % 16;
  const std::span<const std::uint8_t> stream(input + 1, size - 1);

  const Out whole = Read(stream, stream.size() + 1);
  const Out cut = Read(stream, cut_every);
  FUZZ_CHECK(cut.data == whole.data);
  FUZZ_CHECK(cut.reply == whole.reply);
  FUZZ_CHECK(whole.data.size() <= stream.size());
  if (std::find(stream.begin(), stream.end(), kIac) == stream.end()) {
    FUZZ_CHECK(whole.data == Bytes(stream.begin(), stream.end()));
    FUZZ_CHECK(whole.reply.empty());
  }
  FUZZ_CHECK(whole.reply.size() % 3 == 0);
  for (std::size_t i = 0; i < whole.reply.size(); i += 3) {
    FUZZ_CHECK(whole.reply[i] == kIac && whole.reply[i + 1] >= kWill && whole.reply[i + 1] <= kDont);
  }
  // Every answer stands for one request in the stream: at most one per three bytes.
  FUZZ_CHECK(whole.reply.size() <= stream.size());

  // The same bytes sent as data, escaped as a server must, come back as they were.
  const Bytes escaped = EscapeData(stream);
  const Out echoed = Read(escaped, cut_every);
  FUZZ_CHECK(echoed.data == Bytes(stream.begin(), stream.end()));
  FUZZ_CHECK(echoed.reply.empty());
  return 0;
}
