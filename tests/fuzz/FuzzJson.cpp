// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as the JSON the program reads: a document, a sweep, a LAMMPS sidecar and a cell's result.
// Each is refused with an error or read; what is read holds only UTF-8 text without NUL, a sweep its
// cells' finite values, and a cell's result reads back from its own text as the same record.
#include "FuzzSupport.h"

#include "atlas/Cell.h"
#include "atlas/Sweep.h"
#include "core/Errors.h"
#include "document/Json.h"
#include "document/LammpsDumpFile.h"
#include "document/TextEncoding.h"

#include <cmath>
#include <string_view>

using namespace taonscope;

namespace {

// Every string of the value, keys included, is UTF-8 without NUL, and reads back from its quoted form.
void CheckStrings(const JsonValue& value) {
    const auto check = [](const std::string& text) {
        fuzz::Require(IsValidUtf8(text) && text.find('\0') == std::string::npos);
        fuzz::Require(ParseJson(JsonQuoted(text)).AsString("text") == text);
    };
    if (value.IsString()) check(value.AsString("text"));
    if (value.IsArray())
        for (const JsonValue& item : value.AsArray("list")) CheckStrings(item);
    if (value.IsObject())
        for (const auto& [key, member] : value.AsObject("object")) {
            check(key);
            CheckStrings(member);
        }
}

const AtlasSweep& CellSweep() {
    static const AtlasSweep sweep = ParseSweep(R"({"base": {"scenario": "cloud", "seed": 3},
        "vary": [{"parameter": "A", "from": 0.5, "to": 2, "count": 3}], "repetitions": 2,
        "protocol": {"steps": 10}})");
    return sweep;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        CheckStrings(ParseJson(text));
    } catch (const TaonError&) {
    }
    try {
        const AtlasSweep sweep = ParseSweep(text);
        fuzz::Require(sweep.CellCount() >= 1 && sweep.CellCount() <= MostCells);
        for (const SweepAxis& axis : sweep.Vary) {
            fuzz::Require(static_cast<int>(axis.Values.size()) == axis.Count);
            for (const Extended value : axis.Values) fuzz::Require(std::isfinite(value));
        }
    } catch (const TaonError&) {
    }
    try {
        World world;
        ReadLammpsSidecar(text, world);
    } catch (const TaonError&) {
    }
    try {
        const CellRecord record = ParseCellRecord(CellSweep(), text);
        const CellRecord back = ParseCellRecord(CellSweep(), CellRecordJson(CellSweep(), record));
        fuzz::Require(CellRecordJson(CellSweep(), back) == CellRecordJson(CellSweep(), record));
    } catch (const TaonError&) {
    }
    return 0;
}
