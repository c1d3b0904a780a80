// The preferences sheet, opened from the document's command and driven
// through its controls: OK applies the pages that were shown, Cancel
// nothing; "Set As Default" reaches the settings file once, at OK; the
// sheet reopens on the page last shown.
#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "resources/PreferenceIds.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FileSavingSupport.h"
#include "tests/win/EmfRecords.h"

namespace {

class PreferencesSheet : public AppTest {
 protected:
  // Opens the sheet with `command`; `drive` runs once it is up, with the
  // sheet's window; the sheet is cancelled if `drive` leaves it open.
  void RunSheet(const std::function<void(HWND)>& drive, UINT command = ID_EDIT_PREFERENCES,
                bool keepOpen = false) {
    bool driven = false;
    std::function<void()> poll;
    poll = [&] {
      HWND sheet = ::FindWindowA(nullptr, "Ovelin Preferences");
      if (!sheet || !::IsWindowVisible(sheet)) {
        RunLater(20, poll);
        return;
      }
      driven = true;
      drive(sheet);
      if (!keepOpen) Cancel(sheet);
    };
    const UINT_PTR first = RunLater(20, poll);
    // A sheet left open by a broken test is closed instead of hanging it.
    const UINT_PTR watchdog = RunLater(8000, [] { Cancel(::FindWindowA(nullptr, "Ovelin Preferences")); });
    frame->SendMessage(WM_COMMAND, command, 0);
    CancelRunLater(first);
    CancelRunLater(watchdog);
    EXPECT_TRUE(driven);
  }

