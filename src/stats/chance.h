// How an estimate stands against chance: its standard error, the band of chance around pi, z
// and the figures that needlecast-sim's closing lines, its tables and the page's panel show.
#pragma once

#include <string>

// The estimate's standard error by the delta method, pi_hat * sqrt((1 - p) / (n p)) with
// p = c / n; 0 while c is 0 (there is no estimate then).
double StandardError(unsigned long long n, unsigned long long c);

// The standard error for needles as long as the line spacing: pi * sqrt((pi - 2) / (2 n)).
double ChanceSigma(unsigned long long n);

// z = (pi_hat - pi) / sigma(n): how far a run lies from pi in standard errors. False while c
// is 0 (there is no estimate then).
bool ChanceZ(unsigned long long n, unsigned long long c, double* z);

// The figures of the report: the estimate and its standard error with %.10f, and z with
// %.2f. All three empty before any needle has crossed.
struct ChanceFigures
{
    std::string estimate, standard_error, z;
};
ChanceFigures FiguresOf(unsigned long long n, unsigned long long c);

// "standard_error=... z=...", from those figures.
std::string ChanceLine(unsigned long long n, unsigned long long c);
