#include "messageboxscript.h"

#include "platform/ui/messagebox.h"

#include <QCursor>
#include <QGuiApplication>
#include <QTest>

namespace testsupport {

MessageBoxScript::MessageBoxScript()
{
    platform::setMessageBoxHandler([this](QWidget *owner, const QString &text,
                                          const QString &caption, unsigned type) {
        return answer(owner, text, caption, type);
    });
}

MessageBoxScript::~MessageBoxScript()
{
    platform::setMessageBoxHandler({});
    if (!m_expected.isEmpty()) {
        const QByteArray message = "expected message box never shown: "
            + m_expected.first().text.toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
}

MessageBoxScript &MessageBoxScript::expect(const QString &text, int answer, const QString &caption)
{
    m_expected.append({text, answer, caption});
    return *this;
}

int MessageBoxScript::answer(QWidget *, const QString &text, const QString &caption, unsigned type)
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    m_shown.append({text, caption, type, cursor && cursor->shape() == Qt::WaitCursor});
    if (m_probe)
        m_probe();
    if (m_expected.isEmpty() || (!m_expected.first().text.isEmpty() && m_expected.first().text != text)) {
        const QByteArray message = "unexpected message box: " + text.toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        return platform::IDCANCEL;
    }
    const Expected expected = m_expected.takeFirst();
    if (!expected.caption.isNull() && expected.caption != caption) {
        const QByteArray message = "box \"" + text.toUtf8() + "\" has the caption \"" + caption.toUtf8() + '"';
        QTest::qFail(message.constData(), __FILE__, __LINE__);
    }
    return expected.answer;
}

} // namespace testsupport