  // Shows page `index` (painted, as the user would see it) and returns it.
  static HWND ShowPage(HWND sheet, int index) {
    ::SendMessageA(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return page;
  }
  static int ShownIndex(HWND sheet) {
    HWND page = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    return static_cast<int>(::SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
  }
  static void Click(HWND page, int id) { ::SendMessageA(::GetDlgItem(page, id), BM_CLICK, 0, 0); }
  static void Cancel(HWND sheet) {
    if (sheet && ::IsWindow(sheet) && ::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0))
      ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  }
  static void Ok(HWND sheet) { ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0); }
  static bool Enabled(HWND page, int id) { return ::IsWindowEnabled(::GetDlgItem(page, id)) != 0; }
};

EmfDrawing Drawn(QVM400Doc* doc) {
  return RecordEmf([&](CDC& dc) { doc->DrawEquation(&dc, 0, 0); });
}

TEST_F(PreferencesSheet, OkAppliesAValueOfEveryPageAndDrawsAgain) {
  QVM400Doc* doc = NewDocumentWith("a*b");
  ASSERT_NE(doc, nullptr);
  doc->SetModifiedFlag(FALSE);
  const QVMOptions before = doc->Options;
  const EmfDrawing drawnBefore = Drawn(doc);
  const int otherSign = before.MultiplyStyle.Value == 1 ? IDC_STYLES_MULTIPLY_CROSS
                                                        : IDC_STYLES_MULTIPLY_DOT;
  RunSheet([&](HWND sheet) {
    HWND fonts = ShowPage(sheet, 0);
    ::SetDlgItemTextA(fonts, IDC_FONTS_MAIN_SIZE, "20pt");
    Click(fonts, IDC_FONTS_GREEK_BOLD);
    Click(ShowPage(sheet, 1), IDC_VECTORS_COLUMN);
    HWND styles = ShowPage(sheet, 2);
    Click(styles, otherSign);
    ::SetDlgItemTextA(styles, IDC_STYLES_TAB, "10.5");
    ::SetDlgItemTextA(ShowPage(sheet, 3), IDC_LIST_TEXT, "cm\r\nkm\r\n\r\n");
    ::SetDlgItemTextA(ShowPage(sheet, 4), IDC_MATRIX_COLUMN_GAP, "0.29");
    ::SetDlgItemTextA(ShowPage(sheet, 5), IDC_LIST_TEXT, "ab\xBBxyz\r\n\r\ncd\xBBuvw\r\n");
    Ok(sheet);
  });
  const QVMOptions& o = doc->Options;
  EXPECT_EQ(o.Font.Value.Size, 705);  // 20 points
  EXPECT_STREQ(o.Font.Value.LogFont.lfFaceName, before.Font.Value.LogFont.lfFaceName);
  EXPECT_EQ(o.GreekBold.Value, !before.GreekBold.Value);
  EXPECT_EQ(o.DetectColumnVectors.Value, !before.DetectColumnVectors.Value);
  EXPECT_NE(o.MultiplyStyle.Value, before.MultiplyStyle.Value);
  EXPECT_EQ(o.TabWidth.Value, 1050);
  EXPECT_EQ(o.UnitsList.Value, "cm,km");
  EXPECT_EQ(o.MatrixHorizontalSpacing.Value, 28);
  EXPECT_EQ(o.MacroList.Value, "ab%xyz%cd%uvw");
  EXPECT_EQ(o.LastPropertyPage, 5);
  EXPECT_TRUE(doc->IsModified());
  // Drawn again with the new options: another sign, a bigger font.
  const EmfDrawing drawnAfter = Drawn(doc);
  EXPECT_NE(drawnAfter.Codes(), drawnBefore.Codes());
  ASSERT_FALSE(drawnAfter.texts.empty());
  ASSERT_FALSE(drawnBefore.texts.empty());
  EXPECT_GT(std::abs(drawnAfter.texts[0].fontHeight), std::abs(drawnBefore.texts[0].fontHeight));
}

TEST_F(PreferencesSheet, CancelChangesNothingAndSetAsDefaultWritesOnceAtOk) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetModifiedFlag(FALSE);
  const std::string file = SettingsFile("QVM400");
  std::filesystem::remove(file);
  const int32_t tab = doc->Options.TabWidth.Value;
  RunSheet([&](HWND sheet) {
    HWND styles = ShowPage(sheet, 2);
    ::SetDlgItemTextA(styles, IDC_STYLES_TAB, "11");
    Click(styles, IDC_PREF_SET_AS_DEFAULT);
    ::SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  });
  EXPECT_EQ(doc->Options.TabWidth.Value, tab);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(app->DefaultOptions.TabWidth.Value, 1100);  // in memory only
  EXPECT_FALSE(std::filesystem::exists(file));

  bool writtenBeforeOk = true;
  RunSheet([&](HWND sheet) {
    HWND styles = ShowPage(sheet, 2);
    ::SetDlgItemTextA(styles, IDC_STYLES_TAB, "12");
    Click(styles, IDC_PREF_SET_AS_DEFAULT);
    HWND matrix = ShowPage(sheet, 4);
    ::SetDlgItemTextA(matrix, IDC_MATRIX_ROW_GAP, "7");
    Click(matrix, IDC_PREF_SET_AS_DEFAULT);
    writtenBeforeOk = std::filesystem::exists(file);
    Ok(sheet);
  });
  EXPECT_FALSE(writtenBeforeOk);
  QVIniFile written;
  written.AssignPath(file.c_str());
  ASSERT_TRUE(written.LoadFromDisk());
  EXPECT_EQ(written.ReadInt("Options", "TabWidth"), 1200);
  EXPECT_EQ(written.ReadInt("Options", "MatrixVerticalSpacing"), 700);
  EXPECT_EQ(doc->Options.TabWidth.Value, 1200);
  EXPECT_TRUE(TakeShownBoxes().empty());
}

