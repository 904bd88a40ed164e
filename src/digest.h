// The experiment's fingerprint: FNV-1a 64 over the whole state of a run, in a fixed byte order,
// so that two machines that print the same digest ran the same experiment.
#pragma once

#include <cstdint>

// FNV-1a with 64 bits (offset basis 14695981039346656037, prime 1099511628211), fed bytes in
// an order that does not depend on the machine's.
class CDigest
{
public:
    void Byte(uint8_t value);
    // Eight bytes, the least significant first.
    void Word(uint64_t value);
    // A double by its bit pattern, as a Word: -0.0 and 0.0, and every NaN, stay apart.
    void Double(double value);

    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 14695981039346656037ull;
};

// The digest of the experiment as it stands: the random sequence's state, the needle colour,
// the tallies, the population target, the pane, the timer, and every slot of the needle
// table in order (empty, or every member of its needle). Reads the state only.
uint64_t ExperimentDigest();
