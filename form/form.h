#ifndef FORM_H
#define FORM_H

#include <QWidget>

// The working form, hosted by the main window as its central widget.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

signals:
    void closeApplication();
};

#endif // FORM_H
