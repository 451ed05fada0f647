// The board screen: the lamps in the central quarter of the window, an indicator lamp on each
// side of every pair of rows, and the 2x2 block under the pointer, framed in green and flipped
// while the button is held.
#include "app/FrameClock.h"
#include "app/TexturedQuad.h"
#include "game/PuzzleGame.h"

namespace {

// The board is the square from -0.5 to 0.5 in GL coordinates: pixels 320..960 x 256..768.
const double BoardEdge = 0.5;
// Length of the bright corner marks of the hover frame.
const double CornerMark = 0.025;

// Left edge of lamp column c (or right edge of column c - 1), and likewise for rows.
double ColumnEdge(uint32_t c, uint32_t columns) {
    return static_cast<double>(c) / columns - BoardEdge;
}
double RowEdge(uint32_t r, uint32_t rows) {
    return static_cast<double>(r) / rows - BoardEdge;
}

void Corner(float s, float t, double x, double y) {
    glTexCoord2f(s, t);
    glVertex2f(static_cast<float>(x), static_cast<float>(y));
}

void Line(double xa, double ya, double xb, double yb) {
    glVertex2f(static_cast<float>(xa), static_cast<float>(ya));
    glVertex2f(static_cast<float>(xb), static_cast<float>(yb));
}

// The pointer must be strictly inside: the border itself is off the board.
bool OnBoard(GlPoint at) {
    return -BoardEdge < at.x && at.x < BoardEdge && -BoardEdge < at.y && at.y < BoardEdge;
}

uint32_t Clamp(uint32_t value, uint32_t low, uint32_t high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

void PuzzleGame::DrawBoardFrame() {
    glClear(GL_COLOR_BUFFER_BIT);
    clickTimer += TimerStep();
    escapeTimer += TimerStep();
    // The rest of this frame is still the board's: it is drawn and a click still counts.
    SwitchOnEscape(StateMenu);
    cursor.Update(window, frame);
    // Lamps and indicators show the board as it stood when the frame began; a flip shows from
    // the next frame on.
    DrawLamps();
    DrawIndicators();
    GlPoint at = cursor.GlPosition();
    if (OnBoard(at)) {
        BlockAnchor anchor = PickBlock(at);
        if (anchor.found) {
            ClickBlock(anchor);
            HoverFrame(anchor);
        }
    }
    // The hover frame turned texturing off; the cursor picture needs it.
    glEnable(GL_TEXTURE_2D);
}

GLuint PuzzleGame::LampTexture(uint32_t index) const {
    bool lit = board.lampLit[index] != 0;
    switch (board.lampColour[index]) {
        case LampRed:
            return lit ? texOnRed : texOffRed;
        case LampBlue:
            return lit ? texOnBlue : texOffBlue;
        default:
            return lit ? texOnGreen : texOffGreen;
    }
}

void PuzzleGame::DrawLamps() {
    // Every lamp is its own quad, row 0 at the bottom, the picture upright.
    for (uint32_t i = 0; i < board.lampCount; ++i) {
        uint32_t c = i % board.columns;
        uint32_t r = i / board.columns;
        double x0 = ColumnEdge(c, board.columns), x1 = ColumnEdge(c + 1, board.columns);
        double y0 = RowEdge(r, board.rows), y1 = RowEdge(r + 1, board.rows);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, LampTexture(i));
        TexturedQuad(x0, y0, x1, y1);
    }
}

void PuzzleGame::DrawIndicators() {
    if (board.lampCount == 0) {
        return;
    }
    // One lamp wide and two tall, mirrored on the two sides: u = 1 always lies at the board.
    double outerLeft = -1.0 / board.columns - BoardEdge;
    double outerRight = BoardEdge + 1.0 / board.columns;
    double left = -BoardEdge, right = BoardEdge;
    for (uint32_t a = 0; a < board.rows; a += 2) {
        double bottom = RowEdge(a, board.rows), top = RowEdge(a + 2, board.rows);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, board.RowPairLit(a) ? texOnTrue : texOffTrue);
        TexturedQuad(outerLeft, bottom, left, top);
        // The mirror image: u runs from the board outwards.
        glBegin(GL_QUADS);
        Corner(1, 0, right, bottom);
        Corner(0, 0, outerRight, bottom);
        Corner(0, 1, outerRight, top);
        Corner(1, 1, right, top);
        glEnd();
    }
}

