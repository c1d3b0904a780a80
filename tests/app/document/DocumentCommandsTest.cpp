// The document's commands: line formats, equals alignment, resets, the
// font handed over by another program and the document's archive form
// (foreign and older files: DocumentFileTest.cpp);
// command routing and update-UI through the main frame.
#include <filesystem>

#include "framework/Dc.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"

namespace {

using DocumentCommands = AppTest;

// The update-UI state of `id` as the frame's idle pass would set it.
CTestCmdUI UpdateState(CMainFrame* frame, UINT id) {
  CTestCmdUI state;
  state.m_nID = id;
  state.DoUpdate(frame, TRUE);
  return state;
}

void SendCommand(CMainFrame* frame, UINT id) { frame->SendMessage(WM_COMMAND, id, 0); }

TEST_F(DocumentCommands, LineFormatTogglesTheCaretsLineOnly) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText(TwentyLines({"a", "b", "c", "d"}));
  app->EquationEdit->SetWindowText(doc->GetEquationText());
  doc->SetModifiedFlag(FALSE);
  const int line3 = app->EquationEdit->LineIndex(2);
  const struct {
    UINT command;
    bool LineFormat::* flag;
  } cases[] = {{ID_LINE_BOLD, &LineFormat::Bold},
               {ID_LINE_ITALIC, &LineFormat::Italic},
               {ID_LINE_UNDERLINE, &LineFormat::Underline}};
  for (const auto& c : cases) {
    SetCaret(line3);
    SendCommand(frame, c.command);
    for (int i = 0; i < 20; ++i)
      EXPECT_EQ(doc->Equation.Formats[i].*c.flag, i == 2) << c.command << " line " << i;
    EXPECT_EQ(UpdateState(frame, c.command).m_nCheck, 1);
    SetCaret(app->EquationEdit->LineIndex(3));
    EXPECT_EQ(UpdateState(frame, c.command).m_nCheck, 0);
  }
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(doc->EquationText, TwentyLines({"a", "b", "c", "d"}));
}

TEST_F(DocumentCommands, AlignEqualSignsTogglesAndShowsItsState) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  const bool before = doc->Options.AlignEquals.Value;
  app->RefocusEdit = 0;
  SendCommand(frame, ID_ALIGN_EQUAL_SIGNS);
  EXPECT_EQ(doc->Options.AlignEquals.Value, !before);
  EXPECT_EQ(UpdateState(frame, ID_ALIGN_EQUAL_SIGNS).m_nCheck, before ? 0 : 1);
  EXPECT_TRUE(doc->IsModified());
  EXPECT_EQ(app->RefocusEdit, 0);
}

TEST_F(DocumentCommands, ResetsTakeTheDefaultsAndParseEveryLineAgain) {
  for (UINT command : {ID_RESET_TO_DEFAULT, ID_RESET_EQUATION}) {
    QVM400Doc* doc = NewDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetEquationText("x^2");
    doc->Equation.Formats[0].Bold = true;
    doc->Options.VerticalSpacing.Value += 17;
    doc->SetModifiedFlag(FALSE);
    app->RefocusEdit = 0;
    SendCommand(frame, command);
    EXPECT_EQ(doc->Options.VerticalSpacing.Value, app->DefaultOptions.VerticalSpacing.Value);
    for (const auto& engine : doc->Equation.Engines) EXPECT_TRUE(engine->NeedsReparse());
    EXPECT_EQ(doc->GetEquationText(), TwentyLines({"x^2"}));
    EXPECT_TRUE(doc->Equation.Formats[0].Bold);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(app->RefocusEdit, 1);
  }
}

TEST_F(DocumentCommands, DocumentCommandsAreEnabledOnlyWithAnActiveDocument) {
  const UINT documentCommands[] = {ID_LINE_BOLD,       ID_ALIGN_EQUAL_SIGNS, ID_RESET_TO_DEFAULT,
                                   ID_EDIT_CUT,        ID_PALETTE_SYMBOLS,   ID_COPY_AS_METAFILE,
                                   ID_COPY_AS_BITMAP,  ID_FILE_SAVE_AS,      ID_FILE_PRINT,
                                   ID_FILE_PRINT_PREVIEW, ID_EDIT_PREFERENCES, ID_EDIT_OPTIONS};
  for (UINT id : documentCommands) EXPECT_FALSE(UpdateState(frame, id).m_bEnabled) << id;
  ASSERT_NE(NewDocument(), nullptr);
  for (UINT id : documentCommands) EXPECT_TRUE(UpdateState(frame, id).m_bEnabled) << id;
  // The application's own commands need no document.
  EXPECT_TRUE(UpdateState(frame, ID_RESET_OPTIONS).m_bEnabled);
  EXPECT_TRUE(UpdateState(frame, ID_FILE_NEW).m_bEnabled);
  app->CloseAllDocuments(FALSE);
  EXPECT_FALSE(UpdateState(frame, ID_LINE_BOLD).m_bEnabled);
}

