// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cli.h"
#include "Commands.h"

namespace taonscope {

// Built without Qt: there is no font and no image to draw the scene with.
int RenderCommand(const std::vector<std::string>&, std::ostream& err, bool) {
    err << "taonscope-cli: render is not available in this build (it was made without Qt)\n";
    return CliBadInput;
}

} // namespace taonscope
