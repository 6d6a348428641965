#include "appfixture.h"

#include "app/csplashdlg.h"

#include <QTest>

namespace apptest {

FrameFixture::FrameFixture()
{
    root.makeFolder(QStringLiteral("\\My Documents"));
    root.makeFolder(QStringLiteral("\\Windows\\Fonts"));
    root.makeFile(QStringLiteral("\\readme.txt"), "hello");
}

FrameFixture::~FrameFixture()
{
    delete frame.data();
}

bool FrameFixture::open()
{
    auto *created = new CMainFrame;
    if (!created->LoadFrame(&document, &appCommands)) {
        delete created;
        return false;
    }
    frame = created;
    frame->InitialUpdateFrame(true);
    return QTest::qWaitForWindowActive(frame);
}

void tapSplashWhenShown()
{
    whenModal<CSplashDlg>([](CSplashDlg *splash) {
        if (QWidget *picture = splash->findChild<QWidget *>(QStringLiteral("picture")))
            QTest::mouseClick(picture, Qt::LeftButton);
    });
}

QList<CMainFrame *> mainFrames()
{
    QList<CMainFrame *> frames;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (auto *frame = qobject_cast<CMainFrame *>(window))
            frames.append(frame);
    return frames;
}

} // namespace apptest
