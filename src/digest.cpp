// The experiment's fingerprint: FNV-1a 64 over the random sequence's state, every member of
// state.h's list and every slot of the needle table.
#include "digest.h"

#include "state.h"
#include "utility/qzmath.h"

#include <cstring>
#include <initializer_list>
#include <type_traits>

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

uint64_t ExperimentDigest()
{
    CDigest digest;
    // A vector as its three doubles, a flag as a byte, a number as a Word.
    const auto feed = [&digest](const auto& member, auto&&...) {
        using Member = std::decay_t<decltype(member)>;
        if constexpr (std::is_same_v<Member, CVector3>)
        {
            for (const double value : {member.x, member.y, member.z})
                digest.Double(value);
        }
        else if constexpr (std::is_same_v<Member, bool>)
            digest.Byte(member ? 1 : 0);
        else if constexpr (std::is_floating_point_v<Member>)
            digest.Double(member);
        else
        {
            static_assert(std::is_integral_v<Member>, "a member the digest can read");
            digest.Word(static_cast<uint64_t>(member));
        }
    };
    digest.Word(RandomState());
    ForEachRunMember(feed);

    // Every slot, so that the same needles in other slots (another update order) differ.
    for (const CStick* stick : CRender::Sticks)
    {
        digest.Byte(stick != nullptr ? 1 : 0);
        if (stick != nullptr)
            ForEachNeedleMember(*stick, feed);
    }
    return digest.Value();
}
