// needlecast-sim --runs: the experiments run one after another in this process, or shared out
// among worker processes that send their tallies back through pipes.
#include "sim/runs.h"

#include "digest.h"
#include "stick.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define NEEDLECAST_WORKERS 1
#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace
{
// One run, exactly as needlecast-sim --seed seed makes it.
RunResult RunOne(const SimOptions& options, uint32_t seed)
{
    SimOptions one = options;
    one.seed = seed;
    one.seed_given = true;
    RunSim(one);
    RunResult result;
    result.seed = seed;
    result.n = CStick::SticksTested;
    result.c = CStick::SticksCrossing;
    result.digest = options.digest ? ExperimentDigest() : 0;
    return result;
}

#ifdef NEEDLECAST_WORKERS
// What a worker sends for each run: the run's place among all of them, and its result.
struct Record
{
    uint32_t index;
    RunResult result;
};

struct Worker
{
    pid_t pid = -1;
    int fd = -1;
    uint32_t next = 0; // the index of the next run it owes
    size_t filled = 0; // bytes of a record read so far
    Record record{};
};

// Worker w runs w, w + jobs, w + 2 jobs ... and writes a record after each.
[[noreturn]] void RunWorker(const SimOptions& options, uint32_t first, uint32_t w, uint32_t jobs, int fd)
{
    for (uint32_t index = w; index < options.runs; index += jobs)
    {
        const Record record{index, RunOne(options, first + index)};
        const char* bytes = reinterpret_cast<const char*>(&record);
        for (size_t sent = 0; sent < sizeof(record);)
        {
            const ssize_t written = write(fd, bytes + sent, sizeof(record) - sent);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                _exit(3);
            sent += static_cast<size_t>(written);
        }
    }
    _exit(0);
}

// How a worker ended, for its error line.
std::string Ending(int status)
{
    if (WIFSIGNALED(status))
        return std::string("was killed by signal ") + std::to_string(WTERMSIG(status)) + " (" +
               strsignal(WTERMSIG(status)) + ")";
    if (WIFEXITED(status))
        return "exited with status " + std::to_string(WEXITSTATUS(status));
    return "stopped";
}

bool RunInWorkers(const SimOptions& options, uint32_t first, uint32_t jobs, std::vector<RunResult>* results,
                  void (*after_each)(uint32_t, void*), void* context, std::string* error)
{
    std::vector<Worker> workers(jobs);
    bool ok = true;
    for (uint32_t w = 0; w < jobs && ok; ++w)
    {
        int ends[2];
        if (pipe(ends) != 0)
        {
            *error = std::string("cannot start the workers: ") + std::strerror(errno);
            ok = false;
            break;
        }
        const pid_t pid = fork();
        if (pid == 0)
        {
#ifdef __linux__
            prctl(PR_SET_PDEATHSIG, SIGTERM); // no worker outlives needlecast-sim
#endif
            // The output files are needlecast-sim's to remove, not a stopped worker's.
            for (int signal_number : {SIGINT, SIGTERM, SIGHUP})
                std::signal(signal_number, SIG_DFL);
            close(ends[0]);
            for (uint32_t earlier = 0; earlier < w; ++earlier)
                close(workers[earlier].fd);
            RunWorker(options, first, w, jobs, ends[1]);
        }
        close(ends[1]);
        if (pid < 0)
        {
            close(ends[0]);
            *error = std::string("cannot start the workers: ") + std::strerror(errno);
            ok = false;
            break;
        }
        workers[w].pid = pid;
        workers[w].fd = ends[0];
        workers[w].next = w;
    }

    // The records as they come, from whichever worker has one. A worker whose pipe ends while
    // it owes runs has failed, and the rest are stopped.
    Worker* culprit = nullptr;
    uint32_t done = 0;
    std::vector<pollfd> fds;
    while (ok)
    {
        fds.clear();
        for (const Worker& worker : workers)
            if (worker.fd >= 0)
                fds.push_back({worker.fd, POLLIN, 0});
        if (fds.empty())
            break;
        if (poll(fds.data(), fds.size(), -1) < 0)
        {
            if (errno == EINTR)
                continue;
            *error = std::string("cannot wait for the workers: ") + std::strerror(errno);
            ok = false;
            break;
        }
        for (Worker& worker : workers)
        {
            if (worker.fd < 0)
                continue;
            const auto polled = std::find_if(fds.begin(), fds.end(), [&](const pollfd& p) { return p.fd == worker.fd; });
            if (polled == fds.end() || polled->revents == 0)
                continue;
            char* into = reinterpret_cast<char*>(&worker.record) + worker.filled;
            const ssize_t got = read(worker.fd, into, sizeof(Record) - worker.filled);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) // the worker is through, or gone
            {
                close(worker.fd);
                worker.fd = -1;
                if (worker.next < options.runs)
                {
                    culprit = &worker;
                    ok = false;
                    break;
                }
                continue;
            }
            worker.filled += static_cast<size_t>(got);
            if (worker.filled < sizeof(Record))
                continue;
            worker.filled = 0;
            if (worker.record.index != worker.next)
            {
                *error = "the worker for seed " + std::to_string(first + worker.next) + " sent a record out of turn";
                ok = false;
                break;
            }
            (*results)[worker.next] = worker.record.result;
            worker.next += jobs;
            after_each(++done, context);
        }
    }

    // Every worker is waited for, the others stopped first where one has failed; the one that
    // failed is named by the seed it owed.
    for (Worker& worker : workers)
        if (worker.pid > 0 && !ok && &worker != culprit)
            kill(worker.pid, SIGTERM);
    for (Worker& worker : workers)
    {
        if (worker.pid < 0)
            continue;
        if (worker.fd >= 0)
            close(worker.fd);
        int status = 0;
        while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR)
        {
        }
        const bool exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (&worker == culprit || (ok && !exited))
        {
            *error = "the worker for seed " + std::to_string(first + worker.next) + " " +
                     (exited ? std::string("stopped short") : Ending(status));
            ok = false;
        }
    }
    return ok;
}
#endif
} // namespace

uint32_t DefaultJobs()
{
#ifdef NEEDLECAST_WORKERS
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return cores < 1 ? 1 : cores > static_cast<long>(SIM_MAX_JOBS) ? SIM_MAX_JOBS : static_cast<uint32_t>(cores);
#else
    return 1;
#endif
}

bool RunMany(const SimOptions& options, uint32_t first, uint32_t jobs, std::vector<RunResult>* results,
             void (*after_each)(uint32_t done, void* context), void* context, std::string* error)
{
    results->assign(options.runs, RunResult());
    if (jobs > options.runs)
        jobs = options.runs;
#ifdef NEEDLECAST_WORKERS
    if (jobs > 1)
    {
        std::fflush(nullptr); // nothing buffered is written twice
        return RunInWorkers(options, first, jobs, results, after_each, context, error);
    }
#else
    (void)error;
#endif
    for (uint32_t index = 0; index < options.runs; ++index)
    {
        (*results)[index] = RunOne(options, first + index);
        after_each(index + 1, context);
    }
    return true;
}
