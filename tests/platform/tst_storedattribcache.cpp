#include "common/testsuite.h"
#include "platform/storedattribcache.h"

#include <QTest>

#include <ctime>

using namespace platform::detail;

namespace {

struct statx statOf(quint64 inode, qint64 changeSeconds, quint32 changeNanoseconds = 0)
{
    struct statx st {};
    st.stx_dev_major = 8, st.stx_dev_minor = 1, st.stx_ino = inode;
    st.stx_ctime.tv_sec = changeSeconds, st.stx_ctime.tv_nsec = changeNanoseconds;
    return st;
}

} // namespace

class StoredAttribCacheTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { forgetStoredAttribs(); }

    // What a second listing may take from the cache, after the first one
    // remembered inode 7 with the given change time.
    void answers_data()
    {
        QTest::addColumn<qint64>("ageSeconds");     // of the remembered change time
        QTest::addColumn<quint64>("laterInode");
        QTest::addColumn<qint64>("laterShift");      // seconds added to the change time
        QTest::addColumn<quint32>("laterNanoseconds");
        QTest::addColumn<bool>("hit");
        QTest::newRow("same inode, same change time") << 3600ll << 7ull << 0ll << 0u << true;
        QTest::newRow("changed since") << 3600ll << 7ull << 1ll << 0u << false;
        QTest::newRow("changed within the same second") << 3600ll << 7ull << 0ll << 5u << false;
        QTest::newRow("another inode") << 3600ll << 8ull << 0ll << 0u << false;
        QTest::newRow("changed just now: never kept") << 0ll << 7ull << 0ll << 0u << false;
    }
    void answers()
    {
        QFETCH(qint64, ageSeconds);
        QFETCH(quint64, laterInode);
        QFETCH(qint64, laterShift);
        QFETCH(quint32, laterNanoseconds);
        QFETCH(bool, hit);
        const qint64 changed = qint64(std::time(nullptr)) - ageSeconds;
        DosAttrib value;
        value.valid = true, value.attributes = 0x22, value.createTime = 123;
        rememberStoredAttrib(statOf(7, changed), value);

        DosAttrib found;
        QCOMPARE(lookupStoredAttrib(statOf(laterInode, changed + laterShift, laterNanoseconds), found), hit);
        QVERIFY(!hit || (found.attributes == 0x22u && found.createTime == 123));
    }
};

FERRIX_TEST(StoredAttribCacheTest)
#include "tst_storedattribcache.moc"
