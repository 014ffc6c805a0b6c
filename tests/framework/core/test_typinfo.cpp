#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "framework/core/Events.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Persistent.h"
#include "framework/core/TypInfo.h"

namespace {

enum TPixelAccessMode { pamUnsafe, pamSafe, pamWrap };
const char* const kPixelAccessModeNames[] = {"pamUnsafe", "pamSafe", "pamWrap"};
const TEnumType kPixelAccessModeType{kPixelAccessModeNames};

enum TKernelMode { kmDynamic, kmTableNearest, kmTableLinear };
const char* const kKernelModeNames[] = {"kmDynamic", "kmTableNearest", "kmTableLinear"};
const TEnumType kKernelModeType{kKernelModeNames};

// A small family modelled on resamplers and kernels: settings are copied by
// name between objects of different classes.
class TKernel : public TPersistent {
    FW_CLASS(TKernel, TPersistent)
public:
    double Radius = 1.0;
    double GetRadius() const { return Radius; }
    void SetRadius(double r) { Radius = r; }
    void Assign(TPersistent* Source) override {
        if (auto* k = dynamic_cast<TKernel*>(Source)) {
            Radius = k->Radius;
            return;
        }
        TPersistent::Assign(Source);
    }
    static const TPropList& PublishedProperties() {
        static const TPropList list = TPropList(TInherited::PublishedProperties())
                                          .Float("Radius", &TKernel::GetRadius, &TKernel::SetRadius);
        return list;
    }
};

class TResampler : public TPersistent {
    FW_CLASS(TResampler, TPersistent)
public:
    TPixelAccessMode Mode = pamSafe;
    TPixelAccessMode GetMode() const { return Mode; }
    void SetMode(TPixelAccessMode m) { Mode = m; }
    static const TPropList& PublishedProperties() {
        static const TPropList list =
            TPropList(TInherited::PublishedProperties())
                .Enum("PixelAccessMode", kPixelAccessModeType, &TResampler::GetMode,
                      &TResampler::SetMode)
                .Default(pamSafe);
        return list;
    }
};

class TKernelResampler : public TResampler {
    FW_CLASS(TKernelResampler, TResampler)
public:
    TKernelResampler() : kernel_(new TKernel) {}
    ~TKernelResampler() override { kernel_->Free(); }

    TKernel* GetKernel() const { return kernel_; }
    std::string GetKernelClassName() const { return kernel_->ClassName(); }
    TKernelMode KernelMode = kmDynamic;
    TKernelMode GetKernelMode() const { return KernelMode; }
    void SetKernelMode(TKernelMode m) { KernelMode = m; }
    std::int32_t TableSize = 32;
    std::int32_t GetTableSize() const { return TableSize; }
    void SetTableSize(std::int32_t v) { TableSize = v < 2 ? 2 : v; }
    TFontStyles Styles;
    TFontStyles GetStyles() const { return Styles; }
    void SetStyles(TFontStyles s) { Styles = s; }
    TNotifyEvent OnChange;
    TNotifyEvent GetOnChange() const { return OnChange; }
    void SetOnChange(TNotifyEvent e) { OnChange = e; }

    static const TPropList& PublishedProperties() {
        static const TPropList list =
            TPropList(TInherited::PublishedProperties())
                .Class("Kernel", &TKernelResampler::GetKernel)
                .String("KernelClassName", &TKernelResampler::GetKernelClassName)
                .Enum("KernelMode", kKernelModeType, &TKernelResampler::GetKernelMode,
                      &TKernelResampler::SetKernelMode)
                .Default(kmDynamic)
                .Integer("TableSize", &TKernelResampler::GetTableSize,
                         &TKernelResampler::SetTableSize)
                .Default(32)
                .Set("Styles", kFontStyleType, &TKernelResampler::GetStyles,
                     &TKernelResampler::SetStyles)
                .Method("OnChange", &TKernelResampler::GetOnChange, &TKernelResampler::SetOnChange);
        return list;
    }

private:
    TKernel* kernel_;
};

class TListener : public TObject {
    FW_CLASS(TListener, TObject)
public:
    void Changed(TObject*) {}
};

std::vector<std::string> Names(TClass cls) {
    std::vector<std::string> out;
    for (const TPropInfo& p : cls->Properties())
        out.push_back(p.Name);
    return out;
}

TEST(TypInfo, PropertiesAreListedAncestorsFirstInDeclarationOrder) {
    EXPECT_EQ(Names(TKernelResampler::StaticClass()),
              (std::vector<std::string>{"PixelAccessMode", "Kernel", "KernelClassName",
                                        "KernelMode", "TableSize", "Styles", "OnChange"}));
    EXPECT_TRUE(Names(TObject::StaticClass()).empty());
    const TPropInfo* p = GetPropInfo(TKernelResampler::StaticClass(), "KernelMode");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Kind, tkEnumeration);
    EXPECT_EQ(p->EnumType, &kKernelModeType);
    EXPECT_TRUE(p->Writable());
    EXPECT_FALSE(GetPropInfo(TKernelResampler::StaticClass(), "KernelClassName")->Writable());
    EXPECT_EQ(GetPropInfo(TKernelResampler::StaticClass(), "Kernel")->PropClass,
              TKernel::StaticClass());
    EXPECT_EQ(GetPropInfo(TKernelResampler::StaticClass(), "tablesize"), nullptr);  // exact names
}

