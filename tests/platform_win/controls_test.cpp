// The status bar, message boxes, drops and face substitution (the progress bar
// and the repaint pacing are checked through the page and the console).
#include "rich_edit_fixture.h"
#include "platform/win/commctrl.h"
#include "platform/gdi/font_faces.h"
#include "platform/gdi/gdi_surface.h"
#include "platform/gdi/wingdi.h"
#include "platform/win/richedit.h"

#include <QApplication>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <cstring>
#include <gtest/gtest.h>

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
