// The main menu: a planet, the title, a column of buttons in two groups that replace each other
// (play / authors / exit, and the board sizes with back), the credit line and the about box.
#include <new>

#include "app/FrameClock.h"
#include "app/TexturedQuad.h"
#include "game/LampBoard.h"
#include "game/PuzzleGame.h"
#include "ui/BitmapFont.h"

namespace {

struct ButtonLayout {
    Button* PuzzleGame::*field;
    const char* caption;  // Windows-1251 bytes, which the font maps one to one
    bool shown;
    // Single-precision edges, widened to double when stored: the hover test compares against
    // exactly these values.
    float x1, y1, x2, y2;
};

// In the order they are made, which is also the order they are drawn in. The buttons stand
// in a column on the right, 0.09 high and 0.1 apart; each size button shares its place with
// one of the main group.
const ButtonLayout Buttons[] = {
    // "Выход" (exit)
    {&PuzzleGame::exitButton, "\xC2\xFB\xF5\xEE\xE4", true, 0.425f, -0.7f, 0.8f, -0.61f},
    // "Авторы" (authors)
    {&PuzzleGame::authorsButton, "\xC0\xE2\xF2\xEE\xF0\xFB", true, 0.4f, -0.6f, 0.7f, -0.51f},
    // "Играть" (play)
    {&PuzzleGame::playButton, "\xC8\xE3\xF0\xE0\xF2\xFC", true, 0.425f, -0.5f, 0.8f, -0.41f},
    {&PuzzleGame::size8Button, "8x8", false, 0.4f, -0.8f, 0.7f, -0.71f},
    {&PuzzleGame::size6Button, "6x6", false, 0.4f, -0.7f, 0.7f, -0.61f},
    {&PuzzleGame::size4Button, "4x4", false, 0.4f, -0.6f, 0.7f, -0.51f},
    // "Назад" (back)
    {&PuzzleGame::backButton, "\xCD\xE0\xE7\xE0\xE4", false, 0.425f, -0.5f, 0.8f, -0.41f},
};

const double ButtonRed = 0, ButtonGreen = 0.85, ButtonBlue = 0.2;
const double ButtonGlyphWidth = 0.035, ButtonGlyphHeight = 0.05;

// The credit line starts at a single point, so it is never hovered.
const char* const CreditText = "Lumenvale 2026";
const float CreditX = 0.4f, CreditY = -0.95f;

// Seven lines; the lines of spaces make the blank lines of the box.
const char* const AboutText =
    "   \n"
    "LUMENVALE\n"
    "   \n"
    "A game by the Lumenvale team\n"
    "www.lumenvale.example\n"
    "  \n"
    "Thanks for playing";
const float AboutX1 = 0.3f, AboutY1 = -0.3f, AboutX2 = 0.9f, AboutY2 = 0.2f;

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
        button->SetRect(layout.x1, layout.y1, layout.x2, layout.y2);
        button->SetFont(&gameFont);
        button->style.SetGlyphSize(ButtonGlyphWidth, ButtonGlyphHeight);
    }
}

void PuzzleGame::MakeCreditLine() {
    creditLabel = MakeWidget<Label>(widgets, CreditText, true);
    if (creditLabel == nullptr) {
        return;
    }
    creditLabel->SetRect(CreditX, CreditY, CreditX, CreditY);
    creditLabel->SetFont(&gameFont);
    creditLabel->style.SetGlyphSize(0.02, 0.03);
    creditLabel->SetColour(0.6, 0.6, 0.6);
}

void PuzzleGame::MakeAboutBox() {
    aboutBox = MakeWidget<TextBox>(widgets, AboutText, false);
    if (aboutBox == nullptr) {
        return;
    }
    aboutBox->SetRect(AboutX1, AboutY1, AboutX2, AboutY2);
    aboutBox->SetFont(&gameFont);
    aboutBox->style.SetGlyphSize(0.02, 0.04);
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
    TexturedQuad(-0.75f, -0.5f, 0, 0.25f);
}

void PuzzleGame::DrawTitle() {
    // Blended with the function the buttons set, so the title's alpha decides its outline.
    glEnable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
    glBindTexture(GL_TEXTURE_2D, texTitle);
    TexturedQuad(-0.8f, 0.6f, 0.8f, 0.8f);
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