// Every "Set As Default" confirmed with OK that cannot be written is told,
// with what stopped it, however often it fails (also after the program's
// own saves have told their one failure); the settings file stays as it was.
TEST_F(PreferencesSheet, EverySetAsDefaultThatCannotBeWrittenIsToldWhy) {
  FullDisk disk;
  ASSERT_TRUE(disk.Ready()) << "a tmpfs mounted as a Wine drive (needs root)";
  const std::string old = "[Old]\r\nv=1\r\n\r\n";
  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {disk.File("QVM400.ini"), "The disk is full.  Make room on it and save again."},
      {SettingsFile("QVM400"), "The file is read-only.  Clear its read-only mark to save to it."},
  };
  for (const auto& c : cases) TempFolder::Write(c.path, old);
  ASSERT_TRUE(disk.Fill());
  ASSERT_TRUE(::SetFileAttributesA(cases[1].path.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_NE(NewDocument(), nullptr);
  for (const auto& c : cases) {
    app->PreferenceIni.Location = ExplicitPath;
    app->PreferenceIni.AssignPath(c.path.c_str());
    app->PreferenceIni.Save();
    TakeShownBoxes();
    for (int time = 0; time < 2; ++time)
      RunSheet([&](HWND sheet) {
        Click(ShowPage(sheet, 2), IDC_PREF_SET_AS_DEFAULT);
        Ok(sheet);
      });
    const std::vector<ShownBox> boxes = TakeShownBoxes();
    ASSERT_EQ(boxes.size(), 2u) << c.path;
    for (const ShownBox& box : boxes)
      EXPECT_EQ(box.text, "Unable to write file " + c.path + ".\r\n\r\n" + c.reason);
    EXPECT_EQ(TempFolder::Read(c.path), old);
  }
  ::SetFileAttributesA(cases[1].path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(PreferencesSheet, SetAsDefaultAfterAnInvalidValueCopiesNothing) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const int32_t gap = app->DefaultOptions.MatrixHorizontalSpacing.Value;
  const int32_t align = app->DefaultOptions.MatrixAlign.Value;
  int shownAfterLeaving = -1;
  bool openAfterOk = false;
  TakeShownBoxes();
  RunSheet([&](HWND sheet) {
    HWND matrix = ShowPage(sheet, 4);
    Click(matrix, align == 2 ? IDC_MATRIX_ALIGN_LEFT : IDC_MATRIX_ALIGN_RIGHT);
    ::SetDlgItemTextA(matrix, IDC_MATRIX_COLUMN_GAP, "500");
    Click(matrix, IDC_PREF_SET_AS_DEFAULT);
    // The value keeps the user on the page, and OK does not close the sheet.
    ShowPage(sheet, 0);
    shownAfterLeaving = ShownIndex(sheet);
    Ok(sheet);
    openAfterOk = ::IsWindow(sheet) && ::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
  });
  EXPECT_EQ(shownAfterLeaving, 4);
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(app->DefaultOptions.MatrixHorizontalSpacing.Value, gap);
  EXPECT_EQ(app->DefaultOptions.MatrixAlign.Value, align);
  EXPECT_NE(doc->Options.MatrixAlign.Value, align == 2 ? 0 : 2);
  const auto boxes = TakeShownBoxes();  // the validation messages
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, boxes[2].text);
}

TEST_F(PreferencesSheet, ReopensOnThePageLastShownAndEditOptionsOpensItToo) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  RunSheet([&](HWND sheet) {
    EXPECT_EQ(ShownIndex(sheet), 0);
    ShowPage(sheet, 4);
  });
  EXPECT_EQ(doc->Options.LastPropertyPage, 4);
  int reopened = -1;
  app->RefocusEdit = 0;
  RunSheet([&](HWND sheet) { reopened = ShownIndex(sheet); }, ID_EDIT_OPTIONS);
  EXPECT_EQ(reopened, 4);
  EXPECT_EQ(app->RefocusEdit, 1);
  // A new document starts on Fonts.
  ASSERT_NE(NewDocument(), nullptr);
  RunSheet([&](HWND sheet) { reopened = ShownIndex(sheet); });
  EXPECT_EQ(reopened, 0);
}

