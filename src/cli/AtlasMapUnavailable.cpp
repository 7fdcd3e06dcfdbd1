// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "Commands.h"

#include <ostream>

namespace taonscope {

// Built without Qt: there is no font and no image to draw the map with.
int AtlasMapCommand(const std::vector<std::string>&, std::ostream& err) {
    err << "taonscope-cli: atlas map is not available in this build (it was made without Qt)\n";
    return CliBadInput;
}

} // namespace taonscope
