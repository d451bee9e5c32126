// Stopping a long computation at its caller's request. The caller puts a
// request check in place for its thread (TStopScope); the computation
// passes StopPoint() between small pieces of its work. Every few points
// the clock is read; the check is asked at the first look and then about
// every 50 ms of work. A request ends the computation by throwing
// TStopped, which the library turns into a "stopped" outcome at its
// boundary. A point costs a counter decrement and changes nothing else: a
// computation that is not stopped computes exactly what it would have
// computed without its points.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

class TStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "stopped at the caller's request"; }
};

// The check of the thread's innermost scope is the one asked; an empty
// check asks nothing. Scopes nest; each asks its own check only.
class TStopScope {
 public:
  explicit TStopScope(std::function<bool()> requested);
  ~TStopScope();
  TStopScope(const TStopScope&) = delete;
  TStopScope& operator=(const TStopScope&) = delete;

 private:
  std::function<bool()> Requested;
  TStopScope* Outer;
  long long Asked;  // when the check was last asked (steady clock, ns)

  friend void StopPointDue();
};

namespace stop_detail {
extern thread_local int Countdown;
}

// Counts the points down and, when the count is out, looks at the clock.
void StopPointDue();
inline void StopPoint() {
  if (--stop_detail::Countdown <= 0) StopPointDue();
}

// Runs `work` with `requested` as its stop request. A stop, or a misuse or
// fault that the work throws as std::logic_error, ends it and is told in
// `stopped` and `error` instead: false then.
template <typename TWork>
bool RunStoppable(const std::function<bool()>& requested, TWork&& work, bool& stopped, std::string& error) {
  const TStopScope scope(requested);
  try {
    work();
    return true;
  } catch (const TStopped& stop) {
    stopped = true;
    error = stop.what();
  } catch (const std::logic_error& failure) {
    error = failure.what();
  }
  return false;
}