TEST_F(PreferencesSheet, FontsPageKeepsAFaceNotInstalledAndAnUnreadableSize) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  QVLogFont font = doc->Options.Font.Value;
  font.SetFaceName("No Such Face");
  font.LogFont.lfWeight = 700;
  doc->Options.Font.SetValue(font);
  doc->Options.LastPropertyPage = 0;
  RunSheet([&](HWND sheet) {
    HWND fonts = ShowPage(sheet, 0);
    ::SetDlgItemTextA(fonts, IDC_FONTS_MAIN_SIZE, "");
    Ok(sheet);
  });
  EXPECT_STREQ(doc->Options.Font.Value.LogFont.lfFaceName, "No Such Face");
  EXPECT_EQ(doc->Options.Font.Value.Size, font.Size);
  EXPECT_EQ(doc->Options.Font.Value.LogFont.lfWeight, 400);  // a fresh description
}

TEST_F(PreferencesSheet, AutomaticColourStoresTheOptionsDefault) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.GreekColor.Value = RGB(255, 0, 0);
  doc->Options.LastPropertyPage = 0;
  bool popupOpened = false;
  RunSheet([&](HWND sheet) {
    HWND fonts = ShowPage(sheet, 0);
    Click(fonts, IDC_FONTS_GREEK_COLOUR);
    HWND popup = ::GetCapture();
    popupOpened = popup && popup != fonts && ::IsWindowVisible(popup);
    // Nothing highlighted yet: Up goes to "Automatic"; Enter takes it.
    ::SendMessageA(popup, WM_KEYDOWN, VK_UP, 0);
    ::SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    Ok(sheet);
  });
  EXPECT_TRUE(popupOpened);
  EXPECT_EQ(doc->Options.GreekColor.Value, doc->Options.GreekColor.Default);
}

TEST_F(PreferencesSheet, StylesPageLeavesTheSigmaAndThetaVariants) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.UseSigmaVariant.Value = true;
  doc->Options.UseThetaVariant.Value = true;
  doc->Options.LastPropertyPage = 2;
  RunSheet([&](HWND sheet) {
    EXPECT_EQ(ShownIndex(sheet), 2);
    Ok(sheet);
  });
  EXPECT_TRUE(doc->Options.UseSigmaVariant.Value);
  EXPECT_TRUE(doc->Options.UseThetaVariant.Value);
  EXPECT_EQ(doc->Options.GeneralPen.Value.Mode, 1);
}

TEST_F(PreferencesSheet, VectorsPageEnablesTheGroupsByRecognitionAndLowerCase) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.UseAutomaticVectors.Value = false;
  doc->Options.LowerCase.Value = 2;
  RunSheet([&](HWND sheet) {
    HWND page = ShowPage(sheet, 1);
    const int groups[] = {IDC_VECTORS_CAPS_IGNORE, IDC_VECTORS_LOWER_SELECT, IDC_VECTORS_SHOW_ARROW};
    const int letterI = IDC_VECTORS_LETTER_A + 8;
    EXPECT_EQ(::IsDlgButtonChecked(page, letterI), BST_CHECKED);  // i is a vector by default
    for (int id : groups) EXPECT_FALSE(Enabled(page, id)) << id;
    EXPECT_FALSE(Enabled(page, letterI));
    EXPECT_TRUE(Enabled(page, IDC_VECTORS_COLUMN));
    EXPECT_TRUE(Enabled(page, IDC_VECTORS_ARROW_LINES));
    Click(page, IDC_VECTORS_AUTOMATIC);  // on, Select Letters chosen
    for (int id : groups) EXPECT_TRUE(Enabled(page, id)) << id;
    EXPECT_TRUE(Enabled(page, letterI));
    EXPECT_TRUE(Enabled(page, IDC_VECTORS_LETTER_Z));
    Click(page, IDC_VECTORS_LOWER_GUESS);
    EXPECT_FALSE(Enabled(page, letterI));
    EXPECT_EQ(::IsDlgButtonChecked(page, letterI), BST_CHECKED);
    Click(page, IDC_VECTORS_LOWER_SELECT);
    EXPECT_TRUE(Enabled(page, letterI));
    Click(page, IDC_VECTORS_LOWER_IGNORE);
    Click(page, IDC_VECTORS_AUTOMATIC);  // off again
    Click(page, IDC_VECTORS_AUTOMATIC);  // on, with Ignore: letters stay off
    EXPECT_FALSE(Enabled(page, letterI));
    Ok(sheet);
  });
  EXPECT_TRUE(doc->Options.UseAutomaticVectors.Value);
  EXPECT_EQ(doc->Options.LowerCase.Value, 0);
  EXPECT_TRUE(doc->Options.Letters[8].Value);
}

