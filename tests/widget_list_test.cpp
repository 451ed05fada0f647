// The list that holds the menu's widgets and runs the hover and drawing passes over them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AllocationCounter.h"
#include "tests/support/RecordingGL.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/TextBox.h"
#include "ui/WidgetList.h"

namespace {

std::vector<std::string> drawn;

// A widget that notes when it is drawn.
class NamedWidget : public Widget {
public:
    explicit NamedWidget(const char* widgetName) : name(widgetName) {
        SetRect(-1, -1, 1, 1);
        Show();
    }
    void Draw() override { drawn.push_back(name); }

    std::string name;
};

// The game never releases its list's nodes; a test's own list hands them back when it ends.
void ReleaseNodes(WidgetList& list) {
    while (list.head != nullptr) {
        WidgetNode* next = list.head->next;
        delete list.head;
        list.head = next;
    }
}

class WidgetListTest : public ::testing::Test {
protected:
    void SetUp() override { drawn.clear(); }
    void TearDown() override { ReleaseNodes(list); }

    WidgetList list;
    NamedWidget a{"A"};
    NamedWidget b{"B"};
    NamedWidget c{"C"};
};

WidgetList staticList;

TEST_F(WidgetListTest, StartsEmptyAndAnEmptyListPassesOverNothing) {
    for (const WidgetList* empty : {&list, &staticList}) {
        EXPECT_EQ(empty->count, 0);
        EXPECT_EQ(empty->head, nullptr);
        EXPECT_EQ(empty->tail, nullptr);
        EXPECT_EQ(empty->current, nullptr);
    }
    list.UpdateHoverAll(0, 0);
    list.DrawAll();
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(list.current, nullptr);
}

TEST_F(WidgetListTest, AddAppendsInOrderAndReturnsItsArgumentEvenNull) {
    EXPECT_EQ(list.Add(&a), &a);
    ASSERT_NE(list.head, nullptr);
    EXPECT_EQ(list.head, list.tail);
    EXPECT_EQ(list.Add(nullptr), nullptr);
    EXPECT_EQ(list.Add(&c), &c);
    EXPECT_EQ(list.count, 3);

    std::vector<Widget*> held;
    for (WidgetNode* node = list.head; node != nullptr; node = node->next) {
        held.push_back(node->widget);
    }
    EXPECT_EQ(held, (std::vector<Widget*>{&a, nullptr, &c}));
    EXPECT_EQ(list.tail->widget, &c);
    EXPECT_EQ(list.tail->next, nullptr);
}

TEST_F(WidgetListTest, PassesVisitEveryWidgetInTheOrderAdded) {
    list.Add(&a);
    list.Add(&b);
    list.Add(&c);
    b.Hide();
    list.UpdateHoverAll(0.5f, 0.5f);
    EXPECT_TRUE(a.IsHovered());
    EXPECT_FALSE(b.IsHovered());
    EXPECT_TRUE(c.IsHovered());
    list.UpdateHoverAll(1.5f, 0.5f);
    EXPECT_FALSE(a.IsHovered());
    EXPECT_FALSE(c.IsHovered());

    list.DrawAll();
    EXPECT_EQ(drawn, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(list.current, nullptr);
    // A second frame runs the same passes again from the head.
    list.DrawAll();
    EXPECT_EQ(drawn.size(), 6u);
}

TEST_F(WidgetListTest, PassesStopAtTheFirstNodeWithoutAWidget) {
    list.Add(&a);
    list.Add(nullptr);
    list.Add(&c);
    list.UpdateHoverAll(0, 0);
    EXPECT_TRUE(a.IsHovered());
    EXPECT_FALSE(c.IsHovered());
    list.DrawAll();
    EXPECT_EQ(drawn, (std::vector<std::string>{"A"}));
}

TEST(WidgetListDrawing, DrawingTheMenuWidgetsAllocatesNothing) {
    recgl::Reset();
    BitmapFont font;
    glGenTextures(1, &font.texture);

    Button button;
    Label label;
    TextBox box;
    WidgetList list;
    list.Add(&button)->SetText("\xC8\xE3\xF0\xE0\xF2\xFC");  // "Играть"
    list.Add(&label)->SetText("(c) Lumenvale");
    list.Add(&box)->SetText("Lumenvale\nlamp puzzle\n\nbye");
    Widget* widgets[] = {&button, &label, &box};
    for (Widget* widget : widgets) {
        widget->Show();
        widget->SetRect(-0.5, -0.5, 0.5, 0.5);
        widget->SetFont(&font);
        widget->style.SetGlyphSize(0.02, 0.04);
        widget->SetColour(1, 1, 1);
    }

    // The counter itself works: a String allocates its buffer.
    alloccount::Start();
    String probe("probe");
    ASSERT_GE(alloccount::Stop(), 1);

    // Logging calls would allocate in the recorder itself; the state is still tracked.
    recgl::SetLogging(false);
    alloccount::Start();
    list.UpdateHoverAll(0, 0);
    list.DrawAll();
    long allocations = alloccount::Stop();
    recgl::SetLogging(true);

    EXPECT_EQ(allocations, 0);
    // Two frames and the text of all three widgets were really drawn.
    EXPECT_EQ(recgl::Current().quads, 2 + 6 + 13 + 9 + 11 + 3);
    EXPECT_TRUE(button.IsHovered());
    EXPECT_TRUE(recgl::Current().misuse.empty());
    ReleaseNodes(list);
}

}  // namespace
