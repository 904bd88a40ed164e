// CRender's scene half: the needle table, the frame step, the population rule, the estimate,
// and the run's start and frame.
#include "render.h"

#include "grid.h"
#include "state.h"
#include "stick.h"
#include "utility/debug.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#include <cstdio>
#include <new>

CStick* CRender::Sticks[MAX_STICKS] = {};
int CRender::TargetStickCount = MIN_STICKS;

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

void CRender::Reset()
{
    DeleteAllSticks();
    ForEachRunMember([](auto& member, const auto& start) { member = start; });
}

void CRender::UpdatePopulation(double time_interval_s)
{
    GUARD(time_interval_s > -EPSILON);

    // Top up to the target, each new needle in the lowest empty slot.
    for (int missing = TargetStickCount - CountSticks(); missing > 0; --missing)
        AddStick();

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

void StartExperiment(uint32_t seed)
{
    CRender::Reset();
    RandomSeed(seed);
    CStick::Static_Init();
    CGrid::Init();
    CTimer::Init();
}

void RunFrame(void (*draw)())
{
    CTimer::Tick();
    CRender::Update(CTimer::FrameInterval);
    if (draw != nullptr)
        draw();
}

void TraceRunEnd()
{
    Trace("%llu frames rendered\n", static_cast<unsigned long long>(CTimer::TotalFrames));
    Trace("Sample framerate  = %5.2f fps\n", CTimer::SampleFrameRate);
    Trace("Average framerate = %5.2f fps\n", CTimer::AverageFrameRate);
    Trace("Needles in flight = %d\n", CRender::CountSticks());
    Trace("Population target = %d\n", CRender::TargetStickCount);
}

double EstimateOf(unsigned long long n, unsigned long long c)
{
    if (c == 0)
        return 0.0;
    // 2n in 64 bits: exact for every count a run can reach.
    return static_cast<double>(2 * n) / static_cast<double>(c);
}

double EstimateValue()
{
    return EstimateOf(CStick::SticksTested, CStick::SticksCrossing);
}

void FormatEstimate(char (&buffer)[ESTIMATE_TEXT_SIZE])
{
    std::snprintf(buffer, sizeof(buffer), "pi = 2 * n / c = 2 * %llu / %llu = %-13.10f", CStick::SticksTested,
                  CStick::SticksCrossing, EstimateValue());
}