TEST_F(PreferencesSheet, PagesShowTheOptionsInTheirUnits) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  QVMOptions& o = doc->Options;
  o.Font.Value.Size = 370;
  o.UseOneFont.Value = false;
  o.TabWidth.Value = 1050;
  o.GeneralPen.Value.Width = 17.63888775;
  o.MatrixHorizontalSpacing.Value = 650;
  o.MultiplyStyle.Value = 7;  // out of range: shown (and kept) as the middle
  o.UnitsList.Value = "cm,km";
  o.MacroList.Value = "pv7%3.1415927";
  std::map<std::string, std::string> shown;
  RunSheet([&](HWND sheet) {
    auto text = [](HWND page, int id) {
      char buffer[512] = {};
      ::GetDlgItemTextA(page, id, buffer, sizeof buffer);
      return std::string(buffer);
    };
    HWND fonts = ShowPage(sheet, 0);
    shown["size"] = text(fonts, IDC_FONTS_MAIN_SIZE);
    EXPECT_TRUE(Enabled(fonts, IDC_FONTS_FUNCTIONS_FACE));
    Click(fonts, IDC_FONTS_USE_ONE_FONT);
    for (int id : {IDC_FONTS_FUNCTIONS_FACE, IDC_FONTS_VECTOR_FACE, IDC_FONTS_GREEK_COLOUR,
                   IDC_FONTS_VARIABLES_COLOUR, IDC_FONTS_QUOTE_COLOUR})
      EXPECT_FALSE(Enabled(fonts, id)) << id;
    EXPECT_TRUE(Enabled(fonts, IDC_FONTS_GREEK_BOLD));
    EXPECT_TRUE(Enabled(fonts, IDC_FONTS_MAIN_COLOUR));
    HWND styles = ShowPage(sheet, 2);
    shown["tab"] = text(styles, IDC_STYLES_TAB);
    shown["pen"] = text(styles, IDC_STYLES_PEN);
    shown["dot"] = ::IsDlgButtonChecked(styles, IDC_STYLES_MULTIPLY_DOT) ? "checked" : "";
    shown["units"] = text(ShowPage(sheet, 3), IDC_LIST_TEXT);
    shown["gap"] = text(ShowPage(sheet, 4), IDC_MATRIX_COLUMN_GAP);
    shown["shortcuts"] = text(ShowPage(sheet, 5), IDC_LIST_TEXT);
  });
  EXPECT_EQ(shown["size"], "10");
  EXPECT_EQ(shown["tab"], "10.5");
  EXPECT_EQ(shown["pen"], "0.5pt");
  EXPECT_EQ(shown["dot"], "checked");
  EXPECT_EQ(shown["gap"], "6.5");
  EXPECT_EQ(shown["units"].rfind("cm\r\nkm\r\n\r\n", 0), 0u);
  EXPECT_EQ(shown["shortcuts"].rfind("pv7\xBB" "3.1415927\r\n\r\n", 0), 0u);
  EXPECT_EQ(o.MultiplyStyle.Value, 1);
  EXPECT_EQ(o.UseOneFont.Value, false);  // cancelled
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

