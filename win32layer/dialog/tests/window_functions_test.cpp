/* The window functions on a real display (run under Xvfb): dialogs from
   the panel's compiled resources, the message queue, control text. */
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string.h>

#include <vector>

#include "resource_fixture.h"
#include "window_records.h"

using namespace win32layer;

namespace {

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Received> g_received;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_received.push_back({window, message, wParam, lParam});
    return 0;
}

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        res_ = LoadPanelResources();
        instance_ = RegisterModule(res_.data(), res_.size());
        g_received.clear();
    }
    void TearDown() override
    {
        for (HWND dialog : open_)
            DestroyWindow(dialog);
        /* Drop whatever quit request the tests left behind. */
        PostQuitMessage(0);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        }
    }
    HWND Create(LPARAM initParam = 0)
    {
        HWND dialog = CreateDialogParamA(instance_, "DIALOG1", nullptr, RecordingProc, initParam);
        if (dialog != nullptr)
            open_.push_back(dialog);
        return dialog;
    }
    /* The next message, pumping GTK until it comes. */
    MSG Next()
    {
        MSG msg = {};
        EXPECT_GT(GetMessageA(&msg, nullptr, 0, 0), 0);
        return msg;
    }
    GtkWidget *Widget(HWND dialog, int id) { return FindControl(AsDialog(dialog), id)->widget; }

    std::vector<uint8_t> res_;
    HINSTANCE instance_ = nullptr;
    std::vector<HWND> open_;
};

TEST_F(Dialogs, RefusesWhatItCannotBuild)
{
    std::vector<uint8_t> truncated(res_.begin(), res_.end() - 8);
    HINSTANCE truncatedModule = RegisterModule(truncated.data(), truncated.size());
    HINSTANCE unknownModule = reinterpret_cast<HINSTANCE>(&truncated);
    struct Case {
        const char *what;
        HINSTANCE instance;
        const char *name;
    } cases[] = {
        {"unknown instance", unknownModule, "DIALOG1"},
        {"no instance", nullptr, "DIALOG1"},
        {"no such template", instance_, "DIALOG9"},
        {"a menu is no dialog", instance_, "MENU1"},
        {"truncated resources", truncatedModule, "DIALOG1"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CreateDialogParamA(c.instance, c.name, nullptr, RecordingProc, 0), nullptr) << c.what;
    EXPECT_TRUE(g_received.empty());
}

TEST_F(Dialogs, InitDialogComesFirstWithTheFirstTabStop)
{
    HWND dialog = Create(1234);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].window, dialog);
    EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_INITDIALOG));
    HWND quitButton = FindControl(AsDialog(dialog), IDCANCEL);
    EXPECT_EQ(g_received[0].wParam, reinterpret_cast<WPARAM>(quitButton));
    EXPECT_EQ(g_received[0].lParam, 1234);
    EXPECT_TRUE(gtk_widget_get_visible(AsDialog(dialog)->window)); /* WS_VISIBLE */
    EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(AsDialog(dialog)->window)));
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(AsDialog(dialog)->window)), "Kelvara");
}

TEST_F(Dialogs, ClicksMenuAndCloseBoxBecomeCommands)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    HWND abc = FindControl(AsDialog(dialog), 1002);
    gtk_button_clicked(GTK_BUTTON(Widget(dialog, 1002)));
    GtkWidget *layout = gtk_bin_get_child(GTK_BIN(AsDialog(dialog)->window));
    GList *rows = gtk_container_get_children(GTK_CONTAINER(layout));
    GList *menuItems = gtk_container_get_children(GTK_CONTAINER(rows->data));
    gtk_menu_item_activate(GTK_MENU_ITEM(menuItems->data));
    g_list_free(menuItems);
    g_list_free(rows);
    gtk_window_close(GTK_WINDOW(AsDialog(dialog)->window)); /* delivered from an idle handler */

    struct Expected {
        WPARAM wParam;
        LPARAM lParam;
    } expected[] = {
        {MAKEWPARAM(1002, 0), reinterpret_cast<LPARAM>(abc)},
        {MAKEWPARAM(IDCANCEL, 0), 0},
        {MAKEWPARAM(IDCANCEL, 0), reinterpret_cast<LPARAM>(static_cast<HWND>(FindControl(AsDialog(dialog), IDCANCEL)))},
    };
    for (const Expected &e : expected) {
        MSG msg = Next();
        EXPECT_EQ(msg.hwnd, dialog);
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(msg.wParam, e.wParam);
        EXPECT_EQ(msg.lParam, e.lParam);
        g_received.clear();
        DispatchMessageA(&msg);
        ASSERT_EQ(g_received.size(), 1u);
        EXPECT_EQ(g_received[0].wParam, e.wParam);
    }
    /* The close box leaves closing to the dialog procedure. */
    EXPECT_NE(AsDialog(dialog), nullptr);
    EXPECT_NE(AsDialog(dialog)->window, nullptr);
}