PuzzleGame::BlockAnchor PuzzleGame::PickBlock(GlPoint at) const {
    // Candidate anchors are the lamp corners, bottom row first. A candidate matches when the
    // pointer, moved by half a lamp, lies strictly within a lamp of it on both axes; the first
    // match wins, so an exact half goes to the right or upper block. Near the border the
    // anchor is clamped to the outermost block.
    BlockAnchor anchor = {false, 0, 0};
    uint32_t columns = board.columns, rows = board.rows;
    if (columns < 2 || rows < 2) {
        return anchor;
    }
    double x = at.x + 0.5 / columns;
    double y = at.y + 0.5 / rows;
    for (uint32_t cy = 0; cy <= rows && !anchor.found; ++cy) {
        bool rowMatches = (cy - 1.0) / rows - BoardEdge < y && y < (cy + 1.0) / rows - BoardEdge;
        for (uint32_t cx = 0; cx <= columns && rowMatches; ++cx) {
            if ((cx - 1.0) / columns - BoardEdge < x && x < (cx + 1.0) / columns - BoardEdge) {
                anchor = {true, Clamp(cx, 1, columns - 1), Clamp(cy, 1, rows - 1)};
                break;
            }
        }
    }
    return anchor;
}

void PuzzleGame::ClickBlock(BlockAnchor anchor) {
    // The held button acts, not the press: a held button flips again whenever the timer has
    // passed the delay once more.
    if (!mouseDown) {
        return;
    }
    if (clickTimer > ClickDelay) {
        board.ToggleBlock(anchor.bx - 1, anchor.by - 1);
        clickTimer = 0;
    }
    // A lit board is dealt again at once, with its own size and pattern. Its all-lit state is
    // never drawn: this frame has already drawn the lamps from before the click.
    if (board.IsSolved()) {
        NewGame(board.columns, board.rows, board.lampCount, board.pattern, board.scrambleCount);
    }
}

void PuzzleGame::HoverFrame(BlockAnchor anchor) const {
    double x0 = ColumnEdge(anchor.bx - 1, board.columns);
    double x1 = ColumnEdge(anchor.bx + 1, board.columns);
    double y0 = RowEdge(anchor.by - 1, board.rows);
    double y1 = RowEdge(anchor.by + 1, board.rows);
    glDisable(GL_TEXTURE_2D);
    // A thin dark outline of the four lamps...
    glColor3f(0, 0.25f, 0);
    glLineWidth(1);
    glBegin(GL_LINES);
    Line(x0, y0, x1, y0);
    Line(x1, y0, x1, y1);
    Line(x1, y1, x0, y1);
    Line(x0, y1, x0, y0);
    glEnd();
    // ...under thick bright marks running inwards from each corner.
    glColor3f(0, 0.5f, 0);
    glLineWidth(3);
    glBegin(GL_LINES);
    Line(x0, y0 + CornerMark, x0, y0);
    Line(x0, y0, x0 + CornerMark, y0);
    Line(x1, y0 + CornerMark, x1, y0);
    Line(x1, y0, x1 - CornerMark, y0);
    Line(x0, y1 - CornerMark, x0, y1);
    Line(x0, y1, x0 + CornerMark, y1);
    Line(x1, y1 - CornerMark, x1, y1);
    Line(x1, y1, x1 - CornerMark, y1);
    glEnd();
    // Lamps, indicators and the cursor picture are drawn untinted.
    glColor3f(1, 1, 1);
}
