#ifndef FINDMODEM_H
#define FINDMODEM_H

#include <QDialog>
#include <QString>

class FindModemThread;
class QSerialPort;

namespace Ui {
class FindModem;
}

// The modem finder shown before a GSM call. It searches every serial port for
// a modem (FindModemThread), lists the modems found, and once the user picks
// one, sets that modem's serial speed to 115200 baud ("ATL+IPR=115200\r") and
// closes with success.
//
//   FindModem finder(this);
//   if (finder.exec() == QDialog::Accepted)
//       gsm->setPort(finder.selectedPort());
//
// The search starts in the constructor; each dialog serves one search.
// Closing the dialog during the search stops the search thread first.
class FindModem : public QDialog
{
    Q_OBJECT
public:
    // The status lines, rich text, shown as they are in every language.
    static QString searchingText();
    static QString foundText();
    static QString notFoundText();
    static QString preparingText();
    static QString readyText();
    static QString notReadyText();

    explicit FindModem(QWidget *parent = nullptr);
    ~FindModem() override;

    QString selectedPort() const { return m_selectedPort; }
    // 9600 or 115200: the speed the chosen modem answered at.
    int preparationSpeed() const { return m_preparationSpeed; }
    int stage() const { return m_stage; }
    FindModemThread *searchThread() const { return m_search; }

    // The port named by a list entry: friendly names end in the port name in
    // parentheses ("USB Modem (COM3)" -> "COM3").
    static QString portFromEntry(const QString &text);
    // The list entry of a modem found on `portName`: the system's friendly
    // name, or "<name> (<name>)" for a port the system does not list.
    static QString entryText(const QString &portName);

    void done(int result) override;

public slots:
    void onPortChanged(QString portName);
    void onModemFound(QString portName, int baudRateType);
    void onSearchComplete();

private slots:
    void on_btnSelect_clicked();
    void on_comboBox_currentIndexChanged(int index);

private:
    void prepareModem();
    void closePort();

    Ui::FindModem *ui;
    FindModemThread *m_search = nullptr;
    QSerialPort *m_port = nullptr;
    QString m_selectedPort;
    int m_stage = 1;
    bool m_preparationFailed = false;
    int m_preparationSpeed = 9600;
    // Set once the dialog has ended; late reports of the search are ignored.
    bool m_finished = false;
};

#endif // FINDMODEM_H
