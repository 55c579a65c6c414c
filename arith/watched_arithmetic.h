// IEEE arithmetic that remembers whether any operation raised invalid
// operation, division by zero or overflow.
#pragma once

#include <cmath>

namespace velmora {

// It reads the operands and results rather than the processor's status
// word, which an optimising compiler is free to test before the operation
// it should watch.
class WatchedArithmetic {
 public:
  bool Faulted() const { return faulted_; }

  double Sub(double a, double b) { return Check(a - b, a, b); }
  double Add(double a, double b) { return Check(a + b, a, b); }
  double Mul(double a, double b) { return Check(a * b, a, b); }
  // Any division by zero is a fault, whatever the dividend: 0/0 is invalid,
  // x/0 a division by zero, and so is inf/0, although its infinite result
  // from an infinite operand would pass the check of the result.
  double Div(double a, double b) {
    if (b == 0.0) {
      faulted_ = true;
    }
    return Check(a / b, a, b);
  }

 private:
  // A NaN result means an invalid operation (or a NaN operand, which is no
  // number to compute with either); an infinite result from finite operands
  // means an overflow. An infinite operand gives an infinite result exactly,
  // which raises nothing.
  double Check(double result, double a, double b) {
    if (std::isnan(result) || (std::isinf(result) && std::isfinite(a) && std::isfinite(b))) {
      faulted_ = true;
    }
    return result;
  }

  bool faulted_ = false;
};

}  // namespace velmora
