#ifndef MESSAGEBOX_H
#define MESSAGEBOX_H

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The one door for every message box of the program. Each box is modal, has a
// title, a text and its buttons in order; the caller passes texts already
// translated. Tests install a handler that sees every box and answers it.
class MessageBox
{
public:
    enum Kind { Information, Critical, Warning, Question };

    struct Request {
        Kind kind = Information;
        QWidget *parent = nullptr;
        QString title;
        QString text;
        QString informativeText;  // shown below the text; empty for none
        QStringList buttons;      // in the order shown
        int defaultButton = 0;    // index into buttons, -1 for none
        int escapeButton = -1;    // index answered by Esc, -1 for none
    };

    // Returns the index of the chosen button, -1 when the box was closed
    // without a choice.
    using Handler = std::function<int(const Request &)>;

    static int show(const Request &request);

    // One-button boxes; `button` defaults to the translated "Tamam".
    static void information(QWidget *parent, const QString &title, const QString &text,
                            const QString &button = QString());
    // The same boxes with an informative text below the text.
    static void informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                       const QString &details, const QString &button = QString());
    static void criticalWithDetails(QWidget *parent, const QString &title, const QString &text,
                                    const QString &details, const QString &button = QString());
    static void critical(QWidget *parent, const QString &title, const QString &text,
                         const QString &button = QString());
    static void warning(QWidget *parent, const QString &title, const QString &text,
                        const QString &button = QString());
    static int question(QWidget *parent, const QString &title, const QString &text,
                        const QStringList &buttons, int defaultButton = 0,
                        int escapeButton = -1);

    // Replaces the real boxes (tests). An empty handler restores them.
    static void setHandler(Handler handler);
    static bool hasHandler();

private:
    static int showOneButton(Kind kind, QWidget *parent, const QString &title,
                             const QString &text, const QString &button,
                             const QString &details = QString());
};

#endif // MESSAGEBOX_H
