#pragma once
#include "app/appfixture.h"
#include "common/messageboxscript.h"
#include "filelist/cfilelistdrag.h"
#include "filelist/cfilelistviewex.h"
#include "filelist/listtesthelpers.h"
#include "fileops/fileops.h"
#include "fileops/folderdelete.h"
#include "platform/attributes/fileattributes.h"
#include "platform/fs/devicepath.h"
#include "platform/fs/filesystem.h"
#include "platform/testing/faultinjection.h"
#include "platform/ui/messagebox.h"
#include "resources/resourceids.h"
#include "tree/treefixture.h"

#include <QAction>
#include <QDrag>
#include <QDropEvent>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <fstream>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// Plays a user's story on the real frame, step by step:
//   "tree \A\"        tap that folder in the tree (parents expanded first)
//   "list a,b"        tap those rows of the list, the later ones with Ctrl
//   "focus none"      the keyboard focus leaves both panes; "focus list"
//   "^C" "^X" "^V"    the accelerators; "del", "new", "lnk", "menu" commands
//   "+\p\" "+\p=text"  a folder, a file (TempDeviceRoot::build), made behind the program's back; "-\p" removes one
//   "@\l=\target"     a symbolic link to the target's host path; "&\h=\file" a hard link
//   "fault Op \p[|errno|after]"  an injected fault ("Stop": the user cancels there)
//   "slow \p|ms"      copying that file takes ms longer
//   "bind \p=\q"      mounts folder \q on folder \p (a bind mount), gone after the story;
//                     "umount \p" takes it away lazily, as a card pulled mid-work
//   "mv \p=\q"        renames behind the program's back; "nofault" clears the faults
//   "copied step"     runs step when a move has copied and is about to delete its source
//   "asked step"      runs step when the next box shows
//   "ro \p"           makes \p read-only; "inode \p" remembers its inode
//   "unreadable \p"   a folder whose listing cannot be opened
//   "gnome cut \p,\q" another program puts entries on the desktop's clipboard
//                     ("kde" its other format, "copy" instead of "cut");
//                     "uri text" puts one URI there as it is; "emptied": another
//                     program empties it; "manager": a clipboard manager takes it
//                     over, offering the very same formats and data
//   "drop tree \p\ <- \a,\b"  entries dropped on a tree folder ("drop list <- ..." on
//                     the list); before "drop": "shift" held, "move-only" offered,
//                     "uri-list" only that format (another program's)
//   "drag list a,b"   a mouse drags those rows out; "drag tree \p\" that folder
// Checks after the story: "\p" exists, "!\p" does not, "\p=text" holds text,
// "row name" / "!row name" in the list, "link \p" a symbolic link, "ro \p" read-only,
// "empty \p", "same-inode \q", "enabled id" / "disabled id", "desktop cut \p,\q" (or
// "copy") the desktop's clipboard offers these in every format, "desktop empty",
// "dragged \p,\q" the last drag out offered these in every format, as a copy.
// Paths may be written with "/": the story turns them into backslashes.
// Boxes: "Y text", "N text", "O text" in the order they must appear.
namespace opstest {

// Every box's caption and type, by the start and the end of its text.
inline void checkBoxStyle(const testsupport::MessageBoxScript::Box &box)
{
    QVERIFY2(!box.busyCursor, qPrintable("under the wait cursor: " + box.text));
    static const struct { const char *prefix, *suffix, *caption; unsigned type; } kBoxes[] = {
        {"Failed to copy ", "\nContinue Copy?", "Error", 4}, {"Failed to copy ", "", "Error", 0},
        {"Failed to delete ", "Continue deleting?", "Continue?", 0x124}, {"Failed to delete ", "", "Delete", 0x30},
        {"", " already exists, do you want to overwrite it?", "Ferrix", 0x24}, {"Failed to delete", "", "Ferrix", 0x30},
        {"Delete '", "", "Ferrix", 0x24}, {"Delete all selected files?", "", "Delete files", 0x124},
        {"Can not copy into source.", "", "Ferrix", 0x30}, {"Failed to create folder", "", "Ferrix", 0x30},
        {"Could not delete file ", "", "Ferrix", 0}, {"Error moving directory ", "", "Ferrix", 0},
        {"Overwrite existing file ?", "", "Create Shortcut", 0x124},
    };
    for (const auto &known : kBoxes) {
        if (box.text.startsWith(QLatin1String(known.prefix)) && box.text.endsWith(QLatin1String(known.suffix))) {
            QCOMPARE(box.caption, QString::fromLatin1(known.caption));
            QCOMPARE(box.type, known.type);
            return;
        }
    }
    QFAIL(qPrintable("unknown box: " + box.text));
}

struct Story : apptest::FrameFixture {
    CDirTreeView *tree() const { return frame->GetTreePane(); }
    CFileListViewEx *list() const { return frame->GetListPane(); }
    ino_t remembered = 0;
    std::function<void()> probe; // runs as each box shows
    QStringList whenCopied, whenAsked;
    QList<QByteArray> mounted, locked;
    bool skipped = false;
    std::unique_ptr<QMimeData> dragged;
    bool early = false;

