// Memory blocks and the message boxes (through the harness's scripted answers).
#include "store/store.h"
#include "tests/harness/harness.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(Memory, ZeroFilledBlocksAndNullSafeFree)
{
    unsigned char *block = (unsigned char *)MemAlloc(64, 100);
    ASSERT_NE(nullptr, block);
    for (int i = 0; i < 100; i++)
        ASSERT_EQ(0, block[i]);
    memset(block, 0xAB, 100);
    block = (unsigned char *)MemReAlloc(block, 300);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0xAB, block[99]);
    EXPECT_EQ(0, block[100]);
    EXPECT_EQ(0, block[299]);
    EXPECT_EQ(nullptr, MemFree(block));
    EXPECT_EQ(nullptr, MemFree(NULL));

    size_t size = 4;
    char *buffer = (char *)MemAlloc(64, size);
    memcpy(buffer, "abcd", 4);
    buffer = (char *)AppendToBuffer(buffer, &size, 6);
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ(10u, size);
    EXPECT_EQ(0, memcmp(buffer, "abcd\0\0\0\0\0\0", 10));
    MemFree(buffer);
}

TEST(MessageBoxes, SingleLineBreaksJoinedParagraphsKept)
{
    ScriptMessageBoxAnswer(IDYES);
    int answer = ShowMessageBox(NULL, "The return has\r\nchanged.\r\n\r\nSave it\nnow?\n", "Save Changes?",
                                MB_YESNO | MB_ICONEXCLAMATION);
    EXPECT_EQ(IDYES, answer);
    const auto &boxes = GetShownMessageBoxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ("The return has changed.\r\n\r\nSave it now?", boxes[0].text);
    EXPECT_EQ("Save Changes?", boxes[0].title);
    EXPECT_EQ((unsigned)(MB_YESNO | MB_ICONEXCLAMATION), boxes[0].flags);

    // A break next to a blank gives no doubled blank; a lone CR counts as a break.
    ScriptMessageBoxAnswer(IDOK);
    ShowMessageBox(NULL, "one \r\ntwo\rthree", "t", MB_OK);
    EXPECT_EQ("one two three", GetShownMessageBoxes()[1].text);
    ScriptMessageBoxAnswer(IDOK);
    ShowMessageBox(NULL, NULL, NULL, MB_OK);
    EXPECT_EQ("", GetShownMessageBoxes()[2].text);
}

TEST(MessageBoxes, AppMessageBoxGoesThroughTheSeam)
{
    AppMessageBoxParams block = {};
    block.caption = "Field Explanation";
    block.text = "Source Field(s):\r\nForm not found";
    block.markStart = 0;
    block.markLength = 16;
    block.options[0] = 0x80;
    ScriptMessageBoxAnswer(IDOK);
    EXPECT_EQ(IDOK, ShowAppMessageBox(&block));
    ASSERT_EQ(1u, GetShownMessageBoxes().size());
    EXPECT_EQ("Field Explanation", GetShownMessageBoxes()[0].title);
    EXPECT_EQ(block.text, GetShownMessageBoxes()[0].text);
    EXPECT_EQ(0, ShowAppMessageBox(NULL));
}

TEST(MessageBoxes, AppMessageDialogShowsTextWithTheStretchMarked)
{
    AppMessageBoxParams block = {};
    block.caption = "Field Explanation";
    block.text = "Line 7 = Form not found";
    block.markStart = 9;
    block.markLength = 14;
    MessageBoxHookProc saved = gMessageBoxHook;
    gMessageBoxHook = NULL;  // show the real dialog
    std::string caption, text;
    DWORD selStart = 0, selEnd = 0;
    INT_PTR result = RunDialogWithSteps([&]() -> INT_PTR { return ShowAppMessageBox(&block); },
                                        [&](HWND dialog) {
                                            char title[64];
                                            GetWindowTextA(dialog, title, sizeof title);
                                            caption = title;
                                            text = GetControlText(dialog, 1001);
                                            SendDlgItemMessageA(dialog, 1001, EM_GETSEL, (WPARAM)&selStart,
                                                                (LPARAM)&selEnd);
                                            ClickButton(dialog, IDOK);
                                        });
    gMessageBoxHook = saved;
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("Field Explanation", caption);
    EXPECT_EQ(block.text, text);
    EXPECT_EQ(9u, selStart);
    EXPECT_EQ(23u, selEnd);
}
