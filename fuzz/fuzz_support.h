// What the fuzz harnesses share: the check that stops a run, argv words cut from the input
// at its NUL bytes, and the one-line rule of error messages.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

inline void Check(bool condition) { condition ? void() : __builtin_trap(); }

// A NUL-terminated copy in an allocation of exactly its size, so that ASan sees a read past the NUL.
struct Text {
    std::unique_ptr<char[]> bytes;
    Text(const char* from, size_t count) : bytes(new char[count + 1]) {
        std::memcpy(bytes.get(), from, count);
        bytes[count] = '\0';
    }
};

// Every NUL ends a word; what follows the last NUL is a word too when it is not empty.
inline std::vector<Text> SplitOnNul(const char* data, size_t size) {
    std::vector<Text> words;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i)
        if (i == size ? start < size : data[i] == '\0') {
            words.emplace_back(data + start, i - start);
            start = i + 1;
        }
    return words;
}

// An error message is one line.
inline bool OneLine(const std::string& message) {
    return !message.empty() && message.find_first_of("\r\n") == std::string::npos;
}

// argv as a program gets it: its name, then the words.
inline std::vector<const char*> Argv(const char* name, const std::vector<Text>& words) {
    std::vector<const char*> argv = {name};
    for (const Text& word : words)
        argv.push_back(word.bytes.get());
    return argv;
}
