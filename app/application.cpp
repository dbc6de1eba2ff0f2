#include "application.h"

#include <QDir>
#include <QFileInfo>
#include <QTranslator>

namespace {
// Process-wide: the translators are children of the application object and
// live until it ends.
QMap<QString, QTranslator *> &translations()
{
    static QMap<QString, QTranslator *> table;
    return table;
}

QTranslator *&currentTranslator()
{
    static QTranslator *current = nullptr;
    return current;
}

QString &currentKey()
{
    static QString key;
    return key;
}
} // namespace

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {}

Application::~Application()
{
    // The translators die with the application object.
    translations().clear();
    currentTranslator() = nullptr;
    currentKey().clear();
}

QString Application::translationKey(const QString &fileName)
{
    const QString baseName = QFileInfo(fileName).fileName().section(QLatin1Char('.'), 0, 0);
    const QStringList parts = baseName.split(QLatin1Char('_'));
    if (parts.size() < 2)
        return QString();
    return parts.at(parts.size() - 2).toLower() + QLatin1Char('_') + parts.last().toUpper();
}

void Application::loadTranslations(const QString &directory)
{
    const QDir dir(directory);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*_*.qm")},
                                                  QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QString key = translationKey(file.fileName());
        if (key.isEmpty())
            continue;
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(file.absoluteFilePath())) {
            delete translator;
            continue;
        }
        // A later file with the same key replaces the earlier entry; the
        // earlier translator stays a child of the application.
        translations().insert(key, translator);
    }
}

QStringList Application::loadedLocales() { return translations().keys(); }

QString Application::currentLocale() { return currentKey(); }

void Application::setLanguage(const QString &locale)
{
    if (currentTranslator()) {
        QCoreApplication::removeTranslator(currentTranslator());
        currentTranslator() = nullptr;
        currentKey().clear();
    }
    QTranslator *translator = translations().value(locale, nullptr);
    if (translator) {
        currentTranslator() = translator;
        currentKey() = locale;
        QCoreApplication::installTranslator(translator);
    }
}
