// The Linux saver's stop: the signal handlers, the stop flag and the one alarm they share.
#include "x11/stop.h"

#include <cstring>
#include <unistd.h>

volatile std::sig_atomic_t StopSignal = 0;

namespace
{
// The frame in progress and the clean-up get this long after a stop (a frame takes
// milliseconds); a driver that does not come back in that time must not keep the process.
const unsigned int STOP_LIMIT_S = 5;

volatile std::sig_atomic_t Running = 0;

void OnStopSignal(int)
{
    if (!Running)
        _exit(0);
    StopSignal = 1;
    alarm(STOP_LIMIT_S);
}

void OnStuck(int)
{
    static const char message[] = "needlecast: the GL driver did not come back; ending\n";
    const ssize_t written = write(STDERR_FILENO, message, sizeof(message) - 1);
    (void)written;
    _exit(StopSignal ? 0 : 1);
}

// The stop signals held off while the alarm changes, so that a stop's limit is not overwritten.
void BlockStops(int how)
{
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGINT);
    pthread_sigmask(how, &stops, nullptr);
}

void SetAlarm(unsigned int seconds)
{
    BlockStops(SIG_BLOCK);
    if (!StopSignal)
        alarm(seconds);
    BlockStops(SIG_UNBLOCK);
}
} // namespace

void CatchStopSignals()
{
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnStuck;
    sigaction(SIGALRM, &action, nullptr);
}

void FramesRun()
{
    Running = 1;
}

void WatchdogArm(unsigned int seconds)
{
    SetAlarm(seconds);
}

void WatchdogDisarm()
{
    SetAlarm(0);
}