TEST(TypInfo, ValuesAreReadAndWrittenByName) {
    TKernelResampler r;
    EXPECT_EQ(GetPropValue(&r, "PixelAccessMode").AsString(), "pamSafe");
    EXPECT_EQ(GetPropValue(&r, "PixelAccessMode", false).AsInteger(), pamSafe);
    SetPropValue(&r, "PixelAccessMode", "pamWrap");
    EXPECT_EQ(r.Mode, pamWrap);
    SetPropValue(&r, "PixelAccessMode", "PAMUNSAFE");  // enumeration names in any case
    EXPECT_EQ(r.Mode, pamUnsafe);
    SetPropValue(&r, "KernelMode", 2);
    EXPECT_EQ(r.KernelMode, kmTableLinear);
    SetPropValue(&r, "TableSize", 1);  // through the writer, which raises it to 2
    EXPECT_EQ(GetPropValue(&r, "TableSize").AsInteger(), 2);
    SetPropValue(&r, "Styles", "[fsBold, fsUnderline]");
    EXPECT_EQ(r.Styles, (TFontStyles{fsBold, fsUnderline}));
    EXPECT_EQ(GetPropValue(&r, "Styles").AsString(), "fsBold,fsUnderline");
    EXPECT_EQ(GetPropValue(&r, "Styles", false).AsInteger(), 0b101);
    EXPECT_EQ(GetPropValue(&r, "KernelClassName").AsString(), "TKernel");
    EXPECT_EQ(GetPropValue(&r, "Kernel").AsObject(), r.GetKernel());
}

TEST(TypInfo, BadNamesAndValuesRaisePropertyErrors) {
    TKernelResampler r;
    struct Case {
        const char* name;
        Variant value;
    };
    const Case cases[] = {
        {"NoSuchProperty", Variant(1)},  {"KernelClassName", Variant("TKernel")},  // read-only
        {"KernelMode", Variant(3)},      {"KernelMode", Variant(-1)},
        {"KernelMode", Variant("kmNo")}, {"TableSize", Variant("twelve")},
        {"TableSize", Variant(std::int64_t{1} << 40)}, {"Styles", Variant("[fsBold, fsHuge]")},
        {"Styles", Variant(0x100)},      {"OnChange", Variant(5)},
    };
    for (const Case& c : cases)
        EXPECT_THROW(SetPropValue(&r, c.name, c.value), EPropertyError) << c.name;
    EXPECT_THROW(GetPropValue(&r, "NoSuchProperty"), EPropertyError);
    EXPECT_EQ(r.KernelMode, kmDynamic);
    EXPECT_EQ(r.TableSize, 32);
}

TEST(TypInfo, EnumNamesAndValues) {
    EXPECT_EQ(GetEnumName(kPixelFormatType, pf24bit), "pf24bit");
    EXPECT_EQ(GetEnumName(kPixelFormatType, pfCustom), "pfCustom");
    EXPECT_EQ(GetEnumName(kPixelFormatType, 9), "");
    EXPECT_EQ(GetEnumName(kPixelFormatType, -1), "");
    EXPECT_EQ(GetEnumValue(kPixelFormatType, "pf32bit"), pf32bit);
    EXPECT_EQ(GetEnumValue(kPixelFormatType, "PF1BIT"), pf1bit);
    EXPECT_EQ(GetEnumValue(kPixelFormatType, "pf2bit"), -1);
    EXPECT_EQ(GetEnumName(kBooleanType, 1), "True");
    EXPECT_EQ(SetToString(kShiftStateType, TShiftState{ssCtrl, ssShift}.Raw()), "ssShift,ssCtrl");
    EXPECT_EQ(StringToSet(kShiftStateType, ""), 0u);
    EXPECT_THROW(StringToSet(kShiftStateType, "[ssShift"), EPropertyError);
}