// With Use One Font checked, a face list is disabled: its field shows the
// face greyed, in letters of a font that fits the field (a capital is about
// 0.62 of its font's height). Pixels right of the glyph, left of the button.
TEST_F(PreferencesSheet, DisabledFaceListDrawsItsFaceGreyedWithinTheField) {
  ASSERT_NE(NewDocument(), nullptr);
  ActiveDocument()->Options.UseOneFont.Value = true;
  RunSheet([&](HWND sheet) {
    HWND combo = ::GetDlgItem(ShowPage(sheet, 0), IDC_FONTS_FUNCTIONS_FACE);
    ASSERT_FALSE(::IsWindowEnabled(combo));
    ::RedrawWindow(combo, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client{};
    ::GetClientRect(combo, &client);
    HDC dc = ::GetDC(combo);
    const int background = Brightness(::GetPixel(dc, client.right / 2, 3));
    int top = client.bottom, bottom = -1, darkest = background;
    for (int y = 3; y < client.bottom - 3; ++y)
      for (int x = 24; x < client.right - 20; ++x)
        if (const int ink = Brightness(::GetPixel(dc, x, y)); ink < background - 60)
          top = std::min(top, y), bottom = y, darkest = std::min(darkest, ink);
    ::ReleaseDC(combo, dc);
    ASSERT_GE(bottom, top) << "no face drawn";
    EXPECT_GE(darkest, Brightness(::GetSysColor(COLOR_GRAYTEXT)) - 30);
    EXPECT_LE(3 * (bottom - top + 1), 2 * ::SendMessageA(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  });
}

TEST_F(PreferencesSheet, TabInTheShortcutsBoxTypesTheMark) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.MacroList.Value = "";
  doc->Options.LastPropertyPage = 5;
  RunSheet([&](HWND sheet) {
    HWND box = ::GetDlgItem(ShowPage(sheet, 5), IDC_LIST_TEXT);
    ::SetFocus(box);
    ::SendMessageA(box, WM_CHAR, 'x', 0);
    // Through the sheet's own loop, as a key pressed by the user.
    ::PostMessageA(box, WM_KEYDOWN, VK_TAB, 0x000F0001);
    RunLater(300, [box, sheet] {
      ::SendMessageA(box, WM_CHAR, '2', 0);
      Ok(sheet);
    });
  }, ID_EDIT_PREFERENCES, true);
  EXPECT_EQ(doc->Options.MacroList.Value, "x%2");
}

// Return on the last line of the shortcuts adds a line, so an emptied box
// still takes one shortcut a line.
TEST_F(PreferencesSheet, ReturnOnTheLastShortcutLineAddsALine) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.LastPropertyPage = 5;
  RunSheet([&](HWND sheet) {
    HWND box = ::GetDlgItem(ShowPage(sheet, 5), IDC_LIST_TEXT);
    ::SetFocus(box);
    ::SetWindowTextA(box, "x\xBB" "2");
    ::SendMessageA(box, EM_SETSEL, 1, 1);
    ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    RunLater(300, [box, sheet] {
      for (const char c : {'y', '\xBB', '3'}) ::SendMessageA(box, WM_CHAR, static_cast<BYTE>(c), 0);
      Ok(sheet);
    });
  }, ID_EDIT_PREFERENCES, true);
  EXPECT_EQ(doc->Options.MacroList.Value, "x%2%y%3");
}

// A line the stored form cannot hold (no », or a "%") is refused with a
// message naming it, and the user finds it selected; every well-formed line
// reopens exactly as typed, a second » included.
TEST_F(PreferencesSheet, ShortcutLinesThatCannotBeStoredAreRefused) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.MacroList.Value = "";
  doc->Options.LastPropertyPage = 5;
  const struct {
    const char* typed;
    int line;
    const char* why;
  } refused[] = {
      {"pc\xBB" "50%\r\nab\xBB" "cd", 1, "holds a %"},
      {"al\xBB" "alpha\r\noops\r\nbe\xBB" "beta", 2, "has no \xBB"},
      {"ab\xBB" "cd\r\n\r\n  \r\nx%\xBBy", 4, "holds a %"},
  };
  const char* kept = "pc\xBB" "50\r\n\xBB" "ab\r\ncd\xBBx\xBBy\r\n\r\nef\xBBgh\r\nal\xBB";
  TakeShownBoxes();
  RunSheet([&](HWND sheet) {
    HWND box = ::GetDlgItem(ShowPage(sheet, 5), IDC_LIST_TEXT);
    for (const auto& c : refused) {
      ::SetWindowTextA(box, c.typed);
      Ok(sheet);
      const auto boxes = TakeShownBoxes();
      ASSERT_EQ(boxes.size(), 1u) << c.typed;
      const std::string& text = boxes[0].text;
      EXPECT_EQ(text.rfind("Line " + std::to_string(c.line) + " ", 0), 0u) << text;
      EXPECT_NE(text.find(c.why), std::string::npos) << text;
      const LRESULT start = ::SendMessageA(box, EM_LINEINDEX, c.line - 1, 0);
      const LRESULT length = ::SendMessageA(box, EM_LINELENGTH, start, 0);
      EXPECT_EQ(::SendMessageA(box, EM_GETSEL, 0, 0), MAKELRESULT(start, start + length));
    }
    ::SetWindowTextA(box, kept);
    Ok(sheet);
  }, ID_EDIT_PREFERENCES, true);
  EXPECT_EQ(doc->Options.MacroList.Value, "pc%50%%ab%cd%x\xBBy%ef%gh%al%");
  std::string shown;
  RunSheet([&](HWND sheet) {
    char buffer[512] = {};
    ::GetDlgItemTextA(ShowPage(sheet, 5), IDC_LIST_TEXT, buffer, sizeof buffer);
    shown = buffer;
  });
  const std::string reopened =
      "pc\xBB" "50\r\n\xBB" "ab\r\ncd\xBBx\xBBy\r\nef\xBBgh\r\nal\xBB\r\n\r\n";
  EXPECT_EQ(shown.rfind(reopened, 0), 0u) << shown;
}

