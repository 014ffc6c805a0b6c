#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/ClassRegistry.h"
#include "framework/core/Component.h"
#include "framework/core/Events.h"
#include "framework/core/ExceptionReport.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Persistent.h"
#include "framework/core/SharedImage.h"

namespace {

class TCustomSampler : public TPersistent {
    FW_CLASS(TCustomSampler, TPersistent)
public:
    virtual int Width() const = 0;
};

class TNearestResampler : public TCustomSampler {
    FW_CLASS(TNearestResampler, TCustomSampler)
public:
    int Width() const override { return 1; }
};

class TLinearResampler : public TNearestResampler {
    FW_CLASS(TLinearResampler, TNearestResampler)
public:
    int Width() const override { return 2; }
};

// A family whose virtual constructor takes an argument.
class TKernelBase : public TObject {
    FW_CLASS(TKernelBase, TObject)
public:
    using TConstructorArgs = TCtorArgs<int>;
    explicit TKernelBase(int size) : Size(size) {}
    int Size;
};

class TBoxKernel : public TKernelBase {
    FW_CLASS(TBoxKernel, TKernelBase)
public:
    explicit TBoxKernel(int size) : TKernelBase(size * 2) {}
};

using TKernelClass = TClassOf<TKernelBase>;

TEST(TObjectModel, ClassNamesAreTheDeclaredNames) {
    TLinearResampler r;
    EXPECT_EQ(r.ClassName(), "TLinearResampler");
    EXPECT_EQ(r.ClassParent(), TNearestResampler::StaticClass());
    EXPECT_EQ(r.ClassParent()->ClassParent()->ClassName(), "TCustomSampler");
    std::vector<std::string> chain;
    for (TClass c = r.ClassType(); c != nullptr; c = c->ClassParent())
        chain.push_back(c->ClassName());
    EXPECT_EQ(chain, (std::vector<std::string>{"TLinearResampler", "TNearestResampler",
                                               "TCustomSampler", "TPersistent", "TObject"}));
}

TEST(TObjectModel, InheritanceAndExactIdentity) {
    TLinearResampler linear;
    TObject* obj = &linear;
    EXPECT_TRUE(obj->InheritsFrom<TNearestResampler>());
    EXPECT_TRUE(obj->InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(obj->InheritsFrom<TComponent>());
    EXPECT_FALSE(obj->InheritsFrom(nullptr));
    EXPECT_TRUE(obj->ClassType() == TLinearResampler::StaticClass());
    EXPECT_FALSE(obj->ClassType() == TNearestResampler::StaticClass());
    EXPECT_EQ(CheckedCast<TNearestResampler>(obj), &linear);
    EXPECT_EQ(CheckedCast<TComponent>(nullptr), nullptr);
    EXPECT_THROW(CheckedCast<TComponent>(obj), EInvalidCast);
}

TEST(TObjectModel, ClassReferencesCreateTheReferencedClass) {
    TClassOf<TCustomSampler> cls = TClassOf<TCustomSampler>::Of<TLinearResampler>();
    TCustomSampler* s = cls.Create();
    EXPECT_EQ(s->ClassName(), "TLinearResampler");
    EXPECT_EQ(s->Width(), 2);
    s->Free();

    // Abstract classes have no constructor.
    EXPECT_FALSE(TCustomSampler::StaticClass()->CanCreate());
    EXPECT_THROW(TClassOf<TCustomSampler>(TCustomSampler::StaticClass()).Create(),
                 EInvalidOperation);

    TKernelClass kernel = TKernelClass::Of<TBoxKernel>();
    TKernelBase* k = kernel.Create(5);
    EXPECT_EQ(k->ClassName(), "TBoxKernel");
    EXPECT_EQ(k->Size, 10);
    k->Free();

    // A reference of a wider family cannot call a narrower family's constructor.
    EXPECT_THROW(TObjectClass(TBoxKernel::StaticClass()).Create(), EInvalidOperation);
    EXPECT_THROW(TKernelClass{TLinearResampler::StaticClass()}, EInvalidCast);
}

class TFailingStart : public TObject {
    FW_CLASS(TFailingStart, TObject)
public:
    static inline int Freed = 0;
    void AfterConstruction() override { throw EInvalidOperation("cannot start"); }
    void BeforeDestruction() override { ++Freed; }
};

TEST(TObjectModel, AFailingAfterConstructionFreesTheObject) {
    TFailingStart::Freed = 0;
    EXPECT_THROW(Create<TFailingStart>(), EInvalidOperation);
    EXPECT_EQ(TFailingStart::Freed, 1);
}

TEST(TObjectModel, FreeAndNilClearsBeforeFreeing) {
    TObject* p = Create<TNearestResampler>();
    FreeAndNil(p);
    EXPECT_EQ(p, nullptr);
    FreeAndNil(p);  // nothing to do
}

TObject* gReportedSender = nullptr;
std::string gReportedMessage;
void Remember(TObject* sender, std::exception_ptr error) noexcept {
    gReportedSender = sender;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        gReportedMessage = e.Message();
    } catch (...) {
    }
}

TEST(TObjectModel, ReportedExceptionsReachTheInstalledReporter) {
    TNearestResampler sender;
    TExceptionReporter previous = SetExceptionReporter(&Remember);
    try {
        throw EInvalidOperation("lost in a callback");
    } catch (...) {
        ReportException(&sender);
    }
    EXPECT_EQ(gReportedSender, &sender);
    EXPECT_EQ(gReportedMessage, "lost in a callback");
    EXPECT_FALSE(CallReporting(&sender, [] { throw EAbort(); }));
    EXPECT_TRUE(CallReporting(&sender, [] {}));
    SetExceptionReporter(previous);
}

// --- delegates --------------------------------------------------------------

class THandler : public TObject {
    FW_CLASS(THandler, TObject)
public:
    std::vector<std::string> Calls;
    void Click(TObject*) { Calls.push_back("click"); }
    void Other(TObject*) { Calls.push_back("other"); }
    bool Help(std::uint16_t command, std::intptr_t data, bool& callHelp) {
        Calls.push_back("help " + std::to_string(command) + " " + std::to_string(data));
        callHelp = false;
        return true;
    }
    void Key(TObject*, std::uint16_t& key, TShiftState shift) {
        if (shift.Contains(ssCtrl))
            key = 0;
    }
};

class TDerivedHandler : public THandler {
    FW_CLASS(TDerivedHandler, THandler)
};

int gPlainCalls = 0;
void PlainHandler(TObject*) {
    ++gPlainCalls;
}

TEST(TDelegate, EqualExactlyForTheSameObjectAndMethod) {
    THandler a, b;
    TNotifyEvent empty;
    TNotifyEvent aClick(&a, &THandler::Click);
    TNotifyEvent aClick2(&a, &THandler::Click);
    TNotifyEvent aOther(&a, &THandler::Other);
    TNotifyEvent bClick(&b, &THandler::Click);
    EXPECT_FALSE(empty);
    EXPECT_TRUE(empty == nullptr);
    EXPECT_TRUE(aClick);
    EXPECT_TRUE(aClick == aClick2);
    EXPECT_FALSE(aClick == aOther);
    EXPECT_FALSE(aClick == bClick);
    EXPECT_FALSE(aClick == empty);

    // Bound through a derived object: still the same object and method.
    TDerivedHandler d;
    EXPECT_TRUE(TNotifyEvent(&d, &THandler::Click) ==
                TNotifyEvent(static_cast<THandler*>(&d), &THandler::Click));

    TNotifyEvent plain(&PlainHandler);
    EXPECT_TRUE(plain == TNotifyEvent(&PlainHandler));
    EXPECT_FALSE(plain == aClick);
    plain(nullptr);
    EXPECT_EQ(gPlainCalls, 1);
}

TEST(TDelegate, SavedHandlersCanBeRestored) {
    THandler a;
    TNotifyEvent slot(&a, &THandler::Click);
    TNotifyEvent saved = slot;
    slot = TNotifyEvent(&a, &THandler::Other);
    slot(nullptr);
    slot = saved;
    slot(nullptr);
    EXPECT_EQ(a.Calls, (std::vector<std::string>{"other", "click"}));
    EXPECT_EQ(saved.Object(), &a);
}

TEST(TDelegate, ReferenceParametersReachTheCaller) {
    THandler a;
    THelpEvent help(&a, &THandler::Help);
    bool callHelp = true;
    EXPECT_TRUE(help(15, 42, callHelp));
    EXPECT_FALSE(callHelp);
    EXPECT_EQ(a.Calls.back(), "help 15 42");

    TKeyEvent key(&a, &THandler::Key);
    std::uint16_t k = 'A';
    key(&a, k, TShiftState{ssCtrl});
    EXPECT_EQ(k, 0);
}

// --- class registry ----------------------------------------------------------

TEST(ClassRegistry, FindsRegisteredClassesByExactName) {
    RegisterClasses({TPersistentClass::Of<TNearestResampler>(),
                     TPersistentClass::Of<TLinearResampler>()});
    RegisterClass(TPersistentClass::Of<TNearestResampler>());  // again: no effect
    EXPECT_EQ(GetClass("TNearestResampler"), TPersistentClass::Of<TNearestResampler>());
    EXPECT_EQ(FindClass("TLinearResampler").Class(), TLinearResampler::StaticClass());
    EXPECT_FALSE(GetClass("tnearestresampler"));
    EXPECT_FALSE(GetClass("TMissing"));
    try {
        FindClass("TMissing");
        FAIL();
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.Message(), "Class TMissing not found");
    }
    UnRegisterClass(TPersistentClass::Of<TNearestResampler>());
    EXPECT_FALSE(GetClass("TNearestResampler"));
    EXPECT_TRUE(GetClass("TLinearResampler"));
    UnRegisterClass(TPersistentClass::Of<TLinearResampler>());
}

