#pragma once
#include "common/finger.h"
#include "platform/fs/filesystem.h"
#include "platform/registry/registry.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

// Driving the list panes as a user would, and reading what they show.
namespace listtest {

// A registry file in dir under which .txt files open with \viewer.exe, made
// the registry's only source; false when it cannot be written.
inline bool useTxtViewerRegistry(const QTemporaryDir &dir)
{
    QFile file(dir.filePath(QStringLiteral("types.reg")));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT\\.txt\\Shell\\Open\\Command]\r\n@=\"\\\\viewer.exe \\\"%1\\\"\"\r\n");
    file.close();
    platform::Registry::configure({file.fileName()}, false);
    return true;
}

inline QPoint cellCentre(QTableView &view, int row, int column = 0)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

inline void tapRow(QTableView &view, int row, int column = 0, bool finger = false)
{
    const QPoint at = cellCentre(view, row, column);
    finger ? testsupport::fingerStroke(view.viewport(), at) : QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
}

// A double tap as the pane sees it: a tap, then the double click; a finger
// taps twice at once.
inline void doubleTapRow(QTableView &view, int row, bool finger = false)
{
    tapRow(view, row, 0, finger);
    finger ? tapRow(view, row, 0, true) : QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, cellCentre(view, row));
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

// Renames row 0 in place: tap, F2 (or a finger's tap on the row), the typed
// text, then Return (or Escape). The text the editor started with, once the
// editor is gone.
inline QString editFirstRow(QTableView &view, const QString &typed, bool cancel = false, bool finger = false)
{
    tapRow(view, 0);
    finger ? tapRow(view, 0, 0, true) : QTest::keyClick(&view, Qt::Key_F2);
    QPointer<QLineEdit> editor;
    if (!QTest::qWaitFor([&] { return !(editor = view.findChild<QLineEdit *>()).isNull(); }))
        return QStringLiteral("<no editor>");
    const QString started = editor->text();
    editor->setText(typed);
    QTest::keyClick(editor, cancel ? Qt::Key_Escape : Qt::Key_Return); // closes it by a queued call
    return QTest::qWaitFor([&] { return editor.isNull() || !editor->isVisible(); }) ? started : QString();
}

// 1 January 2020 plus a number of days.
inline platform::FileTime dayTime(int day)
{
    return platform::fileTimeFromUnix(1577836800LL + qint64(day) * 86400, 0);
}

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
