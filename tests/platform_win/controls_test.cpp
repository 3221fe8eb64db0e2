// Menus, the status and progress bars, the rich-text area, message boxes, drops
// and face substitution.
#include "tests/support/screen_check.h"
#include "win_test_util.h"
#include "platform/win/commctrl.h"
#include "platform/gdi/font_faces.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/richedit.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <cstring>
#include <gtest/gtest.h>

TEST(Menus, ItemStatesAndLookups)
{
    HMENU bar = CreateMenu(), sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 10, "&One");
    AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(sub, MF_STRING | MF_CHECKED, 11, "&Two");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), "&Sub");
    EXPECT_EQ(GetMenuItemCount(sub), 3);
    EXPECT_EQ(CheckMenuItem(bar, 11, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar, 11, MF_BYCOMMAND | MF_CHECKED), 0u);
    EXPECT_EQ(CheckMenuItem(bar, 99, MF_BYCOMMAND), DWORD(-1));
    EXPECT_EQ(EnableMenuItem(sub, 10, MF_BYCOMMAND | MF_GRAYED), 0);
    EXPECT_EQ(EnableMenuItem(sub, 10, MF_BYCOMMAND | MF_ENABLED), BOOL(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(sub, 99, MF_BYCOMMAND), -1);
    EXPECT_EQ(GetSubMenu(bar, 0), sub);
    EXPECT_EQ(GetMenuItemID(sub, 2), 11u);
    EXPECT_TRUE(DeleteMenu(sub, 1, MF_BYPOSITION));
    EXPECT_EQ(GetMenuItemID(sub, 1), 11u);
    DestroyMenu(bar);
    EXPECT_EQ(GetMenuItemCount(sub), -1);
}

TEST(Menus, OpeningSendsInitMenuPopupAndChoosingPostsCommand)
{
    HMENU bar = CreateMenu(), sub = CreatePopupMenu();
    AppendMenuA(sub, MF_STRING, 20, "&Item");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<std::uintptr_t>(sub), "&File");
    HWND w = make_window();
    ASSERT_TRUE(SetMenu(w, bar));
    ShowWindow(w, SW_SHOW);
    RECT c{};
    GetClientRect(w, &c);
    EXPECT_EQ(c.bottom, 200 - GetSystemMetrics(SM_CYMENU));
    auto* mb = platform_window_widget(w)->findChild<QMenuBar*>();
    ASSERT_NE(mb, nullptr);
    ASSERT_EQ(mb->actions().size(), 1);
    QMenu* qm = mb->actions()[0]->menu();
    ASSERT_NE(qm, nullptr);
    // the program changes the popup when it is about to open
    static HMENU target = nullptr;
    target = sub;
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<std::intptr_t>(+[](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (m == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(wp) == target)
            AppendMenuA(target, MF_STRING, 21, "&Added");
        return recording_proc(h, m, wp, lp);
    }));
    drain();
    seen().clear();
    qm->popup(QPoint(20, 20));
    ASSERT_FALSE(seen().empty());
    EXPECT_EQ(seen()[0].msg, UINT(WM_INITMENUPOPUP));
    ASSERT_EQ(qm->actions().size(), 2);
    EXPECT_EQ(qm->actions()[1]->text(), "&Added");
    qm->actions()[1]->trigger();
    qm->hide();
    auto ms = drain();
    ASSERT_FALSE(ms.empty());
    EXPECT_EQ(ms.back().message, UINT(WM_COMMAND));
    EXPECT_EQ(LOWORD(ms.back().wParam), 21);
    DestroyWindow(w);
}

