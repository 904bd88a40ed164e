// Files written whole or not at all: checked before they are needed, written under a
// temporary name beside the target and renamed when complete.
#pragma once

#include <cstdio>
#include <string>

// From now on SIGINT, SIGTERM and SIGHUP remove every output file not yet committed before
// they end the program as they would have. Not on Windows.
void RemoveTemporariesOnSignal();

// Whether a file can be made at path: a new file or a regular one, in a folder we may write.
bool CheckWritable(const std::string& path, std::string* error);

// One output file. Open makes the temporary file; Commit flushes, closes and renames it onto
// the target. A file that is not committed, whatever the reason, is removed.
class COutputFile
{
public:
    bool Open(const std::string& path, std::string* error);
    // Where to write; null before Open and after Commit.
    FILE* Stream() const { return file_; }
    bool Commit(std::string* error);
    void Abandon();

    // Not committed by the end of its life, the file is abandoned. It is never copied.
    ~COutputFile() { Abandon(); }
    COutputFile() = default;
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

private:
    std::string path_;
    std::string temporary_;
    FILE* file_ = nullptr;
};
