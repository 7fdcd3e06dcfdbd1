// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Errors.h"

namespace taonscope {

/// The arithmetic faults that are errors; underflow is not one of them.
enum class FpFault { None, InvalidOperation, DivisionByZero, Overflow };

/// An arithmetic fault raised as an error.
class FloatingPointError : public TaonError {
public:
    explicit FloatingPointError(FpFault fault);
    FpFault fault() const { return fault_; }

private:
    FpFault fault_;
};

/// The error text of a fault ("Floating point division by zero" ...).
const char* FpFaultMessage(FpFault fault);

/// Clears the sticky exception flags of both the x87 and the SSE unit.
void ClearFpFlags();

/// The fault recorded in the flags since they were last cleared; when several are, division by zero
/// comes first, then overflow, then invalid operation (the order in which one evaluation raises them).
FpFault PendingFpFault();

/// Throws FloatingPointError when a fault is pending.
void ThrowOnFpFault();

/// Returns value after making sure it has been computed and no fault is pending; sequencing the test
/// after the computation keeps the first fault of a long calculation the one that is reported.
template <typename T> inline T Checked(T value) {
    asm volatile("" : "+m"(value));
    ThrowOnFpFault();
    return value;
}

} // namespace taonscope
