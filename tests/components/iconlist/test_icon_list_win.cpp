#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "components/iconlist/IconList_win.h"
#include "framework/core/Exceptions.h"
#include "framework/core/Filer.h"
#include "framework/core/MemoryStream.h"
#include "tests/components/iconlist/IconTestSupport_win.h"
#include "tests/fixtures/AllocationFaults.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TChangeCounter {
    int Count = 0;
    void Changed(TObject*) { ++Count; }
};

class IconListTest : public ::testing::Test {
protected:
    void SetUp() override { list.OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed); }

    // Adds count icons of distinct colours without counting their changes.
    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            std::unique_ptr<TIcon> icon(
                SolidIcon(0xFF000000u | static_cast<std::uint32_t>(i * 40)));
            list.Add(icon.get());
        }
        changes.Count = 0;
    }

    static Bytes Contents(TMemoryStream& s) {
        Bytes b(static_cast<std::size_t>(s.Size()));
        if (!b.empty())
            std::memcpy(b.data(), s.Memory(), b.size());
        return b;
    }

    static Bytes IconBytes(TIcon* icon) {
        TMemoryStream s;
        icon->SaveToStream(s);
        return Contents(s);
    }

    static void Append32(Bytes& b, std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    }

    // Reads data into the list; answers the exception class name or "".
    std::string Read(const Bytes& data) {
        TMemoryStream s;
        if (!data.empty())
            s.WriteBuffer(data.data(), data.size());
        s.SetPosition(0);
        try {
            list.ReadFromStream(s);
        } catch (const Exception& e) {
            return typeid(e).name();
        }
        return "";
    }

    TIconList list;
    TChangeCounter changes;
};

TEST_F(IconListTest, WriteOfIconEmptyIconGivesTheFramingAndReadsBack) {
    Fill(1);
    list.Add(nullptr); // an empty icon: written as size 0
    std::unique_ptr<TIcon> third(SolidIcon(0xFF00FF00u));
    list.Add(third.get());
    TMemoryStream out;
    list.WriteToStream(out);

    const Bytes b1 = IconBytes(list.Get(0));
    const Bytes b3 = IconBytes(list.Get(2));
    ASSERT_FALSE(b1.empty());
    ASSERT_NE(b1, b3);
    Bytes expected;
    Append32(expected, 3);
    Append32(expected, static_cast<std::int32_t>(b1.size()));
    expected.insert(expected.end(), b1.begin(), b1.end());
    Append32(expected, 0);
    Append32(expected, static_cast<std::int32_t>(b3.size()));
    expected.insert(expected.end(), b3.begin(), b3.end());
    EXPECT_EQ(Contents(out), expected);

    TIconList copy;
    out.SetPosition(0);
    copy.ReadFromStream(out);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(IconBytes(copy.Get(0)), b1);
    EXPECT_EQ(copy.Get(1), nullptr); // read back as an empty slot
    EXPECT_EQ(IconBytes(copy.Get(2)), b3);
    EXPECT_EQ(copy.Get(0)->Width(), 16);
}

TEST_F(IconListTest, ReadingTable) {
    const Bytes icon = SolidIconFile(0xFF102030u);
    auto frame = [&](std::initializer_list<std::int32_t> head, bool withIcon,
                     std::size_t iconBytes) {
        Bytes b;
        for (std::int32_t v : head)
            Append32(b, v);
        if (withIcon)
            b.insert(b.end(), icon.begin(), icon.begin() + static_cast<long>(iconBytes));
        return b;
    };
    const auto size = static_cast<std::int32_t>(icon.size());
    const Bytes badIcon = [] {
        Bytes b;
        Append32(b, 2);
        Append32(b, 0);
        Append32(b, 6);
        b.insert(b.end(), {'n', 'o', 't', 'i', 'c', 'o'});
        return b;
    }();
    const struct {
        const char* Name;
        Bytes Data;
        const char* Error; // exception class, "" for none
        int Count;         // entries afterwards
        int Icons;         // of them non-empty
    } cases[] = {
        {"count 0", frame({0}, false, 0), "", 0, 0},
        {"negative count", frame({-3}, false, 0), "", 0, 0},
        {"sizes 0 and -5", frame({2, 0, -5}, false, 0), "", 2, 0},
        {"one icon", frame({1, size}, true, icon.size()), "", 1, 1},
        {"truncated icon bytes", frame({1, size}, true, icon.size() - 1), typeid(EReadError).name(),
         0, 0},
        {"truncated after an entry", frame({3, 0, size}, true, icon.size()),
         typeid(EReadError).name(), 2, 1},
        {"oversized entry", frame({1, 0x7FFFFFF0}, false, 0), typeid(EReadError).name(), 0, 0},
        {"empty stream", {}, typeid(EReadError).name(), 0, 0},
        {"bad icon bytes after an empty slot", badIcon, typeid(EInvalidGraphic).name(), 1, 0},
    };
    for (const auto& c : cases) {
        Fill(2); // replaced by the read
        EXPECT_EQ(Read(c.Data), std::string(c.Error)) << c.Name;
        EXPECT_EQ(list.Count(), c.Count) << c.Name;
        int icons = 0;
        for (int i = 0; i < list.Count(); ++i)
            icons += list.Get(i) != nullptr;
        EXPECT_EQ(icons, c.Icons) << c.Name;
        // The batch closes even after a failure, and reports once.
        EXPECT_EQ(changes.Count, 1) << c.Name;
    }
}

