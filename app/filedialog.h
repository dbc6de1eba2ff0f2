#ifndef FILEDIALOG_H
#define FILEDIALOG_H

#include <QString>

#include <functional>

class QWidget;

// The one door for the file dialogs of the program, as MessageBox is for the
// boxes: tests install a handler that answers in place of the user.
class FileDialog
{
public:
    struct Request {
        QWidget *parent = nullptr;
        QString caption;
        QString path;     // the folder and file name proposed
        QString filter;   // "CSV (*.csv)"
    };
    // The chosen path; empty when the user cancelled.
    using Handler = std::function<QString(const Request &)>;

    static QString saveFileName(const Request &request);
    // An existing file to read; the same handler answers it.
    static QString openFileName(const Request &request);

    // Replaces the real dialog (tests). An empty handler restores it.
    static void setHandler(Handler handler);

private:
    static Handler &handler();
};

#endif // FILEDIALOG_H
