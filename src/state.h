// The experiment's run-wide state, listed once: StartExperiment puts each member back at its
// start, ExperimentDigest hashes them in this order, and the digest's test moves each one.
#pragma once

#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/timer.h"
#include "utility/vector.h"

#include <cstdint>

// visit(member, its value before a run starts) for every class-wide member of the
// experiment. (The random sequence and the needle table are not members: the digest reads
// the sequence's state and every slot, the start seeds the one and empties the other.)
template <class Visit>
void ForEachRunMember(Visit&& visit)
{
    visit(CStick::StickColor, CVector3());
    visit(CStick::SticksTested, 0ull);
    visit(CStick::SticksCrossing, 0ull);
    visit(CRender::TargetStickCount, MIN_STICKS);

    visit(CGrid::Color, CVector3());
    visit(CGrid::LineSize, CVector3());
    visit(CGrid::Position, CVector3());
    visit(CGrid::Velocity, CVector3());

    visit(CTimer::Frequency, int64_t{0});
    visit(CTimer::StartCount, int64_t{0});
    visit(CTimer::LastCount, int64_t{0});
    visit(CTimer::SampleStartCount, int64_t{0});
    visit(CTimer::TotalFrames, uint64_t{0});
    visit(CTimer::SampleFrames, uint32_t{0});
    visit(CTimer::FrameInterval, 0.0);
    visit(CTimer::AverageFrameRate, 0.0);
    visit(CTimer::SampleFrameRate, 0.0);
}

// visit(member) for every member of one needle (a CStick, const or not).
template <class Stick, class Visit>
void ForEachNeedleMember(Stick& stick, Visit&& visit)
{
    visit(stick.Position);
    visit(stick.Velocity);
    visit(stick.Color);
    visit(stick.ColorRate);
    visit(stick.RotationAxis);
    visit(stick.Size);
    visit(stick.SizeRate);
    visit(stick.RotationAngle);
    visit(stick.PrimitiveMode);
    visit(stick.HasBeenCollisionTested);
}
