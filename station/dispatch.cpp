#include "dispatch.h"

#include "commands.h"

ReplyAction dispatchAction(int pendingCommand, const QByteArray &message)
{
    // Text answers start directly with their word; only the upload
    // acknowledgement may come with something in front of it.
    switch (pendingCommand) {
    case Commands::PendingOKU:
        return message.startsWith("PAR") ? ReplyAction::ShowParameters : ReplyAction::Ignore;
    case Commands::PendingDKU:
        return message.startsWith("DOS") ? ReplyAction::ShowFileList : ReplyAction::Ignore;
    case Commands::PendingALO:
        return message.startsWith("ALR") ? ReplyAction::ShowAlarms : ReplyAction::Ignore;
    case Commands::PendingAYU:
        return ReplyAction::AlarmsSetAnswer;
    case Commands::PendingSIF:
        if (message.startsWith("DEG"))
            return ReplyAction::PasswordChanged;
        return message.startsWith("SYANLIS") ? ReplyAction::OldPasswordWrong : ReplyAction::Ignore;
    case Commands::PendingSEN:
        if (message.startsWith("SIFIR"))
            return ReplyAction::SensorZeroed;
        return message.startsWith("SYANLIS") ? ReplyAction::SensorPasswordWrong : ReplyAction::Ignore;
    case Commands::PendingPAR:
        if (message.contains("UKLEND"))
            return ReplyAction::ParametersUploaded;
        return message.startsWith("SYANLIS") ? ReplyAction::UploadPasswordWrong : ReplyAction::Ignore;
    case Commands::PendingVER:
        return ReplyAction::StartTransfer;
    case Commands::PendingAKT:
        return ReplyAction::BlockReply;
    default:
        return ReplyAction::Ignore;
    }
}
