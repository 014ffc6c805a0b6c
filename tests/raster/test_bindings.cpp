#include <gtest/gtest.h>

#include "raster/Bindings.h"
#include "raster/Blend.h"
#include "raster/BlendForms.h"
#include "raster/LowLevel.h"

namespace {

// Each test forces a feature set; afterwards the real processor's binding comes back.
class Binding : public ::testing::Test {
protected:
    void TearDown() override { BindPrimitives(CurrentCpuFeatures()); }
};

TCpuFeatures Features(bool mmx, bool extendedMmx, bool sse2) {
    TCpuFeatures f;
    f.mmx = mmx;
    f.extendedMmx = extendedMmx;
    f.sse = extendedMmx && sse2;
    f.sse2 = sse2;
    return f;
}

void ExpectChannelOpsPlainExceptAverage() {
    EXPECT_EQ(AddColorChannels, &PlainForms::AddColorChannels);
    EXPECT_EQ(SubtractColorChannels, &PlainForms::SubtractColorChannels);
    EXPECT_EQ(DivideColorChannels, &PlainForms::DivideColorChannels);
    EXPECT_EQ(ModulateColorChannels, &PlainForms::ModulateColorChannels);
    EXPECT_EQ(MaxColorChannels, &PlainForms::MaxColorChannels);
    EXPECT_EQ(MinColorChannels, &PlainForms::MinColorChannels);
    EXPECT_EQ(DifferenceColorChannels, &PlainForms::DifferenceColorChannels);
    EXPECT_EQ(ExclusionColorChannels, &PlainForms::ExclusionColorChannels);
    EXPECT_EQ(ScaleColorChannels, &PlainForms::ScaleColorChannels);
}

void ExpectTablesFollowPointers() {
    EXPECT_EQ(CombineReg[cmBlend], BlendColors);
    EXPECT_EQ(CombineReg[cmMerge], MergeColors);
    EXPECT_EQ(CombineMem[cmBlend], BlendColorInto);
    EXPECT_EQ(CombineMem[cmMerge], MergeColorInto);
    EXPECT_EQ(CombineRegMaster[cmBlend], BlendColorsMaster);
    EXPECT_EQ(CombineRegMaster[cmMerge], MergeColorsMaster);
    EXPECT_EQ(CombineMemMaster[cmBlend], BlendColorIntoMaster);
    EXPECT_EQ(CombineMemMaster[cmMerge], MergeColorIntoMaster);
    EXPECT_EQ(CombineLine[cmBlend], BlendRow);
    EXPECT_EQ(CombineLine[cmMerge], MergeRow);
    EXPECT_EQ(CombineLineMaster[cmBlend], BlendRowMaster);
    EXPECT_EQ(CombineLineMaster[cmMerge], MergeRowMaster);
}

TEST_F(Binding, WithoutMmxEveryPointerIsPlain) {
    // SSE2 without MMX does not occur in processors; the MMX flag alone decides.
    for (const TCpuFeatures& f : {TCpuFeatures{}, Features(false, false, true)}) {
        BindPrimitives(f);
        EXPECT_FALSE(MMXActive());
        EXPECT_EQ(Fill32, &PlainForms::Fill32);
        EXPECT_EQ(MixColors, &PlainForms::MixColors);
        EXPECT_EQ(MixColorInto, &PlainForms::MixColorInto);
        EXPECT_EQ(MixRow, &PlainForms::MixRow);
        EXPECT_EQ(BlendColors, &PlainForms::BlendColors);
        EXPECT_EQ(BlendColorInto, &PlainForms::BlendColorInto);
        EXPECT_EQ(BlendRow, &PlainForms::BlendRow);
        EXPECT_EQ(BlendColorsMaster, &PlainForms::BlendColorsMaster);
        EXPECT_EQ(BlendColorIntoMaster, &PlainForms::BlendColorIntoMaster);
        EXPECT_EQ(BlendRowMaster, &PlainForms::BlendRowMaster);
        EXPECT_EQ(MergeColors, &PlainForms::MergeColors);
        EXPECT_EQ(MergeColorInto, &PlainForms::MergeColorInto);
        EXPECT_EQ(MergeRow, &PlainForms::MergeRow);
        EXPECT_EQ(MergeColorsMaster, &PlainForms::MergeColorsMaster);
        EXPECT_EQ(MergeColorIntoMaster, &PlainForms::MergeColorIntoMaster);
        EXPECT_EQ(MergeRowMaster, &PlainForms::MergeRowMaster);
        EXPECT_EQ(AverageColorChannels, &PlainForms::AverageColorChannels);
        ExpectChannelOpsPlainExceptAverage();
        ExpectTablesFollowPointers();
        // What the plain binding computes, through the pointers.
        EXPECT_EQ(BlendColors(0xFFFFFFFF, 0), 0xFFFFFFFFu);
        EXPECT_EQ(BlendColorsMaster(0x80FFFFFF, 0xFF000000, 255), 0x00808080u);
    }
}

TEST_F(Binding, MmxWithoutExtendedMmxKeepsPlainMaxMinAndAverage) {
    BindPrimitives(Features(true, false, false));
    EXPECT_TRUE(MMXActive());
    EXPECT_EQ(Fill32, &MmxForms::Fill32);
    EXPECT_EQ(MixColors, &MmxForms::MixColors);
    EXPECT_EQ(MixColorInto, &MmxForms::MixColorInto);
    EXPECT_EQ(MixRow, &MmxForms::MixRow);
    EXPECT_EQ(BlendColors, &MmxForms::BlendColors);
    EXPECT_EQ(BlendColorInto, &MmxForms::BlendColorInto);
    EXPECT_EQ(BlendRow, &MmxForms::BlendRow);
    EXPECT_EQ(BlendColorsMaster, &MmxForms::BlendColorsMaster);
    EXPECT_EQ(BlendColorIntoMaster, &MmxForms::BlendColorIntoMaster);
    EXPECT_EQ(BlendRowMaster, &MmxForms::BlendRowMaster);
    EXPECT_EQ(MergeColors, &MmxForms::MergeColors);
    EXPECT_EQ(MergeColorInto, &MmxForms::MergeColorInto);
    EXPECT_EQ(MergeRow, &MmxForms::MergeRow);
    EXPECT_EQ(MergeColorsMaster, &MmxForms::MergeColorsMaster);
    EXPECT_EQ(MergeColorIntoMaster, &MmxForms::MergeColorIntoMaster);
    EXPECT_EQ(MergeRowMaster, &MmxForms::MergeRowMaster);
    EXPECT_EQ(AverageColorChannels, &PlainForms::AverageColorChannels);
    ExpectChannelOpsPlainExceptAverage();
    ExpectTablesFollowPointers();
    EXPECT_EQ(AverageColorChannels(0x01010101, 0), 0u);
    EXPECT_EQ(BlendColors(0xFFFFFFFF, 0), 0xFEFEFEFEu);
}

TEST_F(Binding, ExtendedMmxBindsTheRoundingAverage) {
    BindPrimitives(Features(true, true, false));
    EXPECT_EQ(AverageColorChannels, &MmxForms::AverageColorChannels);
    EXPECT_EQ(AverageColorChannels(0x01010101, 0), 0x01010101u);
    ExpectChannelOpsPlainExceptAverage();
}

TEST_F(Binding, Sse2BindsTheVectorRowsWhereBuilt) {
    BindPrimitives(Features(true, true, true));
#if RASTER_SSE2_FORMS
    EXPECT_EQ(Fill32, &Sse2Forms::Fill32);
    EXPECT_EQ(MixRow, &Sse2Forms::MixRow);
    EXPECT_EQ(BlendRow, &Sse2Forms::BlendRow);
    EXPECT_EQ(BlendRowMaster, &Sse2Forms::BlendRowMaster);
    EXPECT_EQ(MergeRow, &Sse2Forms::MergeRow);
    EXPECT_EQ(MergeRowMaster, &Sse2Forms::MergeRowMaster);
#else
    EXPECT_EQ(Fill32, &MmxForms::Fill32);
    EXPECT_EQ(BlendRow, &MmxForms::BlendRow);
#endif
    EXPECT_EQ(BlendColors, &MmxForms::BlendColors);
    EXPECT_EQ(MergeColors, &MmxForms::MergeColors);
    EXPECT_EQ(CombineLine[cmBlend], BlendRow);
    EXPECT_EQ(CombineLine[cmMerge], MergeRow);
    EXPECT_EQ(CombineLineMaster[cmBlend], BlendRowMaster);
}

TEST_F(Binding, RebindingGoesBothWays) {
    BindPrimitives(Features(true, true, true));
    BindPrimitives(TCpuFeatures{});
    EXPECT_EQ(BlendRow, &PlainForms::BlendRow);
    EXPECT_EQ(Fill32, &PlainForms::Fill32);
    EXPECT_EQ(CombineLine[cmMerge], &PlainForms::MergeRow);
    BindPrimitives(Features(true, true, true));
    EXPECT_EQ(BlendColors, &MmxForms::BlendColors);
}

// Start-up binds from the real processor once; a later start-up does not undo a forced binding.
TEST_F(Binding, StartUpBindsOnceFromTheProcessor) {
    StartPrimitives();
    const TCpuFeatures cpu = CurrentCpuFeatures();
    EXPECT_EQ(MMXActive(), cpu.mmx);
    EXPECT_EQ(BoundFeatures().sse2, cpu.sse2);
    EXPECT_EQ(BoundFeatures().extendedMmx, cpu.extendedMmx);
    EXPECT_EQ(BlendColors, cpu.mmx ? &MmxForms::BlendColors : &PlainForms::BlendColors);
    BindPrimitives(TCpuFeatures{});
    StartPrimitives();
    EXPECT_EQ(BlendColors, &PlainForms::BlendColors);
}

} // namespace
