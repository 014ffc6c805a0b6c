#include "raster/Blend.h"

#include "raster/BlendForms.h"

// Constant initialisation: every pointer holds its plain form from program load on, so nothing
// runs before start-up binds the processor's forms.

TCombineReg MixColors = &PlainForms::MixColors;
TCombineMem MixColorInto = &PlainForms::MixColorInto;
TCombineLine MixRow = &PlainForms::MixRow;

TBlendReg BlendColors = &PlainForms::BlendColors;
TBlendMem BlendColorInto = &PlainForms::BlendColorInto;
TBlendLine BlendRow = &PlainForms::BlendRow;
TBlendRegEx BlendColorsMaster = &PlainForms::BlendColorsMaster;
TBlendMemEx BlendColorIntoMaster = &PlainForms::BlendColorIntoMaster;
TBlendLineEx BlendRowMaster = &PlainForms::BlendRowMaster;

TBlendReg MergeColors = &PlainForms::MergeColors;
TBlendMem MergeColorInto = &PlainForms::MergeColorInto;
TBlendLine MergeRow = &PlainForms::MergeRow;
TBlendRegEx MergeColorsMaster = &PlainForms::MergeColorsMaster;
TBlendMemEx MergeColorIntoMaster = &PlainForms::MergeColorIntoMaster;
TBlendLineEx MergeRowMaster = &PlainForms::MergeRowMaster;

TChannelOp AddColorChannels = &PlainForms::AddColorChannels;
TChannelOp SubtractColorChannels = &PlainForms::SubtractColorChannels;
TChannelOp DivideColorChannels = &PlainForms::DivideColorChannels;
TChannelOp ModulateColorChannels = &PlainForms::ModulateColorChannels;
TChannelOp MaxColorChannels = &PlainForms::MaxColorChannels;
TChannelOp MinColorChannels = &PlainForms::MinColorChannels;
TChannelOp DifferenceColorChannels = &PlainForms::DifferenceColorChannels;
TChannelOp ExclusionColorChannels = &PlainForms::ExclusionColorChannels;
TChannelOp AverageColorChannels = &PlainForms::AverageColorChannels;
TScaleOp ScaleColorChannels = &PlainForms::ScaleColorChannels;

TBlendReg CombineReg[2] = {&PlainForms::BlendColors, &PlainForms::MergeColors};
TBlendMem CombineMem[2] = {&PlainForms::BlendColorInto, &PlainForms::MergeColorInto};
TBlendRegEx CombineRegMaster[2] = {&PlainForms::BlendColorsMaster, &PlainForms::MergeColorsMaster};
TBlendMemEx CombineMemMaster[2] = {&PlainForms::BlendColorIntoMaster,
                                   &PlainForms::MergeColorIntoMaster};
TBlendLine CombineLine[2] = {&PlainForms::BlendRow, &PlainForms::MergeRow};
TBlendLineEx CombineLineMaster[2] = {&PlainForms::BlendRowMaster, &PlainForms::MergeRowMaster};
