// needlecast-sim --runs: how the runs' estimates spread against the theory, and the
// Kolmogorov-Smirnov test of their z values against the standard normal law.
#include "sim/runs.h"

#include "render.h"
#include "stats/chance.h"
#include "utility/qzmath.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace
{
// The normal law's share within 2 sigma.
const double NORMAL_WITHIN_2 = 0.9544997361;

// Mean and sample standard deviation; the deviation 0 for fewer than two values.
void MeanAndSd(const std::vector<double>& values, double* mean, double* sd)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    const double count = static_cast<double>(values.size());
    *mean = values.empty() ? 0 : sum / count;
    double squares = 0;
    for (double value : values)
        squares += (value - *mean) * (value - *mean);
    *sd = values.size() < 2 ? 0 : std::sqrt(squares / (count - 1));
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}
} // namespace

// Kolmogorov's law by the alternating series where it converges fast, and by the Jacobi form of
// the same below.
double KolmogorovTail(double lambda)
{
    if (lambda <= 0)
        return 1.0;
    double sum = 0;
    if (lambda < 1.18)
    {
        const double t = -PI * PI / (8 * lambda * lambda);
        for (int j = 1; j <= 7; j += 2)
            sum += std::exp(j * j * t);
        return std::min(1.0, std::max(0.0, 1.0 - std::sqrt(2 * PI) / lambda * sum));
    }
    for (int j = 1; j <= 100; ++j)
    {
        const double term = std::exp(-2.0 * j * j * lambda * lambda);
        sum += j % 2 == 1 ? term : -term;
        if (term < 1e-17)
            break;
    }
    return std::min(1.0, std::max(0.0, 2 * sum));
}

double NormalCdf(double x)
{
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

KsTest KolmogorovSmirnov(std::vector<double> sample)
{
    KsTest test;
    if (sample.empty())
        return test;
    std::sort(sample.begin(), sample.end());
    const double count = static_cast<double>(sample.size());
    for (size_t i = 0; i < sample.size(); ++i)
    {
        const double law = NormalCdf(sample[i]);
        test.d = std::max(test.d, std::max(static_cast<double>(i + 1) / count - law, law - static_cast<double>(i) / count));
    }
    // Stephens' correction makes the asymptotic law good from a few runs on.
    const double root = std::sqrt(count);
    test.p = KolmogorovTail((root + 0.12 + 0.11 / root) * test.d);
    return test;
}

bool RunZ(const RunResult& run, double* z)
{
    return ChanceZ(run.n, run.c, z);
}

std::string RunsSummary(const std::vector<RunResult>& runs)
{
    std::vector<double> estimates, zs;
    double n_sum = 0;
    int within = 0;
    for (const RunResult& run : runs)
    {
        double z = 0;
        if (!RunZ(run, &z))
            continue;
        estimates.push_back(EstimateOf(run.n, run.c));
        zs.push_back(z);
        n_sum += static_cast<double>(run.n);
        within += std::fabs(z) <= 2.0;
    }
    std::string text = "runs: " + std::to_string(runs.size()) + "\n";
    const size_t left_out = runs.size() - estimates.size();
    if (left_out != 0)
        text += "runs without a crossing, left out: " + std::to_string(left_out) + "\n";

    // Every figure empty where no run has an estimate.
    std::string mean, sd, sigma, z_mean, z_sd, share, ks_d, ks_p;
    if (!estimates.empty())
    {
        double m = 0, s = 0;
        MeanAndSd(estimates, &m, &s);
        const double runs_with = static_cast<double>(estimates.size());
        const double mean_n = n_sum / runs_with;
        mean = Format("%.10f", m);
        sd = Format("%.10f", s);
        sigma = Format("%.10f", ChanceSigma(static_cast<unsigned long long>(std::llround(mean_n))));
        MeanAndSd(zs, &m, &s);
        z_mean = Format("%.4f", m);
        z_sd = Format("%.4f", s);
        share = Format("%.4f", within / runs_with);
        const KsTest ks = KolmogorovSmirnov(zs);
        ks_d = Format("%.4f", ks.d);
        ks_p = Format("%.4f", ks.p);
        text += "estimate: mean " + mean + ", standard deviation " + sd + "\n";
        text += "the theory's sigma(n) at the mean n, " + Format("%.0f", mean_n) + ": " + sigma + "\n";
        text += "z: mean " + z_mean + ", standard deviation " + z_sd + " (the normal law: 0 and 1)\n";
        text += "within 2 sigma(n): " + Format("%.2f", 100.0 * within / runs_with) +
                " % (the normal law: " + Format("%.2f", 100 * NORMAL_WITHIN_2) + " %)\n";
        text += "Kolmogorov-Smirnov test of z against the standard normal: D = " + ks_d + ", p = " + ks_p + "\n";
    }
    text += "runs=" + std::to_string(runs.size()) + " mean=" + mean + " sd=" + sd + " sigma=" + sigma +
            " z_mean=" + z_mean + " z_sd=" + z_sd + " within_2sigma=" + share + " ks_d=" + ks_d + " ks_p=" + ks_p +
            "\n";
    return text;
}
