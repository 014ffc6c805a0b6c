#include <gtest/gtest.h>

#include "raster/System.h"

namespace {

// A processor with the identification instruction, leaf 1 and the given flags.
TCpuIdentity Cpu(std::uint32_t family, std::uint32_t standard, std::uint32_t maxExtended = 0,
                 std::uint32_t extended = 0) {
    TCpuIdentity cpu;
    cpu.hasCpuid = true;
    cpu.maxStandardLeaf = 1;
    cpu.family = family;
    cpu.standardFlags = standard;
    cpu.maxExtendedLeaf = maxExtended;
    cpu.extendedFlags = extended;
    return cpu;
}

constexpr std::uint32_t kAllStandard = kStandardMmxBit | kStandardSseBit | kStandardSse2Bit;
constexpr std::uint32_t kAllExtended = kExtendedMmxBit | kExtended3DNowBit | kExtended3DNowExtBit;

struct FeatureCase {
    const char* name;
    TCpuIdentity cpu;
    // mmx, extended mmx, sse, sse2, 3DNow!, extended 3DNow!
    bool expected[6];
};

TEST(CpuFeatures, EachIdentityAnswersAsTheTestsSay) {
    TCpuIdentity noLeaf1 = Cpu(6, kAllStandard);
    noLeaf1.maxStandardLeaf = 0;
    TCpuIdentity noCpuid = Cpu(6, kAllStandard, 0x80000008, kAllExtended);
    noCpuid.hasCpuid = false;
    const FeatureCase cases[] = {
        {"no identification instruction", noCpuid, {0, 0, 0, 0, 0, 0}},
        {"no leaf 1", noLeaf1, {0, 0, 0, 0, 0, 0}},
        {"family 4 with every flag",
         Cpu(4, kAllStandard, 0x80000008, kAllExtended),
         {0, 0, 0, 0, 0, 0}},
        {"Pentium MMX", Cpu(5, kStandardMmxBit), {1, 0, 0, 0, 0, 0}},
        {"SSE implies extended MMX", Cpu(6, kStandardMmxBit | kStandardSseBit), {1, 1, 1, 0, 0, 0}},
        {"SSE2 processor", Cpu(15, kAllStandard, 0x80000004), {1, 1, 1, 1, 0, 0}},
        {"K6-2: 3DNow!, no extended MMX",
         Cpu(5, kStandardMmxBit, 0x80000005, kExtended3DNowBit),
         {1, 0, 0, 0, 1, 0}},
        {"Athlon: extended MMX from the extended flags",
         Cpu(6, kStandardMmxBit, 0x80000008, kAllExtended),
         {1, 1, 0, 0, 1, 1}},
        // Leaf 0x80000000 must report more than itself before the extended flags count.
        {"extended flags without extended leaves",
         Cpu(6, kStandardMmxBit, 0x80000000, kAllExtended),
         {1, 0, 0, 0, 0, 0}},
        {"a small maximum is no extended leaf",
         Cpu(6, kStandardMmxBit, 0x00000002, kAllExtended),
         {1, 0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        for (int set = ciMMX; set <= ci3DNowExt; ++set) {
            EXPECT_EQ(HasInstructionSet(c.cpu, static_cast<TCpuInstructionSet>(set)),
                      c.expected[set])
                << c.name << ", set " << set;
        }
        const TCpuFeatures f = CpuFeaturesOf(c.cpu);
        const bool got[6] = {f.mmx, f.extendedMmx, f.sse, f.sse2, f.amd3DNow, f.amd3DNowExt};
        for (int set = 0; set < 6; ++set) {
            EXPECT_EQ(got[set], c.expected[set]) << c.name << ", feature " << set;
        }
    }
}

TEST(CpuFeatures, AnIndexOutsideTheTableIsFalse) {
    const TCpuIdentity cpu = Cpu(6, 0xFFFFFFFF, 0x80000008, 0xFFFFFFFF);
    EXPECT_FALSE(HasInstructionSet(cpu, static_cast<TCpuInstructionSet>(6)));
    EXPECT_FALSE(HasInstructionSet(cpu, static_cast<TCpuInstructionSet>(-1)));
}

TEST(CpuFeatures, TheRealProcessorIsReadConsistently) {
    const TCpuIdentity cpu = ReadCpuIdentity();
    const TCpuFeatures now = CurrentCpuFeatures();
    EXPECT_EQ(now.mmx, HasMMX());
    EXPECT_EQ(now.extendedMmx, HasExtendedMMX());
    EXPECT_EQ(now.amd3DNow, Has3DNow());
    EXPECT_EQ(now.sse2, HasInstructionSet(cpu, ciSSE2));
#if defined(__x86_64__) || defined(__SSE2__)
    // Every processor that runs this build has SSE2 (x86-64 by definition, the Windows build by
    // its compiler flags), and with it MMX and the extended MMX set.
    EXPECT_TRUE(cpu.hasCpuid);
    EXPECT_GE(cpu.family, 5u);
    EXPECT_TRUE(now.mmx);
    EXPECT_TRUE(now.extendedMmx);
    EXPECT_TRUE(now.sse);
    EXPECT_TRUE(now.sse2);
#endif
}

} // namespace
