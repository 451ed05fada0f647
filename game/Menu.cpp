// The main menu: a planet, the title, a column of buttons in two groups that replace each other
// (play / authors / exit, and the board sizes with back), the credit line and the about box.
#include <new>

#include "app/FrameClock.h"
#include "app/TexturedQuad.h"
#include "game/LampBoard.h"
#include "game/MenuLayout.h"
#include "game/PuzzleGame.h"
#include "ui/BitmapFont.h"

namespace {

struct ButtonLayout {
    Button* PuzzleGame::*field;
    const char* caption;  // Windows-1251 bytes, which the font maps one to one
    bool shown;
    MenuLayout::Rect rect;
};

// In the order they are made, which is also the order they are drawn in.
const ButtonLayout Buttons[] = {
    // "Выход" (exit)
    {&PuzzleGame::exitButton, "\xC2\xFB\xF5\xEE\xE4", true, MenuLayout::Exit},
    // "Авторы" (authors)
    {&PuzzleGame::authorsButton, "\xC0\xE2\xF2\xEE\xF0\xFB", true, MenuLayout::Authors},
    // "Играть" (play)
    {&PuzzleGame::playButton, "\xC8\xE3\xF0\xE0\xF2\xFC", true, MenuLayout::Play},
    {&PuzzleGame::size8Button, "8x8", false, MenuLayout::Size8},
    {&PuzzleGame::size6Button, "6x6", false, MenuLayout::Size6},
    {&PuzzleGame::size4Button, "4x4", false, MenuLayout::Size4},
    // "Назад" (back)
    {&PuzzleGame::backButton, "\xCD\xE0\xE7\xE0\xE4", false, MenuLayout::Back},
};

const double ButtonRed = 0, ButtonGreen = 0.85, ButtonBlue = 0.2;

const char* const CreditText = "Lumenvale 2026";

// Seven lines; the lines of spaces make the blank lines of the box.
constexpr const char* AboutText =
    "   \n"
    "LUMENVALE\n"
    "   \n"
    "A game by the Lumenvale team\n"
    "www.lumenvale.example\n"
    "  \n"
    "Thanks for playing";

constexpr int LineCount(const char* text) {
    return *text == '\0' ? 1 : (*text == '\n' ? 1 : 0) + LineCount(text + 1);
}
static_assert(LineCount(AboutText) == MenuLayout::AboutLines, "the about box's line count");

// Widgets are made once and live as long as the process. One that cannot be allocated is
// left out of the list (a null entry would end every pass over it) and its field stays null.
template <typename Kind>
Kind* MakeWidget(WidgetList& widgets, String text, bool shown) {
    Kind* widget = new (std::nothrow) Kind();
    if (widget == nullptr) {
        return nullptr;
    }
    widgets.Add(widget);
    widget->SetText(text);
    if (shown) {
        widget->Show();
    } else {
        widget->Hide();
    }
    return widget;
}

void SetShown(Widget* widget, bool shown) {
    if (widget == nullptr) {
        return;
    }
    if (shown) {
        widget->Show();
    } else {
        widget->Hide();
    }
}

}  // namespace

void PuzzleGame::BuildMenu() {
    MakeButtons();
    MakeCreditLine();
    MakeAboutBox();
}

void PuzzleGame::MakeButtons() {
    for (const ButtonLayout& layout : Buttons) {
        Button* button = MakeWidget<Button>(widgets, layout.caption, layout.shown);
        this->*layout.field = button;
        if (button == nullptr) {
            continue;
        }
        button->SetColour(ButtonRed, ButtonGreen, ButtonBlue);
        button->SetRect(layout.rect.x1, layout.rect.y1, layout.rect.x2, layout.rect.y2);
        button->SetFont(&gameFont);
        button->style.SetGlyphSize(MenuLayout::ButtonGlyph.width, MenuLayout::ButtonGlyph.height);
    }
}

