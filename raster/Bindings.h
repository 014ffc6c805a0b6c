#pragma once

#include "raster/System.h"

// Binding of the processor-dependent primitives (Fill32 and the colour pointers of
// raster/Blend.h). The binder takes the feature set as a parameter so that every form can be
// forced; start-up binds from the processor the program runs on.
//
// Which form each pointer gets:
//  - Fill32: with MMX the SSE2 fill when the build has it and SSE2 is present, else the 64-bit
//    pair fill; without MMX the plain fill.
//  - With MMX ("the MMX flag"): the MMX forms of mix, blend and master blend and the merges over
//    the MMX blend; the mix, blend and merge rows through SSE2 when the build has it and SSE2 is
//    present. Maximum, minimum and average need extended MMX as well, else they stay plain; the
//    other channel operations give the plain results in both sets and are the plain forms.
//  - Without MMX: every pointer its plain form.

// Binds every pointer for the given features. Not thread-safe: it runs during start-up (and in
// tests), before any drawing.
void BindPrimitives(const TCpuFeatures& features);

// Binds from the real processor the first time it is called; later calls do nothing. Call once
// during start-up before any drawing; safe to call from every component that needs the pixel
// layer, and from several threads at once.
void StartPrimitives();

// The features of the last binding (all false before any), and their MMX flag.
const TCpuFeatures& BoundFeatures();
bool MMXActive();
