#pragma once
#include "platform/filesystem.h"
#include "platform/registry.h"

#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// Driving the list panes as a user would, and reading what they show.
namespace listtest {

inline QPoint cellCentre(QTableView &view, int row, int column = 0)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

inline void tapRow(QTableView &view, int row, int column = 0)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, row, column));
}

// A double tap as the pane sees it: a tap, then the double click.
inline void doubleTapRow(QTableView &view, int row)
{
    tapRow(view, row);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, row));
}

inline bool clickHeading(QTableView &view, const QString &heading)
{
    QHeaderView *header = view.horizontalHeader();
    for (int column = 0; column < view.model()->columnCount(); ++column) {
        if (view.model()->headerData(column, Qt::Horizontal).toString() == heading) {
            const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
            return true;
        }
    }
    return false;
}

inline QStringList columnTexts(const QTableView &view, int column = 0)
{
    QStringList texts;
    for (int row = 0; row < view.model()->rowCount(); ++row)
        texts.append(view.model()->index(row, column).data().toString());
    return texts;
}

// 1 January 2020 plus a number of days.
inline platform::FileTime dayTime(int day)
{
    return platform::fileTimeFromUnix(1577836800LL + qint64(day) * 86400, 0);
}

// .txt files open with \viewer.exe; nothing else is registered.
inline bool useViewerRegistry(const QTemporaryDir &dir)
{
    QFile file(dir.filePath("types.reg"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt\\Shell\\Open\\Command]\r\n"
               "@=\"\\\\viewer.exe \\\"%1\\\"\"\r\n");
    file.close();
    platform::Registry::configure({file.fileName()}, false);
    return true;
}

// Return closes an in-place editor by a queued call.
#define WAIT_FOR_EDITOR_CLOSED(editor) QTRY_VERIFY((editor).isNull() || !(editor)->isVisible())

inline bool showForTest(QTableView &view)
{
    view.resize(640, 400);
    view.show();
    view.activateWindow();
    if (!QTest::qWaitForWindowActive(&view))
        return false;
    view.setFocus();
    return true;
}

} // namespace listtest
