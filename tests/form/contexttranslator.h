#ifndef CONTEXTTRANSLATOR_H
#define CONTEXTTRANSLATOR_H

#include <QTranslator>

// Translates every text by prefixing it with its context, "[Form] Veri Aktar",
// so a test sees both that a text is translatable and in which context.
class ContextTranslator : public QTranslator
{
public:
    static QString marked(const char *context, const QString &source)
    {
        return QStringLiteral("[%1] %2").arg(QLatin1String(context), source);
    }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (!sourceText || !*sourceText)
            return QString();
        return marked(context, QString::fromUtf8(sourceText));
    }

    bool isEmpty() const override { return false; }
};

#endif // CONTEXTTRANSLATOR_H