TEST_F(Dialogs, QuitComesAfterWhatWasPostedBeforeIt)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    PostQuitMessage(7);
    gtk_button_clicked(GTK_BUTTON(Widget(dialog, 1001)));
    MSG msg = Next();
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.hwnd, nullptr);
}

TEST_F(Dialogs, StatusTextInCodePage932)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    const char status[] = "\x92\xCA\x90M\x8AJ\x8En [=0]"; /* 通信開始 [=0] */
    EXPECT_TRUE(SendDlgItemMessageA(dialog, 1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(status)));
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Widget(dialog, 1005))), "通信開始 [=0]");

    char back[64];
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1005, WM_GETTEXT, sizeof back, reinterpret_cast<LPARAM>(back)),
              static_cast<LRESULT>(strlen(status)));
    EXPECT_STREQ(back, status);
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1005, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(back)), 2);
    EXPECT_STREQ(back, "\x92\xCA");

    EXPECT_TRUE(SendDlgItemMessageA(dialog, 1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a\x82")));
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Widget(dialog, 1005))), "a\xEF\xBF\xBD");
    EXPECT_TRUE(SendDlgItemMessageA(dialog, 1005, WM_SETTEXT, 0, 0));
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(Widget(dialog, 1005))), "");

    EXPECT_EQ(SendDlgItemMessageA(dialog, 9999, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_EQ(SendDlgItemMessageA(nullptr, 1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    EXPECT_TRUE(SendDlgItemMessageA(dialog, IDCANCEL, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("&Quit")));
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(Widget(dialog, IDCANCEL))), "_Quit");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDCANCEL, WM_GETTEXT, sizeof back, reinterpret_cast<LPARAM>(back)), 5);
    EXPECT_STREQ(back, "&Quit");
}

TEST_F(Dialogs, DestroyWindowSendsDestroyAndForgetsTheHandle)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    gtk_button_clicked(GTK_BUTTON(Widget(dialog, 1001))); /* left queued */
    g_received.clear();
    open_.clear();
    EXPECT_TRUE(DestroyWindow(dialog));
    ASSERT_EQ(g_received.size(), 1u);
    EXPECT_EQ(g_received[0].message, static_cast<UINT>(WM_DESTROY));

    EXPECT_FALSE(DestroyWindow(dialog));
    EXPECT_FALSE(ShowWindow(dialog, SW_SHOWNORMAL));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0) << "the queued click went with the dialog";
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Dialogs, WindowDestroyedUnderTheDialogAsksItToClose)
{
    /* As when another X client destroys the window. */
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    gtk_widget_destroy(AsDialog(dialog)->window);
    MSG msg = Next();
    EXPECT_EQ(msg.hwnd, dialog);
    EXPECT_EQ(msg.wParam, MAKEWPARAM(IDCANCEL, 0));
    EXPECT_FALSE(ShowWindow(dialog, SW_SHOWNORMAL));
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1005, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), 0);
    open_.clear();
    EXPECT_TRUE(DestroyWindow(dialog));
}

TEST_F(Dialogs, UnknownHandlesAreRefused)
{
    int notAWindow = 0;
    HWND bogus = reinterpret_cast<HWND>(&notAWindow);
    EXPECT_FALSE(ShowWindow(bogus, SW_SHOWNORMAL));
    EXPECT_FALSE(DestroyWindow(bogus));
    EXPECT_FALSE(SetForegroundWindow(bogus));
    EXPECT_FALSE(SetForegroundWindow(nullptr));
    MSG msg = {};
    msg.hwnd = bogus;
    msg.message = WM_COMMAND;
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(GetMessageA(&msg, bogus, 0, 0), -1);
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(Dialogs, ShowWindowReportsThePreviousState)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(ShowWindow(dialog, SW_HIDE));
    EXPECT_FALSE(gtk_widget_get_visible(AsDialog(dialog)->window));
    EXPECT_FALSE(ShowWindow(dialog, SW_SHOWNORMAL));
    EXPECT_TRUE(gtk_widget_get_visible(AsDialog(dialog)->window));
}

TEST_F(Dialogs, ForegroundHandleIsOursOrAKnownForeignWindow)
{
    HWND dialog = Create();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(SetForegroundWindow(dialog));
    /* Wait for the X server to move the focus (no window manager here). */
    gint64 deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
    while (GetForegroundWindow() != dialog && g_get_monotonic_time() < deadline)
        g_main_context_iteration(nullptr, FALSE);
    EXPECT_EQ(GetForegroundWindow(), dialog);
}

}  // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "no display: run under Xvfb\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
