#pragma once

#include <cstdint>
#include <vector>

#include "raster/NotifyBases.h"

// Width x height int32 values, row-major.
class TIntegerMap : public TCustomMap {
    FW_CLASS(TIntegerMap, TCustomMap)
public:
    bool Empty() const override { return values_.empty(); }
    // The value at (x, y); nullptr outside the map.
    std::int32_t* ValueAddress(int x, int y) noexcept;

protected:
    // Reallocates (every value 0); the size is checked in 64 bits and a map above 2^28 values
    // raises EOutOfMemory, leaving the map as it was.
    void ChangeSize(int& width, int& height, int newWidth, int newHeight) override;

private:
    std::vector<std::int32_t> values_;
};
