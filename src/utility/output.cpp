// Files written whole or not at all: the writability check and the write-then-rename file.
#include "utility/output.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{
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
        temporary_.clear();
    }
}
