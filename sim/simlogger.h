#ifndef SIMLOGGER_H
#define SIMLOGGER_H

#include "memorygenerator.h"
#include "simfaults.h"
#include "simmemory.h"
#include "simreplies.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <functional>

// One piece of a reply and how long to wait before sending it.
struct SimPiece {
    QByteArray bytes;
    int pauseMs = 0;
};

// The field data logger without any transport: bytes from the line go in,
// the logger's answers come out. Frames start with STX and end with CR; bytes
// before an STX are line noise. Unknown or malformed commands get no answer.
//
//   SimLogger logger;
//   logger.setPassword("4321");
//   QList<QByteArray> reply = logger.handle(Commands::oku());   // {"PAR..."}
//   logger.faults().shortBlock = 3;
class SimLogger
{
public:
    SimLogger();

    // Accumulates bytes and answers every complete frame among them.
    QList<SimPiece> receive(const QByteArray &bytes);
    // The same, the pieces' bytes only (pauses are for transports).
    QList<QByteArray> handle(const QByteArray &bytes);
    // A new connection: a partial frame is dropped, request counts restart.
    void resetInput();
    // True once when the close-after-requests fault asks the transport to
    // drop the connection (after sending the answer just returned).
    bool takeCloseRequest();

    // --- state ---
    SimParameters &parameters() { return m_params; }
    const SimParameters &parameters() const { return m_params; }
    QString stationName() const { return m_params.stationName; }
    void setStationName(const QString &name) { m_params.stationName = name; }
    QString stationNo() const { return m_params.stationNo; }
    void setStationNo(const QString &no) { m_params.stationNo = no; }
    QString serialNo() const { return m_params.serialNo; }
    void setSerialNo(const QString &serial) { m_params.serialNo = serial; }
    int recordInterval() const { return m_params.intervalMinutes; }
    void setRecordInterval(int minutes) { m_params.intervalMinutes = minutes; }

    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }

    // The logger's clock runs with the computer's clock until an upload sets it.
    QDateTime clock() const;
    void setClock(const QDateTime &time);

    const SimAlarms &alarms() const { return m_alarms; }
    void setAlarms(const SimAlarms &alarms) { m_alarms = alarms; }

    // Level (offset included) and temperature now and over the last 24 hours.
    SimLiveValues liveValues() const;
    // Fixes both live values (tests); NaN lets them drift again.
    void setFixedValues(double level, double temperature);

    // The used memory: exactly the bytes a complete download collects.
    QByteArray memory() const { return m_memory.image(); }
    qint64 usedBytes() const { return m_memory.usedBytes(); }
    SimMemory &memoryState() { return m_memory; }
    const SimMemory &memoryState() const { return m_memory; }
    void setMemoryImage(const QByteArray &image) { m_memory.setImage(image); }
    void setMemory(const GeneratedMemory &generated);

    SimFaults &faults() { return m_faults; }

    // Whether the split fault may cut `reply` before its byte `at`. Never
    // where the program's link would take a piece for a whole message or
    // miss the end of a transfer: next to a CR, inside "BITTI" STX, inside
    // FB FB FB or right after it.
    static bool cutAllowed(const QByteArray &reply, qsizetype at);

    // Command words in the order received (frames that carried one).
    const QStringList &commandsReceived() const { return m_commands; }
    // The same frames byte for byte, from STX to CR.
    const QList<QByteArray> &framesReceived() const { return m_frames; }
    void clearCommands() { m_commands.clear(); m_frames.clear(); }

    // Console lines: each command received, each fault injected.
    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }

private:
    QList<SimPiece> answer(const QByteArray &frame);
    QList<SimPiece> answerBlock(const QByteArray &frame);
    QList<SimPiece> answerUpload(const QByteArray &frame);
    QList<SimPiece> shape(QList<SimPiece> pieces);
    QList<SimPiece> split(const QByteArray &reply);
    bool passwordMatches(const QByteArray &text) const;
    void log(const QString &line) const;
    void fault(const QString &line) const;

    SimParameters m_params;
    SimAlarms m_alarms;
    SimMemory m_memory;
    SimFaults m_faults;
    QString m_password = QStringLiteral("1234");
    qint64 m_clockOffsetMs = 0;
    double m_fixedLevel;
    double m_fixedTemperature;

    QByteArray m_input;
    QStringList m_commands;
    QList<QByteArray> m_frames;
    int m_requestsThisConnection = 0;
    int m_blocksThisTransfer = 0;
    bool m_closeRequested = false;
    QRandomGenerator m_random;
    quint32 m_seed = 0;
    std::function<void(const QString &)> m_log;
};

#endif // SIMLOGGER_H
