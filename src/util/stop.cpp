#include "stop.h"

#include <chrono>
#include <climits>
#include <utility>

namespace {

// Points between two looks at the clock: a piece of work is at least a
// pattern's propagation, so the look costs a few percent at most.
constexpr int kPointsPerLook = 32;
constexpr long long kAskEveryNs = 50000000;  // 50 ms

thread_local TStopScope* Innermost = nullptr;

long long Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

thread_local int stop_detail::Countdown = INT_MAX;

// The first look asks: a request made before the computation began stops it
// at once.
TStopScope::TStopScope(std::function<bool()> requested)
    : Requested(std::move(requested)), Outer(Innermost), Asked(LLONG_MIN / 2) {
  Innermost = this;
  stop_detail::Countdown = Requested ? kPointsPerLook : INT_MAX;
}

TStopScope::~TStopScope() {
  Innermost = Outer;
  stop_detail::Countdown = Outer != nullptr && Outer->Requested ? kPointsPerLook : INT_MAX;
}

void StopPointDue() {
  TStopScope* scope = Innermost;
  if (scope == nullptr || !scope->Requested) {
    stop_detail::Countdown = INT_MAX;
    return;
  }
  stop_detail::Countdown = kPointsPerLook;
  const long long now = Now();
  if (now - scope->Asked < kAskEveryNs) return;
  scope->Asked = now;
  if (scope->Requested()) throw TStopped();
}
