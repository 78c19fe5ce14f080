/* Fixture of the panel tests: fake device and fake window, both fresh. */
#ifndef PANEL_TEST_H
#define PANEL_TEST_H

#include "device_test.h"
#include "expected_status.h"
#include "fake_window.h"
#include "main_dlg_proc.h"
#include "resources/resource.h"

class PanelTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        FakeWindow::Reset();
    }

    /* Sends WM_COMMAND for id (HIWORD notification) to the panel. */
    INT_PTR Command(int id, WORD notification = 0)
    {
        return MainDlgProc(PANEL, WM_COMMAND, MAKEWPARAM(id, notification), 0);
    }

    HWND const PANEL = reinterpret_cast<HWND>(0x7A11E1);
};

#endif
