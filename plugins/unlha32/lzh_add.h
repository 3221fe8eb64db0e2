// The add command of the LZH component: gathers the named files under a base
// directory and writes them with the LZH writer, one report line per member.
#pragma once

#include "plugins/archive_common/command_line.h"
#include "plugins/archive_common/report.h"

namespace ostrel::lzh {

// `targets.directory`, when given, is the base: the names are taken inside it and
// stored relative to it ("*.*" when none are given). `archive_time_from_newest`
// sets the archive's write time to its newest member's. An Outcome.
int lzh_add(const component::Targets& targets, bool archive_time_from_newest, component::Report& report);

}  // namespace ostrel::lzh
