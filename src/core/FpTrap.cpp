// SPDX-License-Identifier: GPL-3.0-or-later
#include "FpTrap.h"

#include <cfenv>

namespace taonscope {

namespace {
constexpr int FaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

FloatingPointError::FloatingPointError(FpFault fault) : TaonError(FpFaultMessage(fault)), fault_(fault) {}

const char* FpFaultMessage(FpFault fault) {
    switch (fault) {
    case FpFault::InvalidOperation:
        return "Invalid floating point operation";
    case FpFault::DivisionByZero:
        return "Floating point division by zero";
    case FpFault::Overflow:
        return "Floating point overflow";
    case FpFault::None:
        break;
    }
    return "";
}

void ClearFpFlags() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

FpFault PendingFpFault() {
    const int raised = std::fetestexcept(FaultFlags);
    if (raised == 0) return FpFault::None;
    if (raised & FE_DIVBYZERO) return FpFault::DivisionByZero;
    if (raised & FE_OVERFLOW) return FpFault::Overflow;
    return FpFault::InvalidOperation;
}

void ThrowOnFpFault() {
    const FpFault fault = PendingFpFault();
    if (fault != FpFault::None) {
        ClearFpFlags();
        throw FloatingPointError(fault);
    }
}

} // namespace taonscope
