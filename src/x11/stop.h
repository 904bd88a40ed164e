// The Linux saver's stop: SIGTERM and SIGINT, and the watchdog that ends the process when the
// GL driver or the X server does not come back.
#pragma once

#include <csignal>

// Set by SIGTERM and SIGINT once the frames run; the loop finishes its frame and cleans up.
extern volatile std::sig_atomic_t StopSignal;

// Installs the handlers; the first thing main does. Until FramesRun, a stop ends the process at
// once with exit code 0: there is nothing yet that the server would not free with the connection.
void CatchStopSignals();

// From here on a stop lets the frame in progress and the clean-up finish, within a limit.
void FramesRun();

// Gives the work that follows (a call into the driver with the server held) seconds to come
// back, else the process ends. A stop's own limit, once set, stands.
void WatchdogArm(unsigned int seconds);
void WatchdogDisarm();
