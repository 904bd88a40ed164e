// CRender's scene half: the needle table, the frame step, the population rule and the estimate.
#include "render.h"

#include "grid.h"
#include "stick.h"
#include "utility/debug.h"
#include "utility/timer.h"

#include <cstdio>
#include <new>

CStick* CRender::Sticks[MAX_STICKS] = {};
int CRender::TargetStickCount = MIN_STICKS;

void RandomColor(CVector3& color)
{
    // Rejects dark colours and purple or magenta tones; after 30 tries the last one stays.
    for (int attempt = 0; attempt < 30; ++attempt)
    {
        color.Randomize();
        const double x = color.x;
        const double y = color.y;
        const double z = color.z;

        const bool too_dark = x + y + z < 0.5;
        const bool unwanted = !(1.1 * y >= x && 1.1 * y >= z) && 0.85 * z < x && 1.6 * z > x;
        if (!too_dark && !unwanted)
            break;
    }
}

void CRender::AddStick()
{
    for (int i = 0; i < MAX_STICKS; ++i)
    {
        if (Sticks[i] == nullptr)
        {
            // A failed allocation leaves the slot empty; the next frame tries again.
            Sticks[i] = new (std::nothrow) CStick();
            return;
        }
    }
}

int CRender::CountSticks()
{
    int count = 0;
    for (CStick* stick : Sticks)
    {
        if (stick != nullptr)
            ++count;
    }
    return count;
}

void CRender::DeleteAllSticks()
{
    for (CStick*& stick : Sticks)
    {
        delete stick;
        stick = nullptr;
    }
}

void CRender::UpdatePopulation(double time_interval_s)
{
    GUARD(time_interval_s > -EPSILON);

    // Top up to the target: the same as calling AddStick once per missing needle, each
    // taking the lowest empty slot, but in one pass over the table.
    int missing = TargetStickCount - CountSticks();
    for (int i = 0; i < MAX_STICKS && missing > 0; ++i)
    {
        if (Sticks[i] == nullptr)
        {
            Sticks[i] = new (std::nothrow) CStick();
            --missing;
        }
    }

    // Creep up by one needle a frame while frames come fast enough, else creep down.
    if (CTimer::AverageFrameRate > THRESHOLD_FRAME_RATE && CTimer::SampleFrameRate > THRESHOLD_FRAME_RATE &&
        time_interval_s < 1.0 / THRESHOLD_FRAME_RATE)
    {
        if (TargetStickCount < MAX_STICKS)
            TargetStickCount += 1;
    }
    else
    {
        if (TargetStickCount > MIN_STICKS)
            TargetStickCount -= 1;
    }
}

void CRender::Update(double time_interval_s)
{
    GUARD(time_interval_s > -EPSILON);

    CGrid::Update(time_interval_s);
    UpdatePopulation(time_interval_s);

    for (CStick*& stick : Sticks)
    {
        if (stick == nullptr)
            continue;
        stick->Update(time_interval_s);
        if (stick->IsDead())
        {
            delete stick;
            stick = nullptr;
        }
    }
}

double EstimateValue()
{
    const unsigned long long n = CStick::SticksTested;
    const unsigned long long c = CStick::SticksCrossing;
    if (c == 0)
        return 0.0;
    // 2n in 64 bits: exact for every count a run can reach.
    return static_cast<double>(2 * n) / static_cast<double>(c);
}

void FormatEstimate(char (&buffer)[ESTIMATE_TEXT_SIZE])
{
    std::snprintf(buffer, sizeof(buffer), "pi = 2 * n / c = 2 * %llu / %llu = %-13.10f", CStick::SticksTested,
                  CStick::SticksCrossing, EstimateValue());
}
