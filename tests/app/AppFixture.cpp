// The in-process program for the application tests (see AppFixture.h).
#include "tests/app/AppFixture.h"

#include <algorithm>
#include <cstdlib>

#include "framework/Dc.h"
#include "resources/resource.h"
#include "tests/ole/OleTestSupport.h"

void AppTest::SetUp() {
  TakeShownBoxes();
  if (const char* saved = std::getenv("APPDATA")) savedAppData_ = saved;
  ::SetEnvironmentVariableA("APPDATA", appData.Path().string().c_str());
  app = new QVM400App;
  app->m_nCmdShow = SW_HIDE;
  app->LoadSettings();
  // A returning user: the start-up dialogs stay out of the tests' way.
  app->Startup.SettingsLoaded = 1;
  BeforeTemplates();
  app->AddTemplates();
  ASSERT_TRUE(app->CreateMainFrame());
  frame = static_cast<CMainFrame*>(app->m_pMainWnd);
  // Left hidden: Wine waits two seconds for every shown top-level window
  // that is destroyed when there is no window manager.
  ASSERT_NE(app->EquationEditWindow(), nullptr);
}

void AppTest::TearDown() {
  if (app) {
    app->CloseAllDocuments(TRUE);
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    DrainMessages();
    delete app;
  }
  ::SetEnvironmentVariableA("APPDATA", savedAppData_.empty() ? nullptr : savedAppData_.c_str());
  TakeShownBoxes();
}

QVM400Doc* AppTest::NewDocument() {
  app->OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr);
  return ActiveDocument();
}

QVM400Doc* AppTest::NewDocumentWith(const char* text) {
  QVM400Doc* doc = NewDocument();
  if (doc) doc->SetEquationText(text);
  return doc;
}

void PaintView(QVM400View* view) {
  CWindowDC screen(nullptr);
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 400, 300));
  CBitmap* previous = dc.SelectObject(&bitmap);
  view->OnPrepareDC(&dc);
  view->OnDraw(&dc);
  dc.SelectObject(previous);
}

QVM400View* AppTest::ViewOf(QVM400Doc* doc) const {
  POSITION pos = doc->GetFirstViewPosition();
  return pos ? static_cast<QVM400View*>(doc->GetNextView(pos)) : nullptr;
}

void AppTest::Type(const char* text) { app->EquationEdit->ReplaceSel(text, TRUE); }

std::string AppTest::SaveEquationFile(const char* name, const char* text) {
  const std::string path = appData.File(name);
  QVM400Doc* doc = NewDocument();
  if (!doc) return "";
  doc->SetEquationText(text);
  const bool saved = doc->OnSaveDocument(path.c_str());
  doc->OnCloseDocument();
  return saved ? path : "";
}

std::string AppTest::SettingsFile(const char* name) const {
  return (appData.Path() / "Marvolk" / (std::string(name) + ".ini")).string();
}

CString EmptyEquationText() { return TwentyLines({}); }

CString WideLines(const char* piece) {
  CString line;
  for (int i = 0; i < 300; ++i) line += piece;
  CString lines = line + "y";
  for (int i = 0; i < 11; ++i) lines += "\r\n" + line + "y";
  return lines;
}

CString TwentyLines(std::initializer_list<const char*> lines) {
  CString text;
  int count = 0;
  for (const char* line : lines) {
    if (count++ > 0) text += "\r\n";
    text += line;
  }
  for (; count < 20; ++count)
    if (count > 0) text += "\r\n";
  return text;
}

HWND ThisThreadDialog() {
  HWND found = nullptr;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM param) -> BOOL {
        char className[16] = {};
        ::GetClassNameA(hWnd, className, sizeof className);
        if (std::string(className) != "#32770" || ::GetWindowTextLengthA(hWnd) == 0) return TRUE;
        *reinterpret_cast<HWND*>(param) = hWnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

DialogScript::DialogScript(DWORD delayMs, std::function<void(HWND)> look, int button)
    : act_(RunLater(delayMs,
                    [look, button] {
                      HWND dialog = ThisThreadDialog();
                      if (!dialog) return;
                      look(dialog);
                      ::PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
                    })),
      rescue_(RunLater(delayMs + 10000, [] {
        if (HWND dialog = ThisThreadDialog()) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      })) {}

DialogScript::~DialogScript() {
  CancelRunLater(act_);
  CancelRunLater(rescue_);
}

std::vector<COLORREF> ShownPixels(HWND window, bool redrawFirst) {
  if (redrawFirst)
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client{};
  ::GetClientRect(window, &client);
  HDC shown = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(shown);
  HBITMAP copy = ::CreateCompatibleBitmap(shown, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(memory, copy);
  ::BitBlt(memory, 0, 0, client.right, client.bottom, shown, 0, 0, SRCCOPY);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < client.bottom; ++y)
    for (int x = 0; x < client.right; ++x) pixels.push_back(::GetPixel(memory, x, y));
  ::SelectObject(memory, old);
  ::DeleteObject(copy);
  ::DeleteDC(memory);
  ::ReleaseDC(window, shown);
  return pixels;
}

// The tallest equation the program holds: twenty lines, each a stack of 60
// numbers divided one by the next (the most a line stacks before it starts
// a new column), drawn at the largest font size; the numbers of line k are
// k digits long, so that every line is as tall as the others and wider than
// the one above it.
std::string TallestEquation() {
  std::string text;
  for (int line = 1; line <= 20; ++line) {
    if (line > 1) text += "\r\n";
    for (int entry = 0; entry < 60; ++entry) text += (entry ? "/" : "") + std::string(line, '7');
  }
  return text;
}

namespace {

// For each of `bands` equal bands of a canvas from the top, the rightmost
// ink in its middle rows (-1 where there is none).
std::vector<int> RightmostInkPerBand(HDC dc, int width, int height, int bands) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
  HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP));
  ::GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  std::vector<int> rightmost(bands, -1);
  for (int band = 0; band < bands; ++band)
    for (int y = (5 * band + 1) * height / (5 * bands); y < (5 * band + 4) * height / (5 * bands); ++y)
      for (int x = 0; x < width; ++x)
        if ((pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0xFFFFFF)
          rightmost[band] = std::max(rightmost[band], x);
  return rightmost;
}

}  // namespace

void ExpectTallestEquationUpright(const METAFILEPICT& picture) {
  constexpr int kWidth = 300, kHeight = 20000;
  Canvas canvas(kWidth, kHeight);
  ::SetMapMode(canvas.dc(), MM_ANISOTROPIC);
  ::SetWindowExtEx(canvas.dc(), picture.xExt, picture.yExt, nullptr);
  ::SetViewportExtEx(canvas.dc(), kWidth, kHeight, nullptr);
  ::PlayMetaFile(canvas.dc(), picture.hMF);
  ::SetMapMode(canvas.dc(), MM_TEXT);
  const std::vector<int> rightmost = RightmostInkPerBand(canvas.dc(), kWidth, kHeight, 20);
  for (int line = 0; line < 20; ++line)
    EXPECT_GT(rightmost[line], line > 0 ? rightmost[line - 1] : 0) << "line " << line + 1;
  EXPECT_GT(rightmost[19], kWidth * 9 / 10);
}