TEST_F(DocumentCommands, EmbeddedCommandsAreEnabledOnlyWhenRunningEmbedded) {
  for (UINT id : {ID_UPDATE_AND_RETURN, ID_CANCEL_CHANGES}) {
    app->RunningEmbedded = 0;
    EXPECT_FALSE(UpdateState(frame, id).m_bEnabled);
    app->RunningEmbedded = 1;
    EXPECT_TRUE(UpdateState(frame, id).m_bEnabled);
  }
}

TEST_F(DocumentCommands, WordFontComesFromTheFontSettings) {
  const struct {
    bool useWordFont;
    const char* name;  // null: no entry
    const char* size;
    const char* face;      // null: the font stays whole
    int32_t expectedSize;
  } cases[] = {
      {true, "Times New Roman", "12", "Times New Roman", 423},
      {true, "No Font", "12", nullptr, 0},
      {false, "Times New Roman", "12", nullptr, 0},
      {true, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh", "10", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", 352},
      // Nothing usable handed over: the font stays whole.
      {true, nullptr, nullptr, nullptr, 0},
      {true, "", "12", nullptr, 0},
      {true, "Courier New", nullptr, nullptr, 0},
      {true, "Courier New", "0", nullptr, 0},
      {true, "Courier New", "-12", nullptr, 0},
      {true, "Courier New", "x", nullptr, 0},
  };
  for (const auto& c : cases) {
    QVM400Doc doc;
    doc.Options.UseWordFont.Value = c.useWordFont;
    const QVLogFont original = doc.Options.Font.GetValue();
    QVIniFile fontIni;
    if (c.name) fontIni.WriteValue("Font Info", "Name", c.name, true);
    if (c.size) fontIni.WriteValue("Font Info", "Size", c.size, true);
    const BOOL changed = doc.ApplyWordFont(fontIni);
    const QVLogFont& font = doc.Options.Font.Value;
    const char* label = c.name ? c.name : "(none)";
    EXPECT_STREQ(font.LogFont.lfFaceName, c.face ? c.face : original.LogFont.lfFaceName) << label;
    EXPECT_EQ(font.Size, c.face ? c.expectedSize : original.Size) << label;
    EXPECT_EQ(font.Color, original.Color);
    // A font the document takes is a change it keeps: never a silent one.
    EXPECT_EQ(changed != FALSE, c.face != nullptr) << label;
    EXPECT_EQ(doc.IsModified() != FALSE, c.face != nullptr) << label;
  }
}

TEST_F(DocumentCommands, WordFontAlreadyTakenChangesNothing) {
  QVM400Doc doc;
  doc.Options.UseWordFont.Value = true;
  QVIniFile fontIni;
  fontIni.WriteValue("Font Info", "Name", "Times New Roman", true);
  fontIni.WriteValue("Font Info", "Size", "12", true);
  ASSERT_TRUE(doc.ApplyWordFont(fontIni));
  doc.SetModifiedFlag(FALSE);
  EXPECT_FALSE(doc.ApplyWordFont(fontIni));
  EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentCommands, PaintingWithANewWordFontMarksTheDocumentModified) {
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->Options.UseWordFont.Value = true;
  app->FontIni.WriteValue("Font Info", "Name", "Times New Roman", true);
  app->FontIni.WriteValue("Font Info", "Size", "14", true);
  doc->SetModifiedFlag(FALSE);
  PaintView(ViewOf(doc));
  EXPECT_STREQ(doc->Options.Font.Value.LogFont.lfFaceName, "Times New Roman");
  EXPECT_EQ(doc->Options.Font.Value.Size, 493);  // 14 points, truncated
  EXPECT_TRUE(doc->IsModified());
}

TEST_F(DocumentCommands, DocumentFileKeepsTextFormatsAndOptions) {
  const std::string path = appData.File("equation.qvm");
  QVM400Doc* doc = NewDocument();
  ASSERT_NE(doc, nullptr);
  doc->SetEquationText(TwentyLines({"a=b", "", "c=sqrt(d)"}));
  doc->Equation.Formats[2].Italic = true;
  doc->Options.AlignEquals.Value = !doc->Options.AlignEquals.Value;
  const bool align = doc->Options.AlignEquals.Value;
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  doc->OnCloseDocument();

  auto* opened = static_cast<QVM400Doc*>(app->OpenDocumentFile(path.c_str()));
  ASSERT_NE(opened, nullptr);
  EXPECT_EQ(opened->EquationText, TwentyLines({"a=b", "", "c=sqrt(d)"}));
  EXPECT_EQ(opened->Equation.Engines[2]->GetText(), "c=sqrt(d)");
  EXPECT_TRUE(opened->Equation.Formats[2].Italic);
  EXPECT_EQ(opened->Options.AlignEquals.Value, align);
  EXPECT_FALSE(opened->IsModified());
  EXPECT_EQ(BoxText(), opened->EquationText);
}

}  // namespace
