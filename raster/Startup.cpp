#include "raster/Startup.h"

#include "raster/KernelResample.h"

#include <atomic>
#include <mutex>

#include "raster/Bindings.h"
#include "raster/Kernels.h"
#include "raster/Resamplers.h"

namespace raster {

// The platform's part of the start-up (Startup_win.cpp); nothing elsewhere.
void StartPlatform();

namespace {
std::once_flag gStartOnce;
std::atomic<bool> gStarted{false};
} // namespace

void Startup() {
    std::call_once(gStartOnce, [] {
        StartPrimitives();
        const TCpuFeatures& cpu = BoundFeatures();
        BindBilinearMix4(cpu.mmx || cpu.amd3DNow);
        SetGamma(0.7);
        BindTransferFunctions(cpu.mmx || cpu.amd3DNow, cpu.sse2);
        for (TClass cls : {TNearestResampler::StaticClass(), TLinearResampler::StaticClass(),
                           TDraftResampler::StaticClass(), TKernelResampler::StaticClass()})
            RegisterResampler(cls);
        RegisterKernelClasses();
        StartPlatform();
        gStarted.store(true);
    });
}

bool Started() {
    return gStarted.load();
}

#ifndef _WIN32
void StartPlatform() {}
#endif

} // namespace raster
