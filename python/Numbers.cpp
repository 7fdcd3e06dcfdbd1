// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bindings.h"

#include "core/NumberText.h"

#include <cstring>

namespace taonscope {

static_assert(sizeof(Extended) == sizeof(long double), "numpy.longdouble is the extended real");

py::object LongDouble(Extended value) {
    py::array_t<long double> box(std::vector<py::ssize_t>{});
    std::memcpy(box.mutable_data(), &value, sizeof value);
    return box[py::tuple()];
}

Extended ToExtended(py::handle value) {
    if (py::isinstance<py::str>(value)) return ParseReal(value.cast<std::string>());
    // numpy takes None for not-a-number, which no caller means.
    if (value.is_none()) throw py::type_error("a real is needed, not None");
    const auto box = py::array_t<long double, py::array::forcecast>::ensure(value);
    if (!box || box.ndim() != 0)
        throw py::type_error("a real is needed, not " + py::repr(value).cast<std::string>());
    Extended result;
    std::memcpy(&result, box.data(), sizeof result);
    return result;
}

} // namespace taonscope
