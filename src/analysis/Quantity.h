// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Errors.h"
#include "core/Extended.h"
#include "core/FpTrap.h"

#include <cmath>
#include <string>

namespace taonscope {

/// A measured real, or the reason why there is none (an arithmetic fault, a value that is not finite).
struct Quantity {
    Extended Value = 0; ///< the value; meaningful only when Reason is empty
    std::string Reason; ///< empty when the value is valid, else why it is not available

    /// True when Value holds a finite, fault-free result.
    bool Valid() const { return Reason.empty(); }
};

/// A measured vector, or the reason why there is none.
struct VectorQuantity {
    Extended X = 0, Y = 0, Z = 0; ///< the components; meaningful only when Reason is empty
    std::string Reason;           ///< empty when the components are valid

    /// True when the components hold finite, fault-free results.
    bool Valid() const { return Reason.empty(); }
};

/// The reason given for a value that is an infinity or not a number.
inline constexpr const char* NotFiniteReason = "The value is not a finite number";

/// The quantity as it is shown: the program's number text, or "n/a".
std::string QuantityText(const Quantity& quantity);

/// The reason of a fault pending in the flags, or empty.
std::string PendingFaultReason();

/// Runs compute with the fault flags cleared and turns every way it can fail (an error it throws, a
/// fault it leaves in the flags, a result that is not finite) into the quantity's reason.
template <typename Compute> Quantity Measure(Compute&& compute) {
    Quantity result;
    try {
        ClearFpFlags();
        result.Value = Checked(compute());
        if (!std::isfinite(result.Value)) result.Reason = NotFiniteReason;
    } catch (const TaonError& error) {
        result.Reason = error.what();
    }
    if (!result.Valid()) result.Value = 0;
    return result;
}

} // namespace taonscope
