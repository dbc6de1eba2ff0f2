#ifndef APPLICATION_H
#define APPLICATION_H

#include <QApplication>
#include <QMap>
#include <QString>

class QTranslator;

// The program's application object. It holds every translation found at
// start-up, keyed by locale (language_COUNTRY), each with the toolkit's own
// translation of its language (qtbase_<language>.qm: the progress dialog's
// "Cancel", the standard dialogs), and swaps the installed pair when the user
// picks another language.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    // Fills the translation table from the *_*.qm files of `directory`, and
    // takes the toolkit's translation of each language from the toolkit's
    // translations folder where there is one.
    static void loadTranslations(const QString &directory);
    // The toolkit's translation file for `locale`: qtbase_<language>.qm in
    // the toolkit's translations folder (it need not exist).
    static QString toolkitTranslationFile(const QString &locale);

    // The key of a translation file: from the base name (up to its first
    // '.'), the next-to-last '_' part in lower case and the last in upper
    // case. Empty when the base name has no '_'.
    static QString translationKey(const QString &fileName);

    // Locales with a loaded translation, and the one installed now.
    static QStringList loadedLocales();
    static QString currentLocale();

public slots:
    // Installs the translators of `locale` in place of the current ones; with
    // no translation of the program for it, the built-in Turkish texts apply.
    static void setLanguage(const QString &locale);
};

#endif // APPLICATION_H