    // The list sorted by name, ascending, so rows come in a known order.
    Story()
    {
        QGuiApplication::clipboard()->clear();
        if (ok)
            listtest::clickHeading(*list(), QStringLiteral("Name"));
    }
    // A field of the frame that is neither pane takes the focus.
    void elsewhere()
    {
        frame->UpdateCommands(); // as the idle update does after the last tap
        auto *field = new QLineEdit(frame);
        field->show();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
    }
    ~Story()
    {
        filedrag::SetDragRunner({});
        fileops::SetBeforeMoveDelete({});
        for (auto at = mounted.crbegin(); at != mounted.crend(); ++at)
            ::umount2(at->constData(), MNT_DETACH);
        for (const QByteArray &folder : std::as_const(locked))
            ::chmod(folder.constData(), 0700);
        platform::faults::clear();
    }

    // The host's own bytes: names that are not UTF-8 do not survive QFile.
    static QByteArray host(const QString &path) { return platform::hostPathFromDevice(path); }
    static QList<QByteArray> uris(const QStringList &paths)
    {
        QList<QByteArray> list;
        for (const QString &path : paths)
            list.append("file://" + host(path).toPercentEncoding("/"));
        std::sort(list.begin(), list.end());
        return list;
    }
    static void offer(bool kde, bool cut, const QList<QByteArray> &list)
    {
        auto *data = new QMimeData;
        if (kde)
            data->setData("text/uri-list", list.join("\r\n") + "\r\n");
        else
            data->setData("x-special/gnome-copied-files", (cut ? "cut\n" : "copy\n") + list.join('\n'));
        if (kde && cut)
            data->setData("application/x-kde-cutselection", "1");
        QGuiApplication::clipboard()->setMimeData(data);
    }
    static QList<QByteArray> sortedLines(QByteArray text)
    {
        QList<QByteArray> lines = text.replace('\r', "").split('\n');
        lines.removeAll(QByteArray());
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    // "copy" and "cut" sort before "file://".
    static void checkOffered(const QString &mode, const QStringList &paths,
                             const QMimeData *data = QGuiApplication::clipboard()->mimeData())
    {
        QVERIFY(data);
        QCOMPARE(sortedLines(data->data("text/uri-list")), uris(paths));
        QCOMPARE(sortedLines(data->data("x-special/gnome-copied-files")), QList<QByteArray>{mode.toLatin1()} + uris(paths));
        QCOMPARE(data->data("application/x-kde-cutselection"), mode == "cut" ? QByteArray("1") : QByteArray());
        for (const QString &path : paths) // and the host paths as text
            QVERIFY(data->text().contains(QString::fromUtf8(host(path))));
    }
    static ino_t inode(const QString &path)
    {
        struct stat st {};
        return ::lstat(host(path).constData(), &st) == 0 ? st.st_ino : 0;
    }
    static bool exists(const QString &path) { return inode(path) != 0; }
    static QByteArray read(const QString &path)
    {
        std::ifstream in(host(path).constData(), std::ios::binary);
        return QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(in), {}));
    }
    QTreeWidgetItem *node(const QString &path) const { return nodeAt(*tree(), path, true); }
    void selectFolder(const QString &path)
    {
        QTreeWidgetItem *item = node(path);
        QVERIFY2(item, qPrintable(path));
        tree()->setFocus();
        if (tree()->currentItem() != item) { // a tap on the current node starts a rename
            tree()->scrollToItem(item);
            QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
        }
        QCOMPARE(tree()->GetSelectedPath(), path);
        QTRY_VERIFY(frame->IsTreeFocused());
    }
    int row(const QString &name) const
    {
        for (int r = 0; r < list()->GetItemCount(); ++r)
            if (list()->GetItemName(r) == name)
                return r;
        return -1;
    }
    void selectRows(const QStringList &names)
    {
        list()->setFocus();
        list()->clearSelection();
        for (const QString &name : names) {
            const int r = row(name);
            QVERIFY2(r >= 0, qPrintable(name));
            QTest::mouseClick(list()->viewport(), Qt::LeftButton,
                              name == names.first() ? Qt::NoModifier : Qt::ControlModifier, listtest::cellCentre(*list(), r));
        }
        QTRY_VERIFY(frame->IsListFocused());
        QCOMPARE(list()->GetSelectedRows().size(), names.size());
    }

