#include "options.h"

#include <algorithm>
#include <charconv>
#include <regex>

#include <QStringList>

#include "hardware/wall_clock.h"

namespace zmr::sim {

const char kUsage[] = R"(Usage: zmrsim [options]
A simulated ZMR timer on a pseudo-terminal. The first line on stdout is the device
path; then one line per request received and per relay action.

  --link PATH          also make PATH a symbolic link to the device (folders are
                       created; the link is removed on exit), e.g. /tmp/zmr/COM1
                       for ZMR_COM1=/tmp/zmr/COM1
  --clock "YYYY-MM-DD HH:MM:SS"   the timer's clock at start (default: PC clock)
  --activated          start activated
  --firmware MAJOR.MINOR          firmware version (default 1.5)
  --serial N,N,N,N,N,N,N,N | DDDDDDDD   serial number bytes (default 00123456)
  --product TEXT       product code, at most 8 characters (default ZMR1)
Faults:
  --silent             never answer
  --delay MS           answer MS milliseconds after the request
  --wrong-echo         echo another command letter
  --bad-checksum       send a wrong checksum
  --short-status N     status replies carry only N payload bytes
  --fail CMD:N         the N-th request of command CMD (L G U W E D T) is lost:
                       no effect, no answer (may be repeated)
  --pace               send replies at 9600 bit/s (about 1.04 ms a byte)
Schedule memory (as a week table, each day up to its first empty slot):
  SIGUSR1              prints it on stdout
  --dump-on-exit       prints it on stdout at exit
  --dump FILE          writes it to FILE at exit
SIGINT and SIGTERM end the simulator cleanly.
)";

namespace {

bool ToInt(const std::string& text, int& value, int low, int high) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

bool ParseSerial(const std::string& text, std::array<std::uint8_t, 8>& serial) {
  if (text.size() == serial.size() && std::all_of(text.begin(), text.end(), ::isdigit)) {
    std::transform(text.begin(), text.end(), serial.begin(), [](char c) { return c - '0'; });
    return true;
  }
  std::size_t i = 0, start = 0;
  for (; i < serial.size(); ++i) {
    const auto comma = text.find(',', start);
    int value = 0;
    if (!ToInt(text.substr(start, comma - start), value, 0, 255)) return false;
    serial[i] = static_cast<std::uint8_t>(value);
    if (comma == std::string::npos) return i + 1 == serial.size();
    start = comma + 1;
  }
  return false;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  Faults& faults = options.config.faults;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 < args.size()) return args[++i];
      error = arg + " needs a value";
      return std::nullopt;
    };
    auto bad = [&](const std::string& text) {
      error = "bad value for " + arg + ": " + text;
      return std::nullopt;
    };
    int number = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--activated") {
      options.config.activated = true;
    } else if (arg == "--silent") {
      faults.silent = true;
    } else if (arg == "--wrong-echo") {
      faults.wrong_echo = true;
    } else if (arg == "--bad-checksum") {
      faults.bad_checksum = true;
    } else if (arg == "--pace") {
      options.pace = true;
    } else if (arg == "--dump-on-exit") {
      options.dump_on_exit = true;
    } else if (arg == "--link" || arg == "--dump" || arg == "--clock" || arg == "--firmware" ||
               arg == "--serial" || arg == "--product" || arg == "--delay" || arg == "--short-status" ||
               arg == "--fail") {
      const auto text = value();
      if (!text) return std::nullopt;
      if (arg == "--link") {
        options.link_path = *text;
      } else if (arg == "--dump") {
        options.dump_path = *text;
      } else if (arg == "--clock") {
        // A wall-clock reading: 02:30 on the night the clocks go forward is a time the timer can show.
        const QStringList parts = QString::fromStdString(*text).split(' ');
        const QDateTime time = parts.size() == 2 ? zmr::WallClock(QDate::fromString(parts[0], "yyyy-MM-dd"),
                                                                  QTime::fromString(parts[1], "HH:mm:ss"))
                                                 : QDateTime();
        if (!time.isValid()) return bad(*text);
        options.config.start_time = time;
      } else if (arg == "--firmware") {
        static const std::regex kVersion(R"((\d{1,3})\.(\d{1,3}))");
        std::smatch match;
        int major = 0, minor = 0;
        if (!std::regex_match(*text, match, kVersion) || !ToInt(match[1], major, 0, 255) ||
            !ToInt(match[2], minor, 0, 255)) {
          return bad(*text);
        }
        options.config.firmware_major = static_cast<std::uint8_t>(major);
        options.config.firmware_minor = static_cast<std::uint8_t>(minor);
      } else if (arg == "--serial") {
        if (!ParseSerial(*text, options.config.serial)) return bad(*text);
      } else if (arg == "--product") {
        if (text->size() > options.config.product.size()) return bad(*text);
        options.config.product.fill(0);
        std::copy(text->begin(), text->end(), options.config.product.begin());
      } else if (arg == "--delay") {
        if (!ToInt(*text, number, 0, 60'000)) return bad(*text);
        faults.delay_ms = number;
      } else if (arg == "--short-status") {
        if (!ToInt(*text, number, 0, 255)) return bad(*text);
        faults.short_status = number;
      } else {
        static const std::string kCommands = "LGUWEDT";
        if (text->size() < 3 || (*text)[1] != ':' || kCommands.find((*text)[0]) == std::string::npos ||
            !ToInt(text->substr(2), number, 1, 1'000'000)) {
          return bad(*text);
        }
        faults.fail.insert({(*text)[0], number});
      }
    } else {
      error = "unknown option " + arg;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace zmr::sim