TEST_F(IconListTest, ChangeEventsAndBatches) {
    Fill(5);
    list.Clear();
    EXPECT_EQ(changes.Count, 1) << "Clear of five";

    changes.Count = 0;
    list.LockChanges();
    list.LockChanges();
    Fill(0);
    std::unique_ptr<TIcon> icon(SolidIcon(0xFF0000FFu));
    list.Add(icon.get());
    list.Add(icon.get());
    list.UnlockChanges();
    EXPECT_EQ(changes.Count, 0) << "inner batch";
    list.UnlockChanges();
    EXPECT_EQ(changes.Count, 1) << "outer batch";

    changes.Count = 0;
    std::unique_ptr<TIcon> other(SolidIcon(0xFFFF0000u));
    list.Get(0)->Assign(other.get());
    EXPECT_EQ(changes.Count, 1) << "a held icon changed";

    changes.Count = 0;
    list.Exchange(0, 1);
    list.Move(0, 1);
    list.Insert(0, other.get());
    list.Delete(2);
    EXPECT_EQ(changes.Count, 4);
}

TEST_F(IconListTest, PutAtCountAppendsACopyAndAnEmptySlotGetsAnIcon) {
    std::unique_ptr<TIcon> icon(SolidIcon(0xFF00FFFFu));
    list.Put(0, icon.get());
    EXPECT_EQ(changes.Count, 1);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_NE(list.Get(0), icon.get());
    EXPECT_EQ(IconBytes(list.Get(0)), IconBytes(icon.get()));

    Bytes slots;
    Append32(slots, 1);
    Append32(slots, 0);
    Read(slots);
    ASSERT_EQ(list.Get(0), nullptr);
    list.Put(0, icon.get());
    ASSERT_NE(list.Get(0), nullptr);
    EXPECT_FALSE(list.Get(0)->Empty());
    // The icon made for the slot is bound like the others.
    changes.Count = 0;
    list.Get(0)->Assign(nullptr);
    EXPECT_EQ(changes.Count, 1);
}

TEST_F(IconListTest, IndexErrorsAndIndexOf) {
    Fill(2);
    EXPECT_THROW(list.Get(2), EListError);
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Delete(2), EListError);
    EXPECT_THROW(list.Put(3, nullptr), EListError);
    EXPECT_THROW(list.Insert(3, nullptr), EListError);
    EXPECT_THROW(list.Exchange(0, 5), EListError);
    EXPECT_THROW(list.Move(-1, 0), EListError);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf(list.Get(1)), 1);
    std::unique_ptr<TIcon> stranger(SolidIcon(0xFF000000u));
    EXPECT_EQ(list.IndexOf(stranger.get()), -1);
    EXPECT_THROW(list.InsertFromResource(3, GetModuleHandleA(nullptr), "NO_SUCH_ICON"), EListError);
    EXPECT_EQ(list.Count(), 2);
}

