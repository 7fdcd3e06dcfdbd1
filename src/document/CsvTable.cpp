// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvTable.h"

#include "XyzFile.h"

#include <algorithm>

namespace taonscope {

std::string TaonTableCsv(const World& world, bool velocities) {
    const TaonArray& x = velocities ? world.VelX : world.PosX;
    const TaonArray& y = velocities ? world.VelY : world.PosY;
    const TaonArray& z = velocities ? world.VelZ : world.PosZ;
    std::string out = velocities ? "taon,u(x),u(y),u(z)\n" : "taon,X,Y,Z\n";
    for (int i = 1; i <= std::clamp(world.TaonCount, 0, MaxTaons); ++i) {
        if (!world.TaonPresent[i]) continue;
        out += std::to_string(i) + ',' + XyzRealText(x[i]) + ',' + XyzRealText(y[i]) + ',' +
               XyzRealText(z[i]) + '\n';
    }
    return out;
}

} // namespace taonscope
