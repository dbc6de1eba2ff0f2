#include "messagebox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
MessageBox::Handler &handlerSlot()
{
    static MessageBox::Handler handler;
    return handler;
}

QMessageBox::Icon iconOf(MessageBox::Kind kind)
{
    switch (kind) {
    case MessageBox::Information: return QMessageBox::Information;
    case MessageBox::Critical: return QMessageBox::Critical;
    case MessageBox::Warning: return QMessageBox::Warning;
    case MessageBox::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}
} // namespace

int MessageBox::show(const Request &request)
{
    if (handlerSlot())
        return handlerSlot()(request);

    QMessageBox box(iconOf(request.kind), request.title, request.text, QMessageBox::NoButton,
                    request.parent);
    if (!request.informativeText.isEmpty())
        box.setInformativeText(request.informativeText);
    QList<QPushButton *> buttons;
    for (const QString &text : request.buttons)
        buttons.append(box.addButton(text, QMessageBox::AcceptRole));
    if (request.defaultButton >= 0 && request.defaultButton < buttons.size())
        box.setDefaultButton(buttons.at(request.defaultButton));
    if (request.escapeButton >= 0 && request.escapeButton < buttons.size())
        box.setEscapeButton(buttons.at(request.escapeButton));
    box.exec();
    return static_cast<int>(buttons.indexOf(static_cast<QPushButton *>(box.clickedButton())));
}

int MessageBox::showOneButton(Kind kind, QWidget *parent, const QString &title,
                              const QString &text, const QString &button, const QString &details)
{
    Request request;
    request.kind = kind;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.informativeText = details;
    request.buttons << (button.isNull() ? QObject::tr("Tamam") : button);
    request.escapeButton = 0;
    return show(request);
}

void MessageBox::information(QWidget *parent, const QString &title, const QString &text,
                             const QString &button)
{
    showOneButton(Information, parent, title, text, button);
}

void MessageBox::informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                        const QString &details, const QString &button)
{
    showOneButton(Information, parent, title, text, button, details);
}

void MessageBox::criticalWithDetails(QWidget *parent, const QString &title, const QString &text,
                                     const QString &details, const QString &button)
{
    showOneButton(Critical, parent, title, text, button, details);
}

void MessageBox::critical(QWidget *parent, const QString &title, const QString &text,
                          const QString &button)
{
    showOneButton(Critical, parent, title, text, button);
}

void MessageBox::warning(QWidget *parent, const QString &title, const QString &text,
                         const QString &button)
{
    showOneButton(Warning, parent, title, text, button);
}

int MessageBox::question(QWidget *parent, const QString &title, const QString &text,
                         const QStringList &buttons, int defaultButton, int escapeButton)
{
    Request request;
    request.kind = Question;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.escapeButton = escapeButton;
    return show(request);
}

void MessageBox::setHandler(Handler handler) { handlerSlot() = std::move(handler); }

bool MessageBox::hasHandler() { return static_cast<bool>(handlerSlot()); }
