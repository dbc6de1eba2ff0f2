#include "application.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
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

// The toolkit's translations, keyed like the program's.
QMap<QString, QTranslator *> &toolkitTranslations()
{
    static QMap<QString, QTranslator *> table;
    return table;
}

QTranslator *&currentToolkitTranslator()
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
    toolkitTranslations().clear();
    currentToolkitTranslator() = nullptr;
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

        // Not every language has one, and a system may lack the toolkit's
        // translations altogether: the toolkit's texts then stay English.
        if (toolkitTranslations().contains(key))
            continue;
        auto *toolkit = new QTranslator(QCoreApplication::instance());
        if (toolkit->load(toolkitTranslationFile(key)))
            toolkitTranslations().insert(key, toolkit);
        else
            delete toolkit;
    }
}

QString Application::toolkitTranslationFile(const QString &locale)
{
    return QDir(QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        .filePath(QStringLiteral("qtbase_%1.qm").arg(locale.section(QLatin1Char('_'), 0, 0)));
}

QStringList Application::loadedLocales() { return translations().keys(); }

QString Application::currentLocale() { return currentKey(); }

void Application::setLanguage(const QString &locale)
{
    for (QTranslator **installed : {&currentTranslator(), &currentToolkitTranslator()}) {
        if (*installed) {
            QCoreApplication::removeTranslator(*installed);
            *installed = nullptr;
        }
    }
    currentKey().clear();
    QTranslator *translator = translations().value(locale, nullptr);
    if (!translator)
        return;
    // The translator installed last is asked first: the program's own texts
    // win over the toolkit's.
    if (QTranslator *toolkit = toolkitTranslations().value(locale, nullptr)) {
        currentToolkitTranslator() = toolkit;
        QCoreApplication::installTranslator(toolkit);
    }
    currentTranslator() = translator;
    currentKey() = locale;
    QCoreApplication::installTranslator(translator);
}
