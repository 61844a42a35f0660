#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace cad {

// How long the CAD program may keep a call waiting before the user is asked: about
// ten seconds, as automation clients do.
inline constexpr std::chrono::milliseconds kPatience{10'000};

// What the gateway does when the CAD program keeps a call waiting.
//
// Busy (a dialog open), it rejects calls, which it then has not executed: each is
// repeated after a growing pause for `length`, then `retryBusy` decides whether to
// try another round. Unset, the gateway gives up.
//
// Silent (a long rebuild, a hang), it takes a call and does not answer: once the
// call has gone unanswered for `length`, `keepWaiting` decides, and is asked again
// after each further `length`. Unset, the gateway waits as long as it takes.
//
// Started, it may fail to come up (it did not register in time, or crashed while
// starting): each try starts it again, so `retryStart` is asked at once before
// another. Unset, the gateway gives up.
//
// Any question answered with false ends the operation with cad::Cancelled; so does
// `stopped` turning true while the gateway waits (the user stopped it from elsewhere),
// looked at about ten times a second while a call or a start goes unanswered, and
// between the tries of a rejected call.
struct Patience {
    std::chrono::milliseconds length = kPatience;
    std::function<bool()> retryBusy;
    std::function<bool()> keepWaiting;
    std::function<bool()> retryStart;
    std::function<bool()> stopped;
};

// Whether to ask the user about a call that has gone unanswered for `waited`, when
// they last said to go on waiting `sinceAnswer` ago (none: not asked yet). Each
// question comes a whole `length` after the one before.
constexpr bool timeToAsk(std::chrono::milliseconds waited,
                         std::optional<std::chrono::milliseconds> sinceAnswer,
                         std::chrono::milliseconds length) {
    return waited >= length && (!sinceAnswer || *sinceAnswer >= length);
}

} // namespace cad
