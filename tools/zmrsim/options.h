#pragma once
// zmrsim's command line.
#include <optional>
#include <string>
#include <vector>

#include "sim_timer.h"

namespace zmr::sim {

struct Options {
  SimConfig config;
  std::string link_path;          // --link: a symlink to the pty, removed on exit
  bool pace = false;              // --pace: replies at 9600 bit/s
  std::string dump_path;          // --dump FILE: week table written there at exit
  bool dump_on_exit = false;      // --dump-on-exit: week table on stdout at exit
  bool help = false;
};

// Parses argv[1..]; on a bad argument returns nullopt and sets error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char kUsage[];

}  // namespace zmr::sim