TEST(StatusBar, PartsTextsAndTheCutAt259Bytes)
{
    HWND w = make_window();
    HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, w, nullptr,
                              nullptr, nullptr);
    ASSERT_NE(sb, nullptr);
    int edges[3] = {100, 200, -1};
    EXPECT_TRUE(SendMessageA(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges)));
    EXPECT_TRUE(SendMessageA(sb, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("middle")));
    char buf[260];
    EXPECT_EQ(LOWORD(SendMessageA(sb, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(buf))), 6);
    EXPECT_STREQ(buf, "middle");
    EXPECT_FALSE(SendMessageA(sb, SB_SETTEXTA, 5, reinterpret_cast<LPARAM>("x")));
    std::string big(400, 'z');
    SendMessageA(sb, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(big.c_str()));
    EXPECT_EQ(SendMessageA(sb, SB_GETTEXTLENGTHA, 0, 0), 259);
    RECT c{}, r{};
    GetClientRect(w, &c);
    SendMessageA(sb, WM_SIZE, 0, 0);
    GetWindowRect(sb, &r);
    POINT p{r.left, r.top};
    ScreenToClient(w, &p);
    EXPECT_EQ(p.y + (r.bottom - r.top), c.bottom);   // docked at the bottom
    DestroyWindow(w);
}

TEST(ProgressBar, RangeAndPosition)
{
    HWND w = make_window();
    HWND pb = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 150, 20, w, nullptr, nullptr, nullptr);
    ASSERT_NE(pb, nullptr);
    EXPECT_FALSE(IsWindowVisible(pb));
    SendMessageA(pb, PBM_SETPOS, 25, 0);
    EXPECT_EQ(SendMessageA(pb, PBM_GETPOS, 0, 0), 25);
    SendMessageA(pb, PBM_SETPOS, 500, 0);
    EXPECT_EQ(SendMessageA(pb, PBM_GETPOS, 0, 0), 100);
    DestroyWindow(w);
}

class RichEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = make_window();
        edit = CreateWindowExA(0, "RichEdit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 150, frame, nullptr,
                               nullptr, nullptr);
        ASSERT_NE(edit, nullptr);
    }
    void TearDown() override { DestroyWindow(frame); }
    void put(const char* t)
    {
        SendMessageA(edit, EM_SETSEL, WPARAM(-1), LPARAM(-1));
        SendMessageA(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(t));
    }
    HWND frame = nullptr, edit = nullptr;
};

TEST_F(RichEdit, LinesAndPositions)
{
    put("first\r\nsécond line\r\nthird");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 1, 0), 6);
    EXPECT_EQ(SendMessageA(edit, EM_EXLINEFROMCHAR, 0, 8), 1);
    EXPECT_EQ(SendMessageA(edit, EM_LINELENGTH, 8, 0), 11);
    char buf[64];
    WORD max = 2;
    std::memcpy(buf, &max, 2);
    // two bytes would split the "é": one is copied
    EXPECT_EQ(SendMessageA(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf)), 1);
    max = 60;
    std::memcpy(buf, &max, 2);
    LRESULT n = SendMessageA(edit, EM_GETLINE, 1, reinterpret_cast<LPARAM>(buf));
    buf[n] = 0;
    EXPECT_STREQ(buf, "sécond line");
    EXPECT_EQ(SendMessageA(edit, EM_LINEINDEX, 7, 0), -1);
}

TEST_F(RichEdit, FindWithCaseAndWholeWord)
{
    put("Alpha beta alphabet\r\nbeta");
    FINDTEXTA ft{{0, -1}, "alpha"};
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&ft)), 0);
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE, reinterpret_cast<LPARAM>(&ft)), 11);
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD, reinterpret_cast<LPARAM>(&ft)), -1);
    FINDTEXTA b{{7, -1}, "beta"};
    EXPECT_EQ(SendMessageA(edit, EM_FINDTEXT, FR_DOWN, reinterpret_cast<LPARAM>(&b)), 20);
}

