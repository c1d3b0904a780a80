// Checks that the fonts Ovelin draws with are present in the Wine prefix that
// tools/setup.sh prepares: the symbol-encoded "Symbol" and "Wingdings" with
// the glyphs the equation renderer uses, and the usual Windows text faces.
#include <windows.h>

#include <gtest/gtest.h>


namespace {

// A screen DC with one font selected; restores and frees everything.
class FontOnScreen {
public:
    FontOnScreen(const char* face, BYTE charset, int height = -32)
    {
        dc_ = GetDC(nullptr);
        LOGFONTA lf = {};
        lf.lfHeight = height;
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = charset;
        lf.lfOutPrecision = OUT_TT_PRECIS;
        lf.lfQuality = ANTIALIASED_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
        lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
        font_ = CreateFontIndirectA(&lf);
        if (dc_ && font_)
            old_ = static_cast<HFONT>(SelectObject(dc_, font_));
    }
    ~FontOnScreen()
    {
        if (dc_ && old_)
            SelectObject(dc_, old_);
        if (font_)
            DeleteObject(font_);
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    FontOnScreen(const FontOnScreen&) = delete;
    FontOnScreen& operator=(const FontOnScreen&) = delete;

    bool ok() const { return dc_ && font_ && old_; }
    HDC dc() const { return dc_; }

    std::string face() const
    {
        char buf[LF_FACESIZE] = {};
        int n = GetTextFaceA(dc_, LF_FACESIZE, buf);
        return n > 0 ? std::string(buf) : std::string();
    }

    // Glyph index of one byte code, 0xFFFF when the font has no glyph.
    WORD glyph(unsigned char code) const
    {
        char c = static_cast<char>(code);
        WORD index = 0xFFFF;
        if (GetGlyphIndicesA(dc_, &c, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) != 1)
            return 0xFFFF;
        return index;
    }

private:
    HDC dc_ = nullptr;
    HFONT font_ = nullptr;
    HFONT old_ = nullptr;
};

std::vector<int> missingGlyphs(const FontOnScreen& f, const std::vector<int>& codes)
{
    std::vector<int> missing;
    for (int code : codes)
        if (f.glyph(static_cast<unsigned char>(code)) == 0xFFFF)
            missing.push_back(code);
    return missing;
}

} // namespace

TEST(WineFonts, SymbolIsTheSymbolFont)
{
    FontOnScreen f("Symbol", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.face(), "Symbol");
    TEXTMETRICA tm = {};
    ASSERT_TRUE(GetTextMetricsA(f.dc(), &tm));
    EXPECT_EQ(tm.tmCharSet, SYMBOL_CHARSET);
    EXPECT_GT(tm.tmHeight, 0);
}

// When "Symbol" is missing GDI substitutes a text font, which has glyphs at
// most of these codes too, so every glyph check first makes sure of the face.

TEST(WineFonts, SymbolHasBracketBraceAndIntegralPieces)
{
    FontOnScreen f("Symbol", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Symbol");
    // 230..254: paren, bracket, brace and integral pieces; 240 is unused.
    std::vector<int> codes;
    for (int code = 230; code <= 254; ++code)
        if (code != 240)
            codes.push_back(code);
    EXPECT_EQ(missingGlyphs(f, codes), std::vector<int>());
}

TEST(WineFonts, SymbolHasGreekAndOperators)
{
    FontOnScreen f("Symbol", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Symbol");
    const std::vector<int> codes = {
        'a', 'b', 'g', 'd', 'p', 'q', 'w', 'S', 'P', 'W', // Greek
        0xF2,                                             // integral
        0xD6,                                             // radical
        0xE5,                                             // summation
        0xB1, 0xB4, 0xB9, 0xBA, 0xA3, 0xB3, 0xBB,         // +- x != == <= >= ~=
        0xAE, 0xDE, 0xA5, 0xB6, 0xD1,                     // arrows, infinity, partial, nabla
        '(', ')', '[', ']', '{', '}', '|', '=', '+', '-', ' ',
    };
    EXPECT_EQ(missingGlyphs(f, codes), std::vector<int>());
    // 'S' and 'p' are different glyphs from each other and from 'a'.
    EXPECT_NE(f.glyph('S'), f.glyph('p'));
    EXPECT_NE(f.glyph('a'), f.glyph('p'));
}

// GDI clips glyphs to the font's ascent and descent; the stretchable pieces
// must fit inside or stacked brackets show gaps.
TEST(WineFonts, SymbolPiecesFitInsideAscentAndDescent)
{
    FontOnScreen f("Symbol", SYMBOL_CHARSET, -64);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Symbol");
    TEXTMETRICA tm = {};
    ASSERT_TRUE(GetTextMetricsA(f.dc(), &tm));
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (int code = 230; code <= 254; ++code) {
        if (code == 240)
            continue;
        SCOPED_TRACE(code);
        GLYPHMETRICS gm = {};
        ASSERT_NE(GetGlyphOutlineA(f.dc(), static_cast<UINT>(code), GGO_METRICS, &gm, 0, nullptr, &identity),
                  GDI_ERROR);
        const long top = gm.gmptGlyphOrigin.y;
        const long bottom = top - static_cast<long>(gm.gmBlackBoxY);
        EXPECT_LE(top, tm.tmAscent);
        EXPECT_GE(bottom, -tm.tmDescent);
    }
}

// Wine smooths CFF outlines without hinting (grey, blurred glyphs and seams
// between stacked pieces); the set-up builds "Symbol" with TrueType ones.
TEST(WineFonts, SymbolHasTrueTypeOutlines)
{
    FontOnScreen f("Symbol", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Symbol");
    auto tag = [](const char (&name)[5]) {
        return static_cast<DWORD>(static_cast<unsigned char>(name[0])) |
               static_cast<DWORD>(static_cast<unsigned char>(name[1])) << 8 |
               static_cast<DWORD>(static_cast<unsigned char>(name[2])) << 16 |
               static_cast<DWORD>(static_cast<unsigned char>(name[3])) << 24;
    };
    const DWORD glyf = GetFontData(f.dc(), tag("glyf"), 0, nullptr, 0);
    EXPECT_NE(glyf, GDI_ERROR);
    EXPECT_GT(glyf, 0u);
    EXPECT_EQ(GetFontData(f.dc(), tag("CFF "), 0, nullptr, 0), GDI_ERROR);
}

TEST(WineFonts, WingdingsHasCircledDigits)
{
    FontOnScreen f("Wingdings", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Wingdings");
    std::vector<int> codes;
    for (int code = 128; code <= 137; ++code) // circled 0 .. 9
        codes.push_back(code);
    EXPECT_EQ(missingGlyphs(f, codes), std::vector<int>());
}

// The system draws the caption buttons (minimise "0", maximise "1", close
// "r") with "Marlett"; without it their letters show instead.
TEST(WineFonts, MarlettHasTheCaptionButtonSymbols)
{
    FontOnScreen f("Marlett", SYMBOL_CHARSET);
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f.face(), "Marlett");
    EXPECT_EQ(missingGlyphs(f, {'0', '1', '2', 'r'}), std::vector<int>());
}

TEST(WineFonts, TextFacesAreAvailableUnderTheirNames)
{
    for (const char* name : {"Times New Roman", "Arial", "Courier New"}) {
        SCOPED_TRACE(name);
        FontOnScreen f(name, ANSI_CHARSET, -16);
        ASSERT_TRUE(f.ok());
        EXPECT_EQ(f.face(), name);
        TEXTMETRICA tm = {};
        ASSERT_TRUE(GetTextMetricsA(f.dc(), &tm));
        EXPECT_GT(tm.tmHeight, 0);
        EXPECT_GT(tm.tmAveCharWidth, 0);
        EXPECT_EQ(f.glyph('A') == 0xFFFF, false);
    }
}

TEST(WineFonts, CourierNewIsFixedPitchAndTheOthersAreNot)
{
    auto fixedPitch = [](const char* name) {
        FontOnScreen f(name, ANSI_CHARSET, -16);
        TEXTMETRICA tm = {};
        GetTextMetricsA(f.dc(), &tm);
        // TMPF_FIXED_PITCH set means *variable* pitch.
        return (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;
    };
    EXPECT_TRUE(fixedPitch("Courier New"));
    EXPECT_FALSE(fixedPitch("Times New Roman"));
    EXPECT_FALSE(fixedPitch("Arial"));
}
