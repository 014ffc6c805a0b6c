#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "framework/core/Exceptions.h"
#include "framework/core/StringList.h"

namespace {

std::vector<std::string> Lines(const TStrings& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.Strings(i));
    return out;
}

// Counts the change notifications of a list.
class ChangeCounter : public TObject {
public:
    explicit ChangeCounter(TStringList& list) {
        list.OnChanging = TNotifyEvent(this, &ChangeCounter::Changing);
        list.OnChange = TNotifyEvent(this, &ChangeCounter::Change);
    }
    void Changing(TObject*) { ++changing; }
    void Change(TObject*) { ++changed; }
    int changing = 0;
    int changed = 0;
};

std::string IndexMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const EListError& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(StringList, AddInsertDeleteKeepOrderAndDuplicates) {
    TStringList list;
    EXPECT_EQ(list.Add("10"), 0);
    EXPECT_EQ(list.Add("20"), 1);
    EXPECT_EQ(list.Add("10"), 2);
    list.Insert(0, "5");
    list.Insert(4, "30");  // Count: appends
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"5", "10", "20", "10", "30"}));
    EXPECT_EQ(list.IndexOf("10"), 1);
    EXPECT_EQ(list.IndexOf("99"), -1);
    list.Delete(1);
    EXPECT_EQ(list.IndexOf("10"), 2);
    list.SetStrings(0, "6");
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"6", "20", "10", "30"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, BadIndexesRaiseListIndexError) {
    TStringList list;
    list.Add("a");
    list.Add("b");
    struct Case {
        const char* what;
        std::function<void()> action;
        const char* message;
    };
    const Case cases[] = {
        {"Delete(-1)", [&] { list.Delete(-1); }, "List index out of bounds (-1)"},
        {"Delete(Count)", [&] { list.Delete(2); }, "List index out of bounds (2)"},
        {"Insert(Count + 1)", [&] { list.Insert(3, "x"); }, "List index out of bounds (3)"},
        {"Insert(-1)", [&] { list.Insert(-1, "x"); }, "List index out of bounds (-1)"},
        {"Strings(Count)", [&] { list.Strings(2); }, "List index out of bounds (2)"},
        {"SetStrings(-1)", [&] { list.SetStrings(-1, "x"); }, "List index out of bounds (-1)"},
        {"Objects(5)", [&] { list.Objects(5); }, "List index out of bounds (5)"},
        {"SetObjects(2)", [&] { list.SetObjects(2, nullptr); }, "List index out of bounds (2)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IndexMessage(c.action), c.message) << c.what;
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"a", "b"}));
}

TEST(StringList, StringsAndTextAreNulSafe) {
    TStringList list;
    const std::string block("GIF\0\x01\0", 6);
    list.Add(block);
    list.Add(std::string("\0", 1));
    EXPECT_EQ(list.Strings(0), block);
    EXPECT_EQ(list.Strings(0).size(), 6u);
    EXPECT_EQ(list.IndexOf(std::string("\0", 1)), 1);
    EXPECT_EQ(list.IndexOf(""), -1);
    EXPECT_EQ(list.Text(), block + "\r\n" + std::string("\0", 1) + "\r\n");
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_EQ(Lines(copy), Lines(list));
}

TEST(StringList, TextSplitsAtEveryLineBreakAndJoinsWithCrLf) {
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"\r\r\n", {"", ""}},
        {" x \r\n", {" x "}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(Lines(list), c.lines) << "text: " << testing::PrintToString(c.text);
    }
    TStringList list;
    list.Add("a");
    list.Add("");
    list.Add("b");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    EXPECT_EQ(TStringList().Text(), "");
}

TEST(StringList, CaseSensitivityOfIndexOf) {
    TStringList list;
    list.Add("Alpha");
    list.Add("alpha");
    EXPECT_FALSE(list.CaseSensitive());
    EXPECT_EQ(list.IndexOf("ALPHA"), 0);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("alpha"), 1);
    EXPECT_EQ(list.IndexOf("ALPHA"), -1);
    // Only ASCII letters fold: the result is the same in every code page.
    list.SetCaseSensitive(false);
    list.Add("\xC4");
    EXPECT_EQ(list.IndexOf("\xE4"), -1);
}