// Values typed out of reach are held as values read from a file are, and
// the page shows what was kept, at once after "Set As Default" and again
// when the sheet reopens (OK stored what it showed).
TEST_F(PreferencesSheet, ValuesTypedOutOfReachAreHeldAndShownAsKept) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const struct {
    int page, id;
    const char* typed;
    const char* shown;
    double kept;
  } cases[] = {
      {2, IDC_STYLES_PEN, "99999999999pt", "28.25pt", kMaxPenWidth},
      {2, IDC_STYLES_PEN, "0/0pt", "0pt", 0.0},  // not a number
      {0, IDC_FONTS_MAIN_SIZE, "99999999", "283", kMaxFontSize},
  };
  for (const auto& c : cases) {
    std::string afterSetAsDefault, reopened;
    auto text = [&](HWND page) {
      char buffer[64] = {};
      ::GetDlgItemTextA(page, c.id, buffer, sizeof buffer);
      return std::string(buffer);
    };
    RunSheet([&](HWND sheet) {
      HWND page = ShowPage(sheet, c.page);
      ::SetDlgItemTextA(page, c.id, c.typed);
      Click(page, IDC_PREF_SET_AS_DEFAULT);
      afterSetAsDefault = text(page);
      Ok(sheet);
    });
    RunSheet([&](HWND sheet) { reopened = text(ShowPage(sheet, c.page)); });
    EXPECT_EQ(afterSetAsDefault, c.shown) << c.typed;
    EXPECT_EQ(reopened, c.shown) << c.typed;
    const QVMOptions& defaults = app->DefaultOptions;
    EXPECT_EQ(c.page == 2 ? defaults.GeneralPen.Value.Width : defaults.Font.Value.Size, c.kept)
        << c.typed;
  }
}

}  // namespace
