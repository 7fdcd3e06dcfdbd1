// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvTable.h"

#include "XyzFile.h"

#include <algorithm>

namespace taonscope {

std::string TaonTableCsv(const World& world) {
    std::string out = "slot,kind,x,y,z,vx,vy,vz\n";
    for (int i = 1; i <= std::clamp(world.TaonCount, 0, MaxTaons); ++i) {
        if (!world.TaonPresent[i]) continue;
        out += std::to_string(i) + ',' + std::to_string(TaonKind(world, i));
        for (const TaonArray* values :
             {&world.PosX, &world.PosY, &world.PosZ, &world.VelX, &world.VelY, &world.VelZ}) {
            out += ',';
            out += XyzRealText((*values)[static_cast<std::size_t>(i)]);
        }
        out += '\n';
    }
    return out;
}

std::string ParameterTableCsv(const World& world) {
    std::string out = "parameter,value\n";
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        out += std::string(ParameterNames[p]) + ',' + XyzRealText(world.*ParameterFields[p]) + '\n';
    return out;
}

} // namespace taonscope
