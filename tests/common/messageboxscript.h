#pragma once
#include <QList>
#include <QString>

#include <functional>

class QWidget;

namespace testsupport {

// Answers the program's message boxes during a test. Each expected box is
// given in order with its answer; every box shown is recorded. A box that
// was not expected fails the running test and is answered with IDCANCEL.
class MessageBoxScript {
public:
    struct Box {
        QString text;
        QString caption;
        unsigned type = 0;
        bool busyCursor = false; // shown under the wait cursor
    };

    MessageBoxScript();  // installs itself
    ~MessageBoxScript(); // uninstalls; fails the test if expected boxes never came

    // Expect a box with this text (empty: any text) and this caption (the
    // application's name unless told; a null string: any) and answer it.
    MessageBoxScript &expect(const QString &text, int answer, const QString &caption = QStringLiteral("Ferrix"));
    // Runs probe as each box shows, before it is answered.
    MessageBoxScript &whenShown(std::function<void()> probe)
    {
        m_probe = std::move(probe);
        return *this;
    }
    const QList<Box> &shown() const { return m_shown; }
    int pending() const { return int(m_expected.size()); }

private:
    int answer(QWidget *owner, const QString &text, const QString &caption, unsigned type);

    struct Expected {
        QString text;
        int answer;
        QString caption;
    };
    QList<Expected> m_expected;
    QList<Box> m_shown;
    std::function<void()> m_probe;
};

} // namespace testsupport