TEST_F(RichEdit, LimitUndoReadOnlyAndFormats)
{
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 5);
    put("abcdefgh");
    EXPECT_EQ(GetWindowTextLengthA(edit), 5);
    SetWindowTextA(edit, "");
    SendMessageA(edit, EM_EXLIMITTEXT, 0, 1000);
    SendMessageA(edit, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("undo me"));
    EXPECT_EQ(SendMessageA(edit, EM_CANUNDO, 0, 0), 1);
    SendMessageA(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(GetWindowTextLengthA(edit), 0);
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.yHeight = 270;
    cf.crTextColor = RGB(0, 0, 255);
    std::strcpy(cf.szFaceName, "ＭＳ ゴシック");
    EXPECT_EQ(SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)), 1);
    CHARFORMATA got{};
    got.cbSize = sizeof got;
    SendMessageA(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(got.yHeight, 270);
    EXPECT_EQ(got.crTextColor, RGB(0, 0, 255));
    EXPECT_STREQ(got.szFaceName, "ＭＳ ゴシック");
    EXPECT_TRUE(got.dwEffects & CFE_BOLD);
    SendMessageA(edit, EM_SETREADONLY, 1, 0);
    EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & LONG(ES_READONLY));
}

namespace {

void pump_for(int ms)
{
    QElapsedTimer t;
    t.start();
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
    } while (t.elapsed() < ms);
}

} // namespace

// Changes made by the program faster than the screen refreshes are drawn together;
// none is lost, and a lone change is drawn at the next pump.
TEST_F(RichEdit, OutputReachesTheScreenWithinAFrame)
{
    int flash = QApplication::cursorFlashTime();
    QApplication::setCursorFlashTime(0);   // no caret blink between the two pictures
    ShowWindow(frame, SW_SHOW);
    QWidget* w = platform_window_widget(edit);
    ASSERT_NE(w, nullptr);
    pump_for(50);
    put("lone line\r\n");
    pump_for(5);
    EXPECT_TRUE(shown(w) == drawn_now(w)) << "a lone change waits for a frame";
    for (int i = 0; i < 300; ++i) {
        put("0123456789 abcdefghij 0123456789 abcdef\r\n");
        pump_for(0);
    }
    put("last");
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    pump_for(100);
    EXPECT_TRUE(shown(w) == drawn_now(w)) << "a burst of changes was not drawn in full";
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 302);
    QApplication::setCursorFlashTime(flash);
}

// A part's text is new at once; rewritten faster than the screen refreshes it is
// drawn once the frame ends, a lone change at the next pump.
TEST(StatusBar, TextIsNewAtOnceAndDrawnWithinAFrame)
{
    HWND w = make_window();
    HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, w, nullptr, nullptr, nullptr);
    ASSERT_NE(sb, nullptr);
    int edges[3] = {100, 200, -1};
    SendMessageA(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
    ShowWindow(w, SW_SHOW);
    QWidget* bar = platform_window_widget(sb);
    ASSERT_NE(bar, nullptr);
    pump_for(50);
    SendMessageA(sb, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("lone"));
    pump_for(5);
    EXPECT_TRUE(shown(bar) == drawn_now(bar)) << "a lone change waits for a frame";
    char buf[260];
    for (int i = 0; i < 500; ++i) {
        std::string t = std::to_string(i) + " 0";
        SendMessageA(sb, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(t.c_str()));
        SendMessageA(sb, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(t.c_str()));
        SendMessageA(sb, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(buf));
        ASSERT_EQ(std::string(buf), t);
        pump_for(0);
    }
    pump_for(100);
    EXPECT_TRUE(shown(bar) == drawn_now(bar)) << "the last texts were never drawn";
    DestroyWindow(w);
}

