#include "ui/WidgetList.h"

#include <new>

Widget* WidgetList::Add(Widget* widget) {
    // Out of memory the menu simply lacks this widget; the caller still gets it back.
    WidgetNode* node = new (std::nothrow) WidgetNode{widget, nullptr};
    if (node == nullptr) {
        return widget;
    }
    if (head == nullptr) {
        head = node;
    } else {
        tail->next = node;
    }
    tail = node;
    ++count;
    return widget;
}

Widget* WidgetList::NextWidget() {
    if (current == nullptr) {
        return nullptr;
    }
    WidgetNode* node = current;
    current = node->next;
    return node->widget;
}

void WidgetList::UpdateHoverAll(float x, float y) {
    current = head;
    while (Widget* widget = NextWidget()) {
        widget->UpdateHover(x, y);
    }
}

void WidgetList::DrawAll() {
    current = head;
    while (Widget* widget = NextWidget()) {
        widget->Draw();
    }
}