TEST(TypInfo, MethodPropertiesCarryTheDelegate) {
    TKernelResampler a, b;
    TListener listener;
    a.OnChange = TNotifyEvent(&listener, &TListener::Changed);
    SetPropValue(&b, "OnChange", GetPropValue(&a, "OnChange"));
    EXPECT_TRUE(b.OnChange == a.OnChange);
}

TEST(TypInfo, CopyingByNameSkipsWhatTheTargetLacks) {
    TKernelResampler source;
    source.Mode = pamWrap;
    source.KernelMode = kmTableNearest;
    source.TableSize = 64;
    source.GetKernel()->Radius = 3.5;
    source.Styles = TFontStyles{fsItalic};

    // A plain resampler has only PixelAccessMode: the rest is skipped.
    TResampler plain;
    CopyPropertiesByName(&source, &plain);
    EXPECT_EQ(plain.Mode, pamWrap);

    // Between kernel resamplers the kernel object is assigned, not shared.
    TKernelResampler dest;
    CopyPropertiesByName(&source, &dest);
    EXPECT_EQ(dest.Mode, pamWrap);
    EXPECT_EQ(dest.KernelMode, kmTableNearest);
    EXPECT_EQ(dest.TableSize, 64);
    EXPECT_EQ(dest.Styles, TFontStyles{fsItalic});
    EXPECT_NE(dest.GetKernel(), source.GetKernel());
    EXPECT_EQ(dest.GetKernel()->Radius, 3.5);

    // Restricted kinds copy only those.
    TKernelResampler partial;
    CopyPropertiesByName(&source, &partial, TTypeKinds{tkInteger});
    EXPECT_EQ(partial.TableSize, 64);
    EXPECT_EQ(partial.Mode, pamSafe);
    EXPECT_EQ(partial.GetKernel()->Radius, 1.0);
}

TEST(TypInfo, StoredMeansNotDefaultAndNotExcluded) {
    TKernelResampler r;
    const TPropInfo& tableSize = *GetPropInfo(&r, "TableSize");
    EXPECT_FALSE(IsStoredProp(r, tableSize));
    r.TableSize = 16;
    EXPECT_TRUE(IsStoredProp(r, tableSize));
    EXPECT_TRUE(IsStoredProp(r, *GetPropInfo(&r, "KernelClassName")));  // no default
}

TEST(TypInfo, RedeclaringAnInheritedPropertyKeepsItsPlace) {
    TPropList base = TPropList()
                         .Integer("A", &TKernelResampler::GetTableSize)
                         .Integer("B", &TKernelResampler::GetTableSize);
    TPropList derived = TPropList(base)
                            .Integer("A", &TKernelResampler::GetTableSize,
                                     &TKernelResampler::SetTableSize)
                            .Default(7)
                            .Integer("C", &TKernelResampler::GetTableSize);
    ASSERT_EQ(derived.Count(), 3);
    EXPECT_EQ(derived[0].Name, "A");
    EXPECT_TRUE(derived[0].Writable());
    EXPECT_EQ(derived[0].Default, 7);
    EXPECT_EQ(derived[2].Name, "C");
}

TEST(Variant, ConversionsAcceptOnlyExactValues) {
    EXPECT_EQ(Variant(42).AsInteger(), 42);
    EXPECT_EQ(Variant(3.0).AsInteger(), 3);
    EXPECT_EQ(Variant("-17").AsInteger(), -17);
    EXPECT_EQ(Variant(5).AsFloat(), 5.0);
    EXPECT_EQ(Variant(12).AsString(), "12");
    EXPECT_EQ(Variant().AsObject(), nullptr);
    EXPECT_TRUE(Variant().IsEmpty());
    const Variant bad[] = {Variant(2.5), Variant("12x"), Variant(""), Variant(" 1"),
                           Variant(1e300), Variant(std::numeric_limits<double>::quiet_NaN()),
                           Variant()};
    for (const Variant& v : bad)
        EXPECT_THROW(v.AsInteger(), EConvertError);
    EXPECT_THROW(Variant(1.5).AsString(), EConvertError);
    EXPECT_THROW(Variant("x").AsFloat(), EConvertError);
    EXPECT_THROW(Variant(1).AsObject(), EConvertError);
    EXPECT_THROW(Variant(1).AsMethod(), EConvertError);
    EXPECT_TRUE(Variant("a") == Variant(std::string("a")));
    EXPECT_FALSE(Variant(1) == Variant(1.0));
}

}  // namespace
