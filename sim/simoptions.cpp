#include "simoptions.h"

#include "memorygenerator.h"
#include "simserver.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>

namespace {

bool readInt(const QCommandLineParser &p, const QString &name, int *value, int min, int max,
             QString *error)
{
    if (!p.isSet(name))
        return true;
    bool ok = false;
    const int v = p.value(name).toInt(&ok);
    if (!ok || v < min || v > max) {
        *error = QStringLiteral("--%1: expected a number from %2 to %3, got \"%4\"")
                     .arg(name).arg(min).arg(max).arg(p.value(name));
        return false;
    }
    *value = v;
    return true;
}

} // namespace

bool SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Stand-in for the field data logger and its GSM modem.\n"
        "Prints \"PTY <path>\" and \"TCP <address>:<port>\" when listening, then one line per "
        "command received and per fault injected."));
    const auto help = p.addHelpOption();
    auto add = [&](const QString &name, const QString &description, const QString &value = QString()) {
        p.addOption(QCommandLineOption(name, description, value));
    };
    add(QStringLiteral("pty"), QStringLiteral("Create a pseudo-terminal; its path is the serial port to use."));
    add(QStringLiteral("link"), QStringLiteral("Also make a symbolic link to the pseudo-terminal at PATH."), QStringLiteral("PATH"));
    add(QStringLiteral("tcp"), QStringLiteral("Listen for TCP on PORT (0: any free port)."), QStringLiteral("PORT"));
    add(QStringLiteral("address"), QStringLiteral("Address to listen on (default 127.0.0.1)."), QStringLiteral("ADDR"));
    add(QStringLiteral("modem"), QStringLiteral("Put an AT-command GSM modem in front of the pseudo-terminal."));
    add(QStringLiteral("modem-busy"), QStringLiteral("The modem answers a dial with BUSY."));
    add(QStringLiteral("modem-no-carrier"), QStringLiteral("The modem answers a dial with NO CARRIER."));
    add(QStringLiteral("modem-refusals"), QStringLiteral("Refuse only the first N dials (BUSY unless --modem-no-carrier), then connect."), QStringLiteral("N"));
    add(QStringLiteral("modem-delay"), QStringLiteral("Milliseconds between a dial and the modem's answer (default 300)."), QStringLiteral("MS"));
    add(QStringLiteral("modem-lf-apart"), QStringLiteral("Send the LF closing each modem answer a little later, on its own."));
    add(QStringLiteral("baud"), QStringLiteral("Pace output like an N-baud 8N1 line."), QStringLiteral("N"));
    add(QStringLiteral("password"), QStringLiteral("The logger's password (default 1234)."), QStringLiteral("TEXT"));
    add(QStringLiteral("station-name"), QStringLiteral("Station name (default Yeni: a new logger)."), QStringLiteral("TEXT"));
    add(QStringLiteral("station-no"), QStringLiteral("Station number."), QStringLiteral("TEXT"));
    add(QStringLiteral("serial"), QStringLiteral("Serial number."), QStringLiteral("TEXT"));
    add(QStringLiteral("files"), QStringLiteral("Number of files in memory, 1 to 5 (default 1)."), QStringLiteral("N"));
    add(QStringLiteral("days"), QStringLiteral("Days recorded per file (default 2)."), QStringLiteral("N"));
    add(QStringLiteral("interval"), QStringLiteral("Record interval in minutes (default 15)."), QStringLiteral("MIN"));
    add(QStringLiteral("full-memory"), QStringLiteral("Fill the whole memory (9863168 bytes); the interval is then 1 minute unless given."));
    add(QStringLiteral("missing-every"), QStringLiteral("Every N-th measurement is a missing record (default 40, 0 none)."), QStringLiteral("N"));
    add(QStringLiteral("gap-minutes"), QStringLiteral("A gap of MIN minutes in the middle of each file (default 90, 0 none)."), QStringLiteral("MIN"));
    add(QStringLiteral("image"), QStringLiteral("Load the memory image from FILE."), QStringLiteral("FILE"));
    add(QStringLiteral("write-image"), QStringLiteral("Write the used memory (what a complete download collects) to FILE."), QStringLiteral("FILE"));
    add(QStringLiteral("grow-days"), QStringLiteral("With --image: the logger records N more days (its last file goes on at its own "
                                                    "interval, with --missing-every and --gap-minutes) and the grown memory is "
                                                    "written back to the image file. A parameter upload that deletes the data "
                                                    "erases the memory."),
        QStringLiteral("N"));
    add(QStringLiteral("rating-table"), QStringLiteral("Write a rating table for the station number to <data root>/Debi/<station number>.abk "
                                                       "(VLXLOGGER_DATA_ROOT moves the data root), unless a table is there: two "
                                                       "periods, the second from a flood ten days ago."));
    add(QStringLiteral("split"), QStringLiteral("Send every reply in random pieces with small pauses; never cut next to a CR, inside \"BITTI\" STX, or inside or right after FB FB FB."));
    add(QStringLiteral("delay"), QStringLiteral("Delay every reply by MS milliseconds."), QStringLiteral("MS"));
    add(QStringLiteral("ignore-block"), QStringLiteral("Ignore the request for block K once."), QStringLiteral("K"));
    add(QStringLiteral("duplicate-block"), QStringLiteral("Answer block K twice (once)."), QStringLiteral("K"));
    add(QStringLiteral("wrong-number-block"), QStringLiteral("Answer block K with another block's number (once)."), QStringLiteral("K"));
    add(QStringLiteral("short-block"), QStringLiteral("Send block K 10 bytes short (once)."), QStringLiteral("K"));
    add(QStringLiteral("garbage-block"), QStringLiteral("Answer block K with text not starting with D (once)."), QStringLiteral("K"));
    add(QStringLiteral("end-after"), QStringLiteral("Send BITTI after K blocks of a transfer."), QStringLiteral("K"));
    add(QStringLiteral("silent"), QStringLiteral("Answer nothing."));
    add(QStringLiteral("close-after"), QStringLiteral("Close the TCP connection after K requests."), QStringLiteral("K"));
    add(QStringLiteral("short-par"), QStringLiteral("Send the parameter record with only N fields."), QStringLiteral("N"));
    add(QStringLiteral("ignore-alarm-set"), QStringLiteral("Acknowledge the alarm-set command but keep the old alarm settings."));
    add(QStringLiteral("seed"), QStringLiteral("Seed of the random reply pieces (default 1)."), QStringLiteral("N"));

    if (!p.parse(arguments)) {
        *error = p.errorText();
        return false;
    }
    if (p.isSet(help)) {
        helpShown = true;
        helpText = p.helpText();
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return false;
    }
    pty = p.isSet(QStringLiteral("pty"));
    link = p.value(QStringLiteral("link"));
    if (!link.isEmpty())
        pty = true;
    modem = p.isSet(QStringLiteral("modem"));
    modemBusy = p.isSet(QStringLiteral("modem-busy"));
    modemNoCarrier = p.isSet(QStringLiteral("modem-no-carrier"));
    modemLfApart = p.isSet(QStringLiteral("modem-lf-apart"));
    const bool someRefused = p.isSet(QStringLiteral("modem-refusals"));
    if (someRefused && !modemNoCarrier)
        modemBusy = true;
    if (modemBusy || modemNoCarrier || modemLfApart || p.isSet(QStringLiteral("modem-delay")))
        modem = true;
    if (modem)
        pty = true;
    if (p.isSet(QStringLiteral("address")))
        address = p.value(QStringLiteral("address"));
    password = p.value(QStringLiteral("password"));
    stationName = p.value(QStringLiteral("station-name"));
    stationNo = p.value(QStringLiteral("station-no"));
    serialNo = p.value(QStringLiteral("serial"));
    fullMemory = p.isSet(QStringLiteral("full-memory"));
    imageFile = p.value(QStringLiteral("image"));
    writeImage = p.value(QStringLiteral("write-image"));
    split = p.isSet(QStringLiteral("split"));
    ratingTable = p.isSet(QStringLiteral("rating-table"));
    silent = p.isSet(QStringLiteral("silent"));
    ignoreAlarmSet = p.isSet(QStringLiteral("ignore-alarm-set"));
    int seedValue = int(seed);
    const bool numbersOk =
        readInt(p, QStringLiteral("tcp"), &tcpPort, 0, 65535, error)
        && readInt(p, QStringLiteral("baud"), &baud, 0, 10000000, error)
        && readInt(p, QStringLiteral("modem-delay"), &modemDelayMs, 0, 120000, error)
        && readInt(p, QStringLiteral("modem-refusals"), &modemRefusals, 0, 1000000, error)
        && readInt(p, QStringLiteral("files"), &files, 1, 5, error)
        && readInt(p, QStringLiteral("days"), &days, 1, 36500, error)
        && readInt(p, QStringLiteral("interval"), &interval, 1, 9999, error)
        && readInt(p, QStringLiteral("missing-every"), &missingEvery, 0, 1000000, error)
        && readInt(p, QStringLiteral("gap-minutes"), &gapMinutes, 0, 1000000, error)
        && readInt(p, QStringLiteral("delay"), &delayMs, 0, 600000, error)
        && readInt(p, QStringLiteral("ignore-block"), &ignoreBlock, 0, 65535, error)
        && readInt(p, QStringLiteral("duplicate-block"), &duplicateBlock, 0, 65535, error)
        && readInt(p, QStringLiteral("wrong-number-block"), &wrongNumberBlock, 0, 65535, error)
        && readInt(p, QStringLiteral("short-block"), &shortBlock, 0, 65535, error)
        && readInt(p, QStringLiteral("garbage-block"), &garbageBlock, 0, 65535, error)
        && readInt(p, QStringLiteral("end-after"), &endAfter, 0, 65535, error)
        && readInt(p, QStringLiteral("close-after"), &closeAfter, 1, 1000000, error)
        && readInt(p, QStringLiteral("short-par"), &parameterFields, 0, 17, error)
        && readInt(p, QStringLiteral("seed"), &seedValue, 0, 2147483647, error)
        && readInt(p, QStringLiteral("grow-days"), &growDays, 1, 36500, error);
    seed = quint32(seedValue);
    if (numbersOk && growDays > 0 && imageFile.isEmpty()) {
        *error = QStringLiteral("--grow-days needs --image FILE");
        return false;
    }
    // A full memory at 15 minutes would reach 30 years back; at one minute
    // it is a little over two years, ending about now.
    if (fullMemory && !p.isSet(QStringLiteral("interval")))
        interval = 1;
    return numbersOk;
}