TEST(StringList, ObjectsRideAlongAndAreNotOwned) {
    TObject first;
    TObject second;
    TStringList list;
    list.AddObject("1", &first);
    list.InsertObject(0, "2", &second);
    list.Add("3");
    EXPECT_EQ(list.Objects(0), &second);
    EXPECT_EQ(list.Objects(1), &first);
    EXPECT_EQ(list.Objects(2), nullptr);
    list.SetStrings(1, "one");
    EXPECT_EQ(list.Objects(1), &first);

    TStringList copy;
    copy.Add("gone");
    copy.Assign(&list);
    EXPECT_EQ(Lines(copy), (std::vector<std::string>{"2", "one", "3"}));
    EXPECT_EQ(copy.Objects(0), &second);
}

TEST(StringList, AssignCopiesCaseSensitivityAndRefusesOtherClasses) {
    TStringList source;
    source.SetCaseSensitive(true);
    source.Add("x");
    TStringList target;
    target.Assign(&source);
    EXPECT_TRUE(target.CaseSensitive());
    target.Assign(&target);
    EXPECT_EQ(Lines(target), (std::vector<std::string>{"x"}));
    EXPECT_THROW(target.Assign(nullptr), EConvertError);
}

TEST(StringList, UpdatesHoldBackNotificationsUntilTheOuterEnd) {
    TStringList list;
    ChangeCounter counter(list);
    list.Add("a");
    EXPECT_EQ(counter.changing, 1);
    EXPECT_EQ(counter.changed, 1);

    list.BeginUpdate();
    list.BeginUpdate();
    list.Add("b");
    list.Delete(0);
    list.EndUpdate();
    EXPECT_EQ(counter.changing, 2);
    EXPECT_EQ(counter.changed, 1);
    list.EndUpdate();
    EXPECT_EQ(counter.changed, 2);
    list.EndUpdate();  // unpaired: ignored
    EXPECT_EQ(list.UpdateCount(), 0);
    EXPECT_EQ(counter.changed, 2);

    list.SetText("x\r\ny\r\nz");
    EXPECT_EQ(counter.changing, 3);
    EXPECT_EQ(counter.changed, 3);
}

TEST(StringList, CustomSortIsStableWithAConsistentComparator) {
    TStringList list;
    list.SetText("3a\n1a\n2a\n1b\n3b\n2b\n1c");
    list.CustomSort([](TStringList* l, int i, int j) {
        return l->Strings(i)[0] - l->Strings(j)[0];
    });
    EXPECT_EQ(Lines(list),
              (std::vector<std::string>{"1a", "1b", "1c", "2a", "2b", "3a", "3b"}));
}

TEST(StringList, CustomSortStaysInBoundsWithAnyComparator) {
    // A comparator that answers at random is no ordering at all; the sort must
    // still hand it valid indexes only and end with the same entries.
    std::mt19937 random(20261210);
    for (int run = 0; run < 3000; ++run) {
        const int count = static_cast<int>(random() % 40);
        TStringList list;
        std::vector<std::string> entries;
        for (int i = 0; i < count; ++i) {
            entries.push_back(std::to_string(random() % 10));
            list.Add(entries.back());
        }
        int calls = 0;
        list.CustomSort([&](TStringList* l, int i, int j) {
            ++calls;
            EXPECT_EQ(l, &list);
            EXPECT_TRUE(i >= 0 && i < count && j >= 0 && j < count) << i << ", " << j;
            return static_cast<int>(random() % 3) - 1;
        });
        std::vector<std::string> sortedBefore = entries;
        std::vector<std::string> sortedAfter = Lines(list);
        std::sort(sortedBefore.begin(), sortedBefore.end());
        std::sort(sortedAfter.begin(), sortedAfter.end());
        ASSERT_EQ(sortedAfter, sortedBefore) << "run " << run;
        ASSERT_LE(calls, count * 8) << "run " << run;
    }
}

TEST(StringList, CustomSortThatRaisesLeavesTheList) {
    TStringList list;
    list.SetText("c\nb\na");
    EXPECT_THROW(list.CustomSort([](TStringList*, int, int) -> int { throw EAbort(); }), EAbort);
    EXPECT_EQ(Lines(list), (std::vector<std::string>{"c", "b", "a"}));
}
