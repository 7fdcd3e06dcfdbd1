// SPDX-License-Identifier: GPL-3.0-or-later
#include "Quantity.h"

#include "core/NumberText.h"

namespace taonscope {

std::string QuantityText(const Quantity& quantity) {
    return quantity.Valid() ? FormatReal(quantity.Value) : "n/a";
}

std::string PendingFaultReason() {
    const FpFault fault = PendingFpFault();
    return fault == FpFault::None ? std::string() : FpFaultMessage(fault);
}

} // namespace taonscope
