#pragma once

namespace raster {

// Starts the library: binds the processor-dependent primitives and the bilinear mixer, fills
// the gamma table (0.7), registers the resampler classes in their fixed order and, on Windows,
// takes the stock system font. Runs once; later calls (from any thread) return at once after
// the first has finished. Call it from the program's entry and from the band library's first
// class-object request; never from a static initialiser or DllMain.
void Startup();

// True once Startup has run.
bool Started();

} // namespace raster
