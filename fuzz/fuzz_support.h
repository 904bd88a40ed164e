// What the fuzz harnesses share: the check that stops a run, argv words
// cut from the input at its NUL bytes, and a count of line breaks.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

inline void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// A NUL-terminated copy in an allocation of exactly its size, so that ASan sees a read past the NUL.
struct Text
{
    std::unique_ptr<char[]> bytes;
    size_t length = 0;

    Text(const char* from, size_t count) : bytes(new char[count + 1]), length(count)
    {
        if (count != 0)
            std::memcpy(bytes.get(), from, count);
        bytes[count] = '\0';
    }
    const char* c_str() const
    {
        return bytes.get();
    }
};

// Every NUL ends a word; what follows the last NUL is a word too when it is not empty.
inline std::vector<Text> SplitOnNul(const char* data, size_t size)
{
    std::vector<Text> words;
    size_t start = 0;
    for (size_t i = 0; i < size; ++i)
    {
        if (data[i] == '\0')
        {
            words.emplace_back(data + start, i - start);
            start = i + 1;
        }
    }
    if (start < size)
        words.emplace_back(data + start, size - start);
    return words;
}

inline size_t CountNewlines(const std::string& text)
{
    size_t count = 0;
    for (char c : text)
        count += c == '\n' || c == '\r';
    return count;
}
