// The experiment's fingerprint: FNV-1a 64 over every member of the scene, the tallies, the
// timer and the random sequence's state.
#include "digest.h"

#include "grid.h"
#include "render.h"
#include "stick.h"
#include "utility/qzmath.h"
#include "utility/timer.h"

#include <cstring>
#include <initializer_list>

void CDigest::Byte(uint8_t value)
{
    hash_ ^= value;
    hash_ *= 1099511628211ull;
}

void CDigest::Word(uint64_t value)
{
    for (int i = 0; i < 8; ++i)
        Byte(static_cast<uint8_t>(value >> (8 * i)));
}

void CDigest::Double(double value)
{
    static_assert(sizeof(double) == sizeof(uint64_t), "a double is 64 bits");
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    Word(bits);
}

namespace
{
void Vector(CDigest& digest, const CVector3& vector)
{
    digest.Double(vector.x);
    digest.Double(vector.y);
    digest.Double(vector.z);
}
} // namespace

uint64_t ExperimentDigest()
{
    CDigest digest;
    digest.Word(RandomState());
    Vector(digest, CStick::StickColor);
    digest.Word(CStick::SticksTested);
    digest.Word(CStick::SticksCrossing);
    digest.Word(static_cast<uint64_t>(CRender::TargetStickCount));

    Vector(digest, CGrid::Color);
    Vector(digest, CGrid::LineSize);
    Vector(digest, CGrid::Position);
    Vector(digest, CGrid::Velocity);

    for (const int64_t count : {CTimer::Frequency, CTimer::StartCount, CTimer::LastCount, CTimer::SampleStartCount})
        digest.Word(static_cast<uint64_t>(count));
    digest.Word(CTimer::TotalFrames);
    digest.Word(CTimer::SampleFrames);
    for (const double value : {CTimer::FrameInterval, CTimer::AverageFrameRate, CTimer::SampleFrameRate})
        digest.Double(value);

    // Every slot, so that the same needles in other slots (another update order) differ.
    for (const CStick* stick : CRender::Sticks)
    {
        digest.Byte(stick != nullptr ? 1 : 0);
        if (stick == nullptr)
            continue;
        for (const CVector3* vector : {&stick->Position, &stick->Velocity, &stick->Color, &stick->ColorRate,
                                       &stick->RotationAxis, &stick->Size, &stick->SizeRate})
            Vector(digest, *vector);
        digest.Double(stick->RotationAngle);
        digest.Word(static_cast<uint64_t>(static_cast<int64_t>(stick->PrimitiveMode)));
        digest.Byte(stick->HasBeenCollisionTested ? 1 : 0);
    }
    return digest.Value();
}
