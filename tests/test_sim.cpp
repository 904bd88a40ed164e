// needlecast-sim's argument rules that its command line cannot show cheaply (a run must fit
// the nanosecond clock after the interval is rounded to whole ticks), its report's figures,
// its chart's history and axis, and the page's URL options, read by the same parser.
#include "chart/chart_scale.h"
#include "options/table.h"
#include "sim/runs.h"
#include "sim/sim.h"
#include "stats/chance.h"
#include "utility/qzmath.h"
#include "web/query.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

TEST(SimOptions, TheWholeRunFitsTheClock) {
    const struct { std::vector<const char*> args; bool ok; } cases[] = {
        {{"--frames", "3000000000", "--interval", "3.074457345"}, true},
        {{"--frames", "3000000000", "--interval", "3.0744573456"}, false}, // 1 tick more a frame
        {{"--frames", "1", "--interval", "0.0000000005"}, true},           // rounds to one tick
        {{"--frames", "1", "--interval", "0.0000000004"}, false},
        {{"--seed=4294967295", "--every=0", "--interval=1e300", "--frames", "1"}, false},
    };
    for (const auto& c : cases) {
        std::vector<const char*> argv = {"needlecast-sim"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        SimOptions options;
        std::string error;
        EXPECT_EQ(c.ok, ParseSimArguments(static_cast<int>(argv.size()), argv.data(), &options, &error))
            << c.args[1] << " " << c.args[3] << ": " << error;
        if (!c.ok) { EXPECT_EQ(0u, error.find("--interval")) << error; }
    }
    EXPECT_EQ(16666667, IntervalTicks(1.0 / 60.0));
}

TEST(SimReport, StandardErrorByTheDeltaMethod) {
    // 1000 needles, 637 across: 2000 / 637 * sqrt(0.363 / 637) = 3.1397174 * 0.0238717.
    EXPECT_NEAR(0.0749504, StandardError(1000, 637), 1e-7);
    EXPECT_EQ(0.0, StandardError(1000, 1000)); // every needle across: no spread left
    EXPECT_EQ("standard_error= z=", ChanceLine(17, 0));
    EXPECT_EQ("standard_error=0.0749504353 z=-0.02", ChanceLine(1000, 637)); // sigma(1000) = 0.0750569
}

TEST(SimRuns, KolmogorovLawAtItsPublishedValues) {
    // Its median and its critical values for 10, 5, 1 and 0.1 per cent, on both sides of
    // where the sum changes form.
    const struct { double lambda, p; } cases[] = {
        {0.5, 0.96395}, {0.8276, 0.5}, {1.2238, 0.1}, {1.3581, 0.05}, {1.6276, 0.01}, {1.9495, 0.001}};
    for (const auto& c : cases) EXPECT_NEAR(c.p, KolmogorovTail(c.lambda), c.p * 2e-3) << c.lambda;
    // Two points at -1 and 1: the largest gap is 0.5 - Phi(-1).
    EXPECT_NEAR(0.341345, KolmogorovSmirnov({1.0, -1.0}).d, 1e-6);
}

TEST(SimRuns, KolmogorovSmirnovSeesAShiftOrASpread) {
    std::mt19937 random(20261208);
    std::normal_distribution<double> normal;
    std::vector<double> fair, shifted, wide, narrow;
    for (int i = 0; i < 1000; ++i) {
        const double x = normal(random);
        fair.push_back(x);
        shifted.push_back(x + 0.5);
        wide.push_back(x * 1.5);
        narrow.push_back(x * 0.7);
    }
    EXPECT_GT(KolmogorovSmirnov(fair).p, 0.01);
    for (const auto* sample : {&shifted, &wide, &narrow}) EXPECT_LT(KolmogorovSmirnov(*sample).p, 0.001);
}

// A run of 2^32 needles: the history never holds more than its capacity and the latest point,
// starts at the first crossing, ends at the latest n and stays spread along log n.
TEST(ChartHistory, BoundedOverTheLongestRun) {
    const std::size_t capacity = 64;
    CChartHistory history(capacity);
    std::size_t most = 0;
    unsigned long long last = 0;
    for (unsigned long long n = 1; n < (1ull << 32); n += n / 500 + 1) {
        history.Add(last = n, n * 7 / 11); // the first crossing at n = 2
        most = std::max(most, history.Points().size());
    }
    const auto points = history.Points();
    EXPECT_EQ(capacity + 1, most);
    ASSERT_GE(points.size(), capacity / 2);
    EXPECT_EQ(2.0, points.front().first);
    EXPECT_EQ(static_cast<double>(last), points.back().first);
    double widest = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        widest = std::max(widest, std::log10(points[i].first / points[i - 1].first));
    EXPECT_LT(widest, 3 * std::log10(points.back().first / 2) / points.size());
}

// The n axis names every digit on a short span, 1, 2 and 5 below a decade and a half, else
// the decades; the estimate's axis is symmetric about pi.
TEST(ChartScale, TheAxisLabels) {
    const struct { double first, last; const char* labels; } cases[] = {
        {1000, 3500, "1k 2k 3k "}, {200, 3646, "200 500 1k 2k "}, {1, 9, "1 2 5 "}, {30, 2e6, "100 1k 10k 100k 1M "},
        {5e8, 4e9, "500M 1G 2G "},
    };
    for (const auto& c : cases) {
        const ChartGeometry g = ChartLayout(1000, 600, 6, {{c.first, 3.2}, {c.last, 3.1}}, "", 100);
        std::string labels;
        for (const ChartText& text : g.texts)
            if (text.y == g.bottom + g.font * 0.7)
                labels += text.text + " ";
        EXPECT_EQ(c.labels, labels) << c.first;
        EXPECT_NEAR(PI, (g.y0 + g.y1) / 2, 1e-12);
    }
}

// The page's URL: its options, %XX and '+' decoded (not %00 nor a broken escape), and
// needlecast-sim's messages with the option named as the URL names it.
TEST(WebQuery, OptionsAndErrors) {
    const struct { const char* query; const char* error; uint32_t seed = 0, frames = 0; bool fps = false, test_mode = false;
        ShaderFault fault = ShaderFault::NONE; } rows[] = {
        {"", "", 0, 36000, false, false, ShaderFault::NONE},
        {"?seed=7&fps", "", 7, 36000, true, false, ShaderFault::NONE},
        {"s%65ed=%31%32&&fps=0&", "", 12, 36000, false, false, ShaderFault::NONE},
        {"frames=5&fault=link&fps=1", "", 0, 5, true, true, ShaderFault::LINK},
        {"interval=0.5&fault=fragment", "", 0, 36000, false, true, ShaderFault::FRAGMENT},
        {"fault=vertex", "fault: only in the test mode (with frames or interval)"},
        {"frames=1&fault=Vertex", "fault: expected vertex, fragment or link, got \"Vertex\""},
        {"fps=2", "fps: expected nothing, 0 or 1, got \"2\""},
        {"fps=1+", "fps: expected nothing, 0 or 1, got \"1 \""},
        {"seed=%00", "seed: expected a whole number from 0 to 4294967295, got \"%00\""},
        {"seed=%3", "seed: expected a whole number from 0 to 4294967295, got \"%3\""},
        {"frames", "frames: expected a whole number from 1 to 4294967295, got \"\""},
        {"seed=1&size=2x2", "unknown option \"size\""},
        {"%0a=1", "unknown option \"\\x0a\""},
    };
    for (const auto& row : rows) {
        WebOptions options;
        std::string error;
        const bool ok = ParseWebQuery(row.query, &options, &error);
        EXPECT_EQ(row.error, ok ? "" : error) << row.query;
        if (!ok || *row.error != '\0')
            continue;
        EXPECT_EQ(row.seed, options.run.seed) << row.query;
        EXPECT_EQ(row.frames, options.run.frames) << row.query;
        EXPECT_EQ(row.fps, options.fps) << row.query;
        EXPECT_EQ(row.test_mode, options.test_mode) << row.query;
        EXPECT_EQ(row.fault, options.fault) << row.query;
    }
}

// The usage's layout on a table of its own: the synopsis wrapped under the program's name, a
// line as long as 98 columns kept and one of 99 broken; brackets alone, among and within the
// one before, and unlisted; each option's help from its column, one space after a longer
// name, and its further lines under it.
TEST(OptionTable, UsageLayout) {
    const std::string a(79, 'a'), e(61, 'e');
    const OptionSpec options[] = {
        {0, OptionKind::Flag, "x", nullptr, nullptr, 0, 0, nullptr, "alone\nits second line", Synopsis::Alone},
        {0, OptionKind::Flag, a.c_str(), nullptr, nullptr, 0, 0, nullptr, "long", Synopsis::Alone},
        {1, OptionKind::Flag, "b", nullptr, nullptr, 0, 0, nullptr, "b", Synopsis::Alone},
        {2, OptionKind::Whole, "c", nullptr, "N", 0, 9, nullptr, "among", Synopsis::Among},
        {3, OptionKind::File, "d", nullptr, "FILE", 0, 0, nullptr, "within", Synopsis::Within},
        {4, OptionKind::Flag, "h", nullptr, nullptr, 0, 0, nullptr, "unlisted", Synopsis::Unlisted},
        {5, OptionKind::Flag, e.c_str(), nullptr, nullptr, 0, 0, nullptr, "last", Synopsis::Alone},
    };
    const OptionTable table = {"p", options, 7, "About.", 10, "Footer.\n"};
    EXPECT_EQ("usage: p [--x] [--" + a + "]\n" +
                  "         [--b | --c N [--d FILE]]\n"
                  "         [--" + e + "]\n" +
                  "About.\n"
                  "  --x     alone\n"
                  "          its second line\n"
                  "  --" + a + " long\n" +
                  "  --b     b\n"
                  "  --c N   among\n"
                  "  --d FILE within\n"
                  "  --h     unlisted\n"
                  "  --" + e + " last\n" +
                  "Footer.\n",
              UsageText(table));
}
