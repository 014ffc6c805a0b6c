#pragma once

#include <cstdint>

// Processor feature tests. The tests are pure functions of a TCpuIdentity so that every answer
// can be checked for any processor; the forms without an identity ask the processor this code
// runs on.

// What the identification instruction told about the processor. A default identity is a
// processor without the instruction, which has no features.
struct TCpuIdentity {
    bool hasCpuid = false;             // the identification instruction exists
    std::uint32_t maxStandardLeaf = 0; // EAX of leaf 0
    std::uint32_t family = 0;          // bits 8-11 of EAX of leaf 1
    std::uint32_t standardFlags = 0;   // EDX of leaf 1
    std::uint32_t maxExtendedLeaf = 0; // EAX of leaf 0x80000000
    std::uint32_t extendedFlags = 0;   // EDX of leaf 0x80000001 (0 when that leaf is missing)
};

// The instruction sets the tests know, in the order of their index.
enum TCpuInstructionSet : int { ciMMX, ciEMMX, ciSSE, ciSSE2, ci3DNow, ci3DNowExt };

// The feature bits that the tests read.
inline constexpr std::uint32_t kStandardMmxBit = 0x00800000;      // standard flags, bit 23
inline constexpr std::uint32_t kStandardSseBit = 0x02000000;      // standard flags, bit 25
inline constexpr std::uint32_t kStandardSse2Bit = 0x04000000;     // standard flags, bit 26
inline constexpr std::uint32_t kExtendedMmxBit = 0x00400000;      // extended flags, bit 22
inline constexpr std::uint32_t kExtended3DNowExtBit = 0x40000000; // extended flags, bit 30
inline constexpr std::uint32_t kExtended3DNowBit = 0x80000000;    // extended flags, bit 31

// Asks the processor (leaves 0, 1, 0x80000000 and 0x80000001). On a processor that is not x86, or
// an i386 whose identification flag cannot be toggled, the identity says there is no instruction.
TCpuIdentity ReadCpuIdentity();

// True when the processor described has the instruction set. Always false without the
// identification instruction, without leaf 1, or for a family below 5, and for an index outside
// the enumeration. Extended MMX is the SSE bit of the standard flags or, failing that, bit 22 of
// the extended flags; the 3DNow! sets need the extended leaves.
bool HasInstructionSet(const TCpuIdentity& cpu, TCpuInstructionSet set);

// The same for the processor this code runs on.
bool HasInstructionSet(TCpuInstructionSet set);
bool HasMMX();
bool HasExtendedMMX();
bool Has3DNow();

// The answers of all six tests at once: what the start-up binders choose their forms by. Tests
// build one by hand to force a particular form.
struct TCpuFeatures {
    bool mmx = false;
    bool extendedMmx = false;
    bool sse = false;
    bool sse2 = false;
    bool amd3DNow = false;
    bool amd3DNowExt = false;
};

TCpuFeatures CpuFeaturesOf(const TCpuIdentity& cpu);
TCpuFeatures CurrentCpuFeatures();
