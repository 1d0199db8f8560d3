// The legacy failure rule.
//
// Most procedures of this system never stop on a run-time fault: the
// statement that fails (division by zero, a value that does not fit 16 bits,
// an index outside an array, a file that cannot be opened) is abandoned,
// whatever it would have set keeps its value, and the procedure goes on.
//
// Faults are detected by the checked helpers below, which throw `Fault`.
// A statement that may be abandoned is written inside `stmt(...)`; a
// procedure that traps nothing simply lets the `Fault` pass to its caller.
// A fault is never undefined behaviour: every checked helper tests its
// operands before the operation.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace tavo {

enum class FaultKind { DivisionByZero, Overflow, IndexOutOfRange, File, Format };

class Fault : public std::runtime_error {
public:
    Fault(FaultKind kind, const std::string& what) : std::runtime_error(what), kind_(kind) {}
    FaultKind kind() const { return kind_; }

private:
    FaultKind kind_;
};

[[noreturn]] inline void raise_fault(FaultKind kind, const char* what) {
    throw Fault(kind, what);
}

// Runs one statement under the failure rule: a Fault abandons it, and the
// caller goes on with the next statement. Returns whether it completed.
template <class F>
inline bool stmt(F&& f) {
    try {
        f();
        return true;
    } catch (const Fault&) {
        return false;
    }
}

// ---- checked arithmetic --------------------------------------------------
// Floating results that are not finite count as an overflow, as the legacy
// runtime raised one; a zero divisor is a division by zero, also for floats.

inline float checked(float v) {
    if (!std::isfinite(v)) raise_fault(FaultKind::Overflow, "overflow");
    return v;
}
inline double checked(double v) {
    if (!std::isfinite(v)) raise_fault(FaultKind::Overflow, "overflow");
    return v;
}

inline float fdiv(float a, float b) {
    if (b == 0.0f) raise_fault(FaultKind::DivisionByZero, "division by zero");
    return checked(a / b);
}
inline double ddiv(double a, double b) {
    if (b == 0.0) raise_fault(FaultKind::DivisionByZero, "division by zero");
    return checked(a / b);
}

// The same checks reporting a fault through the result, for loops where
// faults are ordinary data (a factor of 0 fails on every sample): empty
// where the throwing form raises, so the caller abandons the statement.
inline std::optional<float> try_fdiv(float a, float b) {
    if (b == 0.0f) return std::nullopt;
    const float v = a / b;
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}
inline std::optional<double> try_ddiv(double a, double b) {
    if (b == 0.0) return std::nullopt;
    const double v = a / b;
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}
inline std::optional<double> try_dsqrt(double v) {
    if (!(v >= 0.0)) return std::nullopt;
    return std::sqrt(v);
}

// Square root of a negative value is an invalid procedure call.
inline double dsqrt(double v) {
    if (!(v >= 0.0)) raise_fault(FaultKind::Overflow, "square root of a negative number");
    return std::sqrt(v);
}
inline float fsqrt(float v) {
    return static_cast<float>(dsqrt(static_cast<double>(v)));
}

// Bounds-checked element access for the fixed arrays of the state.
template <class A>
inline auto& at(A& arr, long i) {
    if (i < 0 || static_cast<unsigned long>(i) >= arr.size())
        raise_fault(FaultKind::IndexOutOfRange, "index outside the array");
    return arr[static_cast<std::size_t>(i)];
}

}  // namespace tavo
