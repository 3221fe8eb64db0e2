// Answers the next modal window from a timer, so that a test can call a
// function that shows a box or dialog and waits for it.
#pragma once
#include <functional>

class QWidget;

// Calls `act` with the next modal widget that appears (within timeout_ms). A
// widget that `act` leaves open is rejected a little later, so a wrong answer
// fails the test instead of hanging it. Returns nothing; check `seen()`.
void answer_next_modal(std::function<void(QWidget*)> act, int timeout_ms = 10000);

// Whether the last answer_next_modal found a modal widget.
bool modal_seen();
