#ifndef FORMFIXTURE_H
#define FORMFIXTURE_H

#include "boxspy.h"
#include "form.h"
#include "simserver.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

// A working form against the in-process logger simulator: a fresh
// application folder and data root with its database open, short waits, every message box recorded
// and answered by the test, and the desktop's "open this file" captured.
//
//   FormFixture f(QStringLiteral("read_rs232"));
//   f.sim.listenPty();
//   f.createForm();
//   f.boxes.expect(MessageBox::Information, "Parametre Oku", "Parametre bilgileri okundu");
//   f.click("btnRS232");
//   QTRY_COMPARE(f.boxes.pending(), 0);
class FormFixture : public QObject
{
    Q_OBJECT
public:
    explicit FormFixture(const QString &name);
    ~FormFixture() override;

    // The waits of the product, shortened so that a whole session runs in
    // well under a second; the test keeps their order and their meaning.
    // A block request counts as unanswered only after a delay no reply
    // takes even on a loaded machine, so a transfer retries only when the
    // logger really left a request unanswered.
    static void shortenWaits();
    // Closes and forgets the default database connection.
    static void closeDatabase();
    // For the tests of the time-out rule: a block request counts as
    // unanswered `delayMs` after it was sent (then at the next tick of the
    // watchdog). Call before the link is opened. A reply that load holds up
    // longer than that is asked for again, as on a slow line.
    static void shortenBlockTimeout(int delayMs = 150);

    // Builds the form; the simulator's pseudo-terminal (if any) is offered
    // in the port list and selected.
    Form *createForm();
    void destroyForm();

    template<class T>
    T *widget(const char *name) const
    {
        T *w = form->findChild<T *>(QString::fromLatin1(name));
        if (!w)
            qFatal("no widget %s", name);
        return w;
    }
    QString text(const char *name) const;   // a line edit's or a label's text
    void click(const char *name);

    // GPRS to the simulator's TCP port ("127.0.0.1:<port>").
    QString tcpHost() const;

    QString appDir;
    SimServer sim;
    BoxSpy boxes;
    std::unique_ptr<Form> form;
    QList<QUrl> opened;

public slots:
    void openUrl(const QUrl &url) { opened.append(url); }
};

// Acts on the next modal dialog of class T as soon as it is shown (the code
// under test runs it with exec()). The action gets the dialog.
template<class T>
void whenModal(std::function<void(T *)> action, int timeoutMs = 5000);

void whenModalWidget(const char *className, std::function<void(QWidget *)> action, int timeoutMs);

template<class T>
void whenModal(std::function<void(T *)> action, int timeoutMs)
{
    whenModalWidget(T::staticMetaObject.className(),
                    [action](QWidget *w) { action(static_cast<T *>(w)); }, timeoutMs);
}

#endif // FORMFIXTURE_H
