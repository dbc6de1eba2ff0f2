#include "filedialog.h"

#include <QFileDialog>

FileDialog::Handler &FileDialog::handler()
{
    static Handler slot;
    return slot;
}

QString FileDialog::saveFileName(const Request &request)
{
    if (handler())
        return handler()(request);
    return QFileDialog::getSaveFileName(request.parent, request.caption, request.path, request.filter);
}

QString FileDialog::openFileName(const Request &request)
{
    if (handler())
        return handler()(request);
    return QFileDialog::getOpenFileName(request.parent, request.caption, request.path, request.filter);
}

void FileDialog::setHandler(Handler h) { handler() = std::move(h); }
