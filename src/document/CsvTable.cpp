// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvTable.h"

#include "XyzFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

std::string PreciseReal(Extended value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 21);
    return std::string(text, result.ptr);
}

std::string RunTableQuantity(const Quantity& q) {
    return q.Valid() ? PreciseReal(q.Value) : "n/a";
}

std::string RunTableRow(const Sample& sample) {
    return std::to_string(sample.Step) + ',' + PreciseReal(sample.Time) + ',' +
           RunTableQuantity(sample.Kinetic) + ',' + RunTableQuantity(sample.PairEnergy) + ',' +
           RunTableQuantity(sample.TotalEnergy) + ',' + RunTableQuantity(sample.Momentum) + ',' +
           RunTableQuantity(sample.LargestSpeed) + '\n';
}

std::string RunTableCsv(const std::deque<Sample>& samples) {
    std::string out(RunTableHeader);
    for (const Sample& sample : samples) out += RunTableRow(sample);
    return out;
}

} // namespace taonscope
