#ifndef DISPATCH_H
#define DISPATCH_H

#include <QByteArray>

// Routing of one complete reply by the code of the awaited answer
// (Form::pendingCommand). The form maps each action to its widgets and boxes.
enum class ReplyAction {
    Ignore,               // wrong kind for the pending code, or nothing pending
    ShowParameters,       // 1, "PAR": decode, then DKU
    ShowFileList,         // 2, "DOS": decode, then ALO
    ShowAlarms,           // 3, "ALR": decode, end of the read chain
    AlarmsSetAnswer,      // 5, any answer to AYU: read the alarms back to verify
    PasswordChanged,      // 6, "DEG"
    OldPasswordWrong,     // 6, "SYANLIS"
    SensorZeroed,         // 7, "SIFIR"
    SensorPasswordWrong,  // 7, "SYANLIS"
    ParametersUploaded,   // 8, "UKLEND" anywhere
    UploadPasswordWrong,  // 8, "SYANLIS"
    StartTransfer,        // 9, any answer to VER
    BlockReply            // 10, anything while a block is awaited
};

ReplyAction dispatchAction(int pendingCommand, const QByteArray &message);

#endif // DISPATCH_H
