#ifndef STATIONDECISIONS_H
#define STATIONDECISIONS_H

#include <QString>

#include <optional>
#include <utility>

// The questions an operation on the logger may have to put to a person: the
// device password, what to do with the data already stored before a
// parameter upload, and the warning before the sensor is zeroed. The working
// form answers them with its dialogs; a caller without a person (the
// collector, a test) answers from its configuration and never waits.
//
//   class Answers : public StationDecisions { ... };
//   Answers answers;
//   StationSession session(&answers);
class StationDecisions
{
public:
    virtual ~StationDecisions() = default;

    // The logger's password for the operation about to be sent; nothing
    // when the person declined.
    virtual std::optional<QString> password() = 0;
    // The old and the new password for a password change; nothing when declined.
    virtual std::optional<std::pair<QString, QString>> passwordChange() = 0;
    // Before a parameter upload: 0 erases every file of the logger, 1 keeps
    // the latest file and starts a new one; anything else cancels.
    virtual int storedDataAction() = 0;
    // Before the sensor is zeroed: it must be out of the water. False
    // stops the operation.
    virtual bool sensorOutOfWater() = 0;
};

// Declines every question: the answers of a caller that never changes
// a logger's settings.
class DeclineEverything : public StationDecisions
{
public:
    std::optional<QString> password() override { return std::nullopt; }
    std::optional<std::pair<QString, QString>> passwordChange() override { return std::nullopt; }
    int storedDataAction() override { return -1; }
    bool sensorOutOfWater() override { return false; }
};

#endif // STATIONDECISIONS_H
