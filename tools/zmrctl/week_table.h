#pragma once
// Text renderings of a project for the terminal.
#include <string>

#include "project/project_model.h"

namespace zmr::ctl {

// The summary fields, one "Name: value" line each.
std::string SummaryText(const ProjectSetup& project);
// The week as a table: a row per slot in slot order, a column per day, EventText per cell,
// down to the last slot any day uses.
std::string WeekTable(const ProjectSetup& project);
// The chunks a download sends: "day d chunk c  AAAA  XX XX ..." (address, 64 bytes).
std::string CompiledChunks(const ProjectSetup& project);

}  // namespace zmr::ctl
