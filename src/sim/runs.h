// needlecast-sim --runs: many experiments, one after another or in worker processes, each the
// very run that needlecast-sim makes with its seed, and how their estimates spread.
#pragma once

#include "sim/sim.h"

#include <cstdint>
#include <string>
#include <vector>

// One experiment's closing tallies, and its digest where asked for.
struct RunResult
{
    uint32_t seed = 0;
    unsigned long long n = 0;
    unsigned long long c = 0;
    uint64_t digest = 0;
};

// Runs options.runs experiments from seed first on, each with the options' frames and
// interval, into results in seed order. With more than one job they run in that many worker
// processes where the platform has them, and one after another where not: the results are the
// same. after_each is told how many runs are done. False with a line in error when a worker
// fails; none is left running then.
bool RunMany(const SimOptions& options, uint32_t first, uint32_t jobs, std::vector<RunResult>* results,
             void (*after_each)(uint32_t done, void* context), void* context, std::string* error);

// The worker processes --jobs 0 stands for: one for each core (1 where runs go one after
// another).
uint32_t DefaultJobs();

// The Kolmogorov-Smirnov test of a sample against the standard normal law: the largest gap
// between the sample's distribution and the law's, and the chance of one as large.
struct KsTest
{
    double d = 0;
    double p = 1;
};
KsTest KolmogorovSmirnov(std::vector<double> sample);

// Kolmogorov's law: the chance that sqrt(n) D exceeds lambda, for large n.
double KolmogorovTail(double lambda);

// The normal law's distribution function.
double NormalCdf(double x);

// z of a run (ChanceZ); false while c is 0 (no estimate).
bool RunZ(const RunResult& run, double* z);

// The summary of the runs: their count, the estimates' mean and spread beside the theory's
// sigma at the mean n, z's mean and spread, the share within 2 sigma beside the normal law's,
// the Kolmogorov-Smirnov test, and the closing line runs=... mean=... ks_p=... last.
std::string RunsSummary(const std::vector<RunResult>& runs);