void PuzzleGame::MakeCreditLine() {
    creditLabel = MakeWidget<Label>(widgets, CreditText, true);
    if (creditLabel == nullptr) {
        return;
    }
    creditLabel->SetRect(MenuLayout::CreditX, MenuLayout::CreditY, MenuLayout::CreditX,
                         MenuLayout::CreditY);
    creditLabel->SetFont(&gameFont);
    creditLabel->style.SetGlyphSize(MenuLayout::CreditGlyph.width, MenuLayout::CreditGlyph.height);
    creditLabel->SetColour(0.6, 0.6, 0.6);
}

void PuzzleGame::MakeAboutBox() {
    aboutBox = MakeWidget<TextBox>(widgets, AboutText, false);
    if (aboutBox == nullptr) {
        return;
    }
    const MenuLayout::Rect& box = MenuLayout::AboutBox;
    aboutBox->SetRect(box.x1, box.y1, box.x2, box.y2);
    aboutBox->SetFont(&gameFont);
    aboutBox->style.SetGlyphSize(MenuLayout::AboutGlyph.width, MenuLayout::AboutGlyph.height);
    aboutBox->SetColour(1, 1, 1);
}

void PuzzleGame::DrawMenuFrame() {
    glClear(GL_COLOR_BUFFER_BIT);
    cursor.Update(window, frame);
    menuTimer += TimerStep();
    // Escape leads back to a board only when there is one; the rest of this frame is still
    // the menu's.
    if (gameInProgress) {
        escapeTimer += TimerStep();
        SwitchOnEscape(StateBoard);
    }
    GlPoint at = cursor.GlPosition();
    widgets.UpdateHoverAll(at.x, at.y);
    widgets.DrawAll();
    DrawPlanet();
    HandleMenuButtons();
    DrawTitle();
    // Texturing and blending stay on: the cursor picture and the board screen rely on them.
}

void PuzzleGame::DrawPlanet() {
    // Blending is off here (the last widget turned it off), so the planet is opaque.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texPlanet);
    glColor4f(1, 1, 1, 1);
    const MenuLayout::Rect& planet = MenuLayout::Planet;
    TexturedQuad(planet.x1, planet.y1, planet.x2, planet.y2);
}

void PuzzleGame::DrawTitle() {
    // Blended with the function the buttons set, so the title's alpha decides its outline.
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, texTitle);
    const MenuLayout::Rect& title = MenuLayout::Title;
    TexturedQuad(title.x1, title.y1, title.x2, title.y2);
}

bool PuzzleGame::Pressed(const Button* button) const {
    return button != nullptr && button->IsHovered() && mouseDown && menuTimer > MenuPressDelay;
}

void PuzzleGame::HandleMenuButtons() {
    // Every test sees the hover flags of this frame's update: a button shown by an action cannot
    // fire before the next frame, and each action but the exit restarts the timer, which keeps
    // later buttons from firing in the same frame.
    if (Pressed(playButton)) {
        ShowSizeChoice(true);
        menuTimer = 0;
    }
    if (Pressed(authorsButton)) {
        if (aboutBox != nullptr) {
            aboutBox->ToggleVisible();
        }
        menuTimer = 0;
    }
    // Leaving never waits for the timer.
    if (exitButton != nullptr && exitButton->IsHovered() && mouseDown) {
        Quit();
    }
    if (Pressed(backButton)) {
        ShowSizeChoice(false);
        menuTimer = 0;
    }
    if (Pressed(size4Button)) {
        StartBoard(4, Pattern4x4, 10);
    }
    if (Pressed(size6Button)) {
        StartBoard(6, Pattern6x6, 20);
    }
    if (Pressed(size8Button)) {
        StartBoard(8, Pattern8x8, 30);
    }
}

void PuzzleGame::ShowSizeChoice(bool sizes) {
    SetShown(playButton, !sizes);
    SetShown(authorsButton, !sizes);
    SetShown(exitButton, !sizes);
    SetShown(size4Button, sizes);
    SetShown(size6Button, sizes);
    SetShown(size8Button, sizes);
    SetShown(backButton, sizes);
}

void PuzzleGame::StartBoard(uint32_t size, const int32_t* startPattern, uint32_t scrambles) {
    // The board screen takes over from the next frame; a size always deals a new board, even
    // while one is in progress.
    state = StateBoard;
    NewGame(size, size, size * size, startPattern, scrambles);
    menuTimer = 0;
}
