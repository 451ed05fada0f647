// All menu widgets in the order they were added, which is also the order they are drawn in.
// The list only grows; its nodes and widgets live until the process ends.
#pragma once

#include <cstdint>

#include "ui/Widget.h"

struct WidgetNode {
    Widget* widget;  // not owned
    WidgetNode* next;
};

class WidgetList {
public:
    // Appends a node for the widget (a null one too) and returns the widget, so the creator can
    // keep it in the same step. When no node can be allocated the widget is returned without
    // being added.
    Widget* Add(Widget* widget);
    // Each pass walks from the head and stops at the end or at the first node without a widget.
    void UpdateHoverAll(float x, float y);
    void DrawAll();

    int32_t count = 0;  // nodes appended
    WidgetNode* head = nullptr;
    WidgetNode* tail = nullptr;
    WidgetNode* current = nullptr;  // the node the pass in progress reaches next

private:
    // Moves the pass on by one node; null at the end of the list or at a node without a widget,
    // which ends the pass there.
    Widget* NextWidget();
};
