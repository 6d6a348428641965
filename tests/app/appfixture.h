#pragma once
#include "app/cferrixdoc.h"
#include "app/cmainframe.h"
#include "app/commandmap.h"
#include "common/devicefixture.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

namespace apptest {

// A main frame on a device root of its own holding the given files, shown
// and active (ok), without the splash screen. The frame deletes itself
// when closed.
struct FrameFixture {
    explicit FrameFixture(const QStringList &files = {})
    {
        for (const QString &file : files)
            ok = root.makeFile(file, "content") && ok;
        frame = new CMainFrame;
        ok = frame->LoadFrame(&document, &appCommands) && ok;
        if (ok)
            frame->InitialUpdateFrame(true);
        ok = ok && QTest::qWaitForWindowActive(frame);
    }
    ~FrameFixture() { delete frame.data(); }

    testsupport::TempDeviceRoot root;
    CFerrixDoc document;
    CommandMap appCommands;
    QPointer<CMainFrame> frame;
    bool ok = true;
};

} // namespace apptest
