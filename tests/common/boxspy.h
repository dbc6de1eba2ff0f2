#ifndef BOXSPY_H
#define BOXSPY_H

#include "messagebox.h"

#include <QList>
#include <QString>

// Sees every message box the code under test shows. Boxes are answered from a
// queue of expected boxes; a box nobody expected is recorded, answered with its
// escape button and reported by takeUnexpected()/verify (tests fail on it).
class BoxSpy
{
public:
    struct Expected {
        MessageBox::Kind kind;
        QString title;
        QString text;   // empty: any text
        int answer;     // index of the button to press
    };

    BoxSpy();
    ~BoxSpy();

    void expect(MessageBox::Kind kind, const QString &title, const QString &text = QString(),
                int answer = 0);
    // Answers every box with the given button from now on, without complaint.
    void answerAllWith(int answer);

    const QList<MessageBox::Request> &shown() const { return m_shown; }
    QStringList unexpected() const { return m_unexpected; }
    int pending() const { return static_cast<int>(m_expected.size()); }
    void clear();

    static QString describe(const MessageBox::Request &request);

private:
    int answer(const MessageBox::Request &request);

    QList<Expected> m_expected;
    QList<MessageBox::Request> m_shown;
    QStringList m_unexpected;
    int m_answerAll = -2;
};

// Fails the current test when a box showed up that was not expected, or an
// expected one never came.
#define BOXSPY_VERIFY(spy)                                                        \
    do {                                                                          \
        QVERIFY2((spy).unexpected().isEmpty(),                                    \
                 qPrintable("unexpected box: " + (spy).unexpected().join(" | "))); \
        QVERIFY2((spy).pending() == 0, "an expected message box was not shown");  \
    } while (false)

#endif // BOXSPY_H
