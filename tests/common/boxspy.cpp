#include "boxspy.h"

BoxSpy::BoxSpy()
{
    MessageBox::setHandler([this](const MessageBox::Request &request) { return answer(request); });
}

BoxSpy::~BoxSpy() { MessageBox::setHandler(MessageBox::Handler()); }

void BoxSpy::expect(MessageBox::Kind kind, const QString &title, const QString &text, int answer)
{
    m_expected.append({kind, title, text, answer});
}

void BoxSpy::answerAllWith(int answer) { m_answerAll = answer; }

void BoxSpy::clear()
{
    m_expected.clear();
    m_shown.clear();
    m_unexpected.clear();
}

QString BoxSpy::describe(const MessageBox::Request &request)
{
    static const char *kinds[] = {"information", "critical", "warning", "question"};
    return QStringLiteral("%1 \"%2\": \"%3\" [%4]")
        .arg(QLatin1String(kinds[request.kind]), request.title, request.text,
             request.buttons.join(QLatin1Char('/')));
}

int BoxSpy::answer(const MessageBox::Request &request)
{
    m_shown.append(request);
    if (m_answerAll != -2)
        return m_answerAll;
    if (!m_expected.isEmpty()) {
        const Expected next = m_expected.first();
        if (next.kind == request.kind && next.title == request.title
            && (next.text.isEmpty() || next.text == request.text)) {
            m_expected.removeFirst();
            return next.answer;
        }
    }
    m_unexpected.append(describe(request));
    return request.escapeButton;
}
