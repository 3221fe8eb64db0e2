// Sources of an add command given with a base directory ("archive base\ names"):
// the names are looked up inside the base and stored relative to it, as the LZH
// and CAB components take them. The paths handed back are absolute.
#pragma once

#include "plugins/archive_common/archive_sources.h"
#include "plugins/archive_common/command_line.h"

namespace component {

// `archive` becomes absolute (it must name the same file from inside the base).
// "*.*" stands for the names when none are given. An Outcome.
int gather_under_base(const Targets& targets, const GatherRules& rules, std::string& archive,
                      std::vector<Source>& out, Report& report);

}  // namespace component
