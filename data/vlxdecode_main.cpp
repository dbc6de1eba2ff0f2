// vlxdecode: turns a kept download into its text export again, or writes the
// raw dump of a file's bytes.
//
//   vlxdecode INPUT [-o OUTPUT]      INPUT: download bytes or a raw_data.txt dump
//   vlxdecode --dump INPUT -o OUTPUT
//
// Exit status: 0 written, 1 the download is not valid, 2 usage or I/O error.

#include "decodedownload.h"
#include "rawdump.h"
#include "vlxfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

enum ExitCode { Written = 0, InvalidDownload = 1, UsageOrIoError = 2 };

int fail(const QString &message, int code)
{
    QTextStream(stderr) << message << Qt::endl;
    return code;
}

bool readInput(const QString &path, QByteArray &bytes, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("vlxdecode: cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("vlxdecode: cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// A download ends in FF FF FF and a dump in its byte-count line, so the two
// never look alike: anything that is not a valid download is tried as a dump.
QByteArray downloadBytes(const QByteArray &input)
{
    if (isValidDownload(input))
        return input;
    QByteArray listed;
    if (RawDump::parse(input, &listed))
        return listed;
    return input;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vlxdecode"));
    // The export's diagnostic lines are for the program's debug output, not
    // for this tool's console.
    qSetMessagePattern(QString());
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            QTextStream(stderr) << msg << Qt::endl;
    });

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the text export of a logger download (the bytes as received, or a "
        "raw_data.txt dump of them), or with --dump the raw dump of a file's bytes."));
    parser.addHelpOption();
    const QCommandLineOption outputOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write to <file> instead of the export path named by the download."),
        QStringLiteral("file"));
    const QCommandLineOption dumpOption(
        QStringLiteral("dump"), QStringLiteral("Write the raw dump of INPUT's bytes to OUTPUT."));
    parser.addOption(outputOption);
    parser.addOption(dumpOption);
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("Download bytes or raw dump to read."));

    if (!parser.parse(QCoreApplication::arguments()))
        return fail(QStringLiteral("vlxdecode: ") + parser.errorText() + QLatin1Char('\n')
                        + parser.helpText(),
                    UsageOrIoError);
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return Written;
    }
    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1)
        return fail(QStringLiteral("vlxdecode: exactly one INPUT is needed\n") + parser.helpText(),
                    UsageOrIoError);
    const bool dump = parser.isSet(dumpOption);
    QString output = parser.value(outputOption);
    if (parser.isSet(outputOption) && output.isEmpty())
        return fail(QStringLiteral("vlxdecode: the output path is empty"), UsageOrIoError);
    if (dump && output.isEmpty())
        return fail(QStringLiteral("vlxdecode: --dump needs -o OUTPUT\n") + parser.helpText(),
                    UsageOrIoError);

    QByteArray input;
    QString error;
    if (!readInput(inputs.first(), input, error))
        return fail(error, UsageOrIoError);

    if (dump) {
        if (!RawDump::write(output, input, &error))
            return fail(QStringLiteral("vlxdecode: cannot write %1: %2").arg(output, error),
                        UsageOrIoError);
        QTextStream(stdout) << QDir::toNativeSeparators(output) << Qt::endl;
        return Written;
    }

    const QByteArray data = downloadBytes(input);
    if (!isValidDownload(data))
        return fail(QStringLiteral("Veri hatalı!"), InvalidDownload);

    const std::unique_ptr<VLXFile> file = decodeDownload(data);
    if (output.isEmpty()) {
        output = file->exportPath();
        if (output.isEmpty())
            return fail(QStringLiteral("vlxdecode: the download holds no file header, so it names "
                                       "no export file; give one with -o OUTPUT"),
                        UsageOrIoError);
        // The program creates its export folder at start-up; this tool may run first.
        QDir().mkpath(QFileInfo(output).absolutePath());
    }
    if (!file->exportTextTo(output, &error))
        return fail(QStringLiteral("vlxdecode: cannot write %1: %2").arg(output, error),
                    UsageOrIoError);
    QTextStream(stdout) << QDir::toNativeSeparators(output) << Qt::endl;
    return Written;
}
