#include "raster/System.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#define RASTER_HAVE_CPUID 1
#endif

TCpuIdentity ReadCpuIdentity() {
    TCpuIdentity cpu;
#if defined(RASTER_HAVE_CPUID)
    // On i386 __get_cpuid_max first toggles the identification flag (bit 21 of EFLAGS) and answers
    // 0 when it does not stick, so a 0 here also covers processors before the instruction.
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    cpu.maxStandardLeaf = __get_cpuid_max(0, nullptr);
    cpu.hasCpuid = cpu.maxStandardLeaf != 0;
    if (cpu.maxStandardLeaf >= 1) {
        __cpuid(1, eax, ebx, ecx, edx);
        cpu.family = (eax >> 8) & 0xF;
        cpu.standardFlags = edx;
    }
    if (cpu.hasCpuid) {
        cpu.maxExtendedLeaf = __get_cpuid_max(0x80000000u, nullptr);
        if (cpu.maxExtendedLeaf >= 0x80000001u) {
            __cpuid(0x80000001u, eax, ebx, ecx, edx);
            cpu.extendedFlags = edx;
        }
    }
#endif
    return cpu;
}

bool HasInstructionSet(const TCpuIdentity& cpu, TCpuInstructionSet set) {
    if (!cpu.hasCpuid || cpu.maxStandardLeaf < 1 || cpu.family < 5) {
        return false;
    }
    const bool extendedLeaves = cpu.maxExtendedLeaf > 0x80000000u;
    switch (set) {
    case ciMMX:
        return (cpu.standardFlags & kStandardMmxBit) != 0;
    case ciEMMX:
        // Every processor with SSE has the extended MMX integer instructions; AMD's processors
        // without SSE announce them in the extended flags.
        if ((cpu.standardFlags & kStandardSseBit) != 0) {
            return true;
        }
        return extendedLeaves && (cpu.extendedFlags & kExtendedMmxBit) != 0;
    case ciSSE:
        return (cpu.standardFlags & kStandardSseBit) != 0;
    case ciSSE2:
        return (cpu.standardFlags & kStandardSse2Bit) != 0;
    case ci3DNow:
        return extendedLeaves && (cpu.extendedFlags & kExtended3DNowBit) != 0;
    case ci3DNowExt:
        return extendedLeaves && (cpu.extendedFlags & kExtended3DNowExtBit) != 0;
    }
    return false;
}

bool HasInstructionSet(TCpuInstructionSet set) {
    return HasInstructionSet(ReadCpuIdentity(), set);
}
bool HasMMX() {
    return HasInstructionSet(ciMMX);
}
bool HasExtendedMMX() {
    return HasInstructionSet(ciEMMX);
}
bool Has3DNow() {
    return HasInstructionSet(ci3DNow);
}

TCpuFeatures CpuFeaturesOf(const TCpuIdentity& cpu) {
    TCpuFeatures f;
    f.mmx = HasInstructionSet(cpu, ciMMX);
    f.extendedMmx = HasInstructionSet(cpu, ciEMMX);
    f.sse = HasInstructionSet(cpu, ciSSE);
    f.sse2 = HasInstructionSet(cpu, ciSSE2);
    f.amd3DNow = HasInstructionSet(cpu, ci3DNow);
    f.amd3DNowExt = HasInstructionSet(cpu, ci3DNowExt);
    return f;
}

TCpuFeatures CurrentCpuFeatures() {
    return CpuFeaturesOf(ReadCpuIdentity());
}
