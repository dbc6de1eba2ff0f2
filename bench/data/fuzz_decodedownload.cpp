// libFuzzer target: any bytes through the download decoder, the text export
// and the raw dump. Built only with -DVLX_FUZZ=ON and clang; run by
// bench/data/fuzz.sh for a bounded time.
//
// Besides the sanitizers' own checks it traps when the decoder reports
// positions that do not increase or leave the data, when it makes more
// records than the bytes can hold, when the export does not end in "SSS" or
// differs from what exportText writes, and when a dump does not read back.

#include "compactdownload.h"
#include "decodedownload.h"
#include "rawdump.h"
#include "textexport.h"
#include "vlxfile.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

QString scratchPath()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/vlx_fuzz_export_%1.txt")
                                                       .arg(QString::number(qint64(getpid())));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    const QByteArray data(reinterpret_cast<const char *>(bytes), qsizetype(size));

    qsizetype last = -1;
    int headers = 0;
    DecodeCallbacks report;
    report.positionReached = [&](qsizetype p) {
        check(p > last);
        check(p <= data.size() + 63);
        last = p;
    };
    report.headerFound = [&](const QDateTime &) { ++headers; };
    const DecodedDownload decoded = decodeDownload(data, report);
    check(last >= 0);
    check(decoded.end >= 0 && decoded.end <= data.size());
    check(decoded.files.size() == std::size_t(headers));
    qsizetype records = 0;
    qsizetype previousEnd = 0;
    for (const auto &each : decoded.files) {
        check(each->startAddress() >= previousEnd && each->endAddress() >= each->startAddress());
        check(each->endAddress() <= decoded.end);
        previousEnd = each->endAddress();
        records += each->records().size();
        const QByteArray document = TextExport::document(*each);
        check(document.endsWith("SSS"));
        check(document.size() >= 3 + 9 * 2);
    }
    check(records <= 5 * (data.size() / 8 + 1));
    // The compact records give the same files and byte for byte the same exports.
    const CompactDownload compact = decodeCompact(data);
    check(compact.files.size() == decoded.files.size() && compact.end == decoded.end
          && compact.headerCut == decoded.headerCut);
    for (std::size_t i = 0; i < compact.files.size() && i < decoded.files.size(); ++i) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        check(TextExport::write(compact.files[i], out));
        check(out.data() == TextExport::document(*decoded.files[i]));
    }
    check(headers <= data.size() / 9 + 1);
    if (decoded.files.empty())
        return 0;
    const VLXFile *file = decoded.newest();
    const QByteArray document = TextExport::document(*file);

    // Now and then through the real file path as well: QSaveFile and its commit.
    if (size % 61 == 7) {
        QString error;
        check(file->exportTextTo(scratchPath(), &error));
        QFile written(scratchPath());
        check(written.open(QIODevice::ReadOnly));
        check(written.readAll() == document);
    }

    QByteArray back;
    check(RawDump::parse(RawDump::toText(data), &back));
    check(back == data);
    QByteArray listed;
    if (RawDump::parse(data, &listed)) {
        QByteArray again;
        check(RawDump::parse(RawDump::toText(listed), &again) && again == listed);
    }
    return 0;
}