// --- TPersistent --------------------------------------------------------------

TEST(TPersistent, DefaultAssignmentIsAConversionError) {
    TNearestResampler a;
    TLinearResampler b;
    try {
        a.Assign(&b);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TLinearResampler to a TNearestResampler");
    }
    try {
        a.Assign(nullptr);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a nil to a TNearestResampler");
    }
    EXPECT_EQ(a.GetNamePath(), "TNearestResampler");
    EXPECT_EQ(a.GetOwner(), nullptr);
}

// --- TSharedImage -------------------------------------------------------------

class TFrameData : public TSharedImage {
    FW_CLASS(TFrameData, TSharedImage)
public:
    explicit TFrameData(std::vector<std::string>* log) : log_(log) {}
    ~TFrameData() override { log_->push_back("freed"); }

protected:
    void FreeHandle() noexcept override { log_->push_back("handle"); }

private:
    std::vector<std::string>* log_;
};

TEST(TSharedImage, TheLastReleaseFreesTheData) {
    std::vector<std::string> log;
    auto* data = new TFrameData(&log);
    {
        TSharedImageRef<TFrameData> first(data);
        TSharedImageRef<TFrameData> second = first;
        EXPECT_EQ(data->RefCount(), 2);
        first = TSharedImageRef<TFrameData>();
        EXPECT_EQ(data->RefCount(), 1);
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"handle", "freed"}));
}

}  // namespace