TEST(MessageBox, ButtonsAnswersAndClosing)
{
    auto answer = [](UINT type, QMessageBox::StandardButton click) {
        QTimer::singleShot(50, [click] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (click == QMessageBox::NoButton)
                box->close();
            else
                box->button(click)->click();
        });
        return MessageBoxA(nullptr, "text", "Caption", type);
    };
    EXPECT_EQ(answer(MB_OK, QMessageBox::Ok), IDOK);
    EXPECT_EQ(answer(MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes), IDYES);
    EXPECT_EQ(answer(MB_YESNO, QMessageBox::No), IDNO);
    EXPECT_EQ(answer(MB_YESNOCANCEL, QMessageBox::Cancel), IDCANCEL);
    EXPECT_EQ(answer(MB_OKCANCEL, QMessageBox::NoButton), IDCANCEL);
    EXPECT_EQ(answer(MB_YESNO, QMessageBox::NoButton), IDNO);
    EXPECT_EQ(answer(MB_OK, QMessageBox::NoButton), IDOK);
    static QString title, text;
    QTimer::singleShot(50, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        title = box->windowTitle();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxA(nullptr, "in x\n    y\n", "OSTREL ERROR", MB_OK | MB_ICONHAND);
    EXPECT_EQ(title, "OSTREL ERROR");
    EXPECT_EQ(text, "in x\n    y\n");
}

TEST(Drops, FilesDroppedOnAWindowArriveAsWmDropFiles)
{
    HWND w = make_window();
    DragAcceptFiles(w, TRUE);
    ShowWindow(w, SW_SHOW);
    drain();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/c.txt")});
    QWidget* f = platform_window_widget(w);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f, &drop);
    auto ms = drain();
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].message, UINT(WM_DROPFILES));
    HDROP h = reinterpret_cast<HDROP>(ms[0].wParam);
    EXPECT_EQ(DragQueryFileA(h, 0xFFFFFFFFu, nullptr, 0), 2u);
    char buf[8];
    EXPECT_EQ(DragQueryFileA(h, 0, buf, sizeof buf), 7u);
    EXPECT_STREQ(buf, "/tmp/a ");
    EXPECT_EQ(DragQueryFileA(h, 1, nullptr, 0), 10u);
    DragFinish(h);
    EXPECT_EQ(DragQueryFileA(h, 0xFFFFFFFFu, nullptr, 0), 0u);   // a finished drop is gone
    DestroyWindow(w);
}

TEST(Faces, MsGothicBecomesAnInstalledJapaneseFace)
{
    QString f = platform_font_family("ＭＳ ゴシック");
    EXPECT_TRUE(f == "IPAGothic" || f == "Noto Sans Mono CJK JP") << f.toStdString();
    EXPECT_EQ(platform_font_family("DejaVu Sans"), "DejaVu Sans");
    EXPECT_FALSE(platform_font_family("System").isEmpty());
}

namespace {
// The pixels of a line of text drawn on a page's kind of DC in the given face.
QImage page_text(const char* face)
{
    QImage img(160, 32, QImage::Format_RGB32);
    img.fill(Qt::white);
    HDC dc = gdi_create_image_dc(&img, nullptr);
    HFONT f = CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, f);
    const char* line = "漢字かな Ag";
    TextOutA(dc, 0, 0, line, int(std::strlen(line)));
    SelectObject(dc, old);
    DeleteObject(f);
    gdi_destroy_image_dc(dc);
    return img;
}
} // namespace

// The console's text area and a page take a face name through the same table:
// drawing in the face a program names and in the family the text area chose for
// it gives the same pixels.
TEST(Faces, ConsoleAndPageChooseTheSameFamily)
{
    HWND frame = make_window();
    HWND edit = CreateWindowExA(0, "RichEdit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 300, 150, frame,
                                nullptr, nullptr, nullptr);
    auto* text = qobject_cast<QTextEdit*>(platform_window_widget(edit));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(page_text("ＭＳ ゴシック"), page_text("System")) << "the faces are not told apart at all";
    for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "ＭＳ 明朝", "MS Gothic", "MS PGothic", "MS Mincho",
                             "Terminal", "FixedSys", "Courier", "Courier New", "System", "", "No Such Face"}) {
        HFONT f = CreateFontA(-20, 0, 0, 0, 400, 0, 0, 0, 1, 0, 0, 0, 0, face);
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
        QString family = text->document()->defaultFont().family();
        EXPECT_EQ(page_text(face), page_text(family.toUtf8().constData())) << face << " -> " << family.toStdString();
        DeleteObject(f);
    }
    DestroyWindow(frame);
}
