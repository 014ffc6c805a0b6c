#pragma once

#include <cstdint>

#include "raster/Color32.h"
#include "raster/Modes.h"

// The colour combination primitives. Each is a procedure pointer bound once at start-up (see
// raster/Bindings.h) to its plain form or, on a processor with MMX, to a form with the MMX
// results, which may round one unit differently (raster/BlendForms.h tells each form's result).
// Before start-up every pointer holds its plain form.
//
// Weights W and M run 0-255. A larger one is a caller's slip that still has a defined result and
// never reads outside a table: in the mix operations a weight whose low 16 bits are 0 counts as 0
// and any other above 255 as 255; in the others any weight above 255 counts as 255.
// Row operations take source, destination and count; a count of 0 or less changes nothing.
// The operations that write into memory write only the cells they are given.

using TCombineReg = TColor32 (*)(TColor32 x, TColor32 y, std::uint32_t w);
using TCombineMem = void (*)(TColor32 f, TColor32& b, std::uint32_t w);
using TCombineLine = void (*)(const TColor32* src, TColor32* dst, int count, std::uint32_t w);
using TBlendReg = TColor32 (*)(TColor32 f, TColor32 b);
using TBlendMem = void (*)(TColor32 f, TColor32& b);
using TBlendRegEx = TColor32 (*)(TColor32 f, TColor32 b, std::uint32_t m);
using TBlendMemEx = void (*)(TColor32 f, TColor32& b, std::uint32_t m);
using TBlendLine = void (*)(const TColor32* src, TColor32* dst, int count);
using TBlendLineEx = void (*)(const TColor32* src, TColor32* dst, int count, std::uint32_t m);
using TChannelOp = TColor32 (*)(TColor32 c1, TColor32 c2);
using TScaleOp = TColor32 (*)(TColor32 c, std::uint32_t w);

// X weighted W mixed with Y weighted 255 - W.
extern TCombineReg MixColors;
// B := MixColors(F, B, W); W with low 16 bits 0 leaves B, W = 255 stores F.
extern TCombineMem MixColorInto;
// Each Dst[i] := MixColors(Src[i], Dst[i], W); W = 0 leaves Dst, W = 255 copies Src.
extern TCombineLine MixRow;

// F over an opaque B with F's alpha as the weight.
extern TBlendReg BlendColors;
// B := BlendColors(F, B); F's alpha 0 leaves B, 255 stores F (in every form).
extern TBlendMem BlendColorInto;
// Each Dst[i] := BlendColorInto(Src[i], Dst[i]).
extern TBlendLine BlendRow;

// F over B with the weight ((M + 1) x alpha(F)) shr 8; F's alpha 0 or a weight 0 returns B.
extern TBlendRegEx BlendColorsMaster;
// B := BlendColorsMaster(F, B, M); B stays when F's alpha or the weight is 0.
extern TBlendMemEx BlendColorIntoMaster;
// Each Dst[i] as BlendColorIntoMaster(Src[i], Dst[i], M).
extern TBlendLineEx BlendRowMaster;

// F merged over a translucent B (the result's alpha is that of F over B).
extern TBlendReg MergeColors;
extern TBlendMem MergeColorInto;
extern TBlendLine MergeRow;
// MergeColors of F with its alpha replaced by MulTable[M][alpha(F)].
extern TBlendRegEx MergeColorsMaster;
extern TBlendMemEx MergeColorIntoMaster;
extern TBlendLineEx MergeRowMaster;

// Per-channel operations on all four channels.
extern TChannelOp AddColorChannels;        // min(c1 + c2, 255)
extern TChannelOp SubtractColorChannels;   // max(c1 - c2, 0)
extern TChannelOp DivideColorChannels;     // 255 when c1 = 0, else min((c2 x 256) div c1, 255)
extern TChannelOp ModulateColorChannels;   // (c1 x c2) shr 8
extern TChannelOp MaxColorChannels;        // max(c1, c2)
extern TChannelOp MinColorChannels;        // min(c1, c2)
extern TChannelOp DifferenceColorChannels; // |c1 - c2|
extern TChannelOp ExclusionColorChannels;  // c1 + c2 - ((c1 x c2) shr 7)
extern TChannelOp AverageColorChannels;    // (c1 + c2) shr 1 plain, (c1 + c2 + 1) shr 1 MMX
extern TScaleOp ScaleColorChannels;        // (c x W) shr 8

// The primitives by TCombineMode (cmBlend, cmMerge), bound with the pointers above.
extern TBlendReg CombineReg[2];
extern TBlendMem CombineMem[2];
extern TBlendRegEx CombineRegMaster[2];
extern TBlendMemEx CombineMemMaster[2];
extern TBlendLine CombineLine[2];
extern TBlendLineEx CombineLineMaster[2];