bool SimOptions::apply(SimServer *server, QString *error) const
{
    SimLogger *logger = server->logger();
    if (!password.isEmpty())
        logger->setPassword(password);
    if (!stationName.isEmpty())
        logger->setStationName(stationName);
    if (!stationNo.isEmpty())
        logger->setStationNo(stationNo);
    if (!serialNo.isEmpty())
        logger->setSerialNo(serialNo);
    logger->setRecordInterval(interval);

    GeneratorOptions g;
    g.files = files;
    g.daysPerFile = days;
    g.intervalMinutes = interval;
    g.fullMemory = fullMemory;
    g.missingEvery = missingEvery;
    g.gapMinutes = gapMinutes;
    g.header.stationName = logger->stationName();
    g.header.stationNo = logger->stationNo();
    g.header.channel1Name = logger->parameters().channel1Name;
    g.header.channel2Name = logger->parameters().channel2Name;
    g.header.channel1Unit = logger->parameters().channel1Unit;
    g.header.channel2Unit = logger->parameters().channel2Unit;
    auto save = [&](const QString &path) {
        QSaveFile out(path);
        if (out.open(QIODevice::WriteOnly) && out.write(logger->memory()) == logger->usedBytes() && out.commit())
            return true;
        *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    };
    if (!imageFile.isEmpty()) {
        QFile file(imageFile);
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(imageFile, file.errorString());
            return false;
        }
        logger->setMemoryImage(file.readAll());
        if (growDays > 0) {
            logger->setMemoryImage(growImage(logger->memory(), growDays, g));
            if (!save(imageFile))
                return false;
        }
    } else {
        logger->setMemory(generateMemory(g));
    }
    if (!writeImage.isEmpty() && !save(writeImage))
        return false;

    SimFaults &f = logger->faults();
    f.splitReplies = split;
    f.replyDelayMs = delayMs;
    f.ignoreBlock = ignoreBlock;
    f.duplicateBlock = duplicateBlock;
    f.wrongNumberBlock = wrongNumberBlock;
    f.shortBlock = shortBlock;
    f.garbageBlock = garbageBlock;
    f.endAfterBlocks = endAfter;
    f.silent = silent;
    f.closeAfterRequests = closeAfter;
    f.parameterFields = parameterFields;
    f.ignoreAlarmSet = ignoreAlarmSet;
    f.seed = seed;

    server->setModem(modem);
    if (modemBusy)
        server->setModemBusy(true);
    if (modemNoCarrier)
        server->setModemNoCarrier(true);
    server->setModemRefusals(modemRefusals);
    server->setModemDialDelay(modemDelayMs);
    server->setModemLfApart(modemLfApart);
    server->setBaud(baud);
    return true;
}
