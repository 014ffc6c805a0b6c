#include "raster/Bindings.h"

#include <mutex>

#include "raster/Blend.h"
#include "raster/BlendForms.h"
#include "raster/LowLevel.h"

namespace {

TCpuFeatures gBound;

bool UseSse2(const TCpuFeatures& features) {
#if RASTER_SSE2_FORMS
    return features.mmx && features.sse2;
#else
    (void)features;
    return false;
#endif
}

void BindLowLevel(const TCpuFeatures& features) {
    if (!features.mmx) {
        Fill32 = &PlainForms::Fill32;
        return;
    }
    Fill32 = &MmxForms::Fill32;
#if RASTER_SSE2_FORMS
    if (UseSse2(features)) {
        Fill32 = &Sse2Forms::Fill32;
    }
#endif
}

void BindPlainBlend() {
    ::MixColors = &PlainForms::MixColors;
    ::MixColorInto = &PlainForms::MixColorInto;
    ::MixRow = &PlainForms::MixRow;
    ::BlendColors = &PlainForms::BlendColors;
    ::BlendColorInto = &PlainForms::BlendColorInto;
    ::BlendRow = &PlainForms::BlendRow;
    ::BlendColorsMaster = &PlainForms::BlendColorsMaster;
    ::BlendColorIntoMaster = &PlainForms::BlendColorIntoMaster;
    ::BlendRowMaster = &PlainForms::BlendRowMaster;
    ::MergeColors = &PlainForms::MergeColors;
    ::MergeColorInto = &PlainForms::MergeColorInto;
    ::MergeRow = &PlainForms::MergeRow;
    ::MergeColorsMaster = &PlainForms::MergeColorsMaster;
    ::MergeColorIntoMaster = &PlainForms::MergeColorIntoMaster;
    ::MergeRowMaster = &PlainForms::MergeRowMaster;
    ::MaxColorChannels = &PlainForms::MaxColorChannels;
    ::MinColorChannels = &PlainForms::MinColorChannels;
    ::AverageColorChannels = &PlainForms::AverageColorChannels;
}

void BindMmxBlend(const TCpuFeatures& features) {
    ::MixColors = &MmxForms::MixColors;
    ::MixColorInto = &MmxForms::MixColorInto;
    ::MixRow = &MmxForms::MixRow;
    ::BlendColors = &MmxForms::BlendColors;
    ::BlendColorInto = &MmxForms::BlendColorInto;
    ::BlendRow = &MmxForms::BlendRow;
    ::BlendColorsMaster = &MmxForms::BlendColorsMaster;
    ::BlendColorIntoMaster = &MmxForms::BlendColorIntoMaster;
    ::BlendRowMaster = &MmxForms::BlendRowMaster;
    ::MergeColors = &MmxForms::MergeColors;
    ::MergeColorInto = &MmxForms::MergeColorInto;
    ::MergeRow = &MmxForms::MergeRow;
    ::MergeColorsMaster = &MmxForms::MergeColorsMaster;
    ::MergeColorIntoMaster = &MmxForms::MergeColorIntoMaster;
    ::MergeRowMaster = &MmxForms::MergeRowMaster;
#if RASTER_SSE2_FORMS
    if (UseSse2(features)) {
        ::MixRow = &Sse2Forms::MixRow;
        ::BlendRow = &Sse2Forms::BlendRow;
        ::BlendRowMaster = &Sse2Forms::BlendRowMaster;
        ::MergeRow = &Sse2Forms::MergeRow;
        ::MergeRowMaster = &Sse2Forms::MergeRowMaster;
    }
#endif
    // The byte maximum, minimum and average belong to the extended MMX set; maximum and minimum
    // come out the same either way, the average rounds up only there.
    ::MaxColorChannels = &PlainForms::MaxColorChannels;
    ::MinColorChannels = &PlainForms::MinColorChannels;
    ::AverageColorChannels =
        features.extendedMmx ? &MmxForms::AverageColorChannels : &PlainForms::AverageColorChannels;
}

void BindCombineTables() {
    CombineReg[cmBlend] = BlendColors;
    CombineReg[cmMerge] = MergeColors;
    CombineMem[cmBlend] = BlendColorInto;
    CombineMem[cmMerge] = MergeColorInto;
    CombineRegMaster[cmBlend] = BlendColorsMaster;
    CombineRegMaster[cmMerge] = MergeColorsMaster;
    CombineMemMaster[cmBlend] = BlendColorIntoMaster;
    CombineMemMaster[cmMerge] = MergeColorIntoMaster;
    CombineLine[cmBlend] = BlendRow;
    CombineLine[cmMerge] = MergeRow;
    CombineLineMaster[cmBlend] = BlendRowMaster;
    CombineLineMaster[cmMerge] = MergeRowMaster;
}

} // namespace

void BindPrimitives(const TCpuFeatures& features) {
    BindLowLevel(features);
    // The operations whose forms give identical results are the plain ones in every binding.
    AddColorChannels = &PlainForms::AddColorChannels;
    SubtractColorChannels = &PlainForms::SubtractColorChannels;
    DivideColorChannels = &PlainForms::DivideColorChannels;
    ModulateColorChannels = &PlainForms::ModulateColorChannels;
    DifferenceColorChannels = &PlainForms::DifferenceColorChannels;
    ExclusionColorChannels = &PlainForms::ExclusionColorChannels;
    ScaleColorChannels = &PlainForms::ScaleColorChannels;
    if (features.mmx) {
        BindMmxBlend(features);
    } else {
        BindPlainBlend();
    }
    BindCombineTables();
    gBound = features;
}

void StartPrimitives() {
    static std::once_flag once;
    std::call_once(once, [] { BindPrimitives(CurrentCpuFeatures()); });
}

const TCpuFeatures& BoundFeatures() {
    return gBound;
}

bool MMXActive() {
    return gBound.mmx;
}
