#include "raster/Transforms.h"

#include <algorithm>
#include <cstdint>

TFixed IntToFixedSaturated(int v) noexcept {
    const std::int64_t f = std::int64_t{v} * 65536;
    return static_cast<TFixed>(std::clamp<std::int64_t>(f, INT32_MIN, INT32_MAX));
}

void TTransformation::Changed() {
    valid_ = false;
    TNotifiablePersistent::Changed();
}

void TTransformation::SetSrcRect(const TFloatRect& r) {
    srcRect_ = r;
    Changed();
}

void TTransformation::Prepare() {
    if (valid_)
        return;
    PrepareTransform();
    valid_ = true;
}

TPoint TTransformation::ReverseTransform(TPoint p) {
    Prepare();
    return ReverseTransformInt(p);
}

TFixedPoint TTransformation::ReverseTransform(TFixedPoint p) {
    Prepare();
    return ReverseTransformFixed(p);
}

TFloatPoint TTransformation::ReverseTransform(TFloatPoint p) {
    Prepare();
    return ReverseTransformFloat(p);
}

TPoint TTransformation::Transform(TPoint p) {
    Prepare();
    return TransformInt(p);
}

TFixedPoint TTransformation::Transform(TFixedPoint p) {
    Prepare();
    return TransformFixed(p);
}

TFloatPoint TTransformation::Transform(TFloatPoint p) {
    Prepare();
    return TransformFloat(p);
}

TRect TTransformation::GetTransformedBounds(const TFloatRect& r) {
    return BuildRectFromFloat(r, 0);
}

namespace {

TFloatPoint FixedToFloatPoint(TFixedPoint p) {
    return TFloatPoint{static_cast<float>(p.X / 65536.0), static_cast<float>(p.Y / 65536.0)};
}

TFixedPoint FloatToFixedPoint(TFloatPoint p) {
    return TFixedPoint{FloatToFixed(p.X), FloatToFixed(p.Y)};
}

TFixedPoint IntToFixedPoint(TPoint p) {
    return TFixedPoint{IntToFixedSaturated(p.X), IntToFixedSaturated(p.Y)};
}

TPoint FixedToIntPoint(TFixedPoint p) {
    return TPoint{FixedToIntRound(p.X), FixedToIntRound(p.Y)};
}

} // namespace

TPoint TTransformation::ReverseTransformInt(TPoint p) {
    return FixedToIntPoint(ReverseTransformFixed(IntToFixedPoint(p)));
}

TFixedPoint TTransformation::ReverseTransformFixed(TFixedPoint p) {
    return FloatToFixedPoint(ReverseTransformFloat(FixedToFloatPoint(p)));
}

TFloatPoint TTransformation::ReverseTransformFloat(TFloatPoint) {
    throw Exception::CreateFmt<ETransformNotImplemented>(
        "Reverse transformation is not implemented in %s.", {ClassName()});
}

TPoint TTransformation::TransformInt(TPoint p) {
    return FixedToIntPoint(TransformFixed(IntToFixedPoint(p)));
}

TFixedPoint TTransformation::TransformFixed(TFixedPoint p) {
    return FloatToFixedPoint(TransformFloat(FixedToFloatPoint(p)));
}

TFloatPoint TTransformation::TransformFloat(TFloatPoint) {
    throw Exception::CreateFmt<ETransformNotImplemented>(
        "Forward transformation is not implemented in %s.", {ClassName()});
}
