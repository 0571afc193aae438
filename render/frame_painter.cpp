#include "render/frame_painter.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "game/numeric.h"

namespace {

COLORREF ToColorref(Rgb colour) {
    return RGB(colour.r, colour.g, colour.b);
}

// Figure corners are computed from truncated positions; a body flung far off the pitch must not
// overflow the sum.
int Offset(int base, int delta) {
    const std::int64_t sum = std::int64_t{base} + delta;
    return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

void DrawDisc(HDC surface, const Player& disc) {
    const int px = TruncateToInt32(disc.x);
    const int py = TruncateToInt32(disc.y);
    Ellipse(surface, px, py, Offset(px, disc.size), Offset(py, disc.size));
}

void DrawRing(HDC surface, const Player& disc) {
    const int px = TruncateToInt32(disc.x);
    const int py = TruncateToInt32(disc.y);
    const int inner = disc.size / 4;
    const int outer = 3 * disc.size / 4;
    Ellipse(surface, Offset(px, inner), Offset(py, inner), Offset(px, outer), Offset(py, outer));
}

constexpr UINT kScoreBufferBytes = 200;  // 100 wide characters

}  // namespace

LOGFONTW ScoreFont(std::int32_t ballSize) {
    LOGFONTW font{};
    GetObjectW(GetStockObject(SYSTEM_FONT), sizeof font, &font);
    font.lfHeight = 2 * ballSize;
    font.lfWidth = ballSize;
    font.lfWeight = FW_LIGHT;
    return font;
}

void DrawScore(MatchState& state, HDC surface, int x, int y, int value) {
    SetBkColor(surface, kScoreBackground);
    SetTextColor(surface, ScoreColour(state.scoreFlash));

    const auto text = static_cast<LPWSTR>(static_cast<void*>(LocalAlloc(LPTR, kScoreBufferBytes)));

    const LOGFONTW font = ScoreFont(state.ball.size);
    const HFONT scoreFont = CreateFontIndirectW(&font);
    const HGDIOBJ displacedFont = scoreFont != nullptr ? SelectObject(surface, scoreFont) : nullptr;

    // Without a buffer there is nothing to draw; the frame goes on without this score.
    if (text != nullptr) {
        const int length = wsprintfW(text, TEXT("%d"), value);
        if (length > 0) {
            ExtTextOutW(surface, x, y, 0, nullptr, text, static_cast<UINT>(length), nullptr);
        }
    }

    if (scoreFont != nullptr) {
        SelectObject(surface, displacedFont);
        DeleteObject(scoreFont);
    }
    LocalFree(static_cast<HLOCAL>(static_cast<void*>(text)));

    if (state.scoreFlash > 0) {
        state.scoreFlash = state.scoreFlash - 1;
    }
}

void PaintFrame(MatchState& state, PaintResources& resources, HDC paintContext) {
    const int width = state.geometry.width;
    const int height = state.geometry.height;
    const HDC surface = resources.frameSurface;
    const Ball& ball = state.ball;
    const Player& user = state.players[kUserPlayer];
    const Player& computer = state.players[kComputerPlayer];

    // Nothing of the previous frame survives this copy.
    BitBlt(surface, 0, 0, width, height, resources.backgroundSurface, 0, 0, SRCCOPY);

    for (const int player : {kComputerPlayer, kUserPlayer}) {
        const POINT corner = ScoreCorner(player, height);
        DrawScore(state, surface, corner.x, corner.y, state.players[player].score);
    }

    // The ball's brush and pen are made even when the ball is not drawn.
    SelectNewBrush(resources, surface, ToColorref(ball.colour));
    BeginPenGroup(resources, surface, 1, kBallOutline);
    if (ball.active != 0) {
        const int bx = TruncateToInt32(ball.x);
        const int by = TruncateToInt32(ball.y);
        Ellipse(surface, bx, by, Offset(bx, ball.size), Offset(by, ball.size));
        // The highlight sits 8 pixels in from the corner, whatever the ball's size.
        SetPixel(surface, Offset(bx, 8), Offset(by, 8), kBallHighlight);
    }
    EndPenGroup(resources, surface);

    for (const Player* disc : {&user, &computer}) {
        SelectNewBrush(resources, surface, ToColorref(disc->colour));
        BeginPenGroup(resources, surface, 1, kDiscOutline);
        DrawDisc(surface, *disc);
        EndPenGroup(resources, surface);
    }

    // Both rings after both discs: where discs overlap each ring lies on the other disc, and the
    // computer's ring is on top.
    SelectNewBrush(resources, surface, kRingFill);
    for (const Player* disc : {&user, &computer}) {
        BeginPenGroup(resources, surface, 1, kDiscOutline);
        DrawRing(surface, *disc);
        EndPenGroup(resources, surface);
    }

    BitBlt(paintContext, 0, 0, width, height, surface, 0, 0, SRCCOPY);
}
