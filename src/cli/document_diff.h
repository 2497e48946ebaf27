#pragma once

#include <ostream>
#include <string>

#include "cli/console.h"

namespace tvx {

// diff: reads both settings documents strictly and prints every setting that differs, one line each,
// tab-separated: where (page or day, or the group of a unit-wide setting), setting, value in a, value in
// b. Returns the exit status: 0 the same, 1 different or a document that cannot be read (said on the
// console).
int diff_documents(const std::string& path_a, const std::string& path_b, std::ostream& out, Console& console);

}  // namespace tvx
