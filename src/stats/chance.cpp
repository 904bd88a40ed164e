// How an estimate stands against chance: its standard error, sigma, z and their figures.
#include "stats/chance.h"

#include "render.h"
#include "utility/qzmath.h"

#include <cmath>
#include <cstdio>

double StandardError(unsigned long long n, unsigned long long c)
{
    if (c == 0)
        return 0.0;
    const double p = static_cast<double>(c) / static_cast<double>(n);
    return EstimateOf(n, c) * std::sqrt((1.0 - p) / (static_cast<double>(n) * p));
}

double ChanceSigma(unsigned long long n)
{
    return PI * std::sqrt((PI - 2.0) / (2.0 * static_cast<double>(n)));
}

bool ChanceZ(unsigned long long n, unsigned long long c, double* z)
{
    if (c == 0)
        return false;
    *z = (EstimateOf(n, c) - PI) / ChanceSigma(n);
    return true;
}

ChanceFigures FiguresOf(unsigned long long n, unsigned long long c)
{
    double z_value = 0;
    if (!ChanceZ(n, c, &z_value))
        return {};
    char estimate[32], standard_error[32], z[32];
    std::snprintf(estimate, sizeof(estimate), "%.10f", EstimateOf(n, c));
    std::snprintf(standard_error, sizeof(standard_error), "%.10f", StandardError(n, c));
    std::snprintf(z, sizeof(z), "%.2f", z_value);
    return {estimate, standard_error, z};
}

std::string ChanceLine(unsigned long long n, unsigned long long c)
{
    const ChanceFigures figures = FiguresOf(n, c);
    return "standard_error=" + figures.standard_error + " z=" + figures.z;
}