    // Enter, move and drop where the step says, then the queued paste.
    void drop(const QString &text)
    {
        const QString how = text.section(QLatin1String("drop "), 0, 0);
        const QString where = text.section(QLatin1String("drop "), 1).section(QLatin1String(" <- "), 0, 0);
        std::unique_ptr<QMimeData> data(filedrag::MimeDataFor(text.section(QLatin1String(" <- "), 1).split(u',')));
        dropData(how, where, data.get());
        QCoreApplication::processEvents();
    }
    void dropData(const QString &how, const QString &where, QMimeData *given)
    {
        std::unique_ptr<QMimeData> own;
        QMimeData *data = given;
        if (how.contains(QLatin1String("uri-list"))) {
            own = std::make_unique<QMimeData>();
            own->setData("text/uri-list", given->data("text/uri-list"));
            data = own.get();
        }
        QWidget *viewport = list()->viewport();
        QPoint at = viewport->rect().center();
        if (where != QLatin1String("list")) {
            QTreeWidgetItem *item = node(where.mid(5));
            QVERIFY2(item, qPrintable(where));
            tree()->scrollToItem(item);
            viewport = tree()->viewport();
            at = tree()->visualItemRect(item).center();
        }
        const Qt::DropActions actions = how.contains(QLatin1String("move-only")) ? Qt::MoveAction : Qt::CopyAction | Qt::MoveAction;
        const Qt::KeyboardModifiers keys = how.contains(QLatin1String("shift")) ? Qt::ShiftModifier : Qt::NoModifier;
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(viewport, &move);
        QDropEvent dropped(at, actions, data, Qt::LeftButton, keys);
        QCoreApplication::sendEvent(viewport, &dropped);
        QVERIFY2(enter.isAccepted() && move.isAccepted() && dropped.isAccepted(), qPrintable(where));
    }
    // A mouse presses on the rows or the folder and moves past the drag
    // distance; what the drag offers is kept. With " -> \p\" it is dropped on
    // that tree folder, pasted only once the drag is over.
    void drag(QString what)
    {
        const QString onto = what.section(QLatin1String(" -> "), 1);
        what = what.section(QLatin1String(" -> "), 0, 0);
        filedrag::SetDragRunner([this, onto](QDrag &drag) {
            dragged = std::make_unique<QMimeData>();
            for (const QString &format : drag.mimeData()->formats())
                dragged->setData(format, drag.mimeData()->data(format));
            if (onto.isEmpty())
                return Qt::IgnoreAction;
            const QStringList before = QDir(root.host(onto)).entryList();
            dropData({}, "tree " + onto, drag.mimeData());
            QCoreApplication::processEvents();
            early = QDir(root.host(onto)).entryList() != before; // nothing copied or asked yet
            return Qt::CopyAction;
        });
        QWidget *viewport = tree()->viewport();
        QPoint at;
        if (what.startsWith(QLatin1String("list "))) {
            selectRows(what.mid(5).split(u','));
            viewport = list()->viewport();
            at = listtest::cellCentre(*list(), row(what.mid(5).section(u',', 0, 0)));
        } else {
            selectFolder(what.mid(5));
            at = tree()->visualItemRect(node(what.mid(5))).center();
        }
        QTest::mousePress(viewport, Qt::LeftButton, {}, at);
        const QPoint to = at + QPoint(0, QApplication::startDragDistance());
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &move);
        QVERIFY2(dragged, qPrintable(what));
        QVERIFY2(!early, "pasted inside the drag");
        QCoreApplication::processEvents();
    }

    void step(const QString &text)
    {
        static const QHash<QString, int> kCommands{{"del", ids::ID_FILE_DELETE}, {"new", ids::ID_NEW_FOLDER},
                                                   {"lnk", ids::ID_PASTE_SHORTCUT}, {"menu", ids::ID_PASTE_IN_MENU}};
        const QString arg = text.section(u' ', 1);
        const QString disk = text.mid(1).section(u'=', 0, 0);
        const QString value = text.section(u'=', 1);
        if (text.startsWith(QLatin1String("copied ")))
            whenCopied << arg;
        else if (text.startsWith(QLatin1String("asked ")))
            whenAsked << arg;
        else if (text.startsWith(QLatin1String("mv ")))
            QCOMPARE(::rename(host(arg.section(u'=', 0, 0)).constData(), host(value).constData()), 0);
        else if (text.startsWith(QLatin1String("umount "))) {
            QCOMPARE(::umount2(host(arg).constData(), MNT_DETACH), 0);
            mounted.removeAll(host(arg));
        } else if (text == QLatin1String("nofault"))
            platform::faults::clear();
        else if (text.startsWith(QLatin1String("tree ")))
            selectFolder(arg);
        else if (text.startsWith(QLatin1String("list ")))
            selectRows(arg.split(u','));
        else if (text == QLatin1String("focus none"))
            elsewhere();
        else if (text == QLatin1String("focus list"))
            list()->setFocus();
        else if (text.startsWith(u'^'))
            QTest::keyClick(QApplication::focusWidget(), text.at(1) == u'C' ? Qt::Key_C : text.at(1) == u'X' ? Qt::Key_X : Qt::Key_V,
                            Qt::ControlModifier);
        else if (kCommands.contains(text)) {
            frame->UpdateCommands();
            frame->action(kCommands.value(text))->trigger();
        }
        else if (text.startsWith(u'+'))
            QVERIFY(root.build({text.mid(1)}));
        else if (text.startsWith(u'-'))
            QVERIFY(QFileInfo(root.host(disk)).isDir() ? QDir(root.host(disk)).removeRecursively()
                                                        : QFile::remove(root.host(disk)));
        else if (text.startsWith(u'@') || text.startsWith(u'&'))
            QCOMPARE((text.startsWith(u'@') ? ::symlink : ::link)(host(value).constData(), host(disk).constData()), 0);
        else if (text.startsWith(QLatin1String("ro ")))
            QVERIFY(platform::setFileAttributes(arg, platform::FILE_ATTRIBUTE_READONLY));
        else if (text.startsWith(QLatin1String("unreadable ")) && ::geteuid() == 0) // root reads mode 000 anyway
            platform::faults::inject(platform::FsOperation::Find, arg, EACCES);
        else if (text.startsWith(QLatin1String("unreadable ")))
            QCOMPARE(::chmod((locked << host(arg)).last().constData(), 0), 0);
        else if (text.startsWith(QLatin1String("bind "))) {
            if ((skipped = ::mount(host(value).constData(), host(arg.section(u'=', 0, 0)).constData(), nullptr, MS_BIND, nullptr)))
                QSKIP("bind mounts are refused here");
            mounted.append(host(arg.section(u'=', 0, 0)));
        }
        else if (text.startsWith(QLatin1String("inode ")))
            remembered = inode(arg);
        else if (text.startsWith(QLatin1String("gnome ")) || text.startsWith(QLatin1String("kde ")))
            offer(text.startsWith(u'k'), arg.startsWith(QLatin1String("cut")), uris(arg.section(u' ', 1).split(u',')));
        else if (text == QLatin1String("emptied"))
            QGuiApplication::clipboard()->setMimeData(new QMimeData);
        else if (text == QLatin1String("manager")) {
            const QMimeData *held = QGuiApplication::clipboard()->mimeData();
            auto *copy = new QMimeData;
            for (const QString &format : held->formats())
                copy->setData(format, held->data(format));
            QGuiApplication::clipboard()->setMimeData(copy);
        } else if (text.startsWith(QLatin1String("uri ")))
            offer(true, false, {QString(arg).replace(u'\\', u'/').toUtf8()});
        else if (text.section(u' ', 0, 2).contains(QLatin1String("drop ")))
            drop(text);
        else if (text.startsWith(QLatin1String("drag ")))
            drag(arg);
        else if (text.startsWith(QLatin1String("fault ")))
            injectFault(arg.section(u' ', 0, 0), arg.section(u' ', 1).split(u'|'));
        else if (text.startsWith(QLatin1String("slow ")))
            platform::faults::injectDelay(platform::FsOperation::Copy, arg.section(u'|', 0, 0), arg.section(u'|', 1).toInt());
        else
            QFAIL(qPrintable("unknown step " + text));
    }
    static void injectFault(const QString &operation, const QStringList &words)
    {
        static const QHash<QString, platform::FsOperation> kOps{
            {"Copy", platform::FsOperation::Copy}, {"Delete", platform::FsOperation::Delete},
            {"Create", platform::FsOperation::Create}, {"Stop", platform::FsOperation::Stop}};
        QVERIFY(kOps.contains(operation));
        platform::faults::inject(kOps.value(operation), words.at(0), words.size() > 1 ? words.at(1).toInt() : EIO,
                                 words.size() > 2 ? words.at(2).toLongLong() : 0);
    }

    void check(const QString &text)
    {
        const QString path = text.section(u'=', 0, 0);
        if (text.startsWith(QLatin1String("row ")))
            QVERIFY2(row(text.mid(4)) >= 0, qPrintable(text));
        else if (text.startsWith(QLatin1String("!row ")))
            QVERIFY2(row(text.mid(5)) < 0, qPrintable(text));
        else if (text == QLatin1String("desktop empty"))
            QVERIFY(!QGuiApplication::clipboard()->mimeData() || QGuiApplication::clipboard()->mimeData()->formats().isEmpty());
        else if (text.startsWith(QLatin1String("dragged ")))
            checkOffered(QStringLiteral("copy"), text.mid(8).split(u','), dragged.get());
        else if (text.startsWith(QLatin1String("desktop ")))
            checkOffered(text.section(u' ', 1, 1), text.section(u' ', 2).split(u','));
        else if (text.startsWith(QLatin1String("empty ")))
            QVERIFY2(QDir(root.host(text.mid(6))).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty(),
                     qPrintable(text));
        else if (text.startsWith(QLatin1String("link ")))
            QVERIFY2(QFileInfo(root.host(text.mid(5))).isSymLink(), qPrintable(text));
        else if (text.startsWith(QLatin1String("ro ")))
            QVERIFY2(platform::getFileAttributes(text.mid(3)) & platform::FILE_ATTRIBUTE_READONLY, qPrintable(text));
        else if (text.startsWith(QLatin1String("same-inode ")))
            QCOMPARE(inode(text.mid(11)), remembered);
        else if (text.startsWith(QLatin1String("enabled ")) || text.startsWith(QLatin1String("disabled "))) {
            frame->UpdateCommands();
            QVERIFY2(frame->action(text.section(u' ', 1).toInt())->isEnabled() == text.startsWith(u'e'), qPrintable(text));
        } else if (text.startsWith(u'!'))
            QVERIFY2(!exists(text.mid(1)), qPrintable(text));
        else if (text.contains(u'='))
            QCOMPARE(read(path), text.section(u'=', 1).toUtf8());
        else
            QVERIFY2(exists(text), qPrintable(text));
    }

    // Runs the steps with the boxes answered as given, then the checks.
    void play(QStringList steps, QStringList boxes, QStringList checks)
    {
        QVERIFY(ok);
        testsupport::MessageBoxScript script;
        script.whenShown([this] {
            if (probe)
                probe();
            for (const QString &text : std::exchange(whenAsked, {}))
                step(text);
        });
        fileops::SetBeforeMoveDelete([this] {
            for (const QString &text : std::exchange(whenCopied, {}))
                step(text);
        });
        for (QStringList *texts : {&steps, &boxes, &checks})
            texts->replaceInStrings(QStringLiteral("/"), QStringLiteral("\\"));
        for (const QString &box : boxes)
            script.expect(box.mid(2), box.startsWith(u'Y') ? platform::IDYES
                                      : box.startsWith(u'N') ? platform::IDNO : platform::IDOK,
                          QString()); // checkBoxStyle knows each box's caption
        for (const QString &text : steps) {
            step(text);
            if (QTest::currentTestFailed() || skipped)
                return;
        }
        for (const auto &box : script.shown())
            checkBoxStyle(box);
        for (const QString &text : checks)
            check(text);
    }
};

} // namespace opstest
