#pragma once

#include "framework/core/Exceptions.h"
#include "framework/core/Types.h"
#include "raster/NotifyBases.h"
#include "raster/RasterTypes.h"

// The base of the coordinate transformations a transformer sampler maps points through. A
// derived class computes its coefficients in PrepareTransform and implements the float forms;
// the integer and 16.16 fixed forms go through them unless a class overrides them too.

FW_DECLARE_EXCEPTION(ETransformNotImplemented, Exception);

struct TFixedPoint {
    TFixed X = 0;
    TFixed Y = 0;
    friend constexpr bool operator==(const TFixedPoint&, const TFixedPoint&) = default;
};

struct TFloatPoint {
    float X = 0;
    float Y = 0;
    friend constexpr bool operator==(const TFloatPoint&, const TFloatPoint&) = default;
};

class TTransformation : public TNotifiablePersistent {
    FW_CLASS(TTransformation, TNotifiablePersistent)
public:
    // Invalidates the prepared coefficients, then notifies as the base does.
    void Changed() override;

    // The public entries prepare the coefficients once (PrepareTransform, then the valid flag is
    // set; Changed clears it), then map.
    TPoint ReverseTransform(TPoint p);
    TFixedPoint ReverseTransform(TFixedPoint p);
    TFloatPoint ReverseTransform(TFloatPoint p);
    TPoint Transform(TPoint p);
    TFixedPoint Transform(TFixedPoint p);
    TFloatPoint Transform(TFloatPoint p);

    virtual bool HasTransformedBounds() const { return true; }
    // R with each coordinate rounded to the nearest integer (ties to even).
    virtual TRect GetTransformedBounds(const TFloatRect& r);

    bool TransformValid() const noexcept { return valid_; }
    const TFloatRect& SrcRect() const noexcept { return srcRect_; }
    void SetSrcRect(const TFloatRect& r);

protected:
    // Nothing here; derived classes compute their coefficients.
    virtual void PrepareTransform() {}
    // Through the fixed form: X and Y times 65536 (saturated to the fixed range, where the plain
    // product would overflow), each result rounded back with FixedToIntRound.
    virtual TPoint ReverseTransformInt(TPoint p);
    // Through the float form: X / 65536 and Y / 65536 as single floats, each result converted
    // with FloatToFixed (which saturates).
    virtual TFixedPoint ReverseTransformFixed(TFixedPoint p);
    // Raises ETransformNotImplemented "Reverse transformation is not implemented in <class>.".
    virtual TFloatPoint ReverseTransformFloat(TFloatPoint p);
    virtual TPoint TransformInt(TPoint p);
    virtual TFixedPoint TransformFixed(TFixedPoint p);
    // Raises ETransformNotImplemented "Forward transformation is not implemented in <class>.".
    virtual TFloatPoint TransformFloat(TFloatPoint p);

    bool valid_ = false;
    TFloatRect srcRect_;

private:
    void Prepare();
};

// V x 65536 clamped to the 16.16 range.
TFixed IntToFixedSaturated(int v) noexcept;