// The list holds whatever LoadIconA gave: for a name the module lacks, that is no icon, and the
// entry is an empty icon (which the notification icon shows as nothing) rather than an error.
TEST_F(IconListTest, IconsFromResourcesTheModuleLacksAreEmptyEntries) {
    Fill(2);
    changes.Count = 0;
    EXPECT_EQ(list.AddFromResource(GetModuleHandleA(nullptr), "NO_SUCH_ICON"), 2);
    list.InsertFromResource(0, GetModuleHandleA(nullptr), "NO_SUCH_ICON");
    EXPECT_EQ(changes.Count, 2);
    ASSERT_EQ(list.Count(), 4);
    for (int i : {0, 3}) {
        ASSERT_NE(list.Get(i), nullptr);
        EXPECT_TRUE(list.Get(i)->Empty());
    }
    EXPECT_FALSE(list.Get(1)->Empty());
    // Bound like every other entry.
    changes.Count = 0;
    list.Get(3)->Assign(list.Get(1));
    EXPECT_EQ(changes.Count, 1);
}

// An icon the list cannot make room for is not kept anywhere: at every allocation that can fail,
// the list stays as it was and nothing made for the entry is left behind.
TEST_F(IconListTest, MemoryRunningOutLeavesTheListAsItWasAndNothingBehind) {
    Fill(2);
    std::unique_ptr<TIcon> icon(SolidIcon(0xFF00FF00u));
    const HINSTANCE self = GetModuleHandleA(nullptr);
    struct Case {
        const char* what;
        std::function<void()> op;
    };
    const Case cases[] = {
        {"Add", [&] { list.Add(icon.get()); }},
        {"AddFromResource", [&] { list.AddFromResource(self, "NO_SUCH_ICON"); }},
        {"Insert", [&] { list.Insert(1, icon.get()); }},
        {"InsertFromResource", [&] { list.InsertFromResource(1, self, "NO_SUCH_ICON"); }},
    };
    for (const Case& c : cases) {
        const std::int32_t before = list.Count();
        std::int32_t count = 0;
        std::int64_t live = 0;
        const int failures = alloc_faults::SweepFailures(
            [&] {
                count = list.Count();
                live = alloc_faults::Live();
                try {
                    c.op();
                } catch (const EOutOfMemory&) {
                } catch (const std::bad_alloc&) {
                }
            },
            [&](int n) {
                EXPECT_EQ(list.Count(), count) << c.what << " allocation " << n;
                EXPECT_EQ(alloc_faults::Live(), live) << c.what << " allocation " << n;
            });
        EXPECT_GT(failures, 0) << c.what;
        EXPECT_EQ(list.Count(), before + 1) << c.what;
    }
}

TEST_F(IconListTest, AssignFromListIconNothingAndOthers) {
    Fill(3);
    TIconList copy;
    TChangeCounter copyChanges;
    copy.OnChange = TNotifyEvent(&copyChanges, &TChangeCounter::Changed);
    copy.Assign(&list);
    EXPECT_EQ(copyChanges.Count, 1);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_NE(copy.Get(1), list.Get(1));
    EXPECT_EQ(IconBytes(copy.Get(1)), IconBytes(list.Get(1)));

    std::unique_ptr<TIcon> one(SolidIcon(0xFF808080u));
    copy.Assign(one.get());
    EXPECT_EQ(copy.Count(), 1);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.Count(), 0);
    TPersistent unrelated;
    EXPECT_THROW(copy.Assign(&unrelated), EConvertError);
}

TEST_F(IconListTest, StoredAsTheBinaryPropertyIcons) {
    Fill(2);
    TMemoryStream block;
    TWriter writer(block);
    writer.WriteDefinedProperties(list);
    EXPECT_NE(std::string(static_cast<const char*>(block.Memory()), 12).find("Icons"),
              std::string::npos);
    block.SetPosition(0);
    TIconList loaded;
    TReader reader(block);
    reader.ReadDefinedProperties(loaded);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(IconBytes(loaded.Get(1)), IconBytes(list.Get(1)));

    // Nothing to store: an empty list, or the very entries of the ancestor.
    TIconList empty;
    TMemoryStream none;
    TWriter w2(none);
    w2.WriteDefinedProperties(empty);
    EXPECT_EQ(none.Size(), 1); // the end marker alone
    TMemoryStream same;
    TWriter w3(same);
    w3.SetAncestor(&list);
    w3.WriteDefinedProperties(list);
    EXPECT_EQ(same.Size(), 1);
    TMemoryStream differs;
    TWriter w4(differs);
    w4.SetAncestor(&loaded);
    w4.WriteDefinedProperties(list);
    EXPECT_GT(differs.Size(), 1);
}

} // namespace
