#include "aktblokitem.h"

AKTBlokItem::AKTBlokItem(QObject *parent)
    : QObject(parent)
{
}
