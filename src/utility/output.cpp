// Files written whole or not at all: the writability check and the write-then-rename file.
#include "utility/output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
// The temporary files not yet committed, for the signal handler: fixed storage, since a
// handler may not allocate. A name too long for it is simply not removed on a signal.
const int MOST_PENDING = 8;
const size_t LONGEST_NAME = 1024;
char pending[MOST_PENDING][LONGEST_NAME];
volatile sig_atomic_t pending_count = 0;

void Remember(const std::string& temporary)
{
    if (temporary.size() >= LONGEST_NAME || pending_count >= MOST_PENDING)
        return;
    std::memcpy(pending[pending_count], temporary.c_str(), temporary.size() + 1);
    pending_count = pending_count + 1;
}

void Forget(const std::string& temporary)
{
    for (int i = 0; i < pending_count; ++i)
        if (temporary == pending[i])
        {
            for (int j = i + 1; j < pending_count; ++j)
                std::memcpy(pending[j - 1], pending[j], LONGEST_NAME);
            pending_count = pending_count - 1;
            return;
        }
}

#ifndef _WIN32
void RemoveAndStop(int signal_number)
{
    for (int i = 0; i < pending_count; ++i)
        unlink(pending[i]);
    std::signal(signal_number, SIG_DFL);
    raise(signal_number);
}
#endif

std::string CannotWrite(const std::string& path, const char* why)
{
    std::string message("cannot write ");
    return message.append(path).append(": ").append(why);
}

// A new file beside path, named path.XXXXXX; -1 when none can be made.
int MakeTemporary(const std::string& path, std::string* temporary)
{
    *temporary = path;
    temporary->append(".XXXXXX");
    return mkstemp(&(*temporary)[0]);
}
} // namespace

void RemoveTemporariesOnSignal()
{
#ifndef _WIN32
    for (int signal_number : {SIGINT, SIGTERM, SIGHUP})
        std::signal(signal_number, RemoveAndStop);
#endif
}

bool CheckWritable(const std::string& path, std::string* error)
{
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    {
        *error = CannotWrite(path, "not a regular file");
        return false;
    }
    std::string temporary;
    const int descriptor = MakeTemporary(path, &temporary);
    if (descriptor < 0)
    {
        *error = CannotWrite(path, std::strerror(errno));
        return false;
    }
    close(descriptor);
    unlink(temporary.c_str());
    return true;
}

bool COutputFile::Open(const std::string& path, std::string* error)
{
    Abandon();
    if (!CheckWritable(path, error))
        return false;
    const int descriptor = MakeTemporary(path, &temporary_);
    file_ = descriptor >= 0 ? fdopen(descriptor, "wb") : nullptr;
    if (file_ == nullptr)
    {
        *error = CannotWrite(path, std::strerror(errno));
        if (descriptor >= 0)
        {
            close(descriptor);
            unlink(temporary_.c_str());
        }
        temporary_.clear();
        return false;
    }
    path_ = path;
    Remember(temporary_);
#ifndef _WIN32
    // mkstemp makes the file private; give it the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fileno(file_), 0666 & ~mask);
#endif
    return true;
}

bool COutputFile::Commit(std::string* error)
{
    if (file_ == nullptr)
    {
        *error = CannotWrite(path_, "not open");
        return false;
    }
    errno = 0;
    const bool written = std::ferror(file_) == 0;
    const bool flushed = std::fflush(file_) == 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
#ifdef _WIN32
    const bool renamed = written && flushed && closed &&
                         MoveFileExA(temporary_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    const bool renamed = written && flushed && closed && std::rename(temporary_.c_str(), path_.c_str()) == 0;
#endif
    if (!renamed)
    {
        *error = CannotWrite(path_, errno != 0 ? std::strerror(errno) : "write failed");
        unlink(temporary_.c_str());
    }
    Forget(temporary_);
    temporary_.clear();
    return renamed;
}

void COutputFile::Abandon()
{
    if (file_ != nullptr)
    {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty())
    {
        unlink(temporary_.c_str());
        Forget(temporary_);
        temporary_.clear();
    }
}
