#ifndef FORMTEXT_H
#define FORMTEXT_H

#include <QCoreApplication>

// The texts the station engine hands its views are the working form's own
// (its boxes, its progress rows), so they are translated in the "Form"
// context: FormText::tr("Veri Aktar") finds the same translation as the
// form's tr() does, and lupdate files them there.
struct FormText {
    Q_DECLARE_TR_FUNCTIONS(Form)
};

#endif // FORMTEXT_H
